#include "tests/joiner/joiner_fixtures.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include <libbluray/bluray.h>

#include "bindings/joiner.h"
#include "tests/platform/run_command.h"

namespace joiner_test {

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

JoinRun* running = nullptr;
int stopAfter = -1;

int RecordProgress(int32_t kind, int32_t value, const char*) {
    running->progress.emplace_back(kind, value);
    return stopAfter >= 0 && static_cast<int>(running->progress.size()) >= stopAfter ? -1 : 0;
}

}  // namespace

bool MakeStream(const std::string& path, double seconds, const std::string& codecs) {
    const std::string command = Quoted(std::string(KINOLUX_BIN_DIR) + "/testpattern") + " --seconds " +
                                std::to_string(seconds) + " --size 1280x720 --rate 25 -- -f mpegts " + codecs + " " +
                                Quoted(path) + " >/dev/null 2>&1";
    return kinolux::testing::RunCommand(command).exitCode == 0 && std::filesystem::exists(path);
}

JoinRun Join(const std::string& streamPath, const std::string& folder, int cancelAfter) {
    JoinRun run;
    running = &run;
    stopAfter = cancelAfter;
    nx_setcallbackfunc(RecordProgress);
    void* info = nullptr;
    run.trackInfoStatus = nx_ts_gettrackinfo(streamPath.c_str(), &info);
    const NX_TRACKINFO_HEAD* head = static_cast<const NX_TRACKINFO_HEAD*>(info);
    run.total = head ? head->total : 0;
    run.folderStatus = nx_ts_cbdfolder(folder.c_str(), info, NX_MODE_BLURAY_FOLDER);
    run.message = head ? head->message : "";
    nx_ts_freetrackinfo(info);
    nx_setcallbackfunc(nullptr);
    running = nullptr;
    return run;
}

DiscView OpenDisc(const std::string& folder) {
    DiscView view;
    BLURAY* disc = bd_open(folder.c_str(), nullptr);
    if (!disc) return view;
    view.opened = true;
    view.titles = bd_get_titles(disc, TITLES_ALL, 0);
    if (BLURAY_TITLE_INFO* title = view.titles > 0 ? bd_get_title_info(disc, 0, 0) : nullptr) {
        view.duration = title->duration;
        view.chapters = title->chapter_count;
        if (title->clip_count > 0) {
            const BLURAY_CLIP_INFO& clip = title->clips[0];
            for (int i = 0; i < clip.video_stream_count; ++i) view.videoCodingTypes.push_back(clip.video_streams[i].coding_type);
            for (int i = 0; i < clip.audio_stream_count; ++i) view.audioCodingTypes.push_back(clip.audio_streams[i].coding_type);
        }
        bd_free_title_info(title);
    }
    if (view.titles > 0 && bd_select_title(disc, 0)) {
        std::vector<unsigned char> buffer(6144);
        for (int n; (n = bd_read(disc, buffer.data(), static_cast<int>(buffer.size()))) > 0;) view.bytesPlayed += n;
        view.middle = bd_seek_time(disc, view.duration / 2);
    }
    bd_close(disc);
    return view;
}

std::vector<std::string> StreamCodecs(const std::string& path) {
    // Each stream is listed once on its own and once more in its programme.
    std::istringstream lines(kinolux::testing::RunCommand("ffprobe -v error -show_entries stream=index,codec_name "
                                                          "-of csv=p=0 " + Quoted(path))
                                 .output);
    std::map<int, std::string> byIndex;
    for (std::string line; std::getline(lines, line);) {
        const size_t comma = line.find(',');
        if (comma != std::string::npos) byIndex[std::stoi(line.substr(0, comma))] = line.substr(comma + 1);
    }
    std::vector<std::string> codecs;
    for (const auto& [index, codec] : byIndex) codecs.push_back(codec);
    return codecs;
}

double Duration(const std::string& path) {
    const std::string text = kinolux::testing::RunCommand("ffprobe -v error -show_entries format=duration "
                                                          "-of default=noprint_wrappers=1:nokey=1 " + Quoted(path))
                                 .output;
    try {
        return std::stod(text);
    } catch (...) {
        return -1;
    }
}

std::vector<std::string> Tree(const std::string& root) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(root)) return names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        names.push_back(std::filesystem::relative(entry.path(), root).string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace joiner_test
