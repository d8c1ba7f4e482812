// Pixels of rendered frames: fills, colour transforms, gradients, masks,
// bitmaps, morphs, blend modes, filters and the stage's scale modes.
#include <gtest/gtest.h>

#include <QGuiApplication>

#include "flash/module/flash_engine.h"
#include "tests/flash/test_movies.h"
#include "tests/platform/test_application.h"

using namespace testmovies;
using swf::ShowFrame;
using swf::Tag;

namespace {

const swf::Color kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255};

class RenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kinolux::testing::EnsureApplication<QGuiApplication>(); }

    std::unique_ptr<flash::Engine> load(const std::vector<Tag>& tags, swf::Header h = header()) {
        std::string error;
        auto e = flash::Engine::fromBytes(movie(tags, h), &error);
        EXPECT_TRUE(e) << error;
        return e;
    }

    static QRgb pixel(const QImage& img, int x, int y) { return img.pixel(x, y); }
    static bool near(QRgb a, QRgb b, int tolerance = 3) {
        return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
               std::abs(qBlue(a) - qBlue(b)) <= tolerance && std::abs(qAlpha(a) - qAlpha(b)) <= tolerance;
    }
};

#define EXPECT_PIXEL(img, x, y, ...) \
    EXPECT_TRUE(near(pixel(img, x, y), __VA_ARGS__)) << "at " << x << "," << y << ": " << std::hex << pixel(img, x, y)

}  // namespace

TEST_F(RenderTest, SolidFillOnTheBackground) {
    auto e = load({swf::SetBackgroundColor{{0, 255, 0, 255}}, rect(1, kRed, 10, 10, 30, 20), place(1, 1), ShowFrame{}});
    QImage img = e->render();
    ASSERT_EQ(img.size(), QSize(100, 100));
    EXPECT_PIXEL(img, 20, 20, qRgb(255, 0, 0));
    EXPECT_PIXEL(img, 5, 5, qRgb(0, 255, 0));
    EXPECT_PIXEL(img, 45, 20, qRgb(0, 255, 0));
    // A host background replaces the movie's, under everything.
    flash::render::RenderOptions o;
    o.background = QColor(0, 0, 0);
    img = e->render({}, o);
    EXPECT_PIXEL(img, 5, 5, qRgb(0, 0, 0));
    EXPECT_PIXEL(img, 20, 20, qRgb(255, 0, 0));
}

TEST_F(RenderTest, ColorTransformsCombineDownTheTree) {
    swf::DefineSprite s;
    s.id = 2;
    s.frameCount = 1;
    auto inner = place(1, 1);
    inner.colorTransform = swf::ColorTransform{256, 256, 256, 128, 0, 0, 0, 0};  // half transparent
    s.tags = {inner, ShowFrame{}};
    auto outer = place(1, 2);
    outer.colorTransform = swf::ColorTransform{0, 256, 256, 256, 0, 0, 255, 0};  // red off, blue full
    auto e = load({rect(1, kRed, 0, 0, 50, 50), s, outer, ShowFrame{}});
    QImage img = e->render();
    // red*0, blue +255, at half alpha over white: (127, 127, 255)
    EXPECT_PIXEL(img, 10, 10, qRgb(127, 127, 255));
}

// A linear gradient fill: `records` spread over `sideTwips` of the stage,
// centred at (centreX, centreY) twips.
swf::FillStyle linearGradient(double sideTwips, swf::Twips centreX, swf::Twips centreY,
                              std::vector<swf::GradientRecord> records) {
    swf::FillStyle g;
    g.type = swf::FillType::LinearGradient;
    const auto scale = swf::Fixed16(sideTwips / 32768 * 65536);  // the gradient square is 32768 twips
    g.gradient.matrix = {scale, 0, 0, scale, centreX, centreY};
    g.gradient.records = std::move(records);
    return g;
}

const std::vector<swf::GradientRecord> kBlackToWhite = {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}};

