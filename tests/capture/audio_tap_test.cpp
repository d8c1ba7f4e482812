// The audio tap: the capture buffer's compaction, the WAV writer's silence
// and sizes, and the device replacements by mode on the null device.
#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/little_endian.h"
#include "tests/capture/fake_engine_module.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kinolux {
namespace {

using testing::ReadTextFile;
using testing::ScopedTempFolder;
using testing::WriteTextFile;

std::vector<int16_t> Values(size_t count, int16_t value) { return std::vector<int16_t>(count, value); }

uint32_t FieldAt(const std::string& file, size_t offset) {
    return GetLe32(reinterpret_cast<const uint8_t*>(file.data() + offset));
}

TEST(CaptureBuffer, MovesUnreadValuesToTheStartWhenTheTailIsReached) {
    auto buffer = std::make_unique<CaptureBuffer>();
    const auto filler = Values(4'999'000, 1);
    ASSERT_TRUE(buffer->Append(filler.data(), 2 * 4'999'000));
    ASSERT_NE(buffer->Take(4'999'000), nullptr);
    ASSERT_EQ(buffer->ReadPos(), 4'999'000u);

    const auto block = Values(2048, 9);
    ASSERT_TRUE(buffer->Append(block.data(), 4096));
    EXPECT_EQ(buffer->ReadPos(), 0u);
    EXPECT_EQ(buffer->Available(), 2048u);
    const int16_t* taken = buffer->Take(2048);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(std::vector<int16_t>(taken, taken + 2048), block);

    // Unread values travel with the compaction, in order.
    ASSERT_TRUE(buffer->Append(filler.data(), 2 * 4'997'000));
    ASSERT_NE(buffer->Take(4'996'000), nullptr);
    ASSERT_TRUE(buffer->Append(block.data(), 4096));
    EXPECT_EQ(buffer->ReadPos(), 0u);
    ASSERT_EQ(buffer->Available(), 3048u);
    const int16_t* rest = buffer->Take(3048);
    EXPECT_EQ(rest[999], 1);
    EXPECT_EQ(rest[1000], 9);

    // A block that cannot fit even after compaction is dropped whole.
    const auto huge = Values(CaptureBuffer::kCapacity, 3);
    EXPECT_FALSE(buffer->Append(huge.data(), 2 * CaptureBuffer::kCapacity));
    EXPECT_EQ(buffer->Available(), 0u);
}

class WavWriting : public ::testing::Test {
protected:
    ScopedTempFolder folder;
    std::unique_ptr<AudioTap> tap = std::make_unique<AudioTap>();
    std::string path = folder / "~temp.wav";
};

TEST_F(WavWriting, TooLittleSoundBecomesSilenceAndTheBufferWaits) {
    ASSERT_EQ(tap->OpenWav(path), 1);
    const auto sound = Values(600, 7);
    tap->CaptureBlock(sound.data(), 1200);
    ASSERT_EQ(tap->WriteSamples(1000), 1);
    EXPECT_EQ(tap->Buffer().Available(), 600u);
    ASSERT_EQ(tap->WriteSamples(600), 1);
    tap->CloseWav();

    const std::string file = ReadTextFile(path);
    ASSERT_EQ(file.size(), 44u + 3200u);
    EXPECT_EQ(file.substr(44, 2000), std::string(2000, '\0'));
    EXPECT_EQ(file.substr(2044), std::string(reinterpret_cast<const char*>(sound.data()), 1200));
    EXPECT_EQ(FieldAt(file, 40), 3200u);
}

TEST_F(WavWriting, ClosedFileHasTheCompleteHeader) {
    WriteTextFile(path, "an older capture");
    ASSERT_EQ(tap->OpenWav(path), 1);
    EXPECT_EQ(ReadTextFile(path).size(), 44u) << "any file at the temporary path is replaced";
    // Ten seconds at 25 frames per second: 250 ticks of 40 ms.
    for (int tick = 0; tick < 250; ++tick) ASSERT_EQ(tap->WriteSamples(3528), 1);
    tap->CloseWav();

    const std::string file = ReadTextFile(path);
    ASSERT_EQ(file.size(), 44u + 1'764'000u);
    const std::string expectedHeader("RIFF\xC4\xEA\x1A\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00"
                                     "\x44\xAC\x00\x00\x10\xB1\x02\x00\x04\x00\x10\x00"
                                     "data\xA0\xEA\x1A\x00",
                                     44);
    EXPECT_EQ(file.substr(0, 44), expectedHeader);
    EXPECT_EQ(FieldAt(file, 40), 1'764'000u);
    EXPECT_EQ(FieldAt(file, 4), 1'764'036u);
    EXPECT_EQ(tap->WriteSamples(1), 0) << "no file is open after the close";
}

TEST_F(WavWriting, AbandonedFileKeepsZeroSizesAndTheNextFileCountsFromZero) {
    ASSERT_EQ(tap->OpenWav(path), 1);
    const auto sound = Values(500, 5);
    tap->CaptureBlock(sound.data(), 1000);
    ASSERT_EQ(tap->WriteSamples(4000), 1);
    tap->AbandonWav();
    EXPECT_EQ(tap->Buffer().Available(), 0u);
    std::string file = ReadTextFile(path);
    EXPECT_EQ(file.size(), 44u + 8000u);
    EXPECT_EQ(FieldAt(file, 4), 0u);
    EXPECT_EQ(FieldAt(file, 40), 0u);

    const std::string second = folder / "second.wav";
    ASSERT_EQ(tap->OpenWav(second), 1);
    ASSERT_EQ(tap->WriteSamples(10), 1);
    tap->CloseWav();
    EXPECT_EQ(FieldAt(ReadTextFile(second), 40), 20u);
}

TEST_F(WavWriting, FileThatCannotBeCreatedLeavesNothingToWrite) {
    EXPECT_EQ(tap->OpenWav(folder / "missing-folder/~temp.wav"), 0);
    EXPECT_EQ(tap->WriteSamples(100), 0);
    std::filesystem::create_directory(folder / "a-folder");
    EXPECT_EQ(tap->OpenWav(folder / "a-folder"), 0);
    EXPECT_TRUE(std::filesystem::is_directory(folder / "a-folder"));
    tap->CloseWav();
}

// The device replacements on the null device, which plays at the real-time
// pace without any sound hardware.
class DeviceReplacements : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KINOLUX_AUDIO", "null", 1);
        AudioTap::Instance().AbandonWav();
    }
    void TearDown() override {
        CallInterceptor::Instance().SetMode(kModePassThrough);
        AudioTap::Instance().CloseWav();
        if (device) waveOutClose(device);
    }

    struct Calls {
        std::mutex mutex;
        std::vector<UINT> messages;
        std::vector<DWORD_PTR> instances;
        std::vector<HWAVEOUT> devices;
        std::vector<DWORD_PTR> params;
    };
    static void EngineCallback(HWAVEOUT hwo, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR) {
        auto* calls = reinterpret_cast<Calls*>(instance);
        std::lock_guard lock(calls->mutex);
        calls->messages.push_back(message);
        calls->instances.push_back(instance);
        calls->devices.push_back(hwo);
        calls->params.push_back(param1);
    }
    MMRESULT Open(DWORD flags) {
        return TapWaveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&EngineCallback),
                              reinterpret_cast<DWORD_PTR>(&calls), flags);
    }
    size_t CallCount() {
        std::lock_guard lock(calls.mutex);
        return calls.messages.size();
    }
    DWORD VolumeOf(HWAVEOUT hwo) {
        DWORD volume = 0;
        EXPECT_EQ(waveOutGetVolume(hwo, &volume), MMSYSERR_NOERROR);
        return volume;
    }

    WAVEFORMATEX format = testing::CdQualityFormat();
    HWAVEOUT device = nullptr;
    Calls calls;
};

