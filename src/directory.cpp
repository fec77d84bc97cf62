// Directory listing by file extension, in name order.
#include "directory.h"

#include <cstdlib>
#include <cstring>
#include <dirent.h>

// The part of the name from its last dot on equals ext exactly.
static bool has_extension(const char *name, const char *ext) {
    const char *dot = strrchr(name, '.');
    return dot && strcmp(dot, ext) == 0;
}

static int count_matches(const char *dir, const char *ext) {
    DIR *d = opendir(dir);
    if (!d) return 0;
    int count = 0;
    while (struct dirent *entry = readdir(d))
        if (has_extension(entry->d_name, ext)) count++;
    closedir(d);
    return count;
}

static char *join_path(const char *dir, const char *name) {
    char *path = (char *)malloc(strlen(dir) + strlen(name) + 2);
    if (path) {
        strcpy(path, dir);
        strcat(path, "/");
        strcat(path, name);
    }
    return path;
}

static int compare_names(const void *a, const void *b) {
    return strcmp(*(char *const *)a, *(char *const *)b);
}

void free_file_list(char **list, int count) {
    if (!list) return;
    for (int i = 0; i < count; i++)
        free(list[i]);
    free(list);
}

int list_dir_ext(const char *dir, const char *ext, char ***list) {
    int expected = count_matches(dir, ext);
    if (expected == 0) return 0;
    char **entries = (char **)calloc((size_t)expected, sizeof(char *));
    if (!entries) return 0;
    DIR *d = opendir(dir);
    if (!d) {
        free(entries);
        return 0;
    }
    int count = 0;
    // The directory may have grown since it was counted: never store past the array.
    while (count < expected) {
        struct dirent *entry = readdir(d);
        if (!entry) break;
        if (!has_extension(entry->d_name, ext)) continue;
        entries[count] = join_path(dir, entry->d_name);
        if (!entries[count]) {
            closedir(d);
            free_file_list(entries, count);
            return 0;
        }
        count++;
    }
    closedir(d);
    if (count == 0) {
        free(entries);
        return 0;
    }
    // Name order, whatever order the platform reads the directory in: the numbered maps
    // come in their numbers' order.
    qsort(entries, (size_t)count, sizeof *entries, compare_names);
    *list = entries;
    return count;
}
