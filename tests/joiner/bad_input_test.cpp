// Streams the library refuses: each gets its own status and a sentence
// that names the file, and no folder is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "bindings/joiner.h"
#include "tests/joiner/joiner_fixtures.h"
#include "tests/platform/scoped_temp_folder.h"

namespace {

namespace fs = std::filesystem;
using namespace joiner_test;
using kinolux::testing::ScopedTempFolder;

class BadStream : public ::testing::Test {
protected:
    // Runs the library on `stream`; expects `status` from both entries, a
    // message naming the stream and saying `what`, and nothing written.
    void ExpectRefused(const std::string& stream, int32_t status, const std::string& what) {
        const JoinRun run = Join(stream, out_ / "disc/");
        EXPECT_EQ(run.trackInfoStatus, status) << run.message;
        EXPECT_EQ(run.folderStatus, status) << "the folder step writes nothing after a refusal";
        EXPECT_NE(run.message.find(stream), std::string::npos) << run.message;
        EXPECT_NE(run.message.find(what), std::string::npos) << run.message;
        EXPECT_TRUE(Tree(out_.path()).empty());
    }
    std::string Good() {
        const std::string path = in_ / "good.ts";  // 188-byte packets
        if (!fs::exists(path)) {
            EXPECT_TRUE(MakeStream(path, 1, kAvchdCodecs));
        }
        return path;
    }

    ScopedTempFolder in_, out_;
};

TEST_F(BadStream, AFileThatIsNoTransportStream) {
    kinolux::testing::WriteTextFile(in_ / "notes.m2ts", std::string(4000, 'x'));
    ExpectRefused(in_ / "notes.m2ts", NX_ERROR_NOT_TRANSPORT_STREAM, "is not a transport stream");
    kinolux::testing::WriteTextFile(in_ / "empty.m2ts", "");
    ExpectRefused(in_ / "empty.m2ts", NX_ERROR_NOT_TRANSPORT_STREAM, "is not a transport stream");
    ExpectRefused(in_ / "missing.m2ts", NX_ERROR_UNREADABLE, "cannot be read");
    ExpectRefused(in_.path(), NX_ERROR_UNREADABLE, "cannot be read");
}

TEST_F(BadStream, ATruncatedOrDamagedStream) {
    const std::string good = Good();
    const uint64_t size = fs::file_size(good);
    fs::copy_file(good, in_ / "cut.m2ts");
    fs::resize_file(in_ / "cut.m2ts", size - 100);
    ExpectRefused(in_ / "cut.m2ts", NX_ERROR_TRUNCATED, "is truncated");

    fs::copy_file(good, in_ / "damaged.m2ts");
    {
        std::fstream file(in_ / "damaged.m2ts", std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(188 * 40);
        file.put('\0');  // packet 41 loses its sync byte
    }
    ExpectRefused(in_ / "damaged.m2ts", NX_ERROR_DAMAGED, "packet 41 is out of sync");
}

TEST_F(BadStream, AStreamWithoutVideoOrWithSoundADiscCannotCarry) {
    const std::string soundOnly = in_ / "sound.m2ts";
    ASSERT_TRUE(MakeStream(soundOnly, 1, "-vn -acodec ac3 -ar 48000"));
    ExpectRefused(soundOnly, NX_ERROR_NO_VIDEO, "has no video");

    const std::string aac = in_ / "aac.m2ts";
    ASSERT_TRUE(MakeStream(aac, 1, "-vcodec h264 -acodec aac -ar 48000"));
    ExpectRefused(aac, NX_ERROR_UNSUPPORTED_STREAM, "carries aac sound");
}

TEST_F(BadStream, AStreamLargerThanOneClip) {
    // One packet more than a clip's 32-bit packet count holds, as a sparse
    // file that takes no room: refused before a byte of it is read.
    const std::string huge = in_ / "huge.m2ts";
    {
        std::ofstream create(huge);
    }
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(uint64_t{0xFFFFFFE1} * 188)), 0);
    ExpectRefused(huge, NX_ERROR_TOO_LARGE, "more than one Blu-ray clip");
}

TEST_F(BadStream, ArgumentsTheEntriesCannotUse) {
    EXPECT_EQ(nx_ts_gettrackinfo(Good().c_str(), nullptr), NX_ERROR_ARGUMENT);
    EXPECT_EQ(nx_ts_cbdfolder((out_ / "disc").c_str(), nullptr, NX_MODE_BLURAY_FOLDER), NX_ERROR_ARGUMENT);
    EXPECT_EQ(nx_ts_freetrackinfo(nullptr), NX_ERROR_ARGUMENT);

    void* info = nullptr;
    ASSERT_EQ(nx_ts_gettrackinfo(Good().c_str(), &info), 0);
    EXPECT_EQ(nx_ts_cbdfolder((out_ / "disc").c_str(), info, 4), NX_ERROR_MODE);
    EXPECT_EQ(nx_ts_cbdfolder("", info, NX_MODE_BLURAY_FOLDER), NX_ERROR_ARGUMENT);
    EXPECT_STRNE(static_cast<NX_TRACKINFO_HEAD*>(info)->message, "");
    EXPECT_EQ(nx_ts_cbdfolder((out_ / "no such folder/disc").c_str(), info, NX_MODE_BLURAY_FOLDER), NX_ERROR_WRITE);
    EXPECT_EQ(nx_ts_freetrackinfo(info), 0);
    EXPECT_TRUE(Tree(out_.path()).empty());
}

}  // namespace