TEST_F(DeviceReplacements, VirtualClockModeOffersNoDevice) {
    CallInterceptor::Instance().SetMode(kModeVirtualClock);
    EXPECT_EQ(Open(CALLBACK_FUNCTION), MMSYSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
    CallInterceptor::Instance().SetMode(7);
    EXPECT_EQ(Open(CALLBACK_FUNCTION), MMSYSERR_NODRIVER);
}

TEST_F(DeviceReplacements, PassThroughOpensAtFullVolumeOnBothChannels) {
    ASSERT_EQ(waveOutSetVolume(nullptr, 0x12341234), MMSYSERR_NOERROR);  // what new devices start with
    ASSERT_EQ(Open(CALLBACK_FUNCTION), MMSYSERR_NOERROR);
    EXPECT_EQ(VolumeOf(device), 0xFFFFFFFFu);
    waveOutSetVolume(nullptr, kFullVolume);
}

TEST_F(DeviceReplacements, SoundCaptureMutesCopiesEveryBlockAndPassesCallbacksThrough) {
    ASSERT_EQ(waveOutSetVolume(nullptr, 0x8000C000), MMSYSERR_NOERROR);
    CallInterceptor::Instance().SetMode(kModeSoundCapture);
    ASSERT_EQ(Open(CALLBACK_FUNCTION), MMSYSERR_NOERROR);
    EXPECT_EQ(VolumeOf(device), 0u);
    EXPECT_EQ(AudioTap::Instance().SavedVolume(), 0x8000C000u);

    auto block = Values(4410, 321);
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(block.data());
    header.dwBufferLength = 8820;
    ASSERT_EQ(waveOutPrepareHeader(device, &header, sizeof header), MMSYSERR_NOERROR);
    ASSERT_EQ(TapWaveOutWrite(device, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(AudioTap::Instance().Buffer().Available(), 4410u);
    EXPECT_EQ(block[0], 321) << "the engine's block is left as it was";

    for (int i = 0; i < 6000 && CallCount() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        std::lock_guard lock(calls.mutex);
        ASSERT_EQ(calls.messages.size(), 2u);
        EXPECT_EQ(calls.messages[0], UINT(WOM_OPEN));
        EXPECT_EQ(calls.messages[1], UINT(WOM_DONE));
        EXPECT_EQ(calls.params[1], reinterpret_cast<DWORD_PTR>(&header));
        for (size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(calls.instances[i], reinterpret_cast<DWORD_PTR>(&calls));
            EXPECT_EQ(calls.devices[i], device);
        }
    }
    AudioTap::Instance().CloseWav();
    EXPECT_EQ(VolumeOf(device), 0x8000C000u);
    EXPECT_EQ(AudioTap::Instance().SavedVolume(), kFullVolume);
    waveOutSetVolume(nullptr, kFullVolume);
}

TEST_F(DeviceReplacements, SoundCaptureLeavesOtherCallbackKindsAlone) {
    CallInterceptor::Instance().SetMode(kModeSoundCapture);
    ASSERT_EQ(TapWaveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(VolumeOf(device), kFullVolume);
}

}  // namespace
}  // namespace kinolux
