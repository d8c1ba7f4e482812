// A library sound played by an ActionScript 3 script goes through the
// movie's mixer to the (faked) wave-out device, as the timeline's sounds
// do: whole when left to play, with soundComplete after it; cut short by
// SoundChannel.stop or SoundMixer.stopAll; panned by its SoundTransform.
// An MP3 file beside the movie plays the same way once loaded; a missing
// one or one outside the movie's folder plays nothing.
#include "flash/core/player.h"
#include "tests/avm2/document_movie.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/script_sound_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <cmath>
#include <optional>

namespace flash {
namespace {

using namespace avm2test;

using testing::Heard;
using testing::kToneFrames;
using testing::playMovie;
using testing::toneSound;

constexpr int kFps = testing::kScriptSoundFps;

// class Tone extends flash.media.Sound {}, in a DoABC tag of its own.
std::vector<std::uint8_t> toneClassAbc() {
    AbcBuilder abc;
    Code init;
    init.op(op::GetLocal0).op(op::PushScope).op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid);
    return classAbc(abc, abc.name("Tone"), abc.name("flash.media", "Sound"), init);
}

enum class Halt { None, ChannelStop, StopAll };

// The document class plays Tone at once, or the MP3 file at `url` (panned
// hard left with `leftOnly`), traces "complete" on soundComplete, and on
// the third frame halts it as asked.
std::vector<std::uint8_t> tonePlayingMovie(Halt halt, bool leftOnly = false, const std::string& url = {}) {
    AbcBuilder abc;
    const std::uint32_t channel = abc.name("channel");
    const std::uint32_t media = abc.packageNamespace("flash.media");
    Code constructor;
    constructor.op(op::GetLocal0);
    if (url.empty()) {
        constructor.op(op::FindPropStrict, abc.name("Tone")).op(op::ConstructProp, abc.name("Tone"), 0);
    } else {
        const std::uint32_t sound = abc.qname(media, "Sound");
        const std::uint32_t request = abc.qname(abc.packageNamespace("flash.net"), "URLRequest");
        constructor.op(op::FindPropStrict, sound).op(op::FindPropStrict, request).op(op::PushString, abc.string(url));
        constructor.op(op::ConstructProp, request, 1).op(op::ConstructProp, sound, 1);
    }
    const std::uint32_t transform = abc.qname(media, "SoundTransform");
    if (leftOnly) {
        constructor.op(op::PushByte).u8(0).op(op::PushByte).u8(1);
        constructor.op(op::FindPropStrict, transform).op(op::PushByte).u8(1).op(op::PushByte).u8(0xFF);
        constructor.op(op::ConstructProp, transform, 2);
        constructor.op(op::CallProperty, abc.name("play"), 3);
    } else {
        constructor.op(op::CallProperty, abc.name("play"), 0);
    }
    constructor.op(op::SetProperty, channel);
    constructor.op(op::GetLocal0).op(op::GetProperty, channel).op(op::PushString, abc.string("soundComplete"));
    constructor.op(op::GetLocal0).op(op::GetProperty, abc.name("complete"));
    constructor.op(op::CallPropVoid, abc.name("addEventListener"), 2);
    Code complete;
    traced(complete, abc, [&](Code& c) { c.op(op::PushString, abc.string("complete")); });
    Code third;
    if (halt == Halt::ChannelStop)
        third.op(op::GetLocal0).op(op::GetProperty, channel).op(op::CallPropVoid, abc.name("stop"), 0);
    if (halt == Halt::StopAll)
        third.op(op::GetLex, abc.qname(media, "SoundMixer")).op(op::CallPropVoid, abc.name("stopAll"), 0);
    constructor.op(op::GetLocal0).op(op::PushByte).u8(2).op(op::GetLocal0).op(op::GetProperty, abc.name("third"));
    constructor.op(op::CallPropVoid, abc.name("addFrameScript"), 2);
    const auto doAbc = documentAbc(abc, constructor, {{"complete", complete, 1}, {"third", third}});

    // The tags only point at their bytes.
    const auto toneAbc = toneClassAbc();
    std::vector<swf::Tag> tags{swf::FileAttributes{swf::FileAttribute::ActionScript3}, toneSound(),
                               swf::DoAbc{swf::Bytes(toneAbc)}, swf::SymbolClass{{{1, "Tone"}}}};
    tags.push_back(swf::DoAbc{swf::Bytes(doAbc)});
    tags.push_back(swf::SymbolClass{{{0, "Doc"}}});
    constexpr int kFrames = 3;
    for (int i = 0; i < kFrames; ++i) tags.push_back(swf::ShowFrame{});
    swf::Header header = testmovies::header(40, 30, kFrames);
    header.frameRate = kFps << 8;
    return testmovies::movie(tags, header);
}

TEST(ScriptSound, ALibrarySoundPlaysWholeThroughTheMixerThenCompletes) {
    const Heard heard = playMovie(tonePlayingMovie(Halt::None));
    EXPECT_EQ(heard.loudLeft, kToneFrames);
    EXPECT_EQ(heard.loudRight, kToneFrames);
    EXPECT_EQ(heard.traces, std::vector<std::string>{"complete"});
    EXPECT_TRUE(heard.errors.empty()) << heard.errors.front();
}

TEST(ScriptSound, StoppingTheChannelOrEverySoundCutsItShort) {
    for (Halt halt : {Halt::ChannelStop, Halt::StopAll}) {
        const Heard heard = playMovie(tonePlayingMovie(halt));
        EXPECT_GT(heard.loudLeft, 0u);
        EXPECT_LT(heard.loudLeft, kToneFrames / 2) << "the sound goes on after frame 3";
        EXPECT_TRUE(heard.traces.empty()) << "a stopped sound does not complete";
    }
}

// The document class sets its own soundTransform to `volume` (none: left
// as it is) and traces the volume it reads back; its timeline starts the
// tone in the first frame.
std::vector<std::uint8_t> timelineToneMovie(std::optional<int> volume) {
    AbcBuilder abc;
    const std::uint32_t transform = abc.qname(abc.packageNamespace("flash.media"), "SoundTransform");
    const std::uint32_t soundTransform = abc.name("soundTransform");
    Code constructor;
    if (volume) {
        constructor.op(op::GetLocal0).op(op::FindPropStrict, transform).op(op::PushByte).u8(std::uint8_t(*volume));
        constructor.op(op::ConstructProp, transform, 1).op(op::SetProperty, soundTransform);
    }
    traced(constructor, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::GetProperty, soundTransform).op(op::GetProperty, abc.name("volume"));
    });
    const auto doAbc = documentAbc(abc, constructor, {});
    std::vector<swf::Tag> tags{swf::FileAttributes{swf::FileAttribute::ActionScript3}, toneSound(),
                               swf::DoAbc{swf::Bytes(doAbc)}, swf::SymbolClass{{{0, "Doc"}}}, swf::StartSound{1, {}},
                               swf::ShowFrame{}};
    swf::Header header = testmovies::header(40, 30, 1);
    header.frameRate = kFps << 8;
    return testmovies::movie(tags, header);
}

