#include "castor/output_formats.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace castor {
namespace {

constexpr int kFlashRates[] = {44100, 22050, 11025, 0};
constexpr int kSmafRates[] = {4000, 8000, 11025, 22050, 44100, 0};

constexpr ContainerDefaults kContainers[] = {
    {"mp4", "mp4", "h264", "aac", 0, 0, nullptr},
    {"m4v", "mp4", "h264", "aac", 0, 0, nullptr},
    {"m4a", "ipod", nullptr, "aac", 0, 0, nullptr},
    {"mov", "mov", "h264", "aac", 0, 0, nullptr},
    {"3gp", "3gp", "h263", "amr_nb", 0, 0, nullptr},
    {"3g2", "3g2", "h263", "amr_nb", 0, 0, nullptr},
    {"avi", "avi", "mpeg4", "mp3", 0, 0, nullptr},
    {"mpg", "mpeg", "mpeg1video", "mp2", 0, 0, nullptr},
    {"mpeg", "mpeg", "mpeg1video", "mp2", 0, 0, nullptr},
    {"vob", "vob", "mpeg2video", "ac3", 48000, 0, nullptr},
    {"ts", "mpegts", "mpeg2video", "mp2", 0, 0, nullptr},
    {"m2ts", "mpegts", "h264", "ac3", 48000, 0, nullptr},
    {"mts", "mpegts", "h264", "ac3", 48000, 0, nullptr},
    {"mkv", "matroska", "h264", "vorbis", 0, 0, nullptr},
    {"flv", "flv", "flv", "mp3", 0, 0, kFlashRates},
    {"swf", "swf", "flv", "mp3", 0, 0, kFlashRates},
    {"gif", "gif", "gif", nullptr, 0, 0, nullptr},
    {"asf", "asf", "wmv2", "wmav2", 0, 0, nullptr},
    {"wmv", "asf", "wmv2", "wmav2", 0, 0, nullptr},
    {"wma", "asf", nullptr, "wmav2", 0, 0, nullptr},
    {"mp3", "mp3", nullptr, "mp3", 0, 0, nullptr},
    {"mp2", "mp2", nullptr, "mp2", 0, 0, nullptr},
    {"wav", "wav", nullptr, "pcm_s16le", 0, 0, nullptr},
    {"aac", "adts", nullptr, "aac", 0, 0, nullptr},
    {"ac3", "ac3", nullptr, "ac3", 0, 0, nullptr},
    {"flac", "flac", nullptr, "flac", 0, 0, nullptr},
    {"ogg", "ogg", nullptr, "vorbis", 0, 0, nullptr},
    {"mmf", "mmf", nullptr, "adpcm_yamaha", 8000, 1, kSmafRates},
    {"au", "au", nullptr, "pcm_s16be", 0, 0, nullptr},
    {"amr", "amr", nullptr, "amr_nb", 0, 0, nullptr},
    {"awb", "amr", nullptr, "amr_wb", 0, 0, nullptr},
    {"jpg", "image2", "mjpeg", nullptr, 0, 0, nullptr},
    {"jpeg", "image2", "mjpeg", nullptr, 0, 0, nullptr},
    {"png", "image2", "png", nullptr, 0, 0, nullptr},
    {"bmp", "image2", "bmp", nullptr, 0, 0, nullptr},
};

const ContainerDefaults* ByExtension(const std::string& extension) {
    for (const ContainerDefaults& entry : kContainers) {
        if (extension == entry.extension) {
            return &entry;
        }
    }
    return nullptr;
}

const ContainerDefaults* ByMuxer(const char* muxer) {
    for (const ContainerDefaults& entry : kContainers) {
        if (std::strcmp(muxer, entry.muxer) == 0) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool FindContainer(const std::string& formatName, const std::string& outputPath,
                   Container& container, std::string& message) {
    container = Container{};
    const ContainerDefaults* byExtension = ByExtension(LowerExtension(outputPath));
    if (!formatName.empty()) {
        container.format = av_guess_format(formatName.c_str(), nullptr, nullptr);
        if (container.format == nullptr) {
            message = "Unknown output format '" + formatName + "'";
            return false;
        }
    } else if (byExtension != nullptr) {
        container.format = av_guess_format(byExtension->muxer, nullptr, nullptr);
    } else {
        container.format = av_guess_format(nullptr, outputPath.c_str(), nullptr);
        if (container.format == nullptr) {
            message = "Cannot tell the output format from '" + outputPath +
                      "': give a known extension or -f";
            return false;
        }
    }
    if (container.format == nullptr) {
        message = "This libavformat cannot write '" + outputPath + "'";
        return false;
    }
    const char* muxer = container.format->name;
    container.defaults = byExtension != nullptr && std::strcmp(byExtension->muxer, muxer) == 0
                             ? byExtension
                             : ByMuxer(muxer);
    container.imageSequence = std::strcmp(muxer, "image2") == 0;
    return true;
}

}  // namespace castor
