// The timeline and display list: frames, loops, goto in both directions
// with the Flash player's rebuild rules, sprites, labels and queues.
#include <gtest/gtest.h>

#include <cmath>

#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "tests/flash/test_movies.h"
#include "tests/flash/traced_movie.h"

using namespace testmovies;
using swf::ShowFrame;
using swf::Tag;

namespace {

const swf::Color kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255};

std::unique_ptr<flash::Player> load(const std::vector<Tag>& tags, int frames) {
    static std::vector<std::vector<std::uint8_t>> files;
    files.push_back(movie(tags, header(100, 100, frames)));
    return std::make_unique<flash::Player>(swf::Bytes(files.back()));
}

swf::PlaceObject withRatio(swf::PlaceObject p, std::uint16_t ratio) {
    p.ratio = ratio;
    return p;
}

// Frame 1 places A at depth 1 and B at 2; frame 2 moves A; frame 3 removes
// B and places C at 3; frame 4 places a fresh B at depth 2, numbered as
// another instance by its ratio.
std::vector<Tag> fourFrames() {
    return {rect(1, kRed, 0, 0, 10, 10),
            rect(2, kBlue, 0, 0, 10, 10),
            rect(3, kRed, 0, 0, 5, 5),
            place(1, 1),
            place(2, 2, at(20, 0)),
            ShowFrame{},
            modify(1, at(5, 5)),
            swf::FrameLabel{"second", false},
            ShowFrame{},
            remove(2),
            place(3, 3, at(40, 40)),
            ShowFrame{},
            withRatio(place(2, 2, at(60, 60)), 1),
            ShowFrame{}};
}

swf::DefineSprite emptySprite(swf::CharacterId id) {
    swf::DefineSprite s;
    s.id = id;
    s.frameCount = 1;
    s.tags = {ShowFrame{}, swf::End{}};
    return s;
}

std::uint64_t idAt(const flash::Player& p, int depth) {
    auto* o = p.root().childAt(depth);
    return o ? o->instanceId() : 0;
}

}  // namespace

TEST(CoreTimeline, PlaysForwardAndLoops) {
    auto p = load(fourFrames(), 4);
    EXPECT_EQ(p->currentFrame(), 0);
    EXPECT_EQ(p->totalFrames(), 4);
    std::uint64_t a = idAt(*p, 1);
    p->tick();
    EXPECT_EQ(p->currentFrame(), 1);
    EXPECT_EQ(p->root().childAt(1)->x(), 5);
    EXPECT_EQ(idAt(*p, 1), a) << "a moved object keeps its identity";
    p->tick();
    EXPECT_EQ(p->root().childAt(2), nullptr);
    ASSERT_NE(p->root().childAt(3), nullptr);
    p->tick();
    EXPECT_EQ(p->root().childAt(2)->x(), 60);
    p->tick();  // loops to the first frame
    EXPECT_EQ(p->currentFrame(), 0);
    EXPECT_EQ(p->root().childAt(3), nullptr) << "objects placed after frame 1 go when the movie loops";
    EXPECT_EQ(p->root().childAt(1)->x(), 0) << "the first frame's placement is restored";
    EXPECT_EQ(idAt(*p, 1), a) << "an object there since frame 1 is the same object after the loop";
    EXPECT_EQ(p->root().childAt(2)->x(), 20);
}

TEST(CoreTimeline, GotoBackwardRebuildsFromTheFirstFrame) {
    auto p = load(fourFrames(), 4);
    std::uint64_t a = idAt(*p, 1), b = idAt(*p, 2);
    p->gotoFrame(3);
    std::uint64_t laterB = idAt(*p, 2);
    EXPECT_NE(laterB, b) << "B was removed and placed again: a new object";
    EXPECT_NE(p->root().childAt(3), nullptr);
    p->gotoFrame(1);
    EXPECT_EQ(p->currentFrame(), 1);
    EXPECT_EQ(idAt(*p, 1), a);
    EXPECT_EQ(p->root().childAt(1)->x(), 5);
    EXPECT_EQ(p->root().childAt(3), nullptr);
    ASSERT_NE(p->root().childAt(2), nullptr);
    EXPECT_NE(idAt(*p, 2), laterB) << "the B of frame 4 does not survive going back to frame 2";
    EXPECT_EQ(p->root().childAt(2)->x(), 20);
}

