#include "tests/flash_control/script_sound_support.h"

#include "flash/core/player.h"
#include "flash/module/movie_sound.h"
#include "tests/flash_audio/reference_codec.h"
#include "tests/flash_control/control_support.h"
#include "tests/winmm/fake_wave_out.h"

#include <chrono>
#include <cmath>

namespace flash::testing {

namespace {

constexpr int kLoud = 1000;

}  // namespace

swf::DefineSound toneSound() {
    swf::DefineSound sound;
    sound.id = 1;
    sound.format = {swf::SoundFormat::UncompressedLittleEndian, 3, true, true};
    sound.sampleCount = kToneFrames;
    static const std::vector<std::uint8_t> data = [] {
        std::vector<std::uint8_t> bytes;
        for (std::uint32_t i = 0; i < 2 * kToneFrames; ++i) {
            const auto value = std::uint16_t(std::int16_t(6000 + 3000 * std::sin(i / 2 * 0.05)));
            bytes.push_back(std::uint8_t(value & 0xFF));
            bytes.push_back(std::uint8_t(value >> 8));
        }
        return bytes;
    }();
    sound.data = data;
    return sound;
}

std::vector<std::uint8_t> toneMp3() {
    const auto pcm = kinolux::audio::test::sine(440, 44100, 2, kToneFrames);
    int delay = 0;
    std::vector<std::uint8_t> file;
    for (const auto& frame : kinolux::audio::test::encode("libmp3lame", 44100, 2, pcm, &delay))
        file.insert(file.end(), frame.begin(), frame.end());
    return file;
}

Heard playMovie(const std::vector<std::uint8_t>& file, const std::string& path,
                const std::function<void(Player&, int frame)>& input) {
    ensureApplication();
    kinolux::testing::FakeWaveOut& device = kinolux::testing::FakeWaveOut::instance();
    device.takeWritten();
    Heard heard;
    {
        PlayerOptions options;
        options.path = path;
        options.trace = [&](std::string_view line) { heard.traces.emplace_back(line); };
        Player player(swf::Bytes(file), std::move(options));
        MovieSound sound;
        for (int frame = 0; frame < 3 * kScriptSoundFps / 2; ++frame) {
            if (input) input(player, frame);
            player.tick();
            sound.takeQueued(player, true);
            device.advance(std::chrono::milliseconds(1000 / kScriptSoundFps));
        }
        heard.errors = player.scriptErrors();
    }
    const std::vector<std::int16_t> written = device.takeWritten();
    for (std::size_t i = 0; i < written.size(); ++i)
        if (std::abs(written[i]) >= kLoud) ++(i % 2 ? heard.loudRight : heard.loudLeft);
    return heard;
}

}  // namespace flash::testing
