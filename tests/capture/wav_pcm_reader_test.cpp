// Reading the PCM of a WAV file while its writer is still appending to it.
#include "capture/wav_file_writer.h"
#include "capture/wav_pcm_reader.h"
#include "tests/capture/writer_waits.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>
#include <vector>

namespace kinolux {
namespace {

using testing::NeverWait;
using testing::ScopedTempFolder;
using testing::WaitAMoment;

TEST(WavPcmReader, ReadsFromByte44WhileTheWriterCatchesUp) {
    ScopedTempFolder folder;
    const std::string path = folder / "~temp.wav";
    WavFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    WavPcmReader reader;
    ASSERT_TRUE(reader.Open(path));

    std::vector<int16_t> sound(88200);
    std::iota(sound.begin(), sound.end(), int16_t(-30000));
    std::thread player([&] {
        for (size_t at = 0; at < sound.size(); at += 3528) {
            writer.Write(sound.data() + at, 3528);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        writer.Close();
    });
    std::vector<int16_t> read(sound.size());
    // Frames of 1/30 s do not line up with the writer's ticks.
    for (size_t at = 0; at < read.size(); at += 2940)
        ASSERT_EQ(reader.ReadAudio(read.data() + at, 2940, WaitAMoment), 5880u);
    player.join();
    EXPECT_EQ(read, sound);
}

TEST(WavPcmReader, ShortReadWhenTheWaitEndsAndTheNextReadGoesOn) {
    ScopedTempFolder folder;
    const std::string path = folder / "~temp.wav";
    WavFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    const std::vector<int16_t> first(300, 11), second(100, 22);
    ASSERT_TRUE(writer.Write(first.data(), 300));
    WavPcmReader reader;
    ASSERT_TRUE(reader.Open(path));

    std::vector<int16_t> buffer(400, -1);
    EXPECT_EQ(reader.ReadAudio(buffer.data(), 400, NeverWait), 600u);
    EXPECT_EQ(buffer[299], 11);
    EXPECT_EQ(buffer[300], 0) << "what could not be read is silence";
    ASSERT_TRUE(writer.Write(second.data(), 100));
    EXPECT_EQ(reader.ReadAudio(buffer.data(), 100, nullptr), 200u);
    EXPECT_EQ(buffer[0], 22);
}

TEST(WavPcmReader, WithoutAFileTheSoundIsSilence) {
    WavPcmReader reader;
    EXPECT_FALSE(reader.Open("/nonexistent/folder/~temp.wav"));
    std::vector<int16_t> buffer(50, 9);
    EXPECT_EQ(reader.ReadAudio(buffer.data(), 50, [] { return true; }), 100u);
    EXPECT_EQ(buffer, std::vector<int16_t>(50, 0));
}

}  // namespace
}  // namespace kinolux
