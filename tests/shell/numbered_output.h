// Reads back a conversion of a numbered movie (numbered_movie.h): which
// movie frame each output frame shows, which output frames flash, and where
// the beeps start in the output's sound. Decoded with ffmpeg, frame by
// frame, so a movie of several minutes needs little memory.
#pragma once

#include "tests/shell/numbered_movie.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace kinolux::testing {

struct NumberedOutput {
    std::vector<int> frames;        // per output frame: the movie frame it shows
    std::vector<bool> flashes;      // per output frame: the flash is on
    std::vector<double> beepStarts; // seconds into the output's sound
};

namespace numbered_detail {

inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

inline bool IsWhite(const std::vector<unsigned char>& picture, int x, int y) {
    return picture[std::size_t(y) * kNumberedWidth + std::size_t(x)] > 128;
}

}  // namespace numbered_detail

inline NumberedOutput ReadNumberedOutput(const std::string& file) {
    using numbered_detail::IsWhite;
    using numbered_detail::Quoted;
    NumberedOutput out;
    const std::string size = std::to_string(kNumberedWidth) + "x" + std::to_string(kNumberedHeight);
    if (FILE* video = ::popen(("ffmpeg -v error -i " + Quoted(file) + " -f rawvideo -pix_fmt gray -s " + size + " -")
                                  .c_str(), "r")) {
        std::vector<unsigned char> picture(std::size_t(kNumberedWidth) * kNumberedHeight);
        while (std::fread(picture.data(), 1, picture.size(), video) == picture.size()) {
            int number = 0;
            for (int bit = 0; bit < kNumberBits; ++bit)
                if (IsWhite(picture, NumberSquareX(bit) + kNumberSquare / 2, NumberSquareY(bit) + kNumberSquare / 2))
                    number |= 1 << bit;
            out.frames.push_back(number);
            out.flashes.push_back(IsWhite(picture, kNumberedWidth / 2, (kFlashTop + kNumberedHeight) / 2));
        }
        ::pclose(video);
    }
    // A beep starts where the sound turns loud after a quiet stretch.
    constexpr int kRate = 44100;
    constexpr int kQuietValues = kRate / 10;
    if (FILE* sound = ::popen(("ffmpeg -v error -i " + Quoted(file) + " -f s16le -ac 1 -ar 44100 -").c_str(), "r")) {
        int16_t value;
        long index = 0, quietFor = kQuietValues;
        while (std::fread(&value, sizeof value, 1, sound) == 1) {
            if (std::abs(value) > 4000) {
                if (quietFor >= kQuietValues) out.beepStarts.push_back(double(index) / kRate);
                quietFor = 0;
            } else {
                ++quietFor;
            }
            ++index;
        }
        ::pclose(sound);
    }
    return out;
}

// The share of the movie frames first..last that the output shows exactly
// once.
inline double ShareShownOnce(const std::vector<int>& frames, int first, int last) {
    if (last < first) return 0;
    std::vector<int> seen(std::size_t(last - first + 1), 0);
    for (int frame : frames)
        if (frame >= first && frame <= last) ++seen[std::size_t(frame - first)];
    int once = 0;
    for (int count : seen) once += count == 1;
    return double(once) / double(seen.size());
}

}  // namespace kinolux::testing
