// The picture of a game: field objects, head-up display, pause text, warning and end screens.
#include "hud.h"

#include "affichage.h"
#include "hud_layout.h"
#include "objets.h"
#include "records.h"
#include "rules.h"

#include <allegro.h>
#include <string>

// An icon stands this far left of its number: 32 pixels of picture and a 10-pixel gap.
static const int32_t ICON_STEP = 42;
// The time warning shows from this many seconds left down to 0.
static const uint32_t WARNING_SECONDS = 5;

static const char *const TOO_BIG_LINES[4] = {
    "La carte est trop grande",
    "pour cette resolution,",
    "choisissez une resolution",
    "superieure ou une autre carte.",
};

static int red() {
    return makecol(255, 0, 0);
}
static int grey() {
    return makecol(125, 125, 125);
}
static int yellow() {
    return makecol(255, 255, 0);
}

void place_hud(play_screen *ps, int32_t screen_w) {
    ps->timer_icon_x = screen_w / 2 - (ps->timer_icon ? ps->timer_icon->w : 0) - 10;
    ps->bomb_icon_x = screen_w / 3 - ICON_STEP;
    ps->diamond_count_x = screen_w - text_length(ps->hud_font, "88");
    ps->diamond_icon_x = ps->diamond_count_x - ICON_STEP;
}

bool place_field(play_screen *ps, int32_t field_w, int32_t field_h, int32_t screen_w,
                 int32_t screen_h) {
    field_spot s =
        place_field_on_screen(field_w, field_h, screen_w, screen_h, text_height(ps->hud_font));
    ps->field_x = s.x;
    ps->field_y = s.y;
    return s.too_big;
}

static void draw_counters(BITMAP *dest, const play_screen *ps, const game *g) {
    if (ps->timer_icon) draw_sprite(dest, ps->timer_icon, ps->timer_icon_x, 0);
    if (ps->bomb_icon) draw_sprite(dest, ps->bomb_icon, ps->bomb_icon_x, 0);
    if (ps->diamond_icon) draw_sprite(dest, ps->diamond_icon, ps->diamond_icon_x, 0);
    int bombs = g->player ? bombs_in_hand(g->player) : 0;
    textprintf_ex(dest, ps->hud_font, dest->w / 2, 0, red(), -1, "%d", (int)g->time_left);
    textprintf_ex(dest, ps->hud_font, dest->w / 3, 0, red(), -1, "%d", bombs);
    textprintf_ex(dest, ps->hud_font, ps->diamond_count_x, 0, red(), -1, "%d",
                  (int)g->diamonds_left);
    textprintf_ex(dest, font, 0, 0, grey(), -1, "FPS : %d", (int)ps->fps);
    textprintf_ex(dest, font, 0, ps->line_height, grey(), -1, "objets : %d", (int)g->object_count);
}

// --- The objects of the field.

// The frame an object shows now, or null when its table lacks it.
static BITMAP *object_frame(const obj *o) {
    return o->sprites ? o->sprites[o->frame] : nullptr;
}

static void draw_at_cell(BITMAP *dest, const obj *o, int32_t ox, int32_t oy) {
    BITMAP *frame = object_frame(o);
    if (frame) draw_sprite(dest, frame, ox + 32 * o->x, oy + 32 * o->y);
}

// Monsters, blocks, bonuses, bombs and diamonds, in ring order; returns the player.
static const obj *draw_things(const obj *head, BITMAP *dest, int32_t ox, int32_t oy) {
    const obj *player = nullptr;
    const obj *o = head;
    do {
        if (o->type == OBJ_PLAYER) {
            player = o;
        } else if (obj_is_mover(o)) {
            BITMAP *frame = object_frame(o);
            if (frame)
                draw_sprite(dest, frame, ox + 32 * o->x + o->off_x, oy + 32 * o->y + o->off_y);
        } else if (o->type != OBJ_WALL && o->type != OBJ_FLAME) {
            draw_at_cell(dest, o, ox, oy);
        }
        o = o->next;
    } while (o != head);
    return player;
}

static void draw_flames(const obj *head, BITMAP *dest, int32_t ox, int32_t oy) {
    const obj *o = head;
    do {
        if (o->type == OBJ_FLAME) draw_at_cell(dest, o, ox, oy);
        o = o->next;
    } while (o != head);
}