TEST_F(RenderTest, LinearGradientRunsAcrossItsSquare) {
    // Scaled onto the 100 pixels of the square and centred.
    swf::FillStyle g = linearGradient(2000, 1000, 1000, kBlackToWhite);
    swf::ShapeBuilder b;
    b.fill1(1).rectangle(0, 0, 2000, 2000);
    auto e = load({swf::makeShape(1, 3, {{g}, {}}, b), place(1, 1), ShowFrame{}});
    QImage img = e->render();
    EXPECT_LT(qRed(pixel(img, 2, 50)), 12);
    EXPECT_NEAR(qRed(pixel(img, 50, 50)), 128, 6);
    EXPECT_GT(qRed(pixel(img, 97, 50)), 243);
    EXPECT_EQ(qRed(pixel(img, 50, 10)), qRed(pixel(img, 50, 90))) << "constant across the other axis";
}

TEST_F(RenderTest, GradientSpreadModesBeyondTheSquare) {
    for (auto spread : {swf::SpreadMode::Pad, swf::SpreadMode::Reflect, swf::SpreadMode::Repeat}) {
        // The gradient covers only the left half.
        swf::FillStyle g = linearGradient(1000, 500, 1000, kBlackToWhite);
        g.gradient.spread = spread;
        swf::ShapeBuilder b;
        b.fill1(1).rectangle(0, 0, 2000, 2000);
        auto e = load({swf::makeShape(1, 3, {{g}, {}}, b), place(1, 1), ShowFrame{}});
        QImage img = e->render();
        int right = qRed(pixel(img, 60, 50));
        if (spread == swf::SpreadMode::Pad) {
            EXPECT_GT(right, 245);
        } else if (spread == swf::SpreadMode::Reflect) {
            EXPECT_NEAR(right, 204, 12);  // mirrored back towards black
        } else {
            EXPECT_NEAR(right, 51, 12);  // starting over from black
        }
    }
}

TEST_F(RenderTest, GradientRecordsAtOneRatioShowSideBySide) {
    // 256 pixels across: one pixel for each of the player's 256 colours.
    swf::FillStyle g = linearGradient(5120, 2560, 200,
                                      {{100, {255, 0, 0, 255}},
                                       {100, {0, 255, 0, 255}},
                                       {100, {0, 0, 255, 255}},
                                       {200, {255, 255, 255, 255}},
                                       {150, {0, 0, 0, 255}}});
    swf::ShapeBuilder b;
    b.fill1(1).rectangle(0, 0, 5120, 400);
    auto e = load({swf::makeShape(1, 3, {{g}, {}}, b), place(1, 1), ShowFrame{}}, header(256, 20));
    QImage img = e->render();
    EXPECT_PIXEL(img, 50, 10, qRgb(255, 0, 0)) << "the first colour before its ratio";
    EXPECT_PIXEL(img, 100, 10, qRgb(255, 0, 0));
    EXPECT_PIXEL(img, 101, 10, qRgb(0, 255, 0)) << "the next record takes the next entry";
    // Blue to white counts from the ratio, so the band's third entry is
    // already two steps on.
    EXPECT_PIXEL(img, 102, 10, qRgb(5, 5, 255));
    EXPECT_NEAR(qRed(pixel(img, 150, 10)), 127, 6);
    EXPECT_PIXEL(img, 200, 10, qRgb(255, 255, 255)) << "a ratio going back takes one entry";
    EXPECT_PIXEL(img, 201, 10, qRgb(0, 0, 0)) << "and the last colour holds after it";
    EXPECT_PIXEL(img, 250, 10, qRgb(0, 0, 0));
}

