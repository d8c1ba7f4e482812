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
// nx_ts_gettrackinfo hands out a record even when the stream cannot be
// used, so that the caller can say why; nx_ts_cbdfolder then writes
// nothing and returns the same status.
typedef struct NX_TRACKINFO_HEAD {
    int32_t status;     // 0, or the NX_ERROR_ code of the last failure
    float total;        // what progress of kind 2 counts down from
    char message[512];  // the last failure in words, empty when none
} NX_TRACKINFO_HEAD;

// What the entries return: 0 when done, else one of these.
#define NX_ERROR_ARGUMENT -1             // a null or empty argument
#define NX_ERROR_UNREADABLE -2           // the stream cannot be opened or read
#define NX_ERROR_NOT_TRANSPORT_STREAM -3
#define NX_ERROR_TRUNCATED -4            // the stream ends inside a packet or a frame
#define NX_ERROR_DAMAGED -5              // lost packet sync, or no clock reference
#define NX_ERROR_NO_VIDEO -6
#define NX_ERROR_UNSUPPORTED_STREAM -7   // a codec a Blu-ray disc cannot carry
#define NX_ERROR_TOO_LARGE -8            // more than one clip of the format holds
#define NX_ERROR_WRITE -9                // the folder cannot be written
#define NX_ERROR_CANCELLED -10           // the progress callback asked to stop
#define NX_ERROR_MODE -11                // a folder mode the library does not know

// The one folder mode: a Blu-ray (BDMV) folder with its backup copies.
#define NX_MODE_BLURAY_FOLDER 5

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