// The player's feet cover the bottom 32 rows of its frame; its head stands above the cell
// and is drawn after the flames, so the player stays in front of what lies above it.
void draw_playscreen(obj *head, BITMAP *dest, int32_t ox, int32_t oy) {
    if (!head) return;
    const obj *player = draw_things(head, dest, ox, oy);
    BITMAP *frame = player ? object_frame(player) : nullptr;
    int px = 0, py = 0, feet = 0;
    if (frame) {
        px = ox + 32 * player->x + player->off_x;
        py = oy + 32 * player->y + player->off_y;
        // A frame shorter than a cell stands on the cell's bottom edge.
        feet = frame->h < 32 ? frame->h : 32;
        masked_blit(frame, dest, 0, frame->h - feet, px, py + 32 - feet, 32, feet);
    }
    draw_flames(head, dest, ox, oy);
    if (frame && frame->h > 32)
        masked_blit(frame, dest, 0, 0, px, py - (frame->h - 32), 32, frame->h - 32);
}

// --- The frame.

static const char *const REPLAY_LINE = "Revoir : Échap pour arrêter";

void draw_game_frame(BITMAP *dest, const play_screen *ps, const game *g) {
    if (ps->background) draw_rle_sprite(dest, ps->background, ps->field_x, ps->field_y);
    draw_counters(dest, ps, g);
    draw_playscreen(g->player, dest, ps->field_x, ps->field_y);
    // Read unsigned, so only 0 to 5 seconds left warn.
    if ((uint32_t)g->time_left <= WARNING_SECONDS)
        textprintf_centre_ex(dest, ps->hud_font, dest->w / 2, dest->h / 2, red(), -1,
                             "PLUS DE TEMPS !!!");
    if (ps->replaying)
        textprintf_centre_ex(dest, ps->hud_font, dest->w / 2, dest->h - text_height(ps->hud_font),
                             yellow(), -1, "%s", REPLAY_LINE);
}

void draw_pause_text(BITMAP *dest, const play_screen *ps, int32_t screen_w, int32_t screen_h) {
    textprintf_centre_ex(dest, ps->hud_font, screen_w / 2, screen_h / 2, red(), -1,
                         "P    A    U    S    E");
}

static void draw_too_big(BITMAP *dest, const play_screen *ps) {
    int h = text_height(ps->hud_font);
    for (int i = 0; i < 4; i++)
        textprintf_centre_ex(dest, ps->hud_font, dest->w / 2, i * h, yellow(), -1, "%s",
                             TOO_BIG_LINES[i]);
}

// The time of a win under its picture, and "Nouveau record !" beside it when it is one.
static void draw_win_time(BITMAP *dest, const play_screen *ps, const game *g) {
    std::string time = "Temps : " + record_time_text(g->ticks) + " s";
    const char *record = ps->new_record ? "   Nouveau record !" : "";
    int w = text_length(ps->hud_font, time.c_str()) + text_length(ps->hud_font, record);
    int x = (dest->w - w) / 2;
    int picture_h = ps->win_screen ? ps->win_screen->h : 0;
    int y = (dest->h + picture_h) / 2 + 4;
    // Below a picture that fills the screen the line goes over its bottom edge.
    if (y + text_height(ps->hud_font) > dest->h) y = dest->h - text_height(ps->hud_font);
    textprintf_ex(dest, ps->hud_font, x, y, red(), -1, "%s", time.c_str());
    textprintf_ex(dest, ps->hud_font, x + text_length(ps->hud_font, time.c_str()), y, yellow(), -1,
                  "%s", record);
}

void draw_end_screen(BITMAP *dest, const play_screen *ps, const game *g) {
    switch (g->end_state) {
    case END_WON:
        if (ps->win_screen)
            draw_sprite(dest, ps->win_screen, (dest->w - ps->win_screen->w) / 2,
                        (dest->h - ps->win_screen->h) / 2);
        draw_win_time(dest, ps, g);
        break;
    case END_DEAD:
    case END_TIME_UP:
        if (ps->lose_screen)
            stretch_blit(ps->lose_screen, dest, 0, 0, ps->lose_screen->w, ps->lose_screen->h, 0, 0,
                         dest->w, dest->h);
        break;
    case END_TOO_BIG:
        draw_too_big(dest, ps);
        break;
    default:
        break;
    }
}
