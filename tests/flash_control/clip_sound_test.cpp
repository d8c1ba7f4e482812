// The sounds a movie's timelines and buttons start reach the (faked)
// wave-out device at their clip's levels: a Sound's volume on a clip
// silences the clip's own timeline sounds and its children's, a parent's
// volume multiplies a child's, a button plays its over sound, and a movie
// loaded into the player plays its own library's sound of an id, not the
// main movie's.
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/script_sound_support.h"

#include "flash/core/player.h"

#include <gtest/gtest.h>

namespace flash {
namespace {

using testing::Heard;
using testing::kToneFrames;
using testing::playMovie;

swf::Header movieHeader(int frames) {
    swf::Header header = testmovies::header(40, 30, frames);
    header.frameRate = testing::kScriptSoundFps << 8;
    return header;
}

// Action bytes that live as long as the test program: the tags only point
// at them.
swf::Bytes kept(const std::string& source) {
    static std::vector<std::vector<std::uint8_t>> codes;
    return codes.emplace_back(kinolux::avm1::test::assemble(source));
}

// A sprite (id 2) that starts the tone in its first frame and stops there.
swf::DefineSprite toneSprite() {
    swf::DefineSprite sprite;
    sprite.id = 2;
    sprite.frameCount = 1;
    sprite.tags = {swf::DoAction{kept("stop\n")}, swf::StartSound{1, {}}, swf::ShowFrame{}};
    return sprite;
}

// new Sound(target).setVolume(volume), `target` evaluated as a path.
std::string setVolume(const std::string& target, int volume) {
    return "push 1, \"" + target + "\"\ngetVariable\npush 1, \"Sound\"\nnewObject\nstore 1\npop\n" +
           "push " + std::to_string(volume) + ", 1\npush r:1\npush \"setVolume\"\ncallMethod\npop\n";
}

// The tone sprite placed as "mc" (inside a sprite "outer" when nested),
// with `script` run in the first frame after it is placed.
std::vector<std::uint8_t> timelineToneMovie(const std::string& script, bool nested) {
    std::vector<swf::Tag> tags{testing::toneSound(), toneSprite()};
    swf::PlaceObject inner = testmovies::place(1, 2);
    inner.name = "mc";
    if (nested) {
        swf::DefineSprite outer;
        outer.id = 3;
        outer.frameCount = 1;
        outer.tags = {inner, swf::ShowFrame{}};
        tags.push_back(outer);
        swf::PlaceObject placed = testmovies::place(1, 3);
        placed.name = "outer";
        tags.push_back(placed);
    } else {
        tags.push_back(inner);
    }
    tags.push_back(swf::DoAction{kept(script + "stop\n")});
    tags.push_back(swf::ShowFrame{});
    return testmovies::movie(tags, movieHeader(1));
}

TEST(TimelineSound, AClipsVolumeReachesItsTimelinesSoundsAndItsChildrens) {
    const Heard loud = playMovie(timelineToneMovie("", false));
    EXPECT_EQ(loud.loudLeft, kToneFrames);
    EXPECT_TRUE(loud.errors.empty()) << loud.errors.front();
    const Heard own = playMovie(timelineToneMovie(setVolume("mc", 0), false));
    EXPECT_EQ(own.loudLeft + own.loudRight, 0u) << "the clip's own timeline sound";
    const Heard parent = playMovie(timelineToneMovie(setVolume("outer", 0), true));
    EXPECT_EQ(parent.loudLeft + parent.loudRight, 0u) << "a child's timeline sound";
    // At a fifth the tone's peaks stay loud; a half of that never is.
    const Heard fifth = playMovie(timelineToneMovie(setVolume("outer.mc", 20), true));
    EXPECT_GT(fifth.loudLeft, 0u);
    const Heard tenth = playMovie(timelineToneMovie(setVolume("outer.mc", 20) + setVolume("outer", 50), true));
    EXPECT_EQ(tenth.loudLeft, 0u) << "the parent's volume multiplies the child's";
}

TEST(TimelineSound, AButtonPlaysItsOverSound) {
    swf::DefineButton button;
    button.id = 3;
    swf::ButtonRecord face;
    face.states = swf::ButtonState::Up | swf::ButtonState::Over | swf::ButtonState::HitTest;
    face.characterId = 4;
    face.depth = 1;
    button.records.push_back(face);
    swf::DefineButtonSound sounds;
    sounds.buttonId = 3;
    sounds.sounds[1] = {1, {}};  // IdleToOverUp
    const std::vector<swf::Tag> tags{testing::toneSound(),
                                     testmovies::rect(4, {0, 0, 0, 255}, 0, 0, 40, 30),
                                     button,
                                     sounds,
                                     testmovies::place(1, 3),
                                     swf::ShowFrame{}};
    const auto movie = testmovies::movie(tags, movieHeader(1));
    const Heard away = playMovie(movie);
    EXPECT_EQ(away.loudLeft, 0u);
    const Heard over = playMovie(movie, {}, [](Player& player, int frame) {
        if (frame == 2) player.mouseMove(20, 15);
    });
    EXPECT_EQ(over.loudLeft, kToneFrames);
}

TEST(TimelineSound, ALoadedMoviePlaysItsOwnLibrarysSound) {
    // The loaded movie's sound 1 is silence; the main movie's is the tone.
    swf::DefineSound silence = testing::toneSound();
    const std::vector<std::uint8_t> zeros(silence.data.size(), 0);
    silence.data = zeros;
    const auto child = testmovies::movie({silence, swf::StartSound{1, {}}, swf::ShowFrame{}}, movieHeader(1));
    const auto main = testmovies::movie(
        {testing::toneSound(), swf::DoAction{kept("getUrl \"child.swf\", \"_level1\"\nstop\n")},
         swf::ShowFrame{}},
        movieHeader(1));
    testing::MovieFiles files;
    files.write("child.swf", child);
    const Heard heard = playMovie(main, files.write("main.swf", main));
    EXPECT_EQ(heard.loudLeft, 0u);
    EXPECT_TRUE(heard.errors.empty()) << heard.errors.front();
}

}  // namespace
}  // namespace flash
