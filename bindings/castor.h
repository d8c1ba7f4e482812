// The encoder library castor: four C entries driven by the argument vector
// of an old-style command-line transcoder, reading frames through a
// callback or any file libavformat reads.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// The record exchanged with the frame callback. Offsets 0 to 107 are the
// stream description; the rest describe one frame. Pointers are native (8
// bytes on x86-64), so the two buffer fields are 4 bytes wider than on a
// 32-bit system and the record is 148 bytes; every field keeps its order
// and every offset below the picture pointer is unchanged.
#pragma pack(push, 4)
typedef struct FrameInfo {
    int32_t streamKind;      // 0 none (still images), 1 video, 2 audio, 3 both
    int32_t audioSampleRate; // 44100
    int32_t audioChannels;   // 2
    int32_t fixed128;        // 128
    int32_t zero16[8];
    int32_t fixed32;         // 32
    int32_t frameHeight;     // output height less top and bottom padding
    int32_t frameWidth;      // output width less left and right padding
    int32_t zero60;
    int32_t bytesPerPixel;   // 3
    float frameRate;         // the movie's frames per second
    int32_t zero72[8];
    int32_t bitsPerPixel;    // 24
    uint8_t* picture;        // bottom-up rows, blue-green-red, or null
    int32_t pictureBytes;    // width x height x 3, or 0
    int16_t* sound;          // interleaved 16-bit stereo at 44100 Hz, or null
    int32_t soundBytes;      // 2 x the number of 16-bit values
    float pictureTime;       // seconds from the start
    float soundTime;         // seconds from the start
    int32_t pictureWidth;
    int32_t pictureHeight;
} FrameInfo;
#pragma pack(pop)

// Progress: (text, value). A value strictly between -2 and 0 marks an error
// or notice; a value above -0.0001 is the encoded position in seconds.
// Return 0 to go on, -1 to stop (the output is finished up to that point).
typedef int (*CS_ProgressCallback)(const char* text, double value);

// Frames: request 0 asks for the stream description, any other value for
// the next frame. Fill the record and return 0, or return -1 when no frame
// follows. Buffers named in the record stay valid until the next call.
typedef int (*CS_FrameCallback)(int request, FrameInfo* info);

void CSInit(void);
void CSExit(void);
void CS_SetFrameInfoCallBack(CS_FrameCallback callback);

// Runs one whole encoding on the calling thread: argv[0] is "ffmain".
// Returns 0 when the output was written completely, non-zero otherwise.
int ffmain(int argc, char** argv, CS_ProgressCallback progress);

// The pseudo input that reads through the frame callback.
#define CASTOR_FRAME_INPUT "frame_input.kinolux"

#ifdef __cplusplus
}

static_assert(offsetof(FrameInfo, bitsPerPixel) == 104, "FrameInfo layout");
static_assert(offsetof(FrameInfo, picture) == 108, "FrameInfo layout");
static_assert(sizeof(FrameInfo) == 148, "FrameInfo layout");
#endif
