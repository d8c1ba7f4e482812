// A library sound an ActionScript 1/2 script attaches and starts goes
// through the movie's mixer to the (faked) wave-out device: whole when left
// to play, with onSoundComplete after it; cut short by stop(), stop(id) or
// stopAllSounds; silenced by a volume of 0 on its clip, whichever Sound on
// the clip set it; sent left only by setPan(-100). An MP3 file beside the
// movie plays once loadSound brings it; a missing, faraway or broken one
// gives onLoad(false) and plays nothing.
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/script_sound_support.h"

#include <gtest/gtest.h>

#include <QDir>

namespace flash {
namespace {

using testing::Heard;
using testing::kToneFrames;
using testing::playMovie;

// Calls `method` of the object in variable `object` with the pushed
// arguments `args` (the last one first, as the machine takes them).
std::string call(const std::string& object, const std::string& method, const std::string& args = "0") {
    return "push " + args + "\npush \"" + object + "\"\ngetVariable\npush \"" + method +
           "\"\ncallMethod\npop\n";
}

// s = new Sound(owner): the root clip ("this") or nothing.
std::string newSound(const std::string& name, bool onClip) {
    return "push \"" + name + "\"\n" + (onClip ? "push \"this\"\ngetVariable\npush 1\n" : "push 0\n") +
           "push \"Sound\"\nnewObject\nsetVariable\n";
}

// s.onSoundComplete traces "complete".
const std::string kTraceComplete =
    "push \"s\"\ngetVariable\npush \"onSoundComplete\"\nfunction2 () regs=1 {\npush \"complete\"\ntrace\n}\nsetMember\n";

// A movie of three frames at the test's rate that exports the tone as
// "tone", runs `first` in its first frame and `third` in its third, where
// it stops.
std::vector<std::uint8_t> soundMovie(const std::string& first, const std::string& third = {}) {
    const auto firstCode = kinolux::avm1::test::assemble(first);
    const auto thirdCode = kinolux::avm1::test::assemble(third + "stop\n");
    const std::vector<swf::Tag> tags{testing::toneSound(), swf::ExportAssets{{{1, "tone"}}}, swf::DoAction{firstCode},
                                     swf::ShowFrame{}, swf::ShowFrame{}, swf::DoAction{thirdCode}, swf::ShowFrame{}};
    swf::Header header = testmovies::header(40, 30, 3);
    header.frameRate = testing::kScriptSoundFps << 8;
    return testmovies::movie(tags, header);
}

// s = new Sound(...); s.attachSound("tone"); s.onSoundComplete = ...;
// then `before` and s.start().
std::string tonePlaying(bool onClip, const std::string& before = {}) {
    return newSound("s", onClip) + call("s", "attachSound", "\"tone\", 1") + kTraceComplete + before +
           call("s", "start");
}

TEST(Avm1ScriptSound, AnAttachedSoundPlaysWholeThroughTheMixerThenCompletes) {
    for (bool onClip : {false, true}) {
        const Heard heard = playMovie(soundMovie(tonePlaying(onClip)));
        EXPECT_EQ(heard.loudLeft, kToneFrames) << onClip;
        EXPECT_EQ(heard.loudRight, kToneFrames) << onClip;
        EXPECT_EQ(heard.traces, std::vector<std::string>{"complete"}) << onClip;
        EXPECT_TRUE(heard.errors.empty()) << heard.errors.front();
    }
}

TEST(Avm1ScriptSound, StoppingTheSoundItsIdOrEverySoundCutsItShort) {
    const std::string halts[] = {call("s", "stop"), call("s", "stop", "\"TONE\", 1"), "stopSounds\n"};
    for (bool onClip : {false, true}) {
        for (const std::string& halt : halts) {
            const Heard heard = playMovie(soundMovie(tonePlaying(onClip), halt));
            EXPECT_GT(heard.loudLeft, 0u) << halt;
            EXPECT_LT(heard.loudLeft, kToneFrames / 2) << halt << ": the sound goes on after frame 3";
            EXPECT_TRUE(heard.traces.empty()) << halt << ": a stopped sound does not complete";
        }
    }
}

TEST(Avm1ScriptSound, AVolumeOfNothingSilencesTheSoundsOfItsClip) {
    // Set before the start, after it, and by another Sound on the same clip.
    for (bool onClip : {false, true}) {
        const Heard before = playMovie(soundMovie(tonePlaying(onClip, call("s", "setVolume", "0, 1"))));
        EXPECT_EQ(before.loudLeft + before.loudRight, 0u) << onClip;
        EXPECT_EQ(before.traces, std::vector<std::string>{"complete"}) << "a silent sound still plays to its end";
        const Heard after = playMovie(soundMovie(tonePlaying(onClip), call("s", "setVolume", "0, 1")));
        EXPECT_GT(after.loudLeft, 0u);
        EXPECT_LT(after.loudLeft, kToneFrames / 2) << onClip;
    }
    const Heard other =
        playMovie(soundMovie(tonePlaying(true), newSound("other", true) + call("other", "setVolume", "0, 1")));
    EXPECT_LT(other.loudLeft, kToneFrames / 2);
    // A Sound on no clip sets the volume of everything.
    const Heard movie =
        playMovie(soundMovie(tonePlaying(true), newSound("other", false) + call("other", "setVolume", "0, 1")));
    EXPECT_LT(movie.loudLeft, kToneFrames / 2);
}

TEST(Avm1ScriptSound, APanOrTransformSendsItToOneSide) {
    for (bool onClip : {false, true}) {
        const Heard panned = playMovie(soundMovie(tonePlaying(onClip, call("s", "setPan", "-100, 1"))));
        EXPECT_EQ(panned.loudLeft, kToneFrames) << onClip;
        EXPECT_EQ(panned.loudRight, 0u) << onClip;
    }
    // ll 0, rl 100: the left input goes to the right side, so both play there.
    const std::string right = "push \"rl\", 100, \"ll\", 0, 2\ninitObject\npush 1, \"s\"\ngetVariable\n"
                              "push \"setTransform\"\ncallMethod\npop\n";
    const Heard heard = playMovie(soundMovie(tonePlaying(true, right)));
    EXPECT_EQ(heard.loudLeft, 0u);
    EXPECT_EQ(heard.loudRight, kToneFrames);
}

// s = new Sound(); s.onLoad = function (ok) { trace(ok); if (ok) this.start() };
// s.loadSound(url, false)
std::string loading(const std::string& url) {
    return newSound("s", false) + kTraceComplete +
           "push \"s\"\ngetVariable\npush \"onLoad\"\n"
           "function2 (r2:ok) regs=3 flags=0x0001 {\npush r:2\ntrace\npush r:2\nnot\nif done\n"
           "push 0\npush r:1\npush \"start\"\ncallMethod\npop\ndone:\n}\nsetMember\n" +
           call("s", "loadSound", "false, \"" + url + "\", 2");
}

TEST(Avm1ScriptSound, AnMp3FileBesideTheMoviePlaysOnceLoaded) {
    testing::MovieFiles files;
    files.write("tone.mp3", testing::toneMp3());
    const auto movie = soundMovie(loading("tone.mp3"));
    const Heard heard = playMovie(movie, files.write("movie.swf", movie));
    // The encoder's padding and the sine's crossings make the count inexact.
    EXPECT_GT(heard.loudLeft, kToneFrames * 9 / 10);
    EXPECT_LT(heard.loudLeft, kToneFrames * 11 / 10);
    EXPECT_EQ(heard.traces, (std::vector<std::string>{"true", "complete"}));
    EXPECT_TRUE(heard.errors.empty()) << heard.errors.front();
}

TEST(Avm1ScriptSound, AMissingFarawayOrBrokenFileLoadsAsAFailure) {
    testing::MovieFiles files;
    files.write("tone.mp3", testing::toneMp3());
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(files.path("sub"))));
    for (const std::string url : {"missing.mp3", "../tone.mp3", "http://example.invalid/tone.mp3", "not an mp3.swf"}) {
        const auto movie = soundMovie(loading(url));
        files.write("sub/not an mp3.swf", movie);
        const Heard heard = playMovie(movie, files.write("sub/movie.swf", movie));
        EXPECT_EQ(heard.loudLeft, 0u) << url;
        EXPECT_EQ(heard.traces, std::vector<std::string>{"false"}) << url;
        // The log says why, except for a file that is not there.
        EXPECT_EQ(heard.errors.size(), url == "missing.mp3" ? 0u : 1u) << url;
    }
}

}  // namespace
}  // namespace flash
