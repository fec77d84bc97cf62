// Directory listing by file extension, in name order.
#pragma once

// Stores in *list a new array of "dir/name" heap strings, one per entry whose name
// ends with `ext` from its last dot on, sorted by name (byte order); returns their
// number (list untouched when 0).
int list_dir_ext(const char *dir, const char *ext, char ***list);
// Frees the strings and the array returned by list_dir_ext.
void free_file_list(char **list, int count);
