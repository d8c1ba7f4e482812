// The SWF probe library scrutin: the header of a movie (FWS, CWS or ZWS)
// and uncompressed copies of compressed movies.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The caller's 48-byte record. The program copies the first six words and
// reads width, height, frame rate and frame count; the rest is the
// library's own.
typedef struct SwfFileInfo {
    int32_t version;        // SWF version from the header
    int32_t fileLength;     // uncompressed length the header declares
    int32_t width;          // stage width in pixels (twips / 20)
    int32_t height;         // stage height in pixels
    int32_t frameRate;      // whole frames per second (the fraction dropped)
    int32_t frameCount;     // frames the header declares
    int32_t compression;    // 0 FWS, 1 CWS (zlib), 2 ZWS (LZMA); -1 unreadable
    int32_t frameRate88;    // the frame rate as stored, 8.8 fixed point
    int32_t status;         // 0 read; nonzero when the movie could not be read
    int32_t reserved[3];
} SwfFileInfo;

#ifdef __cplusplus
static_assert(sizeof(SwfFileInfo) == 48, "the probe record is 48 bytes");
#endif

// Writes an uncompressed copy of a compressed movie to destination.
// Returns 0 when the source is not compressed (nothing written), 1 when the
// copy was written, -1 when the source cannot be read or is no movie, -2
// when its compressed body is damaged, -3 when the copy cannot be written.
// The copy appears under its name only once it is complete.
int W_ConvertToUncompress(const char* source, const char* destination);

// Fills info from the movie's header; on failure the record is zeroed and
// status and compression say so. Returns 0 on success, -1 on failure.
int W_SwfFileInfo(const char* path, SwfFileInfo* info);

// Releases what W_SwfFileInfo placed in the record (nothing is allocated:
// the record is simply cleared).
void W_SwfFileInfoFree(SwfFileInfo* info);

#ifdef __cplusplus
}
#endif
