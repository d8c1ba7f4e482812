// The user's mouse and keys reaching ActionScript 3 objects: which object
// is the target, the order of the events and the phases they pass in.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "flash/core/player.h"
#include "tests/avm2/document_movie.h"
#include "tests/platform/test_application.h"

using namespace avm2test;

namespace {

// A document holding "outer" (a 50 pixel square at 0,0) holding "inner"
// (a 20 pixel square at 0,0), with `listen` adding listeners: local 1 is
// outer, local 2 inner, and the method "log" traces
// "<type> <currentTarget.name> <eventPhase> <target.name>".
class InputMovie {
public:
    template <class Listen>
    explicit InputMovie(Listen listen) {
        Code init;
        square(init, 1, "outer", 50);
        square(init, 2, "inner", 20);
        callOnThis(init, abc_, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
        init.op(op::GetLocal1).op(op::GetLocal2).op(op::CallPropVoid, abc_.name("addChild"), 1);
        listen(*this, init);
        Code log;
        traced(log, abc_, [&](Code& c) {
            c.op(op::GetLocal1).op(op::GetProperty, abc_.name("type"));
            for (const char* field : {"currentTarget", "eventPhase", "target"}) {
                c.op(op::PushString, abc_.string(" ")).op(op::Add);
                c.op(op::GetLocal1).op(op::GetProperty, abc_.name(field));
                if (std::string(field) != "eventPhase") c.op(op::GetProperty, abc_.name("name"));
                c.op(op::Add);
            }
        });
        kinolux::testing::EnsureApplication<QGuiApplication>();
        flash::PlayerOptions options;
        options.trace = [this](std::string_view line) { traces.emplace_back(line); };
        player = std::make_unique<flash::Player>(
            swf::Bytes(documentMovie(documentAbc(abc_, init, {DocMethod{"log", log, 1}}), {}, 100, 100, 2)),
            std::move(options));
    }

    // listeners of `target` (a local, or 0 for the document) for each type.
    void listen(Code& code, std::uint8_t target, std::initializer_list<const char*> types, bool capture = false) {
        for (const char* type : types) {
            code.op(op::GetLocal, target).op(op::PushString, abc_.string(type));
            code.op(op::GetLocal0).op(op::GetProperty, abc_.name("log"));
            code.op(capture ? op::PushTrue : op::PushFalse).op(op::CallPropVoid, abc_.name("addEventListener"), 3);
        }
    }
    void setFlag(Code& code, std::uint8_t target, const char* name, bool value) {
        code.op(op::GetLocal, target).op(value ? op::PushTrue : op::PushFalse).op(op::SetProperty, abc_.name(name));
    }
    AbcBuilder& abc() { return abc_; }

    std::vector<std::string> traces;
    std::unique_ptr<flash::Player> player;

    // What was traced since the last call.
    std::vector<std::string> take() { return std::exchange(traces, {}); }

private:
    // local = new Sprite() named `name`, filled `size` pixels square.
    void square(Code& code, std::uint8_t local, const char* name, std::uint8_t size) {
        newSprite(code, abc_, local, name);
        fillSquare(code, abc_, local, 0xFF0000, size);
    }

    AbcBuilder abc_;
};

using Lines = std::vector<std::string>;

TEST(As3MouseInput, APressGoesDownToTheObjectUnderThePointerAndBubblesBackUp) {
    InputMovie movie([](InputMovie& m, Code& init) {
        m.listen(init, 0, {"mouseDown", "mouseUp", "click"}, true);
        m.listen(init, 0, {"mouseDown", "mouseUp", "click"});
        m.listen(init, 2, {"mouseDown", "mouseUp", "click"});
    });
    movie.player->mouseMove(10, 10);
    movie.player->mouseDown();
    movie.player->mouseUp();
    EXPECT_EQ(movie.take(), (Lines{"mouseDown root1 1 inner", "mouseDown inner 2 inner", "mouseDown root1 3 inner",
                                   "mouseUp root1 1 inner", "mouseUp inner 2 inner", "mouseUp root1 3 inner",
                                   "click root1 1 inner", "click inner 2 inner", "click root1 3 inner"}));
    // Released somewhere else than it was pressed: no click.
    movie.player->mouseDown();
    movie.player->mouseMove(40, 40);
    movie.player->mouseUp();
    EXPECT_EQ(movie.take(), (Lines{"mouseDown root1 1 inner", "mouseDown inner 2 inner", "mouseDown root1 3 inner",
                                   "mouseUp root1 1 outer", "mouseUp root1 3 outer"}));
    EXPECT_TRUE(movie.player->scriptErrors().empty());
}

TEST(As3MouseInput, ThePointerRollsOutOfWhatItLeavesAndOverWhatItReaches) {
    InputMovie movie([](InputMovie& m, Code& init) {
        for (std::uint8_t local : {1, 2}) m.listen(init, local, {"rollOver", "rollOut", "mouseOver", "mouseOut"});
    });
    movie.player->mouseMove(10, 10);
    EXPECT_EQ(movie.take(), (Lines{"rollOver inner 2 inner", "rollOver outer 2 outer", "mouseOver inner 2 inner",
                                   "mouseOver outer 3 inner"}));
    movie.player->mouseMove(40, 40);
    EXPECT_EQ(movie.take(), (Lines{"mouseOut inner 2 inner", "mouseOut outer 3 inner", "rollOut inner 2 inner",
                                   "mouseOver outer 2 outer"}));
    movie.player->mouseMove(80, 80);
    EXPECT_EQ(movie.take(), (Lines{"mouseOut outer 2 outer", "rollOut outer 2 outer"}));
}

TEST(As3MouseInput, MouseEnabledAndMouseChildrenDecideTheTarget) {
    // inner lets the mouse through to outer's square below it.
    InputMovie through([](InputMovie& m, Code& init) {
        m.setFlag(init, 2, "mouseEnabled", false);
        m.listen(init, 0, {"mouseDown"});
    });
    through.player->mouseMove(10, 10);
    through.player->mouseDown();
    EXPECT_EQ(through.take(), Lines{"mouseDown root1 3 outer"});
    // outer takes what its children would have.
    InputMovie kept([](InputMovie& m, Code& init) {
        m.setFlag(init, 1, "mouseChildren", false);
        m.listen(init, 0, {"mouseDown"});
    });
    kept.player->mouseMove(10, 10);
    kept.player->mouseDown();
    EXPECT_EQ(kept.take(), Lines{"mouseDown root1 3 outer"});
    // Nothing under the pointer: the stage is the target.
    kept.player->mouseUp();
    kept.player->mouseMove(90, 90);
    kept.take();
    kept.player->mouseDown();
    EXPECT_EQ(kept.take(), Lines{});
}

TEST(As3KeyInput, KeysGoToTheFocusAndBubbleToTheStage) {
    InputMovie movie([](InputMovie& m, Code& init) {
        init.op(op::GetLocal0).op(op::GetProperty, m.abc().name("stage")).op(op::SetLocal, 3);
        m.setFlag(init, 2, "tabEnabled", true);
        m.listen(init, 3, {"keyDown"});
        m.listen(init, 2, {"keyDown", "focusIn"});
        m.listen(init, 1, {"focusOut"});
    });
    movie.player->keyDown(65, 97);
    EXPECT_EQ(movie.take(), Lines{"keyDown null 2 null"});
    // A click on what takes the focus gives it the focus first.
    movie.player->mouseMove(10, 10);
    movie.player->mouseDown();
    movie.player->mouseUp();
    movie.player->keyDown(66, 98);
    EXPECT_EQ(movie.take(), (Lines{"focusIn inner 2 inner", "keyDown inner 2 inner", "keyDown null 3 inner"}));
    // A click on what does not take it leaves the focus with nobody.
    movie.player->mouseMove(40, 40);
    movie.player->mouseDown();
    movie.player->keyDown(67, 99);
    EXPECT_EQ(movie.take(), (Lines{"focusOut outer 3 inner", "keyDown null 2 null"}));
    EXPECT_TRUE(movie.player->scriptErrors().empty());
}

TEST(As3KeyInput, TabTellsTheHolderAndMovesTheFocusInTabIndexOrder) {
    InputMovie movie([](InputMovie& m, Code& init) {
        for (std::uint8_t local : {1, 2}) {
            m.setFlag(init, local, "tabEnabled", true);
            init.op(op::GetLocal, local).op(op::PushByte).u8(local == 2 ? 0 : 1);
            init.op(op::SetProperty, m.abc().name("tabIndex"));
        }
        m.listen(init, 1, {"focusIn", "keyFocusChange"});
    });
    movie.player->keyDown(9, 9);
    EXPECT_EQ(movie.take(), Lines{"focusIn outer 3 inner"});
    movie.player->keyDown(9, 9);
    EXPECT_EQ(movie.take(), (Lines{"keyFocusChange outer 3 inner", "focusIn outer 2 outer"}));
    EXPECT_TRUE(movie.player->scriptErrors().empty());
}

}  // namespace

// mouseX and mouseY: the pointer in the object's own coordinates, the
// stage's in the stage's.
TEST(As3MouseInput, ThePointerIsReadInEachObjectsOwnCoordinates) {
    AbcBuilder abc;
    std::uint32_t sprite = abc.name("flash.display", "Sprite");
    Code init;
    init.op(op::FindPropStrict, sprite).op(op::ConstructProp, sprite, 0).op(op::SetLocal1);
    init.op(op::GetLocal1).op(op::PushString, abc.string("inner")).op(op::SetProperty, abc.name("name"));
    for (auto [name, value] : {std::pair{"x", 10}, {"y", 20}, {"scaleX", 2}, {"scaleY", 2}})
        init.op(op::GetLocal1).op(op::PushByte).u8(std::uint8_t(value)).op(op::SetProperty, abc.name(name));
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    callOnThis(init, abc, "addEventListener", 2, [&](Code& c) {
        c.op(op::PushString, abc.string("enterFrame")).op(op::GetLocal0).op(op::GetProperty, abc.name("report"));
    });
    Code report;
    traced(report, abc, [&](Code& c) {
        auto add = [&](std::initializer_list<const char*> path, const char* after) {
            c.op(op::GetLocal0);
            for (const char* step : path) c.op(op::GetProperty, abc.name(step));
            if (after) c.op(op::PushString, abc.string(after)).op(op::Add);
        };
        add({"stage", "mouseX"}, ",");
        add({"stage", "mouseY"}, " ");
        c.op(op::Add);
        add({"mouseX"}, ",");
        c.op(op::Add);
        add({"mouseY"}, " ");
        c.op(op::Add);
        c.op(op::GetLocal0).op(op::PushString, abc.string("inner")).op(op::CallProperty, abc.name("getChildByName"), 1);
        c.op(op::GetProperty, abc.name("mouseX")).op(op::Add);
    });
    kinolux::testing::EnsureApplication<QGuiApplication>();
    std::vector<std::string> traces;
    flash::PlayerOptions options;
    options.trace = [&](std::string_view line) { traces.emplace_back(line); };
    flash::Player player(swf::Bytes(documentMovie(documentAbc(abc, init, {DocMethod{"report", report, 1}}), {}, 100,
                                                  100, 2)),
                         std::move(options));
    player.mouseMove(30, 40);
    player.tick();
    EXPECT_TRUE(player.scriptErrors().empty()) << player.scriptErrors()[0];
    EXPECT_EQ(traces, (Lines{"30,40 30,40 10"}));
}

// stage.focus takes an object off the stage too; leaving the stage takes it
// away.
TEST(As3KeyInput, TheFocusMayRestOffTheStageUntilItsHolderLeavesIt) {
    AbcBuilder abc;
    std::uint32_t sprite = abc.name("flash.display", "Sprite");
    Code init;
    init.op(op::FindPropStrict, sprite).op(op::ConstructProp, sprite, 0).op(op::SetLocal1);
    auto focusIs = [&](Code& c) {
        traced(c, abc, [&](Code& t) {
            t.op(op::GetLocal0).op(op::GetProperty, abc.name("stage")).op(op::GetProperty, abc.name("focus"));
            t.op(op::GetLocal1).op(op::StrictEquals);
        });
    };
    init.op(op::GetLocal0).op(op::GetProperty, abc.name("stage")).op(op::GetLocal1);
    init.op(op::SetProperty, abc.name("focus"));
    focusIs(init);
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    focusIs(init);
    callOnThis(init, abc, "removeChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    focusIs(init);
    kinolux::testing::EnsureApplication<QGuiApplication>();
    std::vector<std::string> traces;
    flash::PlayerOptions options;
    options.trace = [&](std::string_view line) { traces.emplace_back(line); };
    flash::Player player(swf::Bytes(documentMovie(documentAbc(abc, init))), std::move(options));
    EXPECT_TRUE(player.scriptErrors().empty()) << player.scriptErrors()[0];
    EXPECT_EQ(traces, (Lines{"true", "true", "false"}));
}
