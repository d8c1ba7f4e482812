// The machine and the player together: script-made clips and their
// classes, timeline control, events and listeners, variables the player
// reads and writes, requests going out.
#include <gtest/gtest.h>

#include "tests/avm1/assembler.h"
#include "tests/avm1/script.h"

namespace kinolux::avm1::test {
namespace {

// class Ball { function Ball() { trace("Ball " + this.speed + " " + this._name); } }
// Ball.prototype.bounce = function () { return "bounce " + this._name; }
// Object.registerClass("ball", Ball);
const char* const kRegisterBall = R"asm(
    push "Ball"
    function2 () regs=2 flags=0x0001 {
        push "Ball "
        push r:1
        push "speed"
        getMember
        add2
        push " "
        add2
        push r:1
        push "_name"
        getMember
        add2
        trace
    }
    setVariable
    push "Ball"
    getVariable
    push "prototype"
    getMember
    push "bounce"
    function2 () regs=2 flags=0x0001 {
        push "bounce "
        push r:1
        push "_name"
        getMember
        add2
        return
    }
    setMember
    push "Ball"
    getVariable
    push "ball"
    push 2
    push "Object"
    getVariable
    push "registerClass"
    callMethod
    pop
)asm";

TEST(Clips, AttachMovieUsesTheRegisteredClassAndTheInitObject) {
    Script s(7);
    s.m.host.root.exports_.push_back(u"ball");
    s.run(kRegisterBall);
    s.m.host.traces.clear();
    // _root.attachMovie("ball", "b1", 5, {speed: 3})
    EXPECT_EQ(s.run(R"asm(
        push "speed", 3, 1
        initObject
        push 5, "b1", "ball", 4
        push "_root"
        getVariable
        push "attachMovie"
        callMethod
        push "bounce"
        getMember
        push 0
        push "b1"
        getVariable
        push "bounce"
        callMethod
        trace
        push "b1"
        getVariable
        push "Ball"
        getVariable
        instanceOf
        trace
    )asm"), "Ball 3 b1\nbounce b1\ntrue");
    DisplayObjectBinding* b1 = s.m.host.root.childAtDepth(5);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(s.text(s.get(s.scriptOf(*b1), u"speed")), "3");
    // An unknown linkage name attaches nothing.
    EXPECT_EQ(s.run(R"asm(
        push 6, "b2", "nothing", 3
        push "_root"
        getVariable
        push "attachMovie"
        callMethod
        typeOf
        trace
    )asm"), "undefined");
}

TEST(Clips, DuplicateKeepsTheClassAndRemoveOnlyInTheScriptRange) {
    Script s(7);
    s.m.host.root.exports_.push_back(u"ball");
    s.run(kRegisterBall);
    s.run(R"asm(
        push 1, "b1", "ball", 3
        push "_root"
        getVariable
        push "attachMovie"
        callMethod
        pop
    )asm");
    s.m.host.traces.clear();
    EXPECT_EQ(s.run(R"asm(
        push "b1", "b2", 16386
        cloneSprite
        push "b2"
        getVariable
        push "_name"
        getMember
        trace
    )asm"), "Ball undefined b2\nb2");
    ASSERT_NE(s.m.host.root.childAtDepth(2), nullptr);  // the compiler adds 16384, the player takes it off

    // Ball does not extend MovieClip, so its clips lack the clip methods.
    EXPECT_EQ(s.run("push \"b1\"\ngetVariable\npush \"removeMovieClip\"\ngetMember\ntypeOf\ntrace"),
              "undefined");
    // A clip the timeline placed (negative depth) stays; script-made ones go.
    s.m.place(u"placed", -16383);
    s.m.host.root.log().clear();
    s.run(R"asm(
        push "placed"
        removeSprite
        push "b2"
        removeSprite
        push "b1"
        removeSprite
    )asm");
    EXPECT_EQ(s.m.host.root.log(), (std::vector<std::string>{"remove b2", "remove b1"}));
    EXPECT_NE(s.m.host.root.childByName(String(u"placed"), true), nullptr);
    // Once it moves into the script range it can go.
    s.run(R"asm(
        push 10, 1
        push "placed"
        getVariable
        push "swapDepths"
        callMethod
        pop
        push "placed"
        removeSprite
    )asm");
    EXPECT_EQ(s.m.host.root.childByName(String(u"placed"), true), nullptr);
}

TEST(Clips, AReferenceOutlivesItsClipAndFindsASuccessorByPath) {
    Script s(7);
    EXPECT_EQ(s.run(R"asm(
        push 3, "mc", 2
        push "_root"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        pop
        push "keep"
        push "mc"
        getVariable
        setVariable
        push "keep"
        getVariable
        push "_x", 12
        setMember
        push "keep"
        getVariable
        push "_x"
        getMember
        trace
        push 0
        push "mc"
        getVariable
        push "removeMovieClip"
        callMethod
        pop
        push "keep"
        getVariable
        push "_x"
        getMember
        trace
        push 4, "mc", 2
        push "_root"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        pop
        push "mc"
        getVariable
        push "_x", 40
        setMember
        push "keep"
        getVariable
        push "_x"
        getMember
        trace
        push 0
        push "keep"
        getVariable
        push "getDepth"
        callMethod
        trace
    )asm"), "12\nundefined\n40\n4");
}

TEST(Clips, TimelineControlGoesToThePlayer) {
    Script s(7);
    FakeClip& hero = s.m.place(u"hero");
    hero.totalFrames_ = 20;
    hero.labels_[u"run"] = 7;
    s.run(R"asm(
        push "run", 1
        push "hero"
        getVariable
        push "gotoAndPlay"
        callMethod
        pop
        push 3, 1
        push "hero"
        getVariable
        push "gotoAndStop"
        callMethod
        pop
        push "unknown label", 1
        push "hero"
        getVariable
        push "gotoAndStop"
        callMethod
        pop
        push 0
        push "hero"
        getVariable
        push "nextFrame"
        callMethod
        pop
    )asm");
    EXPECT_EQ(hero.log(), (std::vector<std::string>{"goto hero 7 play", "goto hero 3 stop", "goto hero 4 stop"}));
    EXPECT_EQ(s.run(R"asm(
        push "hero"
        getVariable
        push "_currentframe"
        getMember
        trace
        push "hero"
        getVariable
        push "_totalframes"
        getMember
        trace
    )asm"), "4\n20");
}

TEST(Clips, DrawingCallsReachTheClip) {
    Script s(7);
    s.run(R"asm(
        push 20, 10, 2
        push "_root"
        getVariable
        push "lineTo"
        callMethod
        pop
    )asm");
    EXPECT_EQ(s.m.host.root.log(), (std::vector<std::string>{"lineTo 10,20"}));
    // Positions the display side cannot hold are made finite first.
    s.m.host.root.log().clear();
    s.run(R"asm(
        push d:1e300, NaN, 2
        push "_root"
        getVariable
        push "lineTo"
        callMethod
        pop
    )asm");
    EXPECT_EQ(s.m.host.root.log(), (std::vector<std::string>{"lineTo 0,107374182"}));
}

TEST(Events, HandlersTheScriptsSetAreCalledByThePlayer) {
    Script s(7);
    FakeClip& hero = s.m.place(u"hero");
    EXPECT_FALSE(s.m.vm.hasMethod(hero, u"onEnterFrame"));
    s.run(R"asm(
        push "hero"
        getVariable
        push "onEnterFrame"
        function2 (r2:n) regs=3 flags=0x0001 {
            push "enter ", r:2
            add2
            push " "
            add2
            push r:1
            push "_name"
            getMember
            add2
            trace
        }
        setMember
    )asm");
    EXPECT_TRUE(s.m.vm.hasMethod(hero, u"onEnterFrame"));
    s.m.host.traces.clear();
    Value args[] = {Value(1)};
    s.m.vm.callMethod(hero, u"onEnterFrame", args);
    EXPECT_EQ(s.m.host.output(), "enter 1 hero");
    // A missing handler is quietly nothing.
    EXPECT_TRUE(s.m.vm.callMethod(hero, u"onMouseDown").isUndefined());
}

TEST(Events, ClipActionsRunWithTheClipAsThisAndTarget) {
    Script s(6);
    FakeClip& hero = s.m.place(u"hero");
    s.m.vm.runClipActions(hero, ActionBlock::copyOf(assemble(R"asm(
        push "this"
        getVariable
        push "_name"
        getMember
        trace
        push "v", 5
        setVariable
    )asm"), 6));
    EXPECT_EQ(s.m.host.output(), "hero");
    EXPECT_EQ(s.text(s.get(s.scriptOf(hero), u"v")), "5");
}

TEST(Events, KeyAndMouseListenersHearThePlayer) {
    Script s(7);
    s.run(R"asm(
        push "listener"
        push 0
        push "Object"
        newObject
        setVariable
        push "listener"
        getVariable
        push "onKeyDown"
        function2 () regs=1 {
            push "key down"
            trace
        }
        setMember
        push "listener"
        getVariable
        push "onMouseUp"
        function2 () regs=1 {
            push "mouse up"
            trace
        }
        setMember
        push "listener"
        getVariable
        push 1
        push "Key"
        getVariable
        push "addListener"
        callMethod
        pop
        push "listener"
        getVariable
        push 1
        push "Mouse"
        getVariable
        push "addListener"
        callMethod
        pop
    )asm");
    s.m.host.traces.clear();
    s.m.vm.notifyKeyDown();
    s.m.vm.notifyKeyUp();
    s.m.vm.notifyMouseUp();
    s.m.vm.notifyMouseDown();
    EXPECT_EQ(s.m.host.output(), "key down\nmouse up");
}

TEST(Variables, ThePlayerReadsAndWritesThemByPath) {
    Script s(6);
    FakeClip& hud = s.m.place(u"hud");
    s.run(R"asm(
        push "/hud:score", 10
        setVariable
        push "lives", 3
        setVariable
    )asm");
    EXPECT_EQ(s.text(s.m.vm.readVariable(s.m.host.root, String(u"hud.score"))), "10");
    EXPECT_EQ(s.text(s.m.vm.readVariable(hud, String(u"score"))), "10");
    EXPECT_EQ(s.text(s.m.vm.readVariable(hud, String(u"_parent.lives"))), "3");
    EXPECT_EQ(s.text(s.m.vm.readVariable(hud, String(u"/:lives"))), "3");
    EXPECT_TRUE(s.m.vm.readVariable(hud, String(u"nothing.here")).isUndefined());
    s.m.vm.writeVariable(s.m.host.root, String(u"_root.hud.name"), Value(u"ann"));
    EXPECT_EQ(s.text(s.get(s.scriptOf(hud), u"name")), "ann");
}

TEST(Variables, LoadedVariablesLandOnTheClip) {
    Script s(6);
    FakeClip& target = s.m.place(u"target");
    s.m.vm.deliverVariables(target, "a=1&b=two%20words&c=%E2%82%AC");
    Value object = s.scriptOf(target);
    EXPECT_EQ(s.text(s.get(object, u"a")), "1");
    EXPECT_TRUE(s.get(object, u"a").isString());
    EXPECT_EQ(s.text(s.get(object, u"b")), "two words");
    EXPECT_EQ(s.text(s.get(object, u"c")), "\xE2\x82\xAC");
}

TEST(Requests, GetUrlAndFsCommandGoToTheHost) {
    Script s(6);
    s.run(R"asm(
        getUrl "http://example.com/", "_blank"
        getUrl "FSCommand:quit", ""
        push "page.html", "_self"
        getUrl2 0
    )asm");
    EXPECT_EQ(s.m.host.requests, (std::vector<std::string>{"getUrl http://example.com/ _blank",
                                                          "fscommand quit ", "getUrl page.html _self"}));
}

TEST(Paths, NamesAndTargetsOfNestedClips) {
    Script s(6);
    FakeClip& a = s.m.host.root.addChild(u"a", 1);
    FakeClip& b = a.addChild(u"b", 2);
    s.m.vm.constructDisplayObject(a);
    s.m.vm.constructDisplayObject(b);
    EXPECT_EQ(s.m.vm.targetPath(b).toUtf8(), "_level0.a.b");
    EXPECT_EQ(s.m.vm.slashPath(b).toUtf8(), "/a/b");
    EXPECT_EQ(s.text(s.scriptOf(b)), "_level0.a.b");
    EXPECT_EQ(s.text(s.get(s.scriptOf(b), u"_target")), "/a/b");
    EXPECT_EQ(s.text(s.get(s.root(), u"_target")), "/");
    // SWF 6 names ignore case; SWF 7 ones do not.
    EXPECT_EQ(s.run("push \"A.B\"\ngetVariable\ntrace"), "_level0.a.b");
    Script s7(7);
    s7.m.host.root.addChild(u"a", 1);
    EXPECT_EQ(s7.run("push \"A\"\ngetVariable\ntypeof\ntrace"), "undefined");
    EXPECT_EQ(s7.run("push \"a\"\ngetVariable\ntypeof\ntrace"), "movieclip");
}

TEST(Properties, DisplayPropertiesConvertOnTheWayIn) {
    Script s(6);
    FakeClip& a = s.m.place(u"a");
    s.run(R"asm(
        push "a"
        getVariable
        push "_alpha", "50"
        setMember
        push "a"
        getVariable
        push "_visible", false
        setMember
        push "a"
        getVariable
        push "_x", "abc"
        setMember
    )asm");
    EXPECT_EQ(a.property(DisplayProperty::Alpha), 50);
    EXPECT_EQ(a.property(DisplayProperty::Visible), 0);
    // A value that is not a number leaves the property alone.
    EXPECT_EQ(a.property(DisplayProperty::X), 0);
    // getProperty / setProperty by index: 0 is _x.
    s.run(R"asm(
        push "a", 0, 25
        setProperty
    )asm");
    EXPECT_EQ(a.property(DisplayProperty::X), 25);
    EXPECT_EQ(s.run("push \"a\", 0\ngetProperty\ntrace"), "25");
}

TEST(Clips, OnConstructRunsAsAClipIsMadeAndALevelRootReportsItsDepth) {
    Script s(8);
    s.run(R"asm(
        push "MovieClip"
        getVariable
        push "prototype"
        getMember
        push "onConstruct"
        function2 () regs=2 flags=0x0001 {
            push "constructed "
            push r:1
            push "_name"
            getMember
            add2
            trace
        }
        setMember
    )asm");
    EXPECT_EQ(s.run(R"asm(
        push 3, "mc", 2
        push "_root"
        getVariable
        push "createEmptyMovieClip"
        callMethod
        pop
    )asm"), "constructed mc");
    // A level's root sits at -16384 plus its level.
    EXPECT_EQ(s.run(R"asm(
        push 0
        push "_root"
        getVariable
        push "getDepth"
        callMethod
        trace
    )asm"), "-16384");
}

}  // namespace
}  // namespace kinolux::avm1::test
