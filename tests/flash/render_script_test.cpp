// Pictures of what scripts make on the player core: text field boxes under
// transforms, and gradient fills whose ratios repeat.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "flash/core/player.h"
#include "flash/render/bitmap_services.h"
#include "flash/render/renderer.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash/traced_movie.h"
#include "tests/platform/test_application.h"

using namespace testmovies;

namespace {

constexpr QRgb kWhite = 0xFFFFFFFFu, kBlue = 0xFF0000FFu;

class RenderScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kinolux::testing::EnsureApplication<QGuiApplication>(); }

    // A white 60x60 stage whose first frame runs `script`.
    void run(const std::string& script) {
        flash::PlayerOptions options;
        options.renderServices = &flash::render::makeBitmapServices;
        movie_ =
            playTraced(movie({swf::DoAction{kinolux::avm1::test::assemble(script)}, swf::ShowFrame{}}, header(60, 60)),
                       std::move(options));
    }

    QImage picture() {
        flash::render::RenderOptions options;
        options.antialias = false;
        return renderer_.picture(*movie_->player, {}, options);
    }

    // Adds t.NAME = VALUE (VALUE as the assembler pushes it) to the script
    // and plays the movie afresh.
    void setField(const std::string& name, const std::string& value) {
        script_ += "push \"t\"\ngetVariable\npush \"" + name + "\", " + value + "\nsetMember\n";
        run(script_);
    }

    std::string script_;
    std::unique_ptr<TracedMovie> movie_;
    flash::render::Renderer renderer_;
};

// _root.createTextField("t", 1, 10, 10, 1, 1); a blue background.
const std::string kField =
    "push 1, 1, 10, 10, 1, \"t\", 6, \"_root\"\ngetVariable\npush \"createTextField\"\ncallMethod\npop\n"
    "push \"t\"\ngetVariable\npush \"background\", true\nsetMember\n"
    "push \"t\"\ngetVariable\npush \"backgroundColor\", 255\nsetMember\n";

}  // namespace

TEST_F(RenderScriptTest, TextFieldsTakeAWidthByGrowingTheirBox) {
    script_ = kField;
    setField("_width", "20");
    setField("_height", "20");
    run(script_ + "push \"t\"\ngetVariable\npush \"_xscale\"\ngetMember\ntrace\n");
    EXPECT_EQ(movie_->traces, std::vector<std::string>{"100"}) << "a new width is no scale";
    const QImage img = picture();
    EXPECT_EQ(img.pixel(28, 28), kBlue);
    EXPECT_EQ(img.pixel(32, 32), kWhite);
}

TEST_F(RenderScriptTest, DeviceFontFieldsShowOnlyUpright) {
    script_ = kField;
    setField("_width", "20");
    setField("_height", "20");
    setField("_xscale", "-100");
    EXPECT_EQ(picture().pixel(5, 20), kWhite) << "flipped: nothing, not even the box";
    setField("_xscale", "100");
    setField("_rotation", "30");
    EXPECT_EQ(picture().pixel(15, 20), kWhite) << "turned: nothing";
    setField("embedFonts", "true");
    const QImage img = picture();
    EXPECT_EQ(img.pixel(15, 20), kBlue) << "embedded fonts turn with the field, box and all";
    EXPECT_EQ(img.pixel(28, 12), kWhite) << "the box is turned, not its bounding rectangle";
}
