// Keyboard focus by Tab on the player core: the order (tab indices, or the
// place on the stage), the yellow rectangle the renderer draws round the
// focused clip, and what makes the rectangle go (the mouse, _focusrect).
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "flash/avm1/player/action_scripts.h"
#include "flash/core/player.h"
#include "flash/render/renderer.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/platform/test_application.h"

using namespace testmovies;

namespace {

constexpr int kTab = 9;
constexpr QRgb kYellow = 0xFFFFFF00u;

class FocusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kinolux::testing::EnsureApplication<QGuiApplication>(); }

    // Clips "a" at (10,10) and "b" at (40,40), each a 20x20 square, on a
    // black stage; `script` runs in the first frame.
    void load(const std::string& script, int version = 8) {
        auto named = [](swf::Depth depth, int x, const char* name) {
            auto p = place(depth, 2, at(x, x));
            p.name = name;
            return p;
        };
        swf::DefineSprite square;
        square.id = 2;
        square.frameCount = 1;
        square.tags = {place(1, 1), swf::ShowFrame{}};
        swf::Header h = header(70, 70);
        h.version = std::uint8_t(version);
        file_ = movie({swf::SetBackgroundColor{{0, 0, 0, 255}}, rect(1, {255, 102, 204, 255}, 0, 0, 20, 20), square,
                       named(1, 10, "a"), named(2, 40, "b"), swf::DoAction{kinolux::avm1::test::assemble(script)},
                       swf::ShowFrame{}},
                      h);
        player_ = std::make_unique<flash::Player>(swf::Bytes(file_));
    }

    std::string focused() const {
        const flash::DisplayObject* f = player_->focusHighlight();
        return f ? f->name.toUtf8() : std::string("none");
    }

    std::vector<std::uint8_t> file_;
    std::unique_ptr<flash::Player> player_;
};

const char* const kBothEnabled =
    "push \"a\"\ngetVariable\npush \"tabEnabled\", true\nsetMember\n"
    "push \"b\"\ngetVariable\npush \"tabEnabled\", true\nsetMember\n";

}  // namespace

TEST_F(FocusTest, TabFollowsTheStageOrderOrTheTabIndices) {
    load(kBothEnabled);
    EXPECT_EQ(focused(), "none");
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "a") << "top left first";
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "b");
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "a") << "round again";

    // Indices win over the place; objects without one drop out.
    load(std::string(kBothEnabled) + "push \"b\"\ngetVariable\npush \"tabIndex\", 1\nsetMember\n");
    for (int i = 0; i < 3; ++i) {
        player_->keyDown(kTab, kTab);
        EXPECT_EQ(focused(), "b");
    }
    load(std::string(kBothEnabled) + "push \"b\"\ngetVariable\npush \"tabIndex\", 1\nsetMember\n" +
         "push \"a\"\ngetVariable\npush \"tabIndex\", 2\nsetMember\n");
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "b");
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "a");

    // Plain clips without mouse handlers are left out unless enabled.
    load("push \"a\"\ngetVariable\npush \"tabEnabled\", true\nsetMember\n");
    player_->keyDown(kTab, kTab);
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "a");
}

TEST_F(FocusTest, TheRectangleIsAYellowFrameInsideTheBounds) {
    load(kBothEnabled);
    player_->keyDown(kTab, kTab);
    flash::render::Renderer renderer;
    flash::render::RenderOptions options;
    options.antialias = false;
    QImage picture = renderer.picture(*player_, {}, options);
    EXPECT_EQ(picture.pixel(10, 10), kYellow);
    EXPECT_EQ(picture.pixel(12, 20), kYellow) << "three pixels wide";
    EXPECT_EQ(picture.pixel(29, 29), kYellow);
    EXPECT_EQ(picture.pixel(13, 20), 0xFFFF66CCu) << "the clip shows inside";
    EXPECT_EQ(picture.pixel(9, 9), 0xFF000000u);
    EXPECT_EQ(picture.pixel(45, 45), 0xFFFF66CCu) << "only round the focused clip";

    // Twice the picture size: the frame is three stage pixels wide.
    picture = renderer.picture(*player_, QSize(140, 140), options);
    EXPECT_EQ(picture.pixel(25, 40), kYellow);
    EXPECT_EQ(picture.pixel(27, 40), 0xFFFF66CCu);
}

TEST_F(FocusTest, TheMouseHidesTheRectangleAsTheMovieVersionSays) {
    using Button = flash::Player::MouseButton;
    load(kBothEnabled, 8);
    player_->keyDown(kTab, kTab);
    player_->mouseDown(Button::Middle);
    EXPECT_EQ(focused(), "a") << "the middle button never counts";
    player_->mouseMove(5, 5);
    EXPECT_EQ(focused(), "none") << "before version 9 a move hides it";
    player_->keyDown(kTab, kTab);
    player_->mouseUp(Button::Right);
    EXPECT_EQ(focused(), "none");

    load(kBothEnabled, 9);
    player_->keyDown(kTab, kTab);
    player_->mouseMove(5, 5);
    player_->mouseDown(Button::Right);
    player_->mouseUp(Button::Right);
    player_->mouseUp(Button::Left);
    EXPECT_EQ(focused(), "a") << "from version 9 only the left button going down";
    player_->mouseDown(Button::Left);
    EXPECT_EQ(focused(), "none");
}

TEST_F(FocusTest, FocusRectDecidesWhenFocusArrives) {
    // _focusrect = false; a null afterwards leaves it false.
    load(std::string(kBothEnabled) +
         "push \"_focusrect\", false\nsetVariable\npush \"_focusrect\", null\nsetVariable\n");
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "none");

    load(kBothEnabled);
    player_->keyDown(kTab, kTab);
    kinolux::avm1::Host& host = flash::hostOf(*player_);
    host.setFocusRect(kinolux::avm1::Value(false));
    EXPECT_EQ(focused(), "a") << "the rectangle already shown stays";
    player_->keyDown(kTab, kTab);
    EXPECT_EQ(focused(), "none");
}
