/* A muxer library for the tests: records each call in the file named by
   $KINOLUX_JOINER_LOG, reports progress of kind 2 counting down from a total
   of 200 (and a report of another kind, and one below zero), and stops when
   the callback asks it to. Built a second time without nx_ts_freetrackinfo. */
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "bindings/joiner.h"

static NX_PROGRESS_CALLBACK progress;

static void note(const char* text, const char* value) {
    const char* path = getenv("KINOLUX_JOINER_LOG");
    FILE* log = path ? fopen(path, "a") : NULL;
    if (!log) return;
    fprintf(log, "%s %s\n", text, value ? value : "");
    fclose(log);
}

int32_t nx_setcallbackfunc(NX_PROGRESS_CALLBACK callback) {
    progress = callback;
    note("setcallback", callback ? "set" : "none");
    return 0;
}

int32_t nx_ts_gettrackinfo(const char* tsPath, void** trackInfo) {
    static NX_TRACKINFO_HEAD head = {0, 200.0f, ""};
    note("gettrackinfo", tsPath);
    *trackInfo = &head;
    return 0;
}

int32_t nx_ts_cbdfolder(const char* folder, void* trackInfo, int32_t mode) {
    char text[64];
    struct stat st;
    note("cbdfolder", folder);
    snprintf(text, sizeof text, "%d %s %s", mode, trackInfo ? "info" : "none",
             stat(folder, &st) == 0 && S_ISDIR(st.st_mode) ? "exists" : "missing");
    note("cbdfolder-args", text);
    if (progress(2, -1, "ignored") != 0) return -1;
    if (progress(1, 40, "Analysing") != 0) return -1;
    for (int32_t left = 150; left >= 0; left -= 50) {
        int32_t answer = progress(2, left, "Writing");
        snprintf(text, sizeof text, "%d", answer);
        note("answer", text);
        if (answer != 0) return -1;
    }
    return 0;
}

#ifndef WITHOUT_FREE
int32_t nx_ts_freetrackinfo(void* trackInfo) {
    note("freetrackinfo", trackInfo ? "info" : "none");
    return 0;
}
#endif