// Going back, a depth of the timeline keeps the object there when its
// ratio is the one the target frame places (even a clip of another
// sprite), and loses it otherwise; what scripts put at the timeline's
// depths goes, and the depths scripts own are left alone.
TEST(CoreTimeline, GoingBackKeepsOnlyTheObjectsTheTargetFramePlaces) {
    auto p = load({emptySprite(1), emptySprite(2), emptySprite(3), place(1, 1), withRatio(place(2, 1), 7), ShowFrame{},
                   remove(1), remove(2), place(1, 2), withRatio(place(2, 3), 8), place(3, 3), ShowFrame{}},
                  2);
    const std::uint64_t first1 = idAt(*p, 1), first2 = idAt(*p, 2);
    p->tick();
    const std::uint64_t second1 = idAt(*p, 1);
    EXPECT_NE(second1, first1);
    EXPECT_NE(idAt(*p, 2), first2);
    auto scripted = std::make_shared<flash::MovieClip>(nullptr, &flash::emptyTimeline(), p->library(), *p);
    auto owned = std::make_shared<flash::MovieClip>(nullptr, &flash::emptyTimeline(), p->library(), *p);
    p->root().adopt(scripted, 100, nullptr);
    p->root().adopt(owned, flash::kTimelineDepthOffset + 5, nullptr);
    p->tick();  // loops to frame 1
    EXPECT_EQ(idAt(*p, 1), second1) << "same ratio: the clip of frame 2 stands in for frame 1's";
    EXPECT_EQ(p->root().childAt(1)->characterId(), 2);
    EXPECT_NE(idAt(*p, 2), first2) << "another ratio: made anew";
    EXPECT_EQ(p->root().childAt(2)->ratio, 7);
    EXPECT_EQ(p->root().childAt(3), nullptr) << "nothing at depth 3 in frame 1";
    EXPECT_EQ(p->root().childAt(100), nullptr) << "a script's object at a timeline depth goes";
    EXPECT_EQ(p->root().childAt(flash::kTimelineDepthOffset + 5), owned.get());
}

// Once a script moved a timeline object, the timeline's later placements
// and a rewind leave its transform alone; a Replace of a clip by another
// sprite keeps the clip, and placements that update an object keep its name.
TEST(CoreTimeline, ScriptMovedObjectsAndReplacedClipsStayAsTheyAre) {
    swf::PlaceObject replace = withRatio(place(2, 2, at(9, 9)), 0);
    replace.action = swf::PlaceAction::Replace;
    replace.name = "other";
    auto named = place(2, 1, at(1, 1));
    named.name = "clip";
    auto p = load({rect(3, kRed, 0, 0, 10, 10), emptySprite(1), emptySprite(2), place(1, 3, at(1, 1)), named,
                   ShowFrame{}, modify(1, at(5, 5)), replace, ShowFrame{}},
                  2);
    const std::uint64_t clip = idAt(*p, 2);
    flash::DisplayObject* shape = p->root().childAt(1);
    shape->setX(30);
    shape->transformedByScript = true;
    p->tick();
    EXPECT_EQ(shape->x(), 30);
    EXPECT_EQ(idAt(*p, 2), clip);
    EXPECT_EQ(p->root().childAt(2)->x(), 9);
    EXPECT_EQ(p->findByPath("clip"), p->root().childAt(2));
    p->tick();  // back to frame 1
    EXPECT_EQ(shape->x(), 30);
    EXPECT_EQ(idAt(*p, 2), clip);
    EXPECT_EQ(p->root().childAt(2)->x(), 1);
}

// Tags after the last ShowFrame make a last frame, whatever the sprite
// declares, and the sprite stays there instead of looping.
TEST(CoreTimeline, TagsAfterTheLastShowFrameMakeAFrameThatDoesNotLoop) {
    std::vector<Tag> tags{place(1, 1), ShowFrame{}, modify(1, at(3, 0)), swf::End{}};
    const flash::Timeline t = flash::Timeline::build(tags);
    EXPECT_EQ(t.totalFrames(), 2);
    EXPECT_FALSE(t.complete);
    std::vector<Tag> definitionsOnly{place(1, 1), ShowFrame{}, rect(4, kRed, 0, 0, 1, 1), swf::End{}};
    const flash::Timeline d = flash::Timeline::build(definitionsOnly);
    EXPECT_EQ(d.totalFrames(), 1);
    EXPECT_TRUE(d.complete);
    std::vector<Tag> noShowFrame{place(1, 1), swf::End{}};
    EXPECT_EQ(flash::Timeline::build(noShowFrame).totalFrames(), 1);
}

