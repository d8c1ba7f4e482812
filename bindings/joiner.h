// The transport-stream muxer joiner: turns an AVCHD transport stream into a
// Blu-ray folder (BDMV). The program loads it at run time (dlopen of
// "libjoiner.so" in the program folder) and calls it in this order:
// nx_setcallbackfunc, nx_ts_gettrackinfo, nx_ts_cbdfolder, nx_ts_freetrackinfo.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Progress while nx_ts_cbdfolder runs, on the caller's thread. Kind 2: the
// value counts down from the track info's total to 0; other kinds: the
// value is a percentage. A value below 0 carries no progress. The callback
// returns -1 to make the library stop, else 0.
typedef int (*NX_PROGRESS_CALLBACK)(int32_t kind, int32_t value, const char* text);

// The start of the library's track-info record; the rest is its own.
typedef struct NX_TRACKINFO_HEAD {
    int32_t reserved;
    float total;  // what progress of kind 2 counts down from
} NX_TRACKINFO_HEAD;

int32_t nx_setcallbackfunc(NX_PROGRESS_CALLBACK callback);
// Reads the stream's tracks; *trackInfo points to the library's record.
int32_t nx_ts_gettrackinfo(const char* tsPath, void** trackInfo);
// Writes the Blu-ray folder structure into `folder` (ending in "/").
int32_t nx_ts_cbdfolder(const char* folder, void* trackInfo, int32_t mode);
int32_t nx_ts_freetrackinfo(void* trackInfo);

typedef int32_t (*NX_SETCALLBACKFUNC)(NX_PROGRESS_CALLBACK);
typedef int32_t (*NX_TS_GETTRACKINFO)(const char*, void**);
typedef int32_t (*NX_TS_CBDFOLDER)(const char*, void*, int32_t);
typedef int32_t (*NX_TS_FREETRACKINFO)(void*);

#ifdef __cplusplus
}
#endif
