// The order of an ActionScript 3 movie's frame: the timelines move on,
// enterFrame, the placed objects are constructed and hear they were added,
// frameConstructed, the frame scripts, exitFrame; and a script's goto runs
// the new frame's part of that at once.
#include <gtest/gtest.h>

#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

namespace {

// Doc (the frames' tags before each ShowFrame) as a movie of that many
// frames.
std::vector<std::uint8_t> framedMovie(const std::vector<std::uint8_t>& doAbc, std::vector<std::vector<swf::Tag>> frames) {
    std::vector<swf::Tag> tags{swf::FileAttributes{swf::FileAttribute::ActionScript3}, swf::DoAbc{swf::Bytes(doAbc)},
                               swf::SymbolClass{{{0, "Doc"}}}};
    for (auto& frame : frames) {
        for (auto& t : frame) tags.push_back(std::move(t));
        tags.push_back(swf::ShowFrame{});
    }
    return testmovies::movie(tags, testmovies::header(100, 100, int(frames.size())));
}

// this.addEventListener(type, this[method])
void listen(Code& c, AbcBuilder& abc, const char* type, const char* method) {
    callOnThis(c, abc, "addEventListener", 2, [&](Code& p) {
        p.op(op::PushString, abc.string(type)).op(op::GetLocal0).op(op::GetProperty, abc.name(method));
    });
}

// trace(event.type + " " + event.eventPhase + " " + this.numChildren)
DocMethod tracingListener(AbcBuilder& abc) {
    Code c;
    traced(c, abc, [&](Code& t) {
        t.op(op::GetLocal1).op(op::GetProperty, abc.name("type")).op(op::PushString, abc.string(" ")).op(op::Add);
        t.op(op::GetLocal1).op(op::GetProperty, abc.name("eventPhase")).op(op::Add);
        t.op(op::PushString, abc.string(" ")).op(op::Add);
        t.op(op::GetLocal0).op(op::GetProperty, abc.name("numChildren")).op(op::Add);
    });
    return DocMethod{"heard", c, 1};
}

}  // namespace

TEST(As3FrameOrder, PlacedObjectsAreThereForEnterFrameAndConstructedAfterIt) {
    AbcBuilder abc;
    Code init;
    for (const char* type : {"added", "addedToStage", "enterFrame", "frameConstructed", "exitFrame"})
        listen(init, abc, type, "heard");
    std::vector<swf::Tag> second{swf::DefineSprite{2, 1, {swf::ShowFrame{}}}, testmovies::place(1, 2)};
    Playback run = play(framedMovie(documentAbc(abc, init, {tracingListener(abc)}), {{}, second}), 1);
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"added 2 0", "addedToStage 2 0", "frameConstructed 2 0",
                                                    "exitFrame 2 0", "enterFrame 2 1", "added 3 1",
                                                    "frameConstructed 2 1", "exitFrame 2 1"}));
}

TEST(As3FrameOrder, TheTimelinesRemovalsAreHeardWhileTheObjectIsStillThere) {
    AbcBuilder abc;
    Code init;
    listen(init, abc, "removed", "heard");
    std::vector<swf::Tag> first{swf::DefineSprite{2, 1, {swf::ShowFrame{}}}, testmovies::place(1, 2)};
    Playback run = play(framedMovie(documentAbc(abc, init, {tracingListener(abc)}), {first, {swf::RemoveObject{2, 1}}}), 1);
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"removed 3 1"}));
}

// Reading a method off the object makes a new closure each time; removing
// the listener with a second reading still removes it.
TEST(As3FrameOrder, AListenerReadOffTheObjectAgainIsRemoved) {
    AbcBuilder abc;
    Code init;
    listen(init, abc, "exitFrame", "heard");
    callOnThis(init, abc, "removeEventListener", 2, [&](Code& p) {
        p.op(op::PushString, abc.string("exitFrame")).op(op::GetLocal0).op(op::GetProperty, abc.name("heard"));
    });
    Playback run = play(framedMovie(documentAbc(abc, init, {tracingListener(abc)}), {{}, {}}), 1);
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_TRUE(run.traces.empty()) << run.traces[0];
}

// In the constructor: addFrameScript(1, frame2); gotoAndStop(2); trace("after goto").
TEST(As3FrameOrder, AGotoRunsTheNewFramesScriptBeforeTheScriptGoesOn) {
    AbcBuilder abc;
    Code init;
    listen(init, abc, "frameConstructed", "heard");
    callOnThis(init, abc, "addFrameScript", 2, [&](Code& p) {
        p.op(op::PushByte).u8(1).op(op::GetLocal0).op(op::GetProperty, abc.name("frame2"));
    });
    callOnThis(init, abc, "gotoAndStop", 1, [](Code& p) { p.op(op::PushByte).u8(2); });
    traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("after goto")); });
    Code frame2;
    traced(frame2, abc, [&](Code& c) { c.op(op::PushString, abc.string("frame 2")); });
    Playback run = play(framedMovie(documentAbc(abc, init, {tracingListener(abc), DocMethod{"frame2", frame2}}), {{}, {}}));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"frameConstructed 2 0", "frame 2", "after goto",
                                                    "frameConstructed 2 0"}));
    EXPECT_EQ(run.frame, 1);
}

// A clip taken off and put back keeps its frame: only the frame step moves it.
TEST(As3FrameOrder, AClipPutBackOnTheStageStaysOnItsFrame) {
    AbcBuilder abc;
    Code init;
    auto box = [&](Code& c) { c.op(op::GetLocal0).op(op::GetProperty, abc.name("box")); };
    callOnThis(init, abc, "removeChild", 1, box);
    callOnThis(init, abc, "addChild", 1, box);
    traced(init, abc, [&](Code& c) { box(c); c.op(op::GetProperty, abc.name("currentFrame")); });
    swf::PlaceObject placed = testmovies::place(1, 2);
    placed.name = "box";
    std::vector<swf::Tag> first{swf::DefineSprite{2, 2, {swf::ShowFrame{}, swf::ShowFrame{}}}, placed};
    Playback run = play(framedMovie(documentAbc(abc, init), {first}));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"1"}));
}

