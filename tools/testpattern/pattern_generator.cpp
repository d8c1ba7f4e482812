#include "tools/testpattern/pattern_generator.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace testpattern {
namespace {

constexpr int kValuesPerSecond = 88200;  // 16-bit stereo at 44100 Hz
constexpr int kSampleRate = 44100;

PatternGenerator* bound = nullptr;

int BoundCallback(int request, FrameInfo* info) {
    return bound != nullptr ? bound->Fill(request, info) : -1;
}

}  // namespace

CS_FrameCallback BindFrameCallback(PatternGenerator* generator) {
    bound = generator;
    return BoundCallback;
}

PatternGenerator::PatternGenerator(const PatternSpec& spec)
    : spec_(spec),
      frameCount_(static_cast<int>(std::lround(spec.seconds * spec.frameRate))),
      valuesPerFrame_(static_cast<int>(kValuesPerSecond / spec.frameRate)) {}

double PatternGenerator::FrameTime(int frame) const {
    // As the program stamps frames: whole milliseconds, truncated.
    double seconds = std::trunc((frame + 1) * 1000.0 / spec_.frameRate) * 0.001;
    if (spec_.gapAfterFrame >= 0 && frame > spec_.gapAfterFrame) {
        seconds += spec_.gapSeconds;
    }
    return seconds;
}

void PatternGenerator::Render(int frame, std::vector<uint8_t>& picture) const {
    const int width = spec_.pictureWidth > 0 ? spec_.pictureWidth : spec_.width;
    const int height = spec_.pictureHeight > 0 ? spec_.pictureHeight : spec_.height;
    picture.resize(static_cast<size_t>(width) * height * 3);
    if (frame == spec_.markFrame) {
        std::fill(picture.begin(), picture.end(), uint8_t{255});
        return;
    }
    // A dark field with colour bars in the lower half and a grey bar that
    // moves one step per frame: movement, colour and flat areas, as in a
    // Flash movie, while the picture stays dark on average.
    const int barWidth = std::max(width / 16, 1);
    const int barX = (frame * std::max(width / 50, 1)) % width;
    static constexpr uint8_t kBars[6][3] = {{0, 0, 160}, {0, 160, 0}, {160, 0, 0},
                                            {0, 160, 160}, {160, 0, 160}, {160, 160, 0}};
    for (int row = 0; row < height; ++row) {
        const int y = height - 1 - row;  // rows are stored bottom-up
        uint8_t* pixel = picture.data() + static_cast<size_t>(row) * width * 3;
        for (int x = 0; x < width; ++x, pixel += 3) {
            const uint8_t* colour = nullptr;
            static constexpr uint8_t kField[3] = {60, 30, 20};
            static constexpr uint8_t kMoving[3] = {150, 150, 150};
            if (x >= barX && x < barX + barWidth) {
                colour = kMoving;
            } else if (y >= height / 2) {
                colour = kBars[x * 6 / width];
            } else {
                colour = kField;
            }
            std::memcpy(pixel, colour, 3);  // blue, green, red
        }
    }
}

void PatternGenerator::MakeSound(int frame, std::vector<int16_t>& sound) const {
    sound.resize(static_cast<size_t>(valuesPerFrame_));
    const double toneStart = spec_.markFrame >= 0 ? spec_.markFrame / double(spec_.frameRate) : -1;
    const double shift = spec_.gapAfterFrame >= 0 && frame > spec_.gapAfterFrame ? spec_.gapSeconds : 0;
    // Values are counted across the whole stream: a frame's block may
    // start with the right channel when the previous one held an odd count.
    const int64_t firstValue = int64_t{frame} * valuesPerFrame_;
    for (int i = 0; i < valuesPerFrame_; ++i) {
        const double t = static_cast<double>((firstValue + i) / 2) / kSampleRate + shift;
        sound[i] = t >= toneStart ? static_cast<int16_t>(std::lround(
                                        32767 * spec_.toneLevel * std::sin(2 * M_PI * spec_.toneHz * t)))
                                  : int16_t{0};
    }
}

void PatternGenerator::Prerender() {
    prerendered_.resize(static_cast<size_t>(frameCount_));
    for (int frame = 0; frame < frameCount_; ++frame) {
        Render(frame, prerendered_[frame]);
    }
}

const std::vector<uint8_t>& PatternGenerator::Picture(int frame) {
    if (frame < static_cast<int>(prerendered_.size())) {
        return prerendered_[frame];
    }
    Render(frame, picture_);
    return picture_;
}

const std::vector<int16_t>& PatternGenerator::Sound(int frame) {
    MakeSound(frame, sound_);
    return sound_;
}

int PatternGenerator::Fill(int request, FrameInfo* info) {
    std::memset(info, 0, sizeof *info);
    info->streamKind = spec_.streamKind;
    info->audioSampleRate = kSampleRate;
    info->audioChannels = 2;
    info->fixed128 = 128;
    info->fixed32 = 32;
    info->frameHeight = spec_.height;
    info->frameWidth = spec_.width;
    info->bytesPerPixel = 3;
    info->frameRate = spec_.frameRate;
    info->bitsPerPixel = 24;
    if (request == 0) {
        delivered_ = 0;
        return 0;
    }
    if (delivered_ >= frameCount_) {
        return -1;
    }
    const int frame = delivered_++;
    const float time = static_cast<float>(FrameTime(frame));
    if (spec_.streamKind != 2) {
        const std::vector<uint8_t>& picture = Picture(frame);
        info->picture = const_cast<uint8_t*>(picture.data());
        info->pictureBytes = static_cast<int32_t>(picture.size());
        info->pictureWidth = spec_.pictureWidth > 0 ? spec_.pictureWidth : spec_.width;
        info->pictureHeight = spec_.pictureHeight > 0 ? spec_.pictureHeight : spec_.height;
        info->pictureTime = time;
    }
    if (spec_.streamKind != 1) {
        const std::vector<int16_t>& sound = Sound(frame);
        info->sound = const_cast<int16_t*>(sound.data());
        info->soundBytes = static_cast<int32_t>(sound.size() * 2);
        info->soundTime = time;
    }
    return 0;
}

}  // namespace testpattern
