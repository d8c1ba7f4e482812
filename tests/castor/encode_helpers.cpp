#include "tests/castor/encode_helpers.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "bindings/castor.h"
#include "tests/platform/run_command.h"

namespace castor_test {
namespace {

// The program calls CSInit once when it starts; so do the tests.
const bool initialised = [] {
    CSInit();
    return true;
}();

EncodeResult* current = nullptr;
double stopPosition = -1;

int RecordProgress(const char* text, double value) {
    if (value > -2 && value < 0) {
        current->errors.emplace_back(text);
        return 0;
    }
    current->positions.push_back(value);
    return stopPosition >= 0 && value >= stopPosition ? -1 : 0;
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "castor-test-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
}

ScratchFolder::~ScratchFolder() { std::filesystem::remove_all(root_); }

std::vector<std::string> ScratchFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(root_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

EncodeResult Encode(const std::vector<std::string>& arguments, double stopAt) {
    std::vector<std::string> vector = {"ffmain"};
    vector.insert(vector.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : vector) {
        pointers.push_back(argument.data());
    }
    EncodeResult result;
    current = &result;
    stopPosition = stopAt;
    result.status = ffmain(static_cast<int>(pointers.size()), pointers.data(), RecordProgress);
    current = nullptr;
    return result;
}

EncodeResult EncodePattern(const testpattern::PatternSpec& spec, const std::vector<std::string>& arguments,
                           double stopAt) {
    testpattern::PatternGenerator generator(spec);
    CS_SetFrameInfoCallBack(testpattern::BindFrameCallback(&generator));
    std::vector<std::string> vector = {"-i", CASTOR_FRAME_INPUT};
    vector.insert(vector.end(), arguments.begin(), arguments.end());
    EncodeResult result = Encode(vector, stopAt);
    CS_SetFrameInfoCallBack(testpattern::BindFrameCallback(nullptr));
    return result;
}

std::string Shell(const std::string& command) {
    return kinolux::testing::RunCommand(command).output;
}

std::map<std::string, std::string> Probe(const std::string& path) {
    std::map<std::string, std::string> fields;
    std::istringstream lines(Shell("ffprobe -v error -show_entries "
                                 "stream=codec_type,codec_name,codec_tag_string,profile,width,height,display_aspect_ratio,"
                                 "sample_rate,channels,duration,start_time,pix_fmt:format=duration,start_time,format_name "
                                 "-of flat '" + path + "'"));
    std::string line;
    int streams = 0;
    std::map<std::string, std::string> byIndex;  // "0.codec_type" -> "video"
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (key.rfind("streams.stream.", 0) == 0) {
            byIndex[key.substr(15)] = value;
        } else if (key.rfind("format.", 0) == 0) {
            fields[key] = value;
        }
    }
    for (int index = 0; byIndex.count(std::to_string(index) + ".codec_type"); ++index, ++streams) {
        const std::string prefix = std::to_string(index) + ".";
        const std::string type = byIndex[prefix + "codec_type"];
        for (const auto& [key, value] : byIndex) {
            if (key.rfind(prefix, 0) == 0) {
                fields[type + "." + key.substr(prefix.size())] = value;
            }
        }
    }
    if (!fields.empty()) {
        fields["streams"] = std::to_string(streams);
    }
    return fields;
}

double Length(const std::string& path) {
    // From the packets, not the header: some containers' headers (FLV)
    // give the end time as the duration.
    std::istringstream lines(Shell("ffprobe -v error -show_entries packet=pts_time,duration_time -of csv=p=0 '" +
                                   path + "'"));
    double first = 1e9, last = -1e9;
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("N/A", 0) == 0) {
            continue;
        }
        const double pts = std::atof(line.c_str());
        const size_t comma = line.find(',');
        const double duration = comma == std::string::npos ? 0 : std::atof(line.c_str() + comma + 1);
        first = std::min(first, pts);
        last = std::max(last, pts + duration);
    }
    return last >= first ? last - first : -1;
}

int VideoFrameCount(const std::string& path) {
    return std::atoi(Shell("ffprobe -v error -count_frames -select_streams v -show_entries "
                           "stream=nb_read_frames -of csv=p=0 '" + path + "'").c_str());
}

MarkTimes FindMarks(const std::string& path) {
    // One decoding of both streams, so that both share the same timeline;
    // the metadata filters print "pts_time:" lines, each followed by the
    // frame's value.
    std::istringstream lines(Shell(
        "ffmpeg -v info -nostats -i '" + path +
        "' -filter_complex '[0:v]signalstats,metadata=print:key=lavfi.signalstats.YAVG[v];"
        "[0:a]astats=metadata=1:reset=1,ametadata=print:key=lavfi.astats.Overall.RMS_level[a]' "
        "-map '[v]' -map '[a]' -f null - 2>&1"));
    MarkTimes marks;
    double picturePts = 0, soundPts = 0;
    std::string line;
    while (std::getline(lines, line)) {
        const bool sound = line.find("Parsed_ametadata") != std::string::npos;
        const size_t pts = line.find("pts_time:");
        if (pts != std::string::npos) {
            (sound ? soundPts : picturePts) = std::atof(line.c_str() + pts + 9);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const double value = std::atof(line.c_str() + equals + 1);
        if (line.find("YAVG=") != std::string::npos && value > 200 && marks.picture < 0) {
            marks.picture = picturePts;
        } else if (line.find("RMS_level=") != std::string::npos && line.find("inf") == std::string::npos &&
                   value > -40 && marks.sound < 0) {
            marks.sound = soundPts;
        }
    }
    return marks;
}

double SoundLevel(const std::string& path) {
    const std::string output = Shell("ffmpeg -v info -nostats -i '" + path +
                                   "' -af astats=measure_perchannel=none -f null - 2>&1 | "
                                   "grep 'RMS level dB' | tail -1");
    const size_t colon = output.find(':');
    return colon == std::string::npos ? -1000 : std::atof(output.c_str() + colon + 1);
}

}  // namespace castor_test
