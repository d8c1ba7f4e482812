// The sync file between the player and the main program: its bytes, a
// reader that follows a file still being written, and the frame offsets
// read from the records.
#include "capture/sync_file_reader.h"
#include "capture/sync_file_writer.h"
#include "capture/sync_offset.h"
#include "tests/capture/writer_waits.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

namespace kinolux {
namespace {

using testing::NeverWait;
using testing::ReadTextFile;
using testing::ScopedTempFolder;
using testing::WaitAMoment;
using testing::WriteTextFile;

TEST(SyncFile, WrittenBytesReadBackRecordByRecord) {
    ScopedTempFolder folder;
    const std::string path = folder / "~temp.sync";
    WriteTextFile(path, "left over from an earlier run");
    SyncFileWriter writer;
    ASSERT_TRUE(writer.Create(path));
    ASSERT_TRUE(writer.Append(40, 1));
    ASSERT_TRUE(writer.Append(0x01020304, -2));
    ASSERT_TRUE(writer.Finish());
    EXPECT_FALSE(writer.Append(1, 1)) << "nothing is written after the end record";

    EXPECT_EQ(ReadTextFile(path), std::string("\x19\x84\x04\x21"
                                              "\x28\0\0\0\x01\0\0\0"
                                              "\x04\x03\x02\x01\xFE\xFF\xFF\xFF"
                                              "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                                              28));
    SyncFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.ReadRecord(NeverWait), (SyncRecord{40, 1}));
    EXPECT_EQ(reader.ReadRecord(NeverWait), (SyncRecord{0x01020304, -2}));
    EXPECT_EQ(reader.ReadRecord(NeverWait), kSyncEndRecord);
    EXPECT_FALSE(reader.IsOpen()) << "the end record closes the file";
    EXPECT_EQ(reader.ReadRecord(NeverWait), std::nullopt);
}

TEST(SyncFile, RunClosedBeforeItsSecondTickHoldsSignatureAndEndRecord) {
    ScopedTempFolder folder;
    SyncFileWriter writer;
    ASSERT_TRUE(writer.Create(folder / "~temp.sync"));
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(ReadTextFile(folder / "~temp.sync"), std::string("\x19\x84\x04\x21\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 12));
}

TEST(SyncFile, FileThatCannotBeCreatedSkipsTheRecords) {
    ScopedTempFolder folder;
    SyncFileWriter writer;
    EXPECT_FALSE(writer.Create(folder / "missing/~temp.sync"));
    EXPECT_FALSE(writer.Append(1, 1));
    EXPECT_FALSE(writer.Finish());
    SyncFileReader reader;
    EXPECT_FALSE(reader.Open(folder / "missing/~temp.sync"));
    EXPECT_EQ(reader.ReadRecord(WaitAMoment), std::nullopt);
}

TEST(SyncFile, ReaderFollowsAFileThatIsStillBeingWritten) {
    ScopedTempFolder folder;
    const std::string path = folder / "~temp.sync";
    SyncFileWriter writer;
    ASSERT_TRUE(writer.Create(path));
    SyncFileReader reader;
    ASSERT_TRUE(reader.Open(path));

    std::thread player([&] {
        for (int32_t tick = 1; tick <= 50; ++tick) {
            writer.Append(tick * 40, tick);
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        writer.Finish();
    });
    std::vector<SyncRecord> records;
    while (reader.IsOpen()) {
        auto record = reader.ReadRecord(WaitAMoment);
        ASSERT_TRUE(record.has_value());
        records.push_back(*record);
    }
    player.join();
    ASSERT_EQ(records.size(), 51u);
    for (int32_t tick = 1; tick <= 50; ++tick) EXPECT_EQ(records[tick - 1], (SyncRecord{tick * 40, tick}));
    EXPECT_EQ(records.back(), kSyncEndRecord);
}

TEST(SyncFile, PartOfARecordIsReadAgainOnceTheRestArrives) {
    ScopedTempFolder folder;
    const std::string path = folder / "~temp.sync";
    WriteTextFile(path, std::string("\x19\x84\x04\x21\x10\0\0\0\x03", 9));
    SyncFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    int waits = 0;
    EXPECT_EQ(reader.ReadRecord([&] { return ++waits < 3; }), std::nullopt);
    EXPECT_EQ(waits, 3);
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string("\0\0\0", 3);
    EXPECT_EQ(reader.ReadRecord(NeverWait), (SyncRecord{16, 3}));
    EXPECT_TRUE(reader.IsOpen());
}

TEST(SyncOffset, FirstRecordCoversEverythingFromTimeZero) {
    const std::vector<SyncRecord> records = {{1000, 30}};
    for (uint32_t ms : {0u, 1u, 500u, 1000u}) {
        const SyncLookup lookup = SyncOffset(records, ms, 31);
        EXPECT_EQ(lookup.offset, 1) << ms;
        EXPECT_FALSE(lookup.endReached);
    }
    EXPECT_EQ(SyncOffset(records, 12, 29).offset, -1);
    EXPECT_EQ(SyncOffset(records, 1001, 31).offset, kNoSyncOffset) << "not logged yet";
    EXPECT_EQ(SyncOffset({}, 0, 31).offset, kNoSyncOffset);
}

TEST(SyncOffset, LaterRecordsCoverTheTimeSinceTheirPredecessorAndTheEndStops) {
    const std::vector<SyncRecord> records = {{1000, 30}, {2000, 55}, kSyncEndRecord};
    EXPECT_EQ(SyncOffset(records, 1000, 40).offset, 10) << "a shared boundary belongs to the earlier record";
    EXPECT_EQ(SyncOffset(records, 1001, 40).offset, -15);
    EXPECT_EQ(SyncOffset(records, 2000, 55).offset, 0);
    const SyncLookup after = SyncOffset(records, 2001, 60);
    EXPECT_EQ(after.offset, kNoSyncOffset);
    EXPECT_TRUE(after.endReached);
    // Hostile frame numbers wrap instead of overflowing.
    const std::vector<SyncRecord> hostile = {{10, INT32_MIN}};
    EXPECT_EQ(SyncOffset(hostile, 5, 1).offset, INT32_MIN + 1);
}

}  // namespace
}  // namespace kinolux
