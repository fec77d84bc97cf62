// The options dialog (Allegro GUI): display, game time and volumes, saved on request.
#pragma once

struct DIALOG;
struct config;

// Shows the dialog; saves when left with "Sauvegarder et Quitter".
void gui_config(config *cfg);
// The options dialog's entries, kept between showings.
extern DIALOG the_dialog[];
// Sets the dialog's choices from the record (values without an entry show the nearest one).
void fill_options_dialog(const config *cfg);
// Maps the dialog's choices back to record values and saves the record.
void save_options_dialog(config *cfg);
