// SoundOutput on the null device and without any device.
#include "flash/audio/sound_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace kinolux::audio {
namespace {

std::shared_ptr<const DecodedSound> toneOf(std::size_t frames)
{
    auto sound = std::make_shared<DecodedSound>();
    sound->samples.assign(2 * frames, 1000);
    return sound;
}

// The millisecond clock the silent output reads, moved by hand.
DWORD manualNow = 0;
DWORD readManualNow()
{
    return manualNow;
}

TEST(SoundOutput, OnADevicePlaysSoundsThroughAndPullsNoMoreOnceClosed)
{
    setenv("KINOLUX_AUDIO", "null", 1);
    Mixer mixer;
    SoundOutput output(mixer, SoundOutputConfig{441, 4});
    ASSERT_EQ(output.open(), MMSYSERR_NOERROR);
    EXPECT_TRUE(output.audible());
    const VoiceId voice = mixer.startSound(toneOf(4410), {});  // 100 ms
    // The device returns blocks in real time: a generous bound, no timing.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (mixer.isPlaying(voice) && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(mixer.isPlaying(voice));
    output.close();
    EXPECT_FALSE(output.audible());
    // Closing returned every block and ended the callback thread: nothing
    // renders any more, and the blocks were mixed whole.
    const std::uint64_t closedAt = mixer.position();
    EXPECT_EQ(closedAt % 441, 0u);
    output.tick();
    EXPECT_EQ(mixer.position(), closedAt);
}

TEST(SoundOutput, WithoutADeviceThePlayingGoesOnSilentlyByTheClock)
{
    setenv("KINOLUX_AUDIO", "none", 1);
    Mixer mixer;
    SoundOutputConfig config;
    config.clock = readManualNow;
    SoundOutput output(mixer, config);
    EXPECT_EQ(output.open(), MMSYSERR_NODRIVER);
    EXPECT_FALSE(output.audible());
    setenv("KINOLUX_AUDIO", "null", 1);

    const VoiceId voice = mixer.startSound(toneOf(2205), {});  // 50 ms
    manualNow = 0xFFFFFFF0;  // the tick count wraps on the way
    output.tick();
    EXPECT_EQ(mixer.position(), 0u) << "the first tick starts the clock";
    manualNow += 30;
    output.tick();
    EXPECT_EQ(mixer.position(), 1323u) << "30 ms at 44.1 frames a millisecond";
    EXPECT_TRUE(mixer.isPlaying(voice));
    for (int i = 0; i < 10; ++i) {
        ++manualNow;
        output.tick();
    }
    EXPECT_EQ(mixer.position(), 1323u + 441) << "the tenths of a frame add up";
    manualNow += 10;
    output.tick();
    EXPECT_EQ(mixer.position(), 2205u);
    // Sounds start one block (1024 frames) ahead of the position: this one
    // ends at 1024 + 2205 = 3229.
    EXPECT_TRUE(mixer.isPlaying(voice));
    manualNow += 30;
    output.tick();
    EXPECT_EQ(mixer.position(), 3528u);
    EXPECT_FALSE(mixer.isPlaying(voice));

    manualNow += 60'000;
    output.tick();
    EXPECT_EQ(mixer.position(), 3528u + 44100) << "a paused process moves the mixer by one second at most";
}

}  // namespace
}  // namespace kinolux::audio