TEST(CoreTimeline, GotoForwardAppliesEveryFramePassed) {
    auto p = load(fourFrames(), 4);
    p->gotoFrame(2);
    EXPECT_EQ(p->root().childAt(1)->x(), 5);
    EXPECT_EQ(p->root().childAt(2), nullptr);
    EXPECT_NE(p->root().childAt(3), nullptr);
    p->gotoFrame(99);  // clamped to the last frame
    EXPECT_EQ(p->currentFrame(), 3);
    EXPECT_EQ(p->root().timeline().frameOfLabel("SECOND"), 1);
    EXPECT_EQ(p->root().timeline().frameOfLabel("missing"), -1);
}

TEST(CoreTimeline, StopAndPlay) {
    auto p = load(fourFrames(), 4);
    p->stop();
    p->tick();
    EXPECT_EQ(p->currentFrame(), 0);
    EXPECT_FALSE(p->isPlaying());
    p->play();
    p->tick();
    EXPECT_EQ(p->currentFrame(), 1);
}

TEST(CoreTimeline, SpritesRunTheirOwnTimelines) {
    swf::DefineSprite s;
    s.id = 5;
    s.frameCount = 3;
    s.tags = {place(1, 1), ShowFrame{}, modify(1, at(1, 0)), ShowFrame{}, modify(1, at(2, 0)), ShowFrame{}, swf::End{}};
    auto p = load({rect(1, kRed, 0, 0, 10, 10), s, ShowFrame{}, [] {
                       auto pl = place(1, 5);
                       pl.name = "spinner";
                       return pl;
                   }(),
                   ShowFrame{}},
                  2);
    EXPECT_EQ(p->root().childAt(1), nullptr);
    p->tick();
    auto* clip = dynamic_cast<flash::MovieClip*>(p->findByPath("spinner"));
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->currentFrame(), 0) << "a new sprite shows its first frame in the frame it is placed";
    p->tick();  // root loops to frame 1 and removes the sprite
    EXPECT_EQ(p->findByPath("spinner"), nullptr);
    p->tick();
    clip = dynamic_cast<flash::MovieClip*>(p->findByPath("spinner"));
    ASSERT_NE(clip, nullptr);
    p->stop();
    p->tick();
    p->tick();
    EXPECT_EQ(clip->currentFrame(), 2) << "a sprite goes on playing when the main timeline stops";
    EXPECT_EQ(clip->childAt(1)->x(), 2);
    p->tick();
    EXPECT_EQ(clip->currentFrame(), 0);
}

TEST(CoreTimeline, PropertiesFollowTheMatrix) {
    auto p = load({rect(1, kRed, 0, 0, 10, 20), place(1, 1, at(3, 4)), ShowFrame{}}, 1);
    flash::DisplayObject* o = p->root().childAt(1);
    EXPECT_DOUBLE_EQ(o->width(), 10);
    EXPECT_DOUBLE_EQ(o->height(), 20);
    o->setRotation(90);
    EXPECT_NEAR(o->rotation(), 90, 1e-9);
    EXPECT_NEAR(o->xScale(), 100, 1e-9);
    EXPECT_NEAR(o->width(), 20, 1e-6);
    o->setXScale(200);
    EXPECT_NEAR(o->xScale(), 200, 1e-9);
    EXPECT_NEAR(o->rotation(), 90, 1e-9);
    o->setWidth(10);
    EXPECT_NEAR(o->xScale(), 100, 1e-6);
    o->setAlpha(50);
    EXPECT_DOUBLE_EQ(o->alpha(), 50);
    EXPECT_DOUBLE_EQ(o->x(), 3);
}