TEST(ScriptSound, ASpritesSoundTransformReachesItsTimelinesSounds) {
    const Heard loud = playMovie(timelineToneMovie(std::nullopt));
    EXPECT_EQ(loud.loudLeft, kToneFrames);
    EXPECT_EQ(loud.traces, std::vector<std::string>{"1"});
    const Heard silent = playMovie(timelineToneMovie(0));
    EXPECT_EQ(silent.loudLeft + silent.loudRight, 0u);
    EXPECT_EQ(silent.traces, std::vector<std::string>{"0"});
    EXPECT_TRUE(silent.errors.empty()) << silent.errors.front();
}

TEST(ScriptSound, ASoundTransformPansTheChannel) {
    const Heard heard = playMovie(tonePlayingMovie(Halt::None, true));
    EXPECT_EQ(heard.loudLeft, kToneFrames);
    EXPECT_EQ(heard.loudRight, 0u);
}

}  // namespace
}  // namespace flash

namespace flash {
namespace {

using testing::toneMp3;

TEST(ScriptSound, AnMp3FileBesideTheMoviePlaysOnceLoaded) {
    testing::MovieFiles files;
    files.write("tone.mp3", toneMp3());
    const auto movie = tonePlayingMovie(Halt::None, false, "tone.mp3");
    const Heard heard = playMovie(movie, files.write("movie.swf", movie));
    // The encoder's padding and the sine's crossings make the count inexact.
    EXPECT_GT(heard.loudLeft, kToneFrames * 9 / 10);
    EXPECT_LT(heard.loudLeft, kToneFrames * 11 / 10);
    EXPECT_EQ(heard.traces, std::vector<std::string>{"complete"});
    EXPECT_TRUE(heard.errors.empty()) << heard.errors.front();
}

TEST(ScriptSound, AMissingFarawayOrBrokenFilePlaysNothing) {
    testing::MovieFiles files;
    files.write("tone.mp3", toneMp3());
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(files.path("sub"))));
    for (const std::string url : {"missing.mp3", "../tone.mp3", "http://example.invalid/tone.mp3", "not an mp3.swf"}) {
        const auto movie = tonePlayingMovie(Halt::None, false, url);
        files.write("sub/not an mp3.swf", movie);
        const Heard heard = playMovie(movie, files.write("sub/movie.swf", movie));
        EXPECT_EQ(heard.loudLeft, 0u) << url;
        EXPECT_TRUE(heard.traces.empty()) << url;
        // The log says why, except for a file that is not there.
        EXPECT_EQ(heard.errors.size(), url == "missing.mp3" ? 0u : 1u) << url;
    }
}

}  // namespace
}  // namespace flash