// prevScene in the first scene, past its first frame, goes back to its start.
TEST(As3FrameOrder, PrevSceneInTheFirstSceneGoesToItsStart) {
    AbcBuilder abc;
    Code init;
    callOnThis(init, abc, "gotoAndStop", 1, [](Code& p) { p.op(op::PushByte).u8(2); });
    callOnThis(init, abc, "prevScene", 0, [](Code&) {});
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal0).op(op::GetProperty, abc.name("currentFrame")); });
    std::vector<swf::Tag> first{swf::SceneAndFrameLabelData{{{0, "A"}, {3, "B"}}, {}}};
    Playback run = play(framedMovie(documentAbc(abc, init), {first, {}, {}, {}}));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"1"}));
}

// frame1: gotoAndStop(2); trace(currentFrame). The clip stays on its frame
// until its frame script is done, and the last goto asked for wins.
TEST(As3FrameOrder, AGotoInAFrameScriptWaitsForTheScriptToEnd) {
    AbcBuilder abc;
    Code init;
    callOnThis(init, abc, "addFrameScript", 4, [&](Code& p) {
        p.op(op::PushByte).u8(0).op(op::GetLocal0).op(op::GetProperty, abc.name("frame1"));
        p.op(op::PushByte).u8(1).op(op::GetLocal0).op(op::GetProperty, abc.name("frame2"));
    });
    Code frame1;
    callOnThis(frame1, abc, "gotoAndStop", 1, [](Code& p) { p.op(op::PushByte).u8(3); });
    callOnThis(frame1, abc, "gotoAndStop", 1, [](Code& p) { p.op(op::PushByte).u8(2); });
    traced(frame1, abc, [&](Code& c) { c.op(op::GetLocal0).op(op::GetProperty, abc.name("currentFrame")); });
    Code frame2;
    traced(frame2, abc, [&](Code& c) { c.op(op::PushString, abc.string("frame 2")); });
    Playback run = play(framedMovie(documentAbc(abc, init, {DocMethod{"frame1", frame1}, DocMethod{"frame2", frame2}}),
                                    {{}, {}, {}}));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"1", "frame 2"}));
    EXPECT_EQ(run.frame, 1);
}

// A frame script giving its clip's frame another script has that one run
// after it in the same frame; one that keeps giving itself the frame again
// is stopped rather than run for ever.
TEST(As3FrameOrder, AScriptGivenToTheCurrentFrameRunsLateInTheSameFrame) {
    auto run = [](const char* next) {
        AbcBuilder abc;
        Code init;
        auto give = [&](Code& c, const char* method) {
            callOnThis(c, abc, "addFrameScript", 2, [&](Code& p) {
                p.op(op::PushByte).u8(0).op(op::GetLocal0).op(op::GetProperty, abc.name(method));
            });
        };
        give(init, "frame1");
        Code frame1, late;
        traced(frame1, abc, [&](Code& c) { c.op(op::PushString, abc.string("frame1")); });
        give(frame1, next);
        traced(late, abc, [&](Code& c) { c.op(op::PushString, abc.string("late")); });
        return play(framedMovie(documentAbc(abc, init, {DocMethod{"frame1", frame1}, DocMethod{"late", late}}), {{}}));
    };
    Playback once = run("late");
    ASSERT_TRUE(once.errors.empty()) << once.errors[0];
    EXPECT_EQ(once.traces, (std::vector<std::string>{"frame1", "late"}));
    Playback endless = run("frame1");
    EXPECT_GT(endless.traces.size(), 2u);
    EXPECT_LT(endless.traces.size(), 10000u);
}

// A clip of a two-frame symbol that the document makes and never places
// plays on off the stage: its second frame's script runs on the next frame.
TEST(As3FrameOrder, AClipAScriptMadeAndNeverPlacedPlaysOn) {
    AbcBuilder abc;
    const std::uint32_t clip = abc.name("flash.display", "MovieClip");
    Code init;
    init.op(op::FindPropStrict, clip).op(op::ConstructProp, clip, 0).op(op::SetLocal1);
    init.op(op::GetLocal1).op(op::PushByte).u8(1).op(op::GetLocal0).op(op::GetProperty, abc.name("frame2"));
    init.op(op::CallPropVoid, abc.name("addFrameScript"), 2);
    Code frame2;
    traced(frame2, abc, [&](Code& c) { c.op(op::PushString, abc.string("orphan frame 2")); });
    const std::vector<std::uint8_t> doAbc = documentAbc(abc, init, {DocMethod{"frame2", frame2}});
    std::vector<swf::Tag> tags{swf::FileAttributes{swf::FileAttribute::ActionScript3},
                               swf::DefineSprite{2, 2, {swf::ShowFrame{}, swf::ShowFrame{}}},
                               swf::DoAbc{swf::Bytes(doAbc)},
                               swf::SymbolClass{{{0, "Doc"}, {2, "flash.display.MovieClip"}}}, swf::ShowFrame{}};
    const auto file = testmovies::movie(tags, testmovies::header(100, 100, 1));
    Playback before = play(file);
    ASSERT_TRUE(before.errors.empty()) << before.errors[0];
    EXPECT_TRUE(before.traces.empty());
    Playback after = play(file, 1);
    EXPECT_EQ(after.traces, (std::vector<std::string>{"orphan frame 2"}));
}