TEST_F(RenderTest, LinearRgbGradientsMixInLinearLightAndDarkenTranslucentStops) {
    auto drawn = [&](std::vector<swf::GradientRecord> records) {
        swf::FillStyle g = linearGradient(2000, 1000, 1000, std::move(records));
        g.gradient.interpolation = swf::InterpolationMode::LinearRgb;
        swf::ShapeBuilder b;
        b.fill1(1).rectangle(0, 0, 2000, 2000);
        return load({swf::makeShape(1, 3, {{g}, {}}, b), place(1, 1), ShowFrame{}})->render();
    };
    // Halfway from black to white in linear light is far lighter than 128.
    EXPECT_NEAR(qRed(pixel(drawn(kBlackToWhite), 50, 50)), 188, 6);
    // Half-transparent red: its alpha darkens it in linear light (to 187)
    // and then it is drawn at half alpha over the white stage.
    const QRgb red = pixel(drawn({{0, {255, 0, 0, 128}}, {255, {255, 0, 0, 128}}}), 50, 50);
    EXPECT_NEAR(qRed(red), 221, 3);
    EXPECT_NEAR(qGreen(red), 127, 3);
}

TEST_F(RenderTest, MasksShowOnlyWhatLiesUnderTheMask) {
    auto mask = place(1, 2);
    mask.clipDepth = 2;
    auto e = load({rect(1, kRed, 0, 0, 100, 100), rect(2, kBlue, 0, 0, 50, 50), rect(3, kBlue, 0, 0, 100, 100), mask,
                   place(2, 1), place(3, 3, at(80, 80)), ShowFrame{}});
    QImage img = e->render();
    EXPECT_PIXEL(img, 25, 25, qRgb(255, 0, 0));       // masked content shows inside the mask
    EXPECT_PIXEL(img, 75, 25, qRgb(255, 255, 255));   // and not outside; the mask itself is never drawn
    EXPECT_PIXEL(img, 90, 90, qRgb(0, 0, 255));       // depth 3 is beyond the mask's reach
}

TEST_F(RenderTest, ScaleModesPlaceTheStage) {
    // A 100x100 stage covered in blue, drawn into 200x100.
    auto draw = [&](flash::render::ScaleMode m) {
        flash::render::RenderOptions o;
        o.scaleMode = m;
        auto ee = load({rect(1, kBlue, 0, 0, 100, 100), place(1, 1), ShowFrame{}});
        return ee->render(QSize(200, 100), o);
    };
    QImage all = draw(flash::render::ScaleMode::ShowAll);
    EXPECT_PIXEL(all, 100, 50, qRgb(0, 0, 255));
    EXPECT_PIXEL(all, 20, 50, qRgb(255, 255, 255)) << "show all leaves borders at the sides";
    QImage fit = draw(flash::render::ScaleMode::ExactFit);
    EXPECT_PIXEL(fit, 2, 50, qRgb(0, 0, 255));
    EXPECT_PIXEL(fit, 197, 50, qRgb(0, 0, 255));
    QImage border = draw(flash::render::ScaleMode::NoBorder);
    EXPECT_PIXEL(border, 2, 50, qRgb(0, 0, 255));
    QImage none = draw(flash::render::ScaleMode::NoScale);
    EXPECT_PIXEL(none, 100, 50, qRgb(0, 0, 255));
    EXPECT_PIXEL(none, 40, 50, qRgb(255, 255, 255)) << "no scale keeps 100 pixels, centred";
    EXPECT_PIXEL(none, 160, 50, qRgb(255, 255, 255));
    flash::render::RenderOptions zoomed;
    zoomed.zoom = 2;
    auto small = load({rect(1, kBlue, 0, 0, 20, 20), place(1, 1, at(40, 40)), ShowFrame{}});
    QImage z = small->render(QSize(100, 100), zoomed);
    EXPECT_PIXEL(z, 35, 35, qRgb(0, 0, 255)) << "zoom enlarges around the centre";
}