TEST(CoreTimeline, SelfContainingAndMultiplyingSpritesStop) {
    // Sprite 2 places itself; sprite 3 places sprite 4 twice, 4 places 5 twice... a doubling chain.
    swf::DefineSprite self;
    self.id = 2;
    self.frameCount = 1;
    self.tags = {place(1, 2), ShowFrame{}};
    std::vector<Tag> tags{rect(1, kRed, 0, 0, 1, 1), self};
    for (int id = 10; id < 40; ++id) {
        swf::DefineSprite s;
        s.id = std::uint16_t(id);
        s.frameCount = 1;
        s.tags = {place(1, id == 39 ? 1 : std::uint16_t(id + 1)), place(2, id == 39 ? 1 : std::uint16_t(id + 1)), ShowFrame{}};
        tags.push_back(s);
    }
    tags.push_back(place(1, 2));
    tags.push_back(place(2, 10));
    tags.push_back(ShowFrame{});
    auto p = load(tags, 1);
    int depth = 0;
    for (auto* o = p->root().childAt(1); o; o = dynamic_cast<flash::MovieClip*>(o)->childAt(1)) ++depth;
    EXPECT_LE(depth, flash::Player::kMaxNesting + 1);
    EXPECT_GT(depth, 2);
    p->tick();  // and advancing them stays bounded too
}

TEST(CoreTimeline, ReplaceKeepsTheObjectAndPlaceOnATakenDepthIsRefused) {
    swf::PlaceObject replace;
    replace.action = swf::PlaceAction::Replace;
    replace.depth = 1;
    replace.characterId = 2;
    const auto run = playTraced(movie({rect(1, kRed, 0, 0, 10, 10), rect(2, kBlue, 0, 0, 20, 20), place(1, 1, at(7, 7)),
                                       ShowFrame{}, replace, ShowFrame{}, place(1, 1), ShowFrame{}},
                                      header(100, 100, 3)));
    const auto& p = run->player;
    const auto& traces = run->traces;
    std::uint64_t first = idAt(*p, 1);
    p->tick();
    EXPECT_EQ(idAt(*p, 1), first) << "a shape swapped for another stays the same object";
    EXPECT_EQ(p->root().childAt(1)->characterId(), 2);
    EXPECT_EQ(p->root().childAt(1)->x(), 7) << "and keeps its place";
    p->tick();
    EXPECT_EQ(idAt(*p, 1), first) << "the player leaves an occupied depth alone";
    EXPECT_EQ(p->root().childAt(1)->characterId(), 2);
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0], "Warning: Failed to place object at depth 1.");
}

TEST(CoreTimeline, ScenesLabelsAndTheFirstDefinitionOfAnId) {
    swf::SceneAndFrameLabelData scenes;
    scenes.scenes = {{0, "Intro"}, {2, "Main"}};
    scenes.labels = {{3, "end"}};
    swf::RemoveObject oldRemove;
    oldRemove.version = 1;
    oldRemove.characterId = 1;
    oldRemove.depth = 1;
    auto p = load({scenes, rect(1, kRed, 0, 0, 10, 10), rect(1, kBlue, 0, 0, 99, 99), place(1, 1), ShowFrame{}, ShowFrame{},
                   oldRemove, ShowFrame{}, ShowFrame{}},
                  4);
    const auto& t = p->root().timeline();
    ASSERT_EQ(t.scenes.size(), 2u);
    EXPECT_EQ(t.scenes[1].name, "Main");
    EXPECT_EQ(t.scenes[0].frameCount, 2);
    EXPECT_EQ(t.scenes[1].frameCount, 2);
    EXPECT_EQ(t.frameOfLabel("End"), 3);
    EXPECT_DOUBLE_EQ(p->root().childAt(1)->width(), 10) << "a second definition of id 1 is ignored";
    p->gotoFrame(2);
    EXPECT_EQ(p->root().childAt(1), nullptr) << "the old RemoveObject form works too";
}

// The frames' label tags count until the scene list; after it they would
// repeat what it lists. A timeline without the list is one unnamed scene.
TEST(CoreTimeline, LabelTagsAfterTheSceneListAreNotCountedTwice) {
    swf::SceneAndFrameLabelData scenes;
    scenes.scenes = {{0, "Intro"}};
    scenes.labels = {{1, "listed"}};
    std::vector<Tag> listedFirst{scenes, ShowFrame{}, swf::FrameLabel{"listed"}, ShowFrame{}};
    const flash::Timeline a = flash::Timeline::build(listedFirst);
    ASSERT_EQ(a.labels.size(), 1u);
    EXPECT_EQ(a.labels[0].second, 1);
    std::vector<Tag> labelsFirst{swf::FrameLabel{"early"}, ShowFrame{}, scenes, ShowFrame{}};
    EXPECT_EQ(flash::Timeline::build(labelsFirst).labels.size(), 2u);
    std::vector<Tag> plain{swf::FrameLabel{"a"}, ShowFrame{}, ShowFrame{}};
    const flash::Timeline c = flash::Timeline::build(plain);
    ASSERT_EQ(c.scenes.size(), 1u);
    EXPECT_EQ(c.scenes[0].name, "");
    EXPECT_EQ(c.scenes[0].frameCount, 2);
    EXPECT_EQ(c.frameOfLabel("A"), 0);
}

