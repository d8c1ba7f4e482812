// The muxer library's reader and writer on arbitrary bytes: a stream is
// surveyed and, when it passes, written as a Blu-ray folder, which is
// then removed. Anything but a Failure is a fault.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "joiner/disc_folder.h"
#include "joiner/failure.h"
#include "joiner/packet_scan.h"
#include "joiner/stream_survey.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string root = [] {
        av_log_set_level(AV_LOG_QUIET);
        std::string pattern = (std::filesystem::temp_directory_path() / "joiner-fuzz-XXXXXX").string();
        return std::string(::mkdtemp(pattern.data()));
    }();
    const std::string stream = root + "/in.m2ts";
    std::ofstream(stream, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        joiner::ClipSurvey survey;
        survey.path = stream;
        joiner::Progress progress(nullptr);
        joiner::ScanPackets(survey, progress);
        joiner::SurveyStreams(survey, progress);
        joiner::WriteDiscFolder(survey, root + "/disc", progress);
    } catch (const joiner::Failure&) {
    }
    std::error_code ignored;
    std::filesystem::remove_all(root + "/disc", ignored);
    return 0;
}
