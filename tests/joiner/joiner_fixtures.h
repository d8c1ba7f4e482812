// What the muxer library's tests share: transport streams made by the
// encoder from the test pattern, the library's entries run in order with
// their progress recorded, and views of a written folder from outside
// (libbluray as a player opens a disc, ffprobe as it reads a stream).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace joiner_test {

// Encodes `seconds` of the test pattern (1280x720 at 25 frames a second
// with a tone) into a transport stream at `path` with the encoder's
// arguments `codecs` (for example "-vcodec h264 -acodec ac3 -ar 48000").
// False when the encoder failed.
bool MakeStream(const std::string& path, double seconds, const std::string& codecs);
// The arguments of the AVCHD profiles: H.264 and AC-3.
inline constexpr const char* kAvchdCodecs = "-vcodec h264 -acodec ac3 -ar 48000 -ab 192 -g 25 -bf 2 -s 1280x720";

struct JoinRun {
    int32_t trackInfoStatus = 0;
    float total = 0;
    int32_t folderStatus = 0;
    std::string message;                         // the record's, after the folder step
    std::vector<std::pair<int, int>> progress;   // (kind, value) as reported
};

// nx_setcallbackfunc, nx_ts_gettrackinfo, nx_ts_cbdfolder (mode 5) and
// nx_ts_freetrackinfo, as the program calls them. The callback asks to
// stop once `cancelAfter` reports were made (-1: never).
JoinRun Join(const std::string& streamPath, const std::string& folder, int cancelAfter = -1);

// The disc as libbluray sees it.
struct DiscView {
    bool opened = false;
    uint32_t titles = 0;
    uint64_t duration = 0;  // of title 0, 90 kHz
    uint32_t chapters = 0;
    std::vector<int> videoCodingTypes;  // of the title's clip
    std::vector<int> audioCodingTypes;
    uint64_t bytesPlayed = 0;  // read through the title from start to end
    int64_t middle = -1;       // where a seek to the title's middle lands, in bytes
};
DiscView OpenDisc(const std::string& folder);

// ffprobe's codec names of a file's streams in order, and its duration in
// seconds (-1 when unreadable).
std::vector<std::string> StreamCodecs(const std::string& path);
double Duration(const std::string& path);

// Every file and folder below `root`, relative and sorted ("BDMV",
// "BDMV/index.bdmv", ...).
std::vector<std::string> Tree(const std::string& root);

}  // namespace joiner_test
