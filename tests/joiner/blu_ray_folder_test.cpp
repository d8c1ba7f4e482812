// The muxer library on streams the encoder writes with the AVCHD
// profiles' codecs: the folder it leaves is a disc that libbluray opens
// and plays, its stream reads as the input did, and a cancel or an
// occupied name costs nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "bindings/joiner.h"
#include "tests/joiner/joiner_fixtures.h"
#include "tests/platform/scoped_temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace joiner_test;
using kinolux::testing::ScopedTempFolder;

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class BluRayFolderOfAStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new ScopedTempFolder;
        ASSERT_TRUE(MakeStream(Stream(), 3, kAvchdCodecs));
        ASSERT_TRUE(MakeStream(PlainStream(), 3, kAvchdCodecs));
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    // The encoder writes 192-byte packets for a name ending in .m2ts, as
    // the AVCHD profiles' outputs have, and 188-byte packets otherwise.
    static std::string Stream() { return *folder_ / "movie.m2ts"; }
    static std::string PlainStream() { return *folder_ / "movie.ts"; }
    // What the run left beside the folder other than the stream itself.
    std::vector<std::string> Beside() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(out_.path())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    static ScopedTempFolder* folder_;
    ScopedTempFolder out_;
};

ScopedTempFolder* BluRayFolderOfAStream::folder_ = nullptr;

// The encoder's .m2ts streams carry their video as PID 0x1011, as discs
// do; its plain ones as 0x100.
struct StreamKind {
    std::string path;
    int packetSize;
    int videoPid;
};

void ExpectADiscThatPlays(const StreamKind& stream, const std::string& disc);

TEST_F(BluRayFolderOfAStream, IsADiscWithOneTitleThatPlaysTheStream) {
    for (const StreamKind& stream : {StreamKind{Stream(), 192, 0x1011}, StreamKind{PlainStream(), 188, 0x100}}) {
        SCOPED_TRACE(stream.path);
        ScopedTempFolder out;
        ExpectADiscThatPlays(stream, out / "movie");
    }
}

void ExpectADiscThatPlays(const StreamKind& kind, const std::string& disc) {
    const std::string& stream = kind.path;
    const int packetSize = kind.packetSize;
    fs::create_directory(disc);  // as the program makes it before the call
    const JoinRun run = Join(stream, disc + "/");
    ASSERT_EQ(run.trackInfoStatus, 0) << run.message;
    ASSERT_EQ(run.folderStatus, 0) << run.message;
    EXPECT_EQ(run.message, "");

    EXPECT_EQ(Tree(disc), (std::vector<std::string>{
                              "BDMV", "BDMV/AUXDATA", "BDMV/BACKUP", "BDMV/BACKUP/BDJO", "BDMV/BACKUP/CLIPINF",
                              "BDMV/BACKUP/CLIPINF/00000.clpi", "BDMV/BACKUP/JAR", "BDMV/BACKUP/MovieObject.bdmv",
                              "BDMV/BACKUP/PLAYLIST", "BDMV/BACKUP/PLAYLIST/00000.mpls", "BDMV/BACKUP/index.bdmv",
                              "BDMV/BDJO", "BDMV/CLIPINF", "BDMV/CLIPINF/00000.clpi", "BDMV/JAR", "BDMV/META",
                              "BDMV/MovieObject.bdmv", "BDMV/PLAYLIST", "BDMV/PLAYLIST/00000.mpls", "BDMV/STREAM",
                              "BDMV/STREAM/00000.m2ts", "BDMV/index.bdmv", "CERTIFICATE", "CERTIFICATE/BACKUP"}));
    for (const char* file : {"index.bdmv", "MovieObject.bdmv", "PLAYLIST/00000.mpls", "CLIPINF/00000.clpi"})
        EXPECT_EQ(FileBytes(disc + "/BDMV/" + file), FileBytes(disc + "/BDMV/BACKUP/" + file)) << file;
    EXPECT_EQ(Tree(fs::path(disc).parent_path()).size(), Tree(disc).size() + 1) << "no working folder is left";

    // 192-byte source packets in whole aligned units of 6144 bytes, each
    // holding a transport packet behind its 4-byte arrival time stamp.
    const std::string m2ts = FileBytes(disc + "/BDMV/STREAM/00000.m2ts");
    const uint64_t inputPackets = fs::file_size(stream) / packetSize;
    ASSERT_EQ(m2ts.size() % 6144, 0u);
    EXPECT_EQ(m2ts.size() / 192, (inputPackets + 31) / 32 * 32);
    uint32_t lastStamp = 0;
    for (size_t at = 0; at < m2ts.size(); at += 192) {
        ASSERT_EQ(m2ts[at + 4], 0x47) << "packet " << at / 192;
        const uint32_t stamp = (uint32_t(uint8_t(m2ts[at])) << 24 | uint32_t(uint8_t(m2ts[at + 1])) << 16 |
                                uint32_t(uint8_t(m2ts[at + 2])) << 8 | uint8_t(m2ts[at + 3])) & 0x3FFFFFFF;
        if (at > 0) {
            ASSERT_GT(stamp, lastStamp) << "arrival times rise, packet " << at / 192;
        }
        lastStamp = stamp;
    }
    EXPECT_EQ(m2ts.substr(4, 188), FileBytes(stream).substr(packetSize - 188, 188));

    const double inputSeconds = Duration(stream);
    ASSERT_GT(inputSeconds, 2.9);
    const DiscView view = OpenDisc(disc);
    ASSERT_TRUE(view.opened);
    EXPECT_EQ(view.titles, 1u);
    EXPECT_NEAR(view.duration / 90000.0, inputSeconds, 1 / 25.0) << "within one frame";
    EXPECT_EQ(view.chapters, 1u);
    EXPECT_EQ(view.videoCodingTypes, std::vector<int>{0x1b}) << "H.264";
    EXPECT_EQ(view.audioCodingTypes, std::vector<int>{0x81}) << "AC-3";
    EXPECT_EQ(view.bytesPlayed, m2ts.size()) << "the title plays the whole clip";
    // Halfway through three seconds with a key frame every second: the
    // key frame at one second, a third or so into the stream.
    EXPECT_GT(view.middle, int64_t(m2ts.size() / 6));
    EXPECT_LT(view.middle, int64_t(m2ts.size() * 2 / 3));
    ASSERT_EQ(view.middle % 192, 0) << "at a source packet";
    if (view.middle > 0 && size_t(view.middle) + 192 <= m2ts.size()) {
        const uint8_t* packet = reinterpret_cast<const uint8_t*>(m2ts.data()) + view.middle + 4;
        EXPECT_EQ((packet[1] & 0x1F) << 8 | packet[2], kind.videoPid) << "the video's packet";
        EXPECT_TRUE(packet[1] & 0x40) << "where a frame starts";
    }

    EXPECT_EQ(StreamCodecs(disc + "/BDMV/STREAM/00000.m2ts"), StreamCodecs(stream));
    EXPECT_EQ(StreamCodecs(stream), (std::vector<std::string>{"h264", "ac3"}));
    EXPECT_NEAR(Duration(disc + "/BDMV/STREAM/00000.m2ts"), inputSeconds, 1 / 25.0);
}

