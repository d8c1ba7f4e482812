// ActionScript 3 on the player core: DoABC tags, the document class built
// on the root, its frame scripts and its timeline commands.
#include <gtest/gtest.h>

#include "flash/core/player.h"
#include "tests/avm2/document_movie.h"
#include "tests/avm2/machine.h"
#include "tests/avm2/playback.h"
#include "tests/flash/test_movies.h"

using namespace avm2test;

namespace {

// class Doc extends MovieClip {
//     function Doc() { super(); trace("constructed"); addFrameScript(0, frame1); }
//     function frame1() { trace("frame " + currentFrame); stop(); }
// }
std::vector<std::uint8_t> documentClassAbc(bool stops) {
    AbcBuilder abc;
    Code init;
    traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("constructed")); });
    callOnThis(init, abc, "addFrameScript", 2, [&](Code& c) {
        c.op(op::PushByte).u8(0).op(op::GetLocal0).op(op::GetProperty, abc.name("frame1"));
    });
    Code frame;
    traced(frame, abc, [&](Code& c) {
        c.op(op::PushString, abc.string("frame ")).op(op::GetLocal0).op(op::GetProperty, abc.name("currentFrame"));
        c.op(op::Add);
    });
    if (stops) frame.op(op::GetLocal0).op(op::CallPropVoid, abc.name("stop"), 0);
    return documentAbc(abc, init, {{"frame1", frame}});
}

// A three-frame movie whose document class the DoABC body defines.
Playback playDocument(const std::vector<std::uint8_t>& doAbc, int ticks) {
    std::vector<swf::Tag> tags{swf::FileAttributes{swf::FileAttribute::ActionScript3},
                               swf::DoAbc{swf::Bytes(doAbc)},
                               swf::SymbolClass{{{0, "Doc"}}},
                               swf::ShowFrame{},
                               swf::ShowFrame{},
                               swf::ShowFrame{}};
    return play(testmovies::movie(tags, testmovies::header(100, 100, 3)), ticks);
}

}  // namespace

TEST(As3Player, DocumentClassIsBuiltThenItsFrameScriptRuns) {
    Playback run = playDocument(documentClassAbc(true), 3);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"constructed", "frame 1"}));
    EXPECT_EQ(run.frame, 0);  // the frame script stopped the timeline
}

TEST(As3Player, FrameScriptRunsEachTimeItsFrameComesRound) {
    Playback run = playDocument(documentClassAbc(false), 3);
    EXPECT_EQ(run.traces, (std::vector<std::string>{"constructed", "frame 1", "frame 1"}));
}

TEST(As3Player, BrokenAbcIsReportedAndTheMoviePlaysOn) {
    auto doAbc = documentClassAbc(true);
    doAbc.resize(doAbc.size() / 2);
    Playback run = playDocument(doAbc, 2);
    EXPECT_TRUE(run.traces.empty());
    ASSERT_FALSE(run.errors.empty());
    EXPECT_NE(run.errors[0].find("ABC"), std::string::npos) << run.errors[0];
    EXPECT_EQ(run.frame, 2);
}

// System's memory figures are there, its garbage collection does nothing,
// and copying null to the clipboard is refused.
TEST(As3System, MemoryFiguresAndAClipboardThatRefusesNull) {
    AbcBuilder abc;
    const std::uint32_t system = abc.name("flash.system", "System");
    Code init;
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLex, system).op(op::GetProperty, abc.name("totalMemory")).op(op::PushByte).u8(0);
        c.op(op::GreaterThan);
    });
    init.op(op::GetLex, system).op(op::CallPropVoid, abc.name("gc"), 0);
    traced(init, abc, [&](Code& c) { c.op(op::GetLex, system).op(op::GetProperty, abc.name("useCodePage")); });
    init.op(op::GetLex, system).op(op::PushNull).op(op::CallPropVoid, abc.name("setClipboard"), 1);
    traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("not reached")); });
    Playback run = play(documentMovie(documentAbc(abc, init), {}));
    // The uncaught error ends the constructor and goes to the movie's log.
    EXPECT_EQ(run.traces, (std::vector<std::string>{
                              "true", "false", "TypeError: Error #2007: Parameter text must be non-null.\n\tat Doc()"}));
    expectOneError(run, "#2007");
}

// A timer that falls due within a frame fires as that frame ends, the
// first one included, on the same clock as ActionScript 1's.
TEST(As3Timers, ATimerDueWithinTheFrameFiresAsTheFrameEnds) {
    AbcBuilder abc;
    const std::uint32_t timer = abc.name("flash.utils", "Timer");
    Code init;
    init.op(op::FindPropStrict, timer).op(op::PushByte).u8(1).op(op::PushByte).u8(1);
    init.op(op::ConstructProp, timer, 2).op(op::SetLocal1);
    init.op(op::GetLocal1).op(op::PushString, abc.string("timer")).op(op::GetLocal0).op(op::GetProperty, abc.name("fired"));
    init.op(op::CallPropVoid, abc.name("addEventListener"), 2);
    init.op(op::GetLocal1).op(op::CallPropVoid, abc.name("start"), 0);
    Code fired;
    traced(fired, abc, [&](Code& c) { c.op(op::PushString, abc.string("fired")); });
    Playback run = play(documentMovie(documentAbc(abc, init, {DocMethod{"fired", fired, 1}}), {}));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"fired"}));
}
