// When a movie's scripts run around the display list: init actions ahead of
// the objects their frame places, the clip events of a clip and the clips
// of its first frame, removal that waits for unload handlers; and the
// sizes and labels scripts read.
#include <gtest/gtest.h>

#include <deque>

#include "flash/core/player.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash/traced_movie.h"

using namespace testmovies;
using swf::ShowFrame;
using swf::Tag;

namespace {

// Bytecode the tags of a test movie point into, kept for the whole run.
swf::Bytes code(const std::string& assembly) {
    static std::deque<std::vector<std::uint8_t>> kept;
    kept.push_back(kinolux::avm1::test::assemble(assembly));
    return swf::Bytes(kept.back());
}

swf::Bytes traceOf(const std::string& text) { return code("push \"" + text + "\"\ntrace\n"); }

std::unique_ptr<TracedMovie> play(const std::vector<Tag>& tags, int frames) {
    return playTraced(movie(tags, header(100, 100, frames)));
}

swf::DefineSprite sprite(swf::CharacterId id, std::vector<Tag> tags) {
    swf::DefineSprite s;
    s.id = id;
    s.frameCount = 1;
    s.tags = std::move(tags);
    s.tags.push_back(ShowFrame{});
    s.tags.push_back(swf::End{});
    return s;
}

// A placement whose clip traces "<who> initialize", "<who> construct" and
// "<who> unload" from its onClipEvent handlers.
swf::PlaceObject tracingPlacement(swf::Depth depth, swf::CharacterId id, const std::string& who) {
    swf::PlaceObject p = place(depth, id);
    p.name = who;
    p.clipActions = std::vector<swf::ClipAction>{{swf::ClipEvent::Initialize, 0, traceOf(who + " initialize")},
                                                 {swf::ClipEvent::Construct, 0, traceOf(who + " construct")},
                                                 {swf::ClipEvent::Unload, 0, traceOf(who + " unload")}};
    return p;
}

TEST(ClipEventOrder, AnInitActionRegistersItsClassForTheClipsItsFramePlacesAfterIt) {
    // function Thing() { trace("built " + this._name) }; Object.registerClass("thing", Thing)
    const swf::Bytes init = code(
        "function Thing() {\npush \"built \", \"this\"\ngetVariable\npush \"_name\"\ngetMember\nadd2\ntrace\n}\n"
        "push \"Thing\"\ngetVariable\npush \"thing\", 2, \"Object\"\ngetVariable\npush \"registerClass\"\ncallMethod\npop\n");
    swf::PlaceObject placed = place(1, 2);
    placed.name = "a";
    auto t = play({sprite(2, {}), swf::ExportAssets{{{2, "thing"}}}, swf::DoInitAction{2, init}, placed, ShowFrame{}}, 1);
    EXPECT_EQ(t->traces, std::vector<std::string>{"built a"});
}

TEST(ClipEventOrder, FirstFrameChildrenComeBetweenTheParentsInitializeAndConstruct) {
    // The inner clip sits in the outer one's first frame; frame 2 of the
    // root removes the outer clip and then traces where `outer` leads.
    auto t = play({sprite(3, {}), sprite(4, {tracingPlacement(1, 3, "inner")}), tracingPlacement(1, 4, "outer"),
                   ShowFrame{}, remove(1), swf::DoAction{code("push \"outer\"\ngetVariable\ntrace\n")}, ShowFrame{}},
                  2);
    const std::vector<std::string> placed = {"outer initialize", "inner initialize", "outer construct",
                                             "inner construct"};
    EXPECT_EQ(t->traces, placed);
    t->traces.clear();
    t->player->tick();
    const std::vector<std::string> removed = {"inner unload", "outer unload", "_level0.outer"};
    EXPECT_EQ(t->traces, removed) << "the clip waits for its unload handlers, held ones first, and is found meanwhile";
    EXPECT_TRUE(t->player->root().children().empty()) << "and is gone when the frame ends";
}

TEST(ClipEventOrder, AClipOnItsWayOutRunsNoOtherQueuedScript) {
    // The clip's own frame script would run after the root's Remove in the
    // same frame; it never does, its unload handler does.
    swf::PlaceObject p = place(1, 5);
    p.name = "c";
    p.clipActions = std::vector<swf::ClipAction>{{swf::ClipEvent::Unload, 0, traceOf("unload")},
                                                 {swf::ClipEvent::EnterFrame, 0, traceOf("enterFrame")}};
    swf::DefineSprite looping = sprite(5, {});
    auto t = play({looping, p, ShowFrame{}, remove(1), ShowFrame{}}, 2);
    t->traces.clear();
    t->player->tick();
    EXPECT_EQ(t->traces, std::vector<std::string>{"unload"});
}

// setInterval(tick, 1) at 25 frames a second, where tick traces and moves
// a stopped clip on a frame, whose script traces: the interval comes round
// every 10 ms of the frame's 40, and the frame script each call queues runs
// before the next call.
TEST(ClipEventOrder, TimersRunAsTheirTimeComesRoundWithWhatTheyQueuedBetweenThem) {
    swf::DefineSprite counter;
    counter.id = 5;
    counter.frameCount = 3;
    counter.tags = {swf::DoAction{code("stop\n")},
                    ShowFrame{},
                    swf::DoAction{traceOf("f2")},
                    ShowFrame{},
                    swf::DoAction{traceOf("f3")},
                    ShowFrame{},
                    swf::End{}};
    auto clip = place(1, 5);
    clip.name = "clip";
    const std::string script =
        "function tick() {\npush \"tick\"\ntrace\npush 0, \"clip\"\ngetVariable\npush "
        "\"nextFrame\"\ncallMethod\npop\n}\n"
        "push 1, \"tick\"\ngetVariable\npush 2, \"setInterval\"\ncallFunction\npop\n";
    auto t = play({counter, clip, swf::DoAction{code(script)}, ShowFrame{}}, 1);
    const std::vector<std::string> first = {"tick", "f2", "tick", "f3", "tick", "tick"};
    EXPECT_EQ(t->traces, first);
    t->traces.clear();
    t->player->tick();
    EXPECT_EQ(t->traces, std::vector<std::string>(4, "tick"));
}

// x = createEmptyMovieClip("a", 1); y = createEmptyMovieClip("a", 2);
// z = createEmptyMovieClip("b", 3); trace(x === y); trace(x == z)
TEST(ClipEventOrder, ClipsAtOneTargetPathCompareEqual) {
    auto make = [](const std::string& variable, const std::string& name, int depth) {
        return "push \"" + variable + "\", " + std::to_string(depth) + ", \"" + name +
               "\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\nsetVariable\n";
    };
    const std::string script = make("x", "a", 1) + make("y", "a", 2) + make("z", "b", 3) +
                               "push \"x\"\ngetVariable\npush \"y\"\ngetVariable\nstrictEquals\ntrace\n"
                               "push \"x\"\ngetVariable\npush \"z\"\ngetVariable\nequals2\ntrace\n";
    auto t = play({swf::DoAction{code(script)}, ShowFrame{}}, 1);
    const std::vector<std::string> expected = {"true", "false"};
    EXPECT_EQ(t->traces, expected);
}

TEST(ClipMeasures, SizesReadInWholeTwipsAndSizingNothingCollapses) {
    // createEmptyMovieClip("e", 1); e._width = 20; trace(e._xscale);
    // e draws a 10 px square; e._xscale = 33.3333; trace(e._width)
    auto call = [](const std::string& target, const std::string& method, const std::string& args, int count) {
        return (count ? "push " + args + "\n" : std::string()) + "push " + std::to_string(count) + ", \"" + target +
               "\"\ngetVariable\npush \"" + method + "\"\ncallMethod\npop\n";
    };
    const std::string script =
        call("_root", "createEmptyMovieClip", "1, \"e\"", 2) +
        "push \"e\"\ngetVariable\npush \"_width\", 20\nsetMember\npush \"e\"\ngetVariable\npush \"_xscale\"\ngetMember\ntrace\n"
        "push \"e\"\ngetVariable\npush \"_xscale\", 100\nsetMember\npush \"e\"\ngetVariable\npush \"_yscale\", 100\nsetMember\n" +
        call("e", "beginFill", "255", 1) + call("e", "lineTo", "0, 10", 2) + call("e", "lineTo", "10, 10", 2) +
        call("e", "lineTo", "10, 0", 2) + call("e", "lineTo", "0, 0", 2) + call("e", "endFill", "", 0) +
        "push \"e\"\ngetVariable\npush \"_xscale\", 33.3333\nsetMember\npush \"e\"\ngetVariable\npush \"_width\"\ngetMember\ntrace\n";
    auto t = play({swf::DoAction{code(script)}, ShowFrame{}}, 1);
    const std::vector<std::string> expected = {"0", "3.35"};
    EXPECT_EQ(t->traces, expected);
}

TEST(ClipMeasures, LabelsFoldTheCaseOfAsciiLettersOnly) {
    auto t = play({ShowFrame{}, swf::FrameLabel{"Bad\xc3\xa0", false}, ShowFrame{}}, 2);
    const flash::MovieClip& root = t->player->root();
    EXPECT_EQ(root.frameOfLabel(kinolux::script::String(u"BAD\u00e0")), 2);
    EXPECT_EQ(root.frameOfLabel(kinolux::script::String(u"bad\u00c0")), std::nullopt);
}

TEST(FrameActions, FramesWhoseGotosQueueEachOtherStopAtTheTimeLimitAsOneScriptWould) {
    // Frame 1 goes to frame 2 and frame 2 back to frame 1, each goto queuing
    // the other frame's actions in the same frame: no one script runs long,
    // but together they never end.
    flash::PlayerOptions options;
    options.scriptLimits.timeLimitSeconds = 5;
    options.scriptLimits.actionsPerSecond = 2000;  // 10000 actions; the wall-clock backstop stays far off
    auto t = playTraced(movie({swf::DoAction{code("push \"one\"\ntrace\ngotoframe 1\nplay\n")}, ShowFrame{},
                               swf::DoAction{code("gotoframe 0\nplay\n")}, ShowFrame{}},
                              header(100, 100, 2)),
                        options);
    EXPECT_GT(t->traces.size(), 100u);
    EXPECT_LT(t->traces.size(), 10000u);
    ASSERT_FALSE(t->player->scriptErrors().empty());
    EXPECT_NE(t->player->scriptErrors().back().find("run slowly"), std::string::npos);
    const std::size_t traced = t->traces.size();
    t->player->tick();
    EXPECT_EQ(t->traces.size(), traced) << "scripts stay off for the rest of the movie";
}

}  // namespace
