// Every DefineSound of the regression movies decodes without complaint to
// exactly its declared length at 44.1 kHz.
#include "flash/audio/event_sound.h"
#include "flash/swf/read.h"
#include "tests/platform/outside_requirements.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kinolux::audio {
namespace {

std::filesystem::path corpus()
{
    return kinolux::testing::CorpusDir();
}

// The declared length at 44.1 kHz, by the file format: Nellymoser at 16 kHz
// (codec 4) and Speex (11) play at 16 kHz, Nellymoser at 8 kHz (5) and
// G.711 (7, 8) at 8 kHz, whatever their rate field says; the others at
// 5512.5 * 2^r Hz for rate code r, so each sample lasts 2^(3 - r) frames.
std::uint64_t expectedFramesAt44k(const swf::DefineSound& sound)
{
    const std::uint64_t count = sound.sampleCount;
    switch (static_cast<int>(sound.format.compression)) {
    case 4:
    case 11: return count * 44100 / 16000;
    case 5:
    case 7:
    case 8: return count * 44100 / 8000;
    default: return count << (3 - (sound.format.rate & 3));
    }
}

TEST(SoundCorpus, EveryDefinedSoundDecodesToItsDeclaredLength)
{
    if (!std::filesystem::exists(corpus() / "ruffle")) KINOLUX_MISSING("the corpus at " << corpus());
    int sounds = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus() / "ruffle")) {
        if (entry.path().filename() != "test.swf") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        swf::Movie movie;
        try {
            movie = swf::readMovie(bytes);
        } catch (const std::exception&) {
            continue;  // not a movie this reader takes: the reader's own tests cover that
        }
        for (const auto& tag : movie.tags) {
            const auto* sound = tag.get<swf::DefineSound>();
            if (!sound) continue;
            const SoundFormat format{SoundCodec(sound->format.compression), sound->format.rate, sound->format.is16Bit,
                                     sound->format.stereo};
            const auto decoded = decodeEventSound(format, sound->data, sound->sampleCount);
            EXPECT_EQ(decoded.message, "") << entry.path();
            EXPECT_EQ(decoded.sound->frames(), expectedFramesAt44k(*sound)) << entry.path();
            ++sounds;
        }
    }
    EXPECT_GE(sounds, 5);
}

}  // namespace
}  // namespace kinolux::audio
