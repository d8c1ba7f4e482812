// A synthetic movie for the encoder: a moving pattern with a tone, handed
// out through the frame callback exactly as the program's frame supply
// hands out a movie's frames (frame n stamped n / fps, each frame carrying
// trunc(88200 / fps) 16-bit values of stereo sound at 44100 Hz). Tests,
// the demo and the benchmark all use it.
#pragma once

#include <cstdint>
#include <vector>

#include "bindings/castor.h"

namespace testpattern {

struct PatternSpec {
    int width = 320;  // the stream description's frame size
    int height = 240;
    float frameRate = 25;
    double seconds = 5;
    int streamKind = 3;  // 1 video, 2 audio, 3 both
    double toneHz = 440;
    double toneLevel = 0.25;  // of full scale
    // A frame (counted from 0) drawn all white; the tone starts with it and
    // there is silence before. -1: no mark, the tone sounds throughout.
    int markFrame = -1;
    // Pictures of another size than the description's (0: the same).
    int pictureWidth = 0;
    int pictureHeight = 0;
    // After this frame (counted from 0) the times jump ahead by gapSeconds.
    int gapAfterFrame = -1;
    double gapSeconds = 0;
};

// A pattern of this frame size, rate and length; the rest as by default.
inline PatternSpec Pattern(int width, int height, float frameRate, double seconds) {
    PatternSpec spec;
    spec.width = width;
    spec.height = height;
    spec.frameRate = frameRate;
    spec.seconds = seconds;
    return spec;
}

class PatternGenerator {
public:
    explicit PatternGenerator(const PatternSpec& spec);

    // The frame callback's work: request 0 the description, then one frame
    // per request until the movie ends.
    int Fill(int request, FrameInfo* info);

    int FrameCount() const { return frameCount_; }
    int FramesDelivered() const { return delivered_; }
    // Renders every picture ahead of time, so that handing them out costs
    // nothing (for measuring the encoder alone).
    void Prerender();
    // Picture n (from 0) as the callback hands it: bottom-up rows of BGR.
    const std::vector<uint8_t>& Picture(int frame);
    // The sound of frame n (from 0) as the callback hands it.
    const std::vector<int16_t>& Sound(int frame);

private:
    double FrameTime(int frame) const;  // the stamp of frame n (from 0): its end
    void Render(int frame, std::vector<uint8_t>& picture) const;
    void MakeSound(int frame, std::vector<int16_t>& sound) const;

    PatternSpec spec_;
    int frameCount_;
    int valuesPerFrame_;
    int delivered_ = 0;
    std::vector<std::vector<uint8_t>> prerendered_;
    std::vector<uint8_t> picture_;
    std::vector<int16_t> sound_;
};

// Makes the generator the one the returned frame callback serves (one at a
// time per process).
CS_FrameCallback BindFrameCallback(PatternGenerator* generator);

}  // namespace testpattern
