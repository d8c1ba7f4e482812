#include "castor/target_presets.h"

#include <cmath>
#include <string_view>

#include "castor/codec_names.h"

namespace castor {
namespace {

enum class Standard { Unknown, Pal, Ntsc, Film };

struct Disc {
    const char* name;
    const char* videoCodec;
    const char* audioCodec;
    int palWidth, palHeight, ntscWidth, ntscHeight;
    double videoBitRate, maxRate, minRate, bufferSize;
    double audioBitRate;
    int audioRate;
    const char* packetSize;
    const char* muxRate;
};

constexpr Disc kDiscs[] = {
    {"vcd", "mpeg1video", "mp2", 352, 288, 352, 240, 1150000, 1150000, 1150000, 327680, 224000,
     44100, "2324", "1411200"},
    {"svcd", "mpeg2video", "mp2", 480, 576, 480, 480, 2040000, 2516000, 0, 1835008, 224000, 44100,
     "2324", nullptr},
    {"dvd", "mpeg2video", "ac3", 720, 576, 720, 480, 6000000, 9000000, 0, 1835008, 448000, 48000,
     "2048", "10080000"},
};

struct ParsedTarget {
    Standard standard = Standard::Unknown;
    const Disc* disc = nullptr;
};

ParsedTarget Parse(std::string_view name) {
    ParsedTarget target;
    constexpr std::pair<std::string_view, Standard> kPrefixes[] = {
        {"pal-", Standard::Pal}, {"ntsc-", Standard::Ntsc}, {"film-", Standard::Film}};
    for (const auto& [prefix, standard] : kPrefixes) {
        if (name.starts_with(prefix)) {
            target.standard = standard;
            name.remove_prefix(prefix.size());
        }
    }
    for (const Disc& disc : kDiscs) {
        if (name == disc.name) {
            target.disc = &disc;
        }
    }
    return target;
}

Standard GuessStandard(double rate) {
    auto near = [rate](double value) { return std::fabs(rate - value) < 0.05; };
    if (near(25) || near(50) || near(12.5)) {
        return Standard::Pal;
    }
    if (near(24) || near(23.976)) {
        return Standard::Film;
    }
    return Standard::Ntsc;
}

void SetLibavOption(Options& options, const char* name, const char* value) {
    if (value == nullptr) {
        return;
    }
    for (const auto& [given, unused] : options.libavOptions) {
        if (given == name) {
            return;
        }
    }
    options.libavOptions.emplace_back(name, value);
}

}  // namespace

std::string CheckTargetName(const std::string& name) {
    return Parse(name).disc != nullptr
               ? std::string()
               : "Unknown target '" + name + "' (use vcd, svcd or dvd, optionally with pal-, ntsc- or film-)";
}

std::string TargetFormat(const std::string& name) {
    const ParsedTarget target = Parse(name);
    return target.disc != nullptr ? target.disc->name : std::string();
}

void ApplyTarget(Options& options, double inputFrameRate) {
    const ParsedTarget target = Parse(options.target);
    if (target.disc == nullptr) {
        return;
    }
    const Disc& disc = *target.disc;
    const Standard standard =
        target.standard == Standard::Unknown ? GuessStandard(inputFrameRate) : target.standard;
    const bool pal = standard == Standard::Pal;

    auto fill = [](auto& field, auto value, auto unset) {
        if (field == unset) {
            field = value;
        }
    };
    if (IsAutoCodec(options.videoCodec)) {
        options.videoCodec = disc.videoCodec;
    }
    if (IsAutoCodec(options.audioCodec)) {
        options.audioCodec = disc.audioCodec;
    }
    if (options.size.width == 0) {
        options.size = pal ? FrameSize{disc.palWidth, disc.palHeight}
                           : FrameSize{disc.ntscWidth, disc.ntscHeight};
    }
    fill(options.frameRate, pal ? 25.0 : standard == Standard::Film ? 24000.0 / 1001 : 30000.0 / 1001,
         0.0);
    fill(options.gopSize, pal ? 15 : 18, -1);
    fill(options.videoBitRate, disc.videoBitRate, 0.0);
    fill(options.maxRate, disc.maxRate, 0.0);
    fill(options.minRate, disc.minRate, 0.0);
    fill(options.bufferSize, disc.bufferSize, 0.0);
    fill(options.audioBitRate, disc.audioBitRate, 0.0);
    fill(options.audioRate, disc.audioRate, 0);
    fill(options.audioChannels, 2, 0);
    SetLibavOption(options, "packetsize", disc.packetSize);
    SetLibavOption(options, "muxrate", disc.muxRate);
}

}  // namespace castor