TEST_F(BluRayFolderOfAStream, ProgressCountsDownFromTheTotalAndACancelLeavesNothing) {
    const JoinRun run = Join(Stream(), out_ / "movie/");
    ASSERT_EQ(run.folderStatus, 0) << run.message;
    const float units = float((fs::file_size(Stream()) / 192 + 31) / 32);
    EXPECT_EQ(run.total, units) << "aligned units of 32 packets";
    std::vector<int> countdown;
    for (const auto& [kind, value] : run.progress) {
        if (kind == 2) countdown.push_back(value);
        else EXPECT_TRUE(kind == 1 && value >= 0 && value <= 100);
    }
    ASSERT_GE(countdown.size(), 2u);
    EXPECT_EQ(countdown.front(), int(units));
    EXPECT_EQ(countdown.back(), 0);
    EXPECT_TRUE(std::is_sorted(countdown.rbegin(), countdown.rend()));

    // Stopped while reading, and while writing.
    const size_t readingReports = run.progress.size() - countdown.size();
    for (int stopAt : {1, int(readingReports) + 2}) {
        ScopedTempFolder elsewhere;
        const JoinRun cancelled = Join(Stream(), elsewhere / "movie/", stopAt);
        EXPECT_EQ(cancelled.folderStatus, NX_ERROR_CANCELLED) << stopAt;
        EXPECT_EQ(cancelled.progress.size(), size_t(stopAt)) << "nothing is reported after the stop";
        EXPECT_TRUE(Tree(elsewhere.path()).empty()) << "no half folder, no working folder";
    }
}

TEST_F(BluRayFolderOfAStream, AFolderWithSomethingInItIsNeverOverwritten) {
    fs::create_directory(out_ / "movie");
    std::ofstream(out_ / "movie/notes.txt") << "mine";
    fs::create_directory(out_ / "movie (1)");
    std::ofstream(out_ / "movie (1)/other.txt") << "mine too";
    fs::create_directory(out_ / "movie (2)");  // empty: taken

    const JoinRun run = Join(Stream(), out_ / "movie/");
    ASSERT_EQ(run.folderStatus, 0) << run.message;
    EXPECT_EQ(Tree(out_ / "movie"), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(Tree(out_ / "movie (1)"), std::vector<std::string>{"other.txt"});
    EXPECT_TRUE(OpenDisc(out_ / "movie (2)").opened);
    EXPECT_EQ(Beside(), (std::vector<std::string>{"movie", "movie (1)", "movie (2)"}));

    // A file of the folder's name stays too.
    ScopedTempFolder elsewhere;
    std::ofstream(elsewhere / "movie") << "a file";
    ASSERT_EQ(Join(Stream(), elsewhere / "movie").folderStatus, 0);
    EXPECT_EQ(kinolux::testing::ReadTextFile(elsewhere / "movie"), "a file");
    EXPECT_TRUE(OpenDisc(elsewhere / "movie (1)").opened);
}

}  // namespace
