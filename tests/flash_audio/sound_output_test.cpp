// SoundOutput on the null device and without any device.
#include "flash/audio/sound_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace kinolux::audio {
namespace {

using Clock = std::chrono::steady_clock;

std::shared_ptr<const DecodedSound> toneOf(std::size_t frames)
{
    auto sound = std::make_shared<DecodedSound>();
    sound->samples.assign(2 * frames, 1000);
    return sound;
}

TEST(SoundOutput, PullsTheMixerAtTheRealTimeRateOfTheDevice)
{
    setenv("KINOLUX_AUDIO", "null", 1);
    Mixer mixer;
    SoundOutput output(mixer, SoundOutputConfig{441, 4});
    const auto start = Clock::now();
    ASSERT_EQ(output.open(), MMSYSERR_NOERROR);
    EXPECT_TRUE(output.audible());
    const VoiceId voice = mixer.startSound(toneOf(4410), {});  // 100 ms
    while (mixer.isPlaying(voice) && Clock::now() - start < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto elapsed = Clock::now() - start;
    EXPECT_FALSE(mixer.isPlaying(voice));
    // Four blocks are mixed at once when opening; every later block only
    // when one has played, so the position can run ahead by the queue alone.
    const std::uint64_t played = std::uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) * 441 / 10000;
    EXPECT_LE(mixer.position(), played + 4 * 441 + 441);
    output.close();
    EXPECT_FALSE(output.audible());
    const std::uint64_t closedAt = mixer.position();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(mixer.position(), closedAt);
}

TEST(SoundOutput, WithoutADeviceThePlayingGoesOnSilentlyByTheClock)
{
    setenv("KINOLUX_AUDIO", "none", 1);
    Mixer mixer;
    SoundOutput output(mixer);
    EXPECT_EQ(output.open(), MMSYSERR_NODRIVER);
    EXPECT_FALSE(output.audible());
    setenv("KINOLUX_AUDIO", "null", 1);

    const VoiceId voice = mixer.startSound(toneOf(2205), {});  // 50 ms
    const auto start = Clock::now();
    output.tick();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    output.tick();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_NEAR(double(mixer.position()), double(elapsed) * 44.1, 2 * 44.1 + 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    output.tick();
    EXPECT_FALSE(mixer.isPlaying(voice));
}

}  // namespace
}  // namespace kinolux::audio
