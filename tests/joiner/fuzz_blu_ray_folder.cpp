// The muxer library's reader and writer on arbitrary bytes: a stream is
// surveyed and, when it passes, written as a Blu-ray folder, which is
// then removed. Anything but a Failure is a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
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

namespace {

std::string root;

// A folder of the fuzzer's own for the stream and the disc, removed when
// the run ends.
const std::string& WorkFolder() {
    static const bool made = [] {
        av_log_set_level(AV_LOG_QUIET);
        std::string pattern = (std::filesystem::temp_directory_path() / "joiner-fuzz-XXXXXX").string();
        root = ::mkdtemp(pattern.data());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        });
        return true;
    }();
    (void)made;
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& folder = WorkFolder();
    const std::string stream = folder + "/in.m2ts";
    std::ofstream(stream, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    try {
        joiner::ClipSurvey survey;
        survey.path = stream;
        joiner::Progress progress(nullptr);
        joiner::ScanPackets(survey, progress);
        joiner::SurveyStreams(survey, progress);
        joiner::WriteDiscFolder(survey, folder + "/disc", progress);
    } catch (const joiner::Failure&) {
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder + "/disc", ignored);
    return 0;
}