TEST(CoreTimeline, ButtonsShowTheirUpState) {
    swf::DefineButton b;
    b.version = 1;
    b.id = 3;
    swf::ButtonRecord up, over;
    up.states = swf::ButtonState::Up;
    up.characterId = 1;
    up.depth = 1;
    over.states = swf::ButtonState::Over | swf::ButtonState::HitTest;
    over.characterId = 2;
    over.depth = 2;
    b.records = {up, over};
    swf::DefineButtonCxform tint{3, swf::ColorTransform{128, 256, 256, 256, 0, 0, 0, 0}};
    auto p = load({rect(1, kRed, 0, 0, 10, 10), rect(2, kBlue, 0, 0, 10, 10), b, tint, place(1, 3), ShowFrame{}}, 1);
    auto* button = dynamic_cast<flash::Button*>(p->root().childAt(1));
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->children().size(), 1u);
    EXPECT_EQ(button->children().begin()->second->characterId(), 1);
    EXPECT_FLOAT_EQ(button->children().begin()->second->colorTransform.mul[0], 0.5f) << "DefineButtonCxform tints a first-version button";
    button->setState(swf::ButtonState::Over);
    ASSERT_EQ(button->children().size(), 1u);
    EXPECT_EQ(button->children().begin()->second->characterId(), 2);
}

TEST(CoreTimeline, TextFieldsDecodeTheirTextByVersion) {
    EXPECT_EQ(flash::decodeSwfString("caf\xc3\xa9", 6), QString::fromUtf8("café"));
    EXPECT_EQ(flash::decodeSwfString("caf\xe9", 5), QString::fromUtf8("café"));
}

// A script's three-dimensional transform is drawn through the stage's
// perspective: a point pushed away from the viewer moves towards the centre
// of the stage, and leaving three dimensions keeps the flat part.
TEST(CoreTimeline, ThreeDimensionalObjectsAreSeenInPerspective) {
    auto p = load({rect(1, kRed, 0, 0, 10, 10), place(1, 1)}, 1);
    flash::DisplayObject& shape = *p->root().childAt(1);
    const double focal = 50 / std::tan(27.5 * M_PI / 180);  // 55 degrees across 100 pixels

    flash::Matrix3D pushed = flash::Matrix3D::translation(80, 20, float(focal));
    shape.setMatrix3D(pushed);
    EXPECT_EQ(shape.x(), 80);
    // Twice as far away as the focal length: halfway to the centre (50, 50).
    const QPointF seen = shape.matrix().map(QPointF(0, 0)) / 20;
    EXPECT_NEAR(seen.x(), 65, 1e-3);
    EXPECT_NEAR(seen.y(), 35, 1e-3);
    // Turned about the vertical axis, the left side goes away from the
    // viewer and the right comes nearer: the left is drawn shorter.
    shape.setMatrix3D(flash::Matrix3D::rotation(45, 0, 1, 0));
    const QTransform turned = shape.matrix();
    const double leftHeight = (turned.map(QPointF(-200, 200)) - turned.map(QPointF(-200, -200))).y();
    const double rightHeight = (turned.map(QPointF(200, 200)) - turned.map(QPointF(200, -200))).y();
    EXPECT_LT(leftHeight, 400);
    EXPECT_GT(rightHeight, 400);

    shape.setMatrix3D(pushed);
    shape.setX(10);
    EXPECT_EQ(shape.matrix3D()->m[12], 10) << "x moves the object in three dimensions";
    shape.setRotation(0);
    EXPECT_FALSE(shape.matrix3D()) << "turned flat, the object leaves the third dimension";
    EXPECT_EQ(shape.x(), 10);
}