TEST_F(RenderTest, LosslessBitmapsArePremultipliedRight) {
    // 2x1: opaque green, then half-transparent white stored premultiplied.
    std::vector<std::uint8_t> argb = {255, 0, 255, 0, 128, 128, 128, 128};
    auto z = swf::zlibCompress(argb);
    swf::DefineBitsLossless bits{2, 1, swf::LosslessFormat::Rgb32, 2, 1, 0, z};
    swf::FillStyle f;
    f.type = swf::FillType::NonSmoothedClippedBitmap;
    f.bitmapId = 1;
    f.bitmapMatrix = {50 * 20 * 65536, 0, 0, 100 * 20 * 65536, 0, 0};  // each pixel 50x100 pixels wide
    swf::ShapeBuilder b;
    b.fill1(1).rectangle(0, 0, 2000, 2000);
    auto e = load({swf::SetBackgroundColor{{0, 0, 0, 255}}, bits, swf::makeShape(2, 3, {{f}, {}}, b), place(1, 2), ShowFrame{}});
    QImage img = e->render();
    EXPECT_PIXEL(img, 20, 50, qRgb(0, 255, 0));
    EXPECT_PIXEL(img, 80, 50, qRgb(128, 128, 128));
    // Smoothed, a clipped bitmap blends between its pixels but never wraps
    // its right edge round onto its left.
    f.type = swf::FillType::ClippedBitmap;
    auto smooth = load({swf::SetBackgroundColor{{0, 0, 0, 255}}, bits, swf::makeShape(2, 3, {{f}, {}}, b), place(1, 2), ShowFrame{}});
    img = smooth->render();
    EXPECT_PIXEL(img, 1, 50, qRgb(0, 255, 0));
    EXPECT_PIXEL(img, 98, 50, qRgb(128, 128, 128));
    EXPECT_NEAR(qGreen(pixel(img, 50, 50)), 192, 12) << "half way between the two pixels";
}

TEST_F(RenderTest, MorphShapesFollowTheirRatio) {
    swf::DefineMorphShape m;
    m.id = 1;
    swf::ShapeBuilder a, z;
    a.fill1(1).rectangle(0, 0, 400, 400);     // 20x20 at the top left
    z.rectangle(1200, 1200, 800, 800);       // 40x40 at the bottom right
    m.start.records = a.records();
    std::vector<swf::ShapeRecord> end = z.records();
    for (auto& r : end)
        if (auto* c = std::get_if<swf::StyleChange>(&r)) c->fill1.reset();
    m.end.records = end;
    m.start.bounds = a.bounds();
    m.end.bounds = z.bounds();
    m.start.styles.fills = {swf::solidFill(kRed)};
    m.end.styles.fills = {swf::solidFill(kBlue)};
    auto half = place(1, 1);
    half.ratio = 32768;
    auto e = load({m, half, ShowFrame{}});
    QImage img = e->render();
    // Halfway: from (30,30) to (60,60), purple.
    EXPECT_PIXEL(img, 45, 45, qRgb(128, 0, 127), 3);
    EXPECT_PIXEL(img, 10, 10, qRgb(255, 255, 255));
    EXPECT_PIXEL(img, 80, 80, qRgb(255, 255, 255));
}

TEST_F(RenderTest, BlendModesMixWithWhatLiesBelow) {
    auto over = place(2, 2);
    over.version = 3;
    over.blendMode = swf::BlendMode::Multiply;
    auto diff = place(3, 3, at(50, 0));
    diff.version = 3;
    diff.blendMode = swf::BlendMode::Difference;
    auto e = load({rect(1, {200, 100, 50, 255}, 0, 0, 100, 100), rect(2, {128, 255, 0, 255}, 0, 0, 50, 50),
                   rect(3, kWhite, 0, 0, 50, 50), place(1, 1), over, diff, ShowFrame{}});
    QImage img = e->render();
    EXPECT_PIXEL(img, 25, 25, qRgb(100, 100, 0), 2);
    EXPECT_PIXEL(img, 75, 25, qRgb(55, 155, 205), 2);
    EXPECT_PIXEL(img, 25, 75, qRgb(200, 100, 50), 2);
}

