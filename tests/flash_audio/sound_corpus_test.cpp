// Every DefineSound of the regression movies decodes without complaint to
// exactly its declared length at 44.1 kHz.
#include "flash/audio/event_sound.h"
#include "flash/swf/read.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kinolux::audio {
namespace {

std::filesystem::path corpus()
{
    const char* dir = std::getenv("KINOLUX_CORPUS_DIR");
    return dir ? dir : KINOLUX_CORPUS_DIR;
}

TEST(SoundCorpus, EveryDefinedSoundDecodesToItsDeclaredLength)
{
    if (!std::filesystem::exists(corpus() / "ruffle")) GTEST_SKIP() << "no corpus at " << corpus();
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
            EXPECT_EQ(decoded.sound->frames(), framesAtMixRate(sound->sampleCount, format)) << entry.path();
            ++sounds;
        }
    }
    EXPECT_GE(sounds, 5);
}

}  // namespace
}  // namespace kinolux::audio
