// SimpleButton in ActionScript 3: the four state objects a script gives a
// button or its symbol's records make, and where those objects stand.
#include <gtest/gtest.h>

#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

namespace {

// local = new <cls>() from flash.display.
void construct(Code& code, AbcBuilder& abc, const char* cls, std::uint8_t local) {
    std::uint32_t name = abc.name("flash.display", cls);
    code.op(op::FindPropStrict, name).op(op::ConstructProp, name, 0).op(op::SetLocal, local);
}

// trace(local.<path...>)
void traceLocal(Code& code, AbcBuilder& abc, std::uint8_t local, std::initializer_list<const char*> path) {
    traced(code, abc, [&](Code& c) {
        c.op(op::GetLocal, local);
        for (const char* step : path) c.op(op::GetProperty, abc.name(step));
    });
}

swf::ButtonRecord record(std::uint8_t states, swf::CharacterId id, swf::Depth depth) {
    swf::ButtonRecord r;
    r.states = states;
    r.characterId = id;
    r.depth = depth;
    return r;
}

}  // namespace

TEST(As3SimpleButton, AScriptsStateObjectLeavesItsContainerAndShowsWithTheButton) {
    AbcBuilder abc;
    Code init;
    construct(init, abc, "SimpleButton", 1);
    construct(init, abc, "Sprite", 2);
    traceLocal(init, abc, 1, {"upState"});
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal, 2); });
    init.op(op::GetLocal1).op(op::GetLocal, 2).op(op::SetProperty, abc.name("upState"));
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal0).op(op::GetProperty, abc.name("numChildren")); });
    traceLocal(init, abc, 2, {"parent"});
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal1).op(op::GetProperty, abc.name("upState")).op(op::GetLocal, 2).op(op::StrictEquals);
    });
    traceLocal(init, abc, 2, {"stage"});
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    traceLocal(init, abc, 2, {"stage"});
    traceLocal(init, abc, 2, {"parent"});
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"null", "0", "null", "true", "null", "[object Stage]", "null"}));
}

// Every record's object takes an instance name, shapes too, before the
// sprites that hold several do.
TEST(As3SimpleButton, ASymbolsStatesAreOneObjectEachWithSeveralRecordsInASprite) {
    namespace S = swf::ButtonState;
    swf::DefineButton button;
    button.id = 3;
    button.records = {record(S::Up, 1, 1), record(S::Up, 2, 2), record(S::Over | S::Down | S::HitTest, 1, 1)};
    swf::PlaceObject placed = testmovies::place(1, 3);
    placed.name = "btn";
    AbcBuilder abc;
    Code init;
    init.op(op::GetLocal0).op(op::GetProperty, abc.name("btn")).op(op::SetLocal1);
    traceLocal(init, abc, 1, {"upState"});
    traceLocal(init, abc, 1, {"upState", "numChildren"});
    traceLocal(init, abc, 1, {"upState", "parent"});
    traceLocal(init, abc, 1, {"upState", "stage"});
    traceLocal(init, abc, 1, {"overState"});
    traceLocal(init, abc, 1, {"overState", "stage"});
    traceLocal(init, abc, 1, {"upState", "name"});
    traceLocal(init, abc, 1, {"overState", "name"});
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal1).op(op::GetProperty, abc.name("overState"));
        c.op(op::GetLocal1).op(op::GetProperty, abc.name("hitTestState")).op(op::StrictEquals);
    });
    auto file = documentMovie(documentAbc(abc, init), {testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 20, 20),
                                                       testmovies::rect(2, {0, 0, 255, 255}, 0, 0, 10, 10),
                                                       button, placed});
    Playback run = play(file);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"[object Sprite]", "2", "null", "[object Stage]", "[object Shape]",
                                                    "null", "instance6", "instance3", "false"}));
}

namespace {

// The DoABC2 body of class Btn extends SimpleButton, whose constructor
// traces before it calls super().
std::vector<std::uint8_t> buttonClassAbc() {
    AbcBuilder abc;
    std::uint32_t btn = abc.name("Btn"), simple = abc.name("flash.display", "SimpleButton");
    Code init;
    init.op(op::GetLocal0).op(op::PushScope);
    traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("Btn constructed")); });
    init.op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid);
    return classAbc(abc, btn, simple, init);
}

}  // namespace

// The timeline's button is there, named on its parent, when the parent's
// constructor runs; its own constructor waits for the frame's end.
TEST(As3SimpleButton, ATimelineButtonsConstructorRunsAfterItsFrame) {
    swf::DefineButton button;
    button.id = 3;
    button.records = {record(swf::ButtonState::Up | swf::ButtonState::HitTest, 1, 1)};
    swf::PlaceObject placed = testmovies::place(1, 3);
    placed.name = "btn";
    AbcBuilder abc;
    Code init;
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal0).op(op::GetProperty, abc.name("btn")); });
    auto file = documentMovie(documentAbc(abc, init),
                              {testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 20, 20), button, placed,
                               swf::DoAbc{swf::Bytes(buttonClassAbc())}, swf::SymbolClass{{{3, "Btn"}}}});
    Playback run = play(file);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"[object Btn]", "Btn constructed"}));
}

// A button whose every state holds the button itself: each copy would make
// four more. The player builds a bounded number of states and goes on.
TEST(As3SimpleButton, AButtonInsideItsOwnStatesStopsMultiplying) {
    swf::DefineButton button;
    button.id = 1;
    const std::uint8_t all = swf::ButtonState::Up | swf::ButtonState::Over | swf::ButtonState::Down |
                             swf::ButtonState::HitTest;
    button.records = {record(all, 2, 1), record(all, 1, 2)};
    AbcBuilder abc;
    Playback run = play(documentMovie(documentAbc(abc, Code()),
                                      {testmovies::rect(2, {255, 0, 0, 255}, 0, 0, 20, 20), button,
                                       testmovies::place(1, 1)}),
                        3);
    EXPECT_EQ(run.frame, 0);
    EXPECT_EQ(run.picture.pixel(10, 10), qRgb(255, 0, 0));
}