TEST_F(RenderTest, BlurAndDropShadowSpreadBeyondTheObject) {
    auto blurred = place(1, 1, at(30, 30));
    blurred.version = 3;
    blurred.filters = std::vector<swf::Filter>{swf::BlurFilter{10 << 16, 10 << 16, 1}};
    auto e = load({rect(1, {0, 0, 0, 255}, 0, 0, 40, 40), blurred, ShowFrame{}});
    QImage img = e->render();
    int edge = qRed(pixel(img, 30, 50));
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200) << "the edge is half way between black and white";
    EXPECT_PIXEL(img, 50, 50, qRgb(0, 0, 0));
    EXPECT_LT(qRed(pixel(img, 27, 50)), 255) << "the blur reaches outside the shape";
    // At quality 0 the player blurs nothing.
    blurred.filters = std::vector<swf::Filter>{swf::BlurFilter{10 << 16, 10 << 16, 0}};
    img = load({rect(1, {0, 0, 0, 255}, 0, 0, 40, 40), blurred, ShowFrame{}})->render();
    EXPECT_PIXEL(img, 30, 50, qRgb(0, 0, 0));
    EXPECT_PIXEL(img, 29, 50, qRgb(255, 255, 255));

    swf::DropShadowFilter shadow;
    shadow.color = {0, 0, 0, 255};
    shadow.distance = 10 << 16;
    shadow.angle = 0;  // straight to the right
    auto shadowed = place(1, 2, at(10, 10));
    shadowed.version = 3;
    shadowed.filters = std::vector<swf::Filter>{shadow};
    auto s = load({rect(2, kRed, 0, 0, 40, 40), shadowed, ShowFrame{}});
    img = s->render();
    EXPECT_PIXEL(img, 30, 30, qRgb(255, 0, 0));
    EXPECT_PIXEL(img, 55, 30, qRgb(0, 0, 0));
    EXPECT_PIXEL(img, 5, 30, qRgb(255, 255, 255));
}

TEST_F(RenderTest, StaticTextDrawsEmbeddedGlyphs) {
    swf::DefineFont f;
    f.id = 1;
    swf::ShapeBuilder box;
    box.fill1(1).rectangle(0, -1024, 1024, 1024);  // a full-em block
    f.glyphs = {{box.records(), 'X', 1024, {}}};
    f.layout = swf::FontLayout{1024, 0, 0, {}};
    swf::DefineText t;
    t.id = 2;
    t.bounds = {0, 2000, -800, 0};
    swf::TextRecord r;
    r.fontId = 1;
    r.height = 400;  // 20 pixels
    r.color = kBlue;
    r.yOffset = 400;
    r.glyphs = {{0, 600}, {0, 600}};
    t.records = {r};
    auto e = load({f, t, place(1, 2, at(10, 10)), ShowFrame{}});
    QImage img = e->render();
    EXPECT_PIXEL(img, 20, 20, qRgb(0, 0, 255));
    EXPECT_PIXEL(img, 50, 20, qRgb(0, 0, 255)) << "the second glyph follows at the advance";
    EXPECT_PIXEL(img, 20, 40, qRgb(255, 255, 255));
}

TEST_F(RenderTest, TextFieldsShowTheirTextInASystemFont) {
    swf::DefineEditText t;
    t.id = 1;
    t.bounds = {0, 1800, 0, 600};
    t.border = true;
    t.color = swf::Color{0, 0, 0, 255};
    t.initialText = "MMMM";
    auto e = load({swf::SetBackgroundColor{kRed}, t, place(1, 1, at(5, 5)), ShowFrame{}});
    QImage img = e->render();
    EXPECT_PIXEL(img, 5, 20, qRgb(0, 0, 0)) << "the border";
    EXPECT_PIXEL(img, 90, 20, qRgb(255, 255, 255)) << "the field's background";
    int dark = 0;
    for (int x = 8; x < 80; ++x)  // 12-pixel text: the field has no font of its own
        if (qRed(pixel(img, x, 13)) < 100) ++dark;
    EXPECT_GT(dark, 8) << "glyph strokes cross the middle line";
}
