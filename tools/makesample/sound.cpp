#include "tools/makesample/sound.h"

#include <algorithm>
#include <cmath>

namespace makesample {
namespace {

void put16(std::vector<std::uint8_t>& out, double v) {
    auto s = std::int16_t(std::clamp(std::lround(v * 32767.0), -32767L, 32767L));
    out.push_back(std::uint8_t(s & 0xff));
    out.push_back(std::uint8_t((s >> 8) & 0xff));
}

// Short fades at both ends so that notes do not click.
double envelope(int i, int n, int fade) {
    return std::min({1.0, double(i) / fade, double(n - i) / fade});
}

}  // namespace

std::vector<std::uint8_t> chord(const std::vector<double>& frequencies, int sampleRate, int samples) {
    std::vector<std::uint8_t> out;
    out.reserve(std::size_t(samples) * 2);
    for (int i = 0; i < samples; ++i) {
        double t = double(i) / sampleRate, v = 0;
        for (double f : frequencies) v += std::sin(2 * M_PI * f * t);
        put16(out, 0.6 * v / double(frequencies.size()) * envelope(i, samples, sampleRate / 20));
    }
    return out;
}

std::vector<std::uint8_t> melody(const std::vector<double>& notes, int sampleRate, int stepSamples) {
    std::vector<std::uint8_t> out;
    out.reserve(notes.size() * std::size_t(stepSamples) * 4);
    for (double f : notes)
        for (int i = 0; i < stepSamples; ++i) {
            double t = double(i) / sampleRate, e = 0.35 * envelope(i, stepSamples, sampleRate / 100);
            put16(out, e * std::sin(2 * M_PI * f * t));
            put16(out, e * std::sin(M_PI * f * t));
        }
    return out;
}

}  // namespace makesample
