// BitmapData and the filters, for scripts and underneath: the pixel rules
// (premultiplied storage, clipping, dissolve order, noise), the classes as
// a movie's scripts see them on the player core, and drawing what scripts
// make with the renderer; then what scripts learn of dragging and of
// exceptions nobody caught.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "flash/avm1/player/action_scripts.h"
#include "flash/avm1/player/bindings.h"
#include "flash/core/bitmap_object.h"
#include "flash/core/edit_text.h"
#include "flash/core/bitmap_operations.h"
#include "flash/core/player.h"
#include "flash/render/bitmap_services.h"
#include "flash/render/renderer.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"
#include "tests/flash/traced_movie.h"

using namespace testmovies;
using flash::BitmapData;

namespace {

// ---- pixels ----

std::uint32_t straight(const BitmapData& b, int x, int y) { return b.pixel32(x, y); }

TEST(BitmapPixels, PremultipliedStorageKeepsOpaqueColoursAndDropsInvisibleOnes) {
    for (std::uint32_t c : {0xFF123456u, 0xFF000000u, 0xFFFFFFFFu})
        EXPECT_EQ(BitmapData::unpremultiply(BitmapData::premultiply(c)), c);
    EXPECT_EQ(BitmapData::premultiply(0x00FFFFFFu), 0u) << "a transparent pixel keeps no colour";
    const std::uint32_t back = BitmapData::unpremultiply(BitmapData::premultiply(0x80FF8040u));
    EXPECT_EQ(back >> 24, 0x80u);
    EXPECT_NEAR(double((back >> 16) & 0xFF), 255, 2);
    EXPECT_NEAR(double(back & 0xFF), 0x40, 2);
}

TEST(BitmapPixels, TranslucentColoursReadBackAsThePlayerRoundsThem) {
    // Read back a step up, a step down, or unchanged, as the player's
    // reciprocal of the alpha makes them.
    EXPECT_EQ(BitmapData::unpremultiply(BitmapData::premultiply(0x12345678u)), 0x12395571u);
    EXPECT_EQ(BitmapData::unpremultiply(BitmapData::premultiply(0xAABBCCDDu)), 0xAABBCCDCu);
    EXPECT_EQ(BitmapData::unpremultiply(BitmapData::premultiply(0xF7D6D6D6u)), 0xF7D5D5D5u);
    EXPECT_EQ(BitmapData::unpremultiply(BitmapData::premultiply(0x04808080u)), 0x047F7F7Fu);
    EXPECT_EQ(BitmapData::unpremultiply(0x80FFFFFFu), 0x80FFFFFFu) << "a stored colour above its alpha saturates";
}

TEST(BitmapPixels, ColorTransformTruncatesInFixedPoint) {
    BitmapData b(1, 1, true, 0xFFFFFFFFu);
    flash::ColorTransform half;
    for (float& m : half.mul) m = 0.5f;
    flash::pixels::colorTransform(b, QRect(0, 0, 1, 1), half);
    EXPECT_EQ(straight(b, 0, 0), 0x7F7E7E7Eu) << "half of 255 is 127, and 127 at alpha 127 reads back 126";
}

TEST(BitmapPixels, FillAndCopyStayInsideBothBitmaps) {
    BitmapData target(4, 4, true, 0);
    flash::pixels::fillRect(target, QRect(-2, -2, 4, 4), 0xFFFF0000u);
    EXPECT_EQ(straight(target, 1, 1), 0xFFFF0000u);
    EXPECT_EQ(straight(target, 2, 2), 0u);

    BitmapData source(2, 2, false, 0xFF00FF00u);
    flash::pixels::copyPixels(target, source, QRect(-1, 0, 10, 10), QPoint(2, 2), nullptr, {}, false);
    EXPECT_EQ(straight(target, 3, 2), 0xFF00FF00u);
    EXPECT_EQ(straight(target, 3, 3), 0xFF00FF00u);
    EXPECT_EQ(straight(target, 2, 2), 0u) << "the part of the rectangle left of the source copies nothing";
}

TEST(BitmapPixels, CopyOntoItselfReadsBeforeWriting) {
    BitmapData b(3, 1, false, 0);
    b.setPixel32(0, 0, 0xFF0000FFu);
    b.setPixel32(1, 0, 0xFF00FF00u);
    flash::pixels::copyPixels(b, b, QRect(0, 0, 2, 1), QPoint(1, 0), nullptr, {}, false);
    EXPECT_EQ(straight(b, 1, 0), 0xFF0000FFu);
    EXPECT_EQ(straight(b, 2, 0), 0xFF00FF00u) << "the second pixel was copied as it was before the copy";
}

TEST(BitmapPixels, ColorTransformChangesOnlyItsRectangle) {
    BitmapData b(2, 1, false, 0xFF808080u);
    flash::ColorTransform cx;
    cx.mul[0] = 0;
    cx.add[2] = 255;
    flash::pixels::colorTransform(b, QRect(0, 0, 1, 1), cx);
    EXPECT_EQ(straight(b, 0, 0), 0xFF0080FFu);
    EXPECT_EQ(straight(b, 1, 0), 0xFF808080u);
}

TEST(BitmapPixels, MergingATransparentPixelLeavesWhatIsUnderIt) {
    const BitmapData clear(1, 1, true, 0);
    for (std::uint32_t alpha = 0; alpha < 256; alpha += 5) {
        for (std::uint32_t red = 0; red < 256; red += 3) {
            BitmapData target(1, 1, true, alpha << 24 | red << 16);
            const std::uint32_t before = straight(target, 0, 0);
            flash::pixels::copyPixels(target, clear, QRect(0, 0, 1, 1), {}, nullptr, {}, true);
            ASSERT_EQ(straight(target, 0, 0), before) << alpha << " " << red;
        }
    }
}

TEST(BitmapPixels, DissolveVisitsEveryPixelOnceAcrossCalls) {
    BitmapData target(5, 3, false, 0xFF000000u), source(5, 3, false, 0xFFFFFFFFu);
    const QRect all(0, 0, 5, 3);
    std::int32_t seed = flash::pixels::pixelDissolve(target, source, all, {}, 7, 6, 0);
    auto white = [&] {
        int n = 0;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) n += straight(target, x, y) == 0xFFFFFFFFu;
        return n;
    };
    EXPECT_EQ(white(), 7) << "the first pixel, then six of the walk";
    seed = flash::pixels::pixelDissolve(target, source, all, {}, seed, 6, 0);
    EXPECT_EQ(white(), 13) << "the returned seed goes on with pixels not yet dissolved";
    flash::pixels::pixelDissolve(target, source, all, {}, seed, 100, 0);
    EXPECT_EQ(white(), 15);
}

TEST(BitmapPixels, DissolveWalkPassesEveryPixelButTheFirstOncePerRound) {
    for (const auto& [w, h] : {std::pair{2, 2}, {10, 10}, {7, 9}, {5, 13}, {150, 2}, {1, 5}, {6, 1}, {64, 64}}) {
        flash::pixels::DissolveWalk walk(w, h, 0x5EED);
        ASSERT_EQ(walk.cells(), std::uint32_t(w * h - 1)) << w << "x" << h;
        std::vector<int> seen(std::size_t(w * h));
        for (std::uint32_t i = 0; i < walk.cells(); ++i) {
            const QPoint p = walk.position();
            ASSERT_TRUE(p.x() >= 0 && p.y() >= 0 && p.x() < w && p.y() < h) << w << "x" << h;
            ++seen[std::size_t(p.y() * w + p.x())];
            walk.advance();
        }
        EXPECT_EQ(seen[0], 0) << w << "x" << h;
        EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), w * h - 1) << w << "x" << h;
    }
    // Zero and seeds far beyond the register still settle on the walk.
    for (std::uint32_t seed : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        flash::pixels::DissolveWalk walk(300, 200, seed);
        const QPoint p = walk.position();
        EXPECT_TRUE(p != QPoint(0, 0) && p.x() < 300 && p.y() < 200) << seed;
    }
}

TEST(BitmapPixels, DissolveCountsAsUnsignedAndReturnsTheSeedWhenNothingMoves) {
    BitmapData target(2, 2, true, 0), source(2, 2, true, 0xFFFFFFFFu);
    const QRect all(0, 0, 2, 2);
    auto dissolved = [&] {
        std::string marks;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) marks += straight(target, x, y) ? '#' : '.';
        return marks;
    };
    EXPECT_EQ(flash::pixels::pixelDissolve(target, source, all, {}, 100, 0, 0), 100);
    EXPECT_EQ(dissolved(), "#...") << "no count still writes the first pixel";
    EXPECT_EQ(flash::pixels::pixelDissolve(target, source, all, {}, 100, 2, 0), 3);
    EXPECT_EQ(dissolved(), "###.");
    EXPECT_EQ(flash::pixels::pixelDissolve(target, source, all, {}, 100, -1, 0), 2)
        << "a negative count is a huge one: the walk goes round many times";
    EXPECT_EQ(dissolved(), "####");
    EXPECT_EQ(flash::pixels::pixelDissolve(target, source, QRect(5, 5, 2, 2), {}, 100, 4, 0), 100);
}

TEST(BitmapPixels, DissolveCopiesTranslucentPixelsIntoOpaqueBitmapsAsStored) {
    BitmapData target(2, 2, false, 0xFFBBCCDDu), source(2, 2, true, 0x12345678u);
    flash::pixels::pixelDissolve(target, source, QRect(0, 0, 2, 2), {}, 1, 4, 0);
    EXPECT_EQ(straight(target, 1, 1), BitmapData::premultiply(0x12345678u)) << "read back as stored, not opaque";
}

TEST(BitmapPixels, ColourBoundsOfOpaqueBitmapsCompareTheWholeColour) {
    BitmapData transparent(3, 3, true, 0xAABBCCDDu), opaque(3, 3, false, 0xAABBCCDDu);
    EXPECT_EQ(flash::pixels::colorBoundsRect(transparent, 0, 0xFF0000u, true), QRect(0, 0, 3, 3))
        << "masked to nothing, every pixel matches";
    EXPECT_TRUE(flash::pixels::colorBoundsRect(opaque, 0, 0xFF0000u, true).isEmpty());
    EXPECT_EQ(flash::pixels::colorBoundsRect(opaque, 0xFF, 0xDD, true), QRect(0, 0, 3, 3));
    EXPECT_EQ(flash::pixels::colorBoundsRect(opaque, 0xFF000000u, 0xAA000000u, true), QRect(0, 0, 3, 3))
        << "an opaque bitmap takes every colour as opaque";
    EXPECT_EQ(flash::pixels::colorBoundsRect(transparent, 0xFF, 0x93, true), QRect(0, 0, 3, 3))
        << "a translucent pixel is compared premultiplied";
    opaque.setPixel32(0, 0, 0xFF000000u);
    EXPECT_TRUE(flash::pixels::colorBoundsRect(opaque, 0xFFFFFFFFu, 0xFF000000u, true).isEmpty())
        << "a lone match at the origin counts as none";
    opaque.setPixel32(1, 1, 0xFF000000u);
    EXPECT_EQ(flash::pixels::colorBoundsRect(opaque, 0xFFFFFFFFu, 0xFF000000u, true), QRect(0, 0, 2, 2));
}

TEST(BitmapPixels, PerlinNoiseKeepsPixelsValidAndOpaqueBitmapsOpaque) {
    BitmapData transparent(16, 16, true, 0), opaque(16, 16, false, 0);
    const std::vector<QPointF> offsets(2);
    flash::pixels::perlinNoise(transparent, 8, 8, 2, 42, false, true, 15, false, offsets);
    flash::pixels::perlinNoise(opaque, 8, 8, 2, 42, false, true, 15, false, offsets);
    std::set<std::uint32_t> alphas;
    for (int y = 0; y < 16; ++y) {
        const auto* t = reinterpret_cast<const std::uint32_t*>(transparent.image().constScanLine(y));
        const auto* o = reinterpret_cast<const std::uint32_t*>(opaque.image().constScanLine(y));
        for (int x = 0; x < 16; ++x) {
            const std::uint32_t a = t[x] >> 24;
            alphas.insert(a);
            for (int shift : {16, 8, 0}) ASSERT_LE((t[x] >> shift) & 0xFF, a) << "a colour above its alpha is no pixel";
            ASSERT_EQ(o[x] >> 24, 0xFFu);
        }
    }
    EXPECT_GT(alphas.size(), 4u) << "the alpha channel carries noise too";
    BitmapData again(16, 16, true, 0);
    flash::pixels::perlinNoise(again, 8, 8, 2, 42, false, true, 15, false, offsets);
    EXPECT_EQ(again.image(), transparent.image()) << "one seed, one picture";
}

TEST(BitmapPixels, TransparentPixelsNeverHit) {
    BitmapData b(2, 1, true, 0);
    b.setPixel32(1, 0, 0xFF000000u);
    EXPECT_FALSE(flash::pixels::hitTestPoint(b, 0, QPoint(0, 0))) << "even with a threshold of 0";
    EXPECT_TRUE(flash::pixels::hitTestPoint(b, 0, QPoint(1, 0)));
    EXPECT_TRUE(flash::pixels::hitTestPoint(b, 255, QPoint(1, 0)));
    EXPECT_FALSE(flash::pixels::hitTestPoint(b, 0, QPoint(2, 0)));
    EXPECT_FALSE(flash::pixels::hitTestRect(b, 0, QRect(0, 0, 1, 1)));
}

// ---- the classes on the player ----

// A movie whose first frame shows a red 10x10 square at depth 1 and runs
// `script` (assembly); `extra` tags come first.
std::unique_ptr<TracedMovie> run(const std::string& script, std::vector<swf::Tag> extra = {}) {
    const std::vector<std::uint8_t> code = kinolux::avm1::test::assemble(script);
    std::vector<swf::Tag> tags = std::move(extra);
    for (swf::Tag t : {swf::Tag(rect(1, {255, 0, 0, 255}, 0, 0, 10, 10)), swf::Tag(place(1, 1)),
                       swf::Tag(swf::DoAction{code}), swf::Tag(swf::ShowFrame{})})
        tags.push_back(std::move(t));
    flash::PlayerOptions options;
    options.renderServices = &flash::render::makeBitmapServices;
    return playTraced(movie(tags, header(40, 40, 1)), std::move(options));
}

// var NAME = new flash.<package>.<cls>(args...), args given as pushes in
// reverse order with their count.
std::string make(const std::string& name, const std::string& package, const std::string& cls,
                 const std::string& reversedArgs, int count) {
    return "push \"" + name + "\"\n" + (count ? "push " + reversedArgs + "\n" : "") + "push " + std::to_string(count) +
           ", \"flash\"\ngetVariable\npush \"" + package + "\"\ngetMember\npush \"" + cls + "\"\nnewMethod\nsetVariable\n";
}

// trace(NAME.method(args...)).
std::string traceCall(const std::string& name, const std::string& method, const std::string& reversedArgs, int count) {
    return (count ? "push " + reversedArgs + "\n" : "") + "push " + std::to_string(count) + ", \"" + name +
           "\"\ngetVariable\npush \"" + method + "\"\ncallMethod\ntrace\n";
}

// trace(NAME.prop).
std::string traceMember(const std::string& name, const std::string& prop) {
    return "push \"" + name + "\"\ngetVariable\npush \"" + prop + "\"\ngetMember\ntrace\n";
}

TEST(BitmapDataClass, PixelsReadAndWrittenByScripts) {
    auto s = run(make("b", "display", "BitmapData", "-15654349, false, 4, 4", 4) +  // 0xFF112233
                 traceCall("b", "getPixel", "1, 1", 2) +
                 "push 11259375, 1, 1, 3, \"b\"\ngetVariable\npush \"setPixel\"\ncallMethod\npop\n" +  // 0xABCDEF
                 traceCall("b", "getPixel", "1, 1", 2) + traceMember("b", "width") + traceCall("b", "dispose", "", 0) +
                 traceMember("b", "width") + make("big", "display", "BitmapData", "9000, 9000", 2) +
                 traceMember("big", "width"));
    const std::vector<std::string> expected = {"1122867", "11259375", "4", "undefined", "-1", "undefined"};
    EXPECT_EQ(s->traces, expected);
    EXPECT_TRUE(s->player->scriptErrors().empty());
}

TEST(BitmapDataClass, WrongArgumentsAnswerTheCodesOfTheirChecks) {
    // b = new BitmapData(3, 3); r = new Rectangle(0, 0, 2, 2); p = new Point(1, 1); d, disposed.
    const std::string setup = make("b", "display", "BitmapData", "3, 3", 2) +
                              make("d", "display", "BitmapData", "3, 3", 2) +
                              make("r", "geom", "Rectangle", "2, 2, 0, 0", 4) + make("p", "geom", "Point", "1, 1", 2) +
                              "push 0, \"d\"\ngetVariable\npush \"dispose\"\ncallMethod\npop\n";
    auto var = [](const std::string& name) { return "push \"" + name + "\"\ngetVariable\n"; };
    auto call = [](const std::string& method, int count) {
        return "push " + std::to_string(count) + ", \"b\"\ngetVariable\npush \"" + method + "\"\ncallMethod\ntrace\n";
    };
    const std::string merge = "push 1, 1, 1, 1\n" + var("p") + var("r");
    auto s =
        run(setup + call("fillRect", 0) +                                                            // too few
            "push 0, null\n" + call("fillRect", 2) +                                                 // no rectangle
            "push 0\n" + var("r") + call("fillRect", 2) +                                            // done
            merge + "push null\n" + call("merge", 7) +                                               // no bitmap
            merge + var("d") + call("merge", 7) +                                                    // disposed bitmap
            "push 1, 1, 1, 1\n" + var("p") + "push 0\ninitObject\n" + var("b") + call("merge", 7) +  // no rectangle
            "push 0\ninitObject\n" + var("r") + call("colorTransform", 2) +   // no ColorTransform
            "push 0\ninitObject\npush 0\n" + var("p") + call("hitTest", 3) +  // nothing to test
            "push 1, 1, 2, \"d\"\ngetVariable\npush \"getPixel32\"\ncallMethod\ntrace\n");
    const std::vector<std::string> expected = {"-1", "-1", "0", "-2", "-3", "-4", "-3", "-3", "-1"};
    EXPECT_EQ(s->traces, expected);
}

TEST(BitmapDataClass, NoiseTakesLevelsOutOfRangeAsTheirNearestEnd) {
    // b.noise(128, -5, 300, 1, true) is b.noise(128, 0, 255, 1, true).
    auto s =
        run(make("b", "display", "BitmapData", "1, 1", 2) + make("c", "display", "BitmapData", "1, 1", 2) +
            traceCall("b", "noise", "true, 1, 300, -5, 128", 5) + traceCall("c", "noise", "true, 1, 255, 0, 128", 5) +
            traceCall("b", "getPixel", "0, 0", 2) + traceCall("c", "getPixel", "0, 0", 2));
    ASSERT_EQ(s->traces.size(), 4u);
    EXPECT_EQ(s->traces[0], "0");
    EXPECT_EQ(s->traces[2], s->traces[3]);
    EXPECT_EQ(s->traces[2], "8421504") << "the first number of the generator from 128 is 0x80";
}

TEST(BitmapDataClass, DrawsTheStageAndIsShownByAttachBitmap) {
    // b = new BitmapData(20, 20, false, 0xFF0000FF); b.draw(_root);
    // _root.attachBitmap(b, 5); the bitmap at depth 5 covers the square.
    auto s = run(make("b", "display", "BitmapData", "-16776961, false, 20, 20", 4) +
                 "push \"_root\"\ngetVariable\npush 1, \"b\"\ngetVariable\npush \"draw\"\ncallMethod\npop\n" +
                 traceCall("b", "getPixel", "5, 5", 2) + traceCall("b", "getPixel", "15, 15", 2) +
                 "push 5, \"b\"\ngetVariable\npush 2, \"_root\"\ngetVariable\npush \"attachBitmap\"\ncallMethod\npop\n");
    const std::vector<std::string> expected = {"16711680", "255"};
    EXPECT_EQ(s->traces, expected) << "red where the square is, the fill colour elsewhere";
    auto* bitmap = dynamic_cast<flash::BitmapObject*>(s->player->root().childAt(flash::kTimelineDepthOffset + 5));
    ASSERT_NE(bitmap, nullptr);
    flash::render::Renderer renderer;
    const QImage picture = renderer.picture(*s->player);
    EXPECT_EQ(picture.pixel(15, 15), 0xFF0000FFu);
    EXPECT_EQ(picture.pixel(5, 5), 0xFFFF0000u);
}

TEST(BitmapDataClass, AShownBitmapKeepsItsSizeWhenItsPixelsAreDisposedOf) {
    // b = new BitmapData(4, 3); _root.attachBitmap(b, 5); b.dispose();
    auto s =
        run(make("b", "display", "BitmapData", "3, 4", 2) +
            "push 5, \"b\"\ngetVariable\npush 2, \"_root\"\ngetVariable\npush \"attachBitmap\"\ncallMethod\npop\n" +
            "push 0, \"b\"\ngetVariable\npush \"dispose\"\ncallMethod\npop\n");
    auto* bitmap = dynamic_cast<flash::BitmapObject*>(s->player->root().childAt(flash::kTimelineDepthOffset + 5));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_FALSE(bitmap->pixels()->valid());
    EXPECT_EQ(bitmap->localBounds(), QRectF(0, 0, 4 * 20, 3 * 20));
    bitmap->setPixels(bitmap->pixels());
    EXPECT_TRUE(bitmap->localBounds().isEmpty()) << "given again, the disposed pixels have no size";
}

TEST(FilterClasses, SettingsAreKeptInRangeAndCarriedByClips) {
    // f = new BlurFilter(300, 2, 20); _root.filters = [f];
    auto s = run(make("f", "filters", "BlurFilter", "20, 2, 300", 3) + traceMember("f", "blurX") +
                 traceMember("f", "quality") +
                 "push \"_root\"\ngetVariable\npush \"filters\", \"f\"\ngetVariable\npush 1\ninitArray\nsetMember\n"
                 "push \"_root\"\ngetVariable\npush \"filters\"\ngetMember\npush \"length\"\ngetMember\ntrace\n" +
                 make("m", "filters", "ColorMatrixFilter", "", 0) + traceMember("m", "matrix"));
    const std::vector<std::string> expected = {"255", "15", "1", "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0"};
    EXPECT_EQ(s->traces, expected);
    ASSERT_EQ(s->player->root().filters.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<swf::BlurFilter>(s->player->root().filters[0]));
}

TEST(DrawingClasses, GradientsThePlayerCannotMakeDrawNoFill) {
    // _root.beginGradientFill("linear", [0xFF0000, 0xFF], [100], [0, 255], {}) with lists of
    // different lengths, then a square: only the outline the line style makes is kept.
    const std::string begin =
        "push \"m\"\npush 0\ninitObject\nsetVariable\n"
        "push \"m\"\ngetVariable\npush 255, 0, 2\ninitArray\npush 100, 1\ninitArray\npush 255, 16711680, 2\ninitArray\n"
        "push \"linear\", 5, \"_root\"\ngetVariable\npush \"beginGradientFill\"\ncallMethod\npop\n";
    const std::string square =
        "push 10, 10, 2, \"_root\"\ngetVariable\npush \"lineTo\"\ncallMethod\npop\n"
        "push 0, 10, 2, \"_root\"\ngetVariable\npush \"lineTo\"\ncallMethod\npop\n"
        "push 0, \"_root\"\ngetVariable\npush \"endFill\"\ncallMethod\npop\n";
    auto s = run(begin + square);
    for (const auto& item : s->player->root().drawing().items())
        EXPECT_FALSE(std::holds_alternative<flash::DrawingFill>(item)) << "no fill from a refused gradient";
    EXPECT_TRUE(s->player->scriptErrors().empty());
}

// ---- bindings the classes rely on ----

std::string callOn(const std::string& target, const std::string& method, const std::string& reversedArgs, int count) {
    return (count ? "push " + reversedArgs + "\n" : "") + "push " + std::to_string(count) + ", \"" + target +
           "\"\ngetVariable\npush \"" + method + "\"\ncallMethod\n";
}

TEST(ClipBindings, SetMaskKeepsTheMaskUnlessGivenAnother) {
    const std::string make = callOn("_root", "createEmptyMovieClip", "2, \"a\"", 2) + "pop\n" +
                             callOn("_root", "createEmptyMovieClip", "3, \"m\"", 2) + "pop\n";
    auto s = run(make + "push \"m\"\ngetVariable\n" + callOn("a", "setMask", "", 1) + "trace\n" +
                 callOn("a", "setMask", "", 0) + "trace\n" + callOn("a", "setMask", "\"nothing\"", 1) + "trace\n");
    const std::vector<std::string> expected = {"true", "undefined", "false"};
    EXPECT_EQ(s->traces, expected);
    auto* a = s->player->root().childByName(kinolux::avm1::String(u"a"), true);
    auto* m = s->player->root().childByName(kinolux::avm1::String(u"m"), true);
    ASSERT_TRUE(a && m);
    EXPECT_EQ(a->maskObject(), m) << "neither no argument nor an unknown path takes the mask away";

    auto cleared = run(make + "push \"m\"\ngetVariable\n" + callOn("a", "setMask", "", 1) + "pop\n" +
                       callOn("a", "setMask", "null", 1) + "trace\n");
    EXPECT_EQ(cleared->traces, std::vector<std::string>{"true"});
    EXPECT_EQ(cleared->player->root().childByName(kinolux::avm1::String(u"a"), true)->maskObject(), nullptr);
}

TEST(ClipBindings, ColorOffsetsAreSignedAndOnlyOwnFieldsCount) {
    // c = new Color(_root); Object.prototype.gb = 99;
    // c.setTransform({rb: -50, bb: 25, ra: undefined}); trace(c.getRGB()); trace(c.getTransform().ra)
    auto s = run("push \"c\", \"_root\"\ngetVariable\npush 1, \"Color\"\nnewObject\nsetVariable\n"
                 "push \"Object\"\ngetVariable\npush \"prototype\"\ngetMember\npush \"gb\", 99\nsetMember\n"
                 "push \"rb\", -50, \"bb\", 25, \"ra\", undefined, 3\ninitObject\n" +
                 callOn("c", "setTransform", "", 1) + "pop\n" + callOn("c", "getRGB", "", 0) + "trace\n" +
                 callOn("c", "getTransform", "", 0) + "push \"ra\"\ngetMember\ntrace\n");
    const std::vector<std::string> expected = {std::to_string(std::int32_t(0xFFCE0019u)), "0"};
    EXPECT_EQ(s->traces, expected) << "a negative red offset fills the bits above it; gb is inherited and ignored";
}

TEST(ClipBindings, ASymbolExportedTwiceTakesTheClassOfEitherName) {
    swf::DefineSprite sprite;
    sprite.id = 2;
    sprite.frameCount = 1;
    sprite.tags = {swf::ShowFrame{}, swf::End{}};
    std::vector<swf::Tag> extra = {sprite, swf::ExportAssets{{{2, "first"}}}, swf::ExportAssets{{{2, "second"}}}};
    // function Made() { trace("made") }; Object.registerClass("second", Made);
    // _root.attachMovie("first", "x", 1); trace(x._name)
    auto s = run("function Made() {\npush \"made\"\ntrace\n}\n"
                 "push \"Made\"\ngetVariable\npush \"second\", 2, \"Object\"\ngetVariable\npush \"registerClass\"\n"
                 "callMethod\npop\n" +
                     callOn("_root", "attachMovie", "1, \"x\", \"first\"", 3) + "pop\n" + traceMember("x", "_name"),
                 extra);
    const std::vector<std::string> expected = {"made", "x"};
    EXPECT_EQ(s->traces, expected);
}

TEST(ClipBindings, TextFormatsSetTheFieldsLook) {
    // _root.createTextField("t", 1, 0, 0, 50, 20); f = new TextFormat(); f.font = "Face";
    // f.size = 30; f.leading = 4; f.align = "CENTER"; f.color = 0xFF; t.setNewTextFormat(f);
    // trace(t.getNewTextFormat().size); then a format with size NaN changes nothing.
    auto s = run(callOn("_root", "createTextField", "20, 50, 0, 0, 1, \"t\"", 6) + "pop\n" +
                 "push \"f\", 0, \"TextFormat\"\nnewObject\nsetVariable\n"
                 "push \"f\"\ngetVariable\npush \"font\", \"Face\"\nsetMember\n"
                 "push \"f\"\ngetVariable\npush \"size\", 30\nsetMember\n"
                 "push \"f\"\ngetVariable\npush \"leading\", 4\nsetMember\n"
                 "push \"f\"\ngetVariable\npush \"align\", \"CENTER\"\nsetMember\n"
                 "push \"f\"\ngetVariable\npush \"color\", 255\nsetMember\n"
                 "push \"f\"\ngetVariable\n" + callOn("t", "setNewTextFormat", "", 1) + "pop\n" +
                 callOn("t", "getNewTextFormat", "", 0) + "push \"size\"\ngetMember\ntrace\n");
    EXPECT_EQ(s->traces, std::vector<std::string>{"30"});
    auto* field = dynamic_cast<flash::EditText*>(s->player->root().childByName(kinolux::avm1::String(u"t"), true));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->style.face, QString("Face"));
    EXPECT_EQ(field->style.size, 30);
    EXPECT_EQ(field->style.leading, 4);
    EXPECT_EQ(field->style.align, swf::TextAlign::Center);
    EXPECT_EQ(field->style.color, QColor(0, 0, 255));
}

TEST(ClipBindings, ABoundFieldFollowsItsVariableAndKeepsTextARefusingOneDropped) {
    // _root.createTextField("t", 1, 0, 0, 50, 20); t.variable = "v"; v = "a"; trace(t.text);
    // t.text = "b"; trace(v); then v made read-only: t.text = "c" keeps "c" in the field.
    const std::string setText = "push \"t\"\ngetVariable\npush \"text\", ";
    auto s = run(callOn("_root", "createTextField", "20, 50, 0, 0, 1, \"t\"", 6) + "pop\n" +
                 "push \"t\"\ngetVariable\npush \"variable\", \"v\"\nsetMember\n"
                 "push \"v\", \"a\"\nsetVariable\n" + traceMember("t", "text") + setText + "\"b\"\nsetMember\n" +
                 "push \"v\"\ngetVariable\ntrace\n"
                 "push 7, \"v\", \"_root\"\ngetVariable\npush 3, \"ASSetPropFlags\"\ncallFunction\npop\n" + setText +
                 "\"c\"\nsetMember\n" + traceMember("t", "text") + "push \"v\"\ngetVariable\ntrace\n");
    const std::vector<std::string> expected = {"a", "b", "c", "b"};
    EXPECT_EQ(s->traces, expected);
}

// ---- dragging and uncaught exceptions ----

TEST(ScriptEvents, ADroppedClipKeepsWhatItWasDroppedOn) {
    auto s = run(callOn("_root", "createEmptyMovieClip", "2, \"c\"", 2) + "pop\n");
    auto* c = s->player->root().childByName(kinolux::avm1::String(u"c"), true);
    ASSERT_TRUE(c);
    kinolux::avm1::Host& host = flash::hostOf(*s->player);
    const kinolux::avm1::DisplayObjectBinding* stage = &avm1Binding(s->player->root());
    EXPECT_EQ(avm1Binding(*c).dropTarget(), nullptr) << "never dragged";
    host.startDrag(avm1Binding(*c), true, std::nullopt);
    s->player->mouseMove(5, 5);
    EXPECT_EQ(avm1Binding(*c).dropTarget(), stage) << "over the square the root shows";
    host.stopDrag();
    s->player->mouseMove(30, 30);
    EXPECT_EQ(avm1Binding(*c).dropTarget(), stage) << "kept after the drop, wherever the pointer goes";
}

TEST(ScriptEvents, AnUncaughtExceptionIsNamedAndEndsOnlyItsScript) {
    auto s = run("push \"before\"\ntrace\npush \"boom\"\nthrow\npush \"after\"\ntrace\n");
    const std::vector<std::string> expected = {"before", "Warning: Uncaught exception, boom"};
    EXPECT_EQ(s->traces, expected);
    EXPECT_TRUE(s->player->scriptErrors().empty()) << "a script's own exception is no fault of the player";
    s->player->tick();
    EXPECT_EQ(s->traces.size(), 2u);
}

TEST(ScriptEvents, TabAndClicksMoveTheFocusAndTellSelectionsListeners) {
    // Two input fields, the second placed above the first; a listener
    // traces each move of the focus.
    auto field = [](const std::string& name, int depth, int y) {
        return callOn("_root", "createTextField", "10, 20, " + std::to_string(y) + ", 0, " + std::to_string(depth) +
                                                       ", \"" + name + "\"",
                      6) +
               "pop\npush \"" + name + "\"\ngetVariable\npush \"type\", \"input\"\nsetMember\n";
    };
    const std::string listener =
        "push \"l\", 0, \"Object\"\nnewObject\nsetVariable\n"
        "push \"l\"\ngetVariable\npush \"onSetFocus\"\n"
        "function (a, b) {\n  push \"a\"\n  getVariable\n  push \" -> \"\n  add2\n  push \"b\"\n  getVariable\n  add2\n  trace\n}\n"
        "setMember\n"
        "push \"l\"\ngetVariable\npush 1, \"Selection\"\ngetVariable\npush \"addListener\"\ncallMethod\npop\n";
    auto s = run(field("low", 2, 30) + field("high", 3, 5) + listener);
    s->player->keyDown(9, 9);
    s->player->keyDown(9, 9);
    s->player->keyDown(9, 9);
    const std::vector<std::string> expected = {"null -> _level0.high", "_level0.high -> _level0.low",
                                               "_level0.low -> _level0.high"};
    EXPECT_EQ(s->traces, expected);

    s->player->mouseMove(15, 33);
    s->player->mouseDown();
    s->player->mouseUp();
    s->player->mouseMove(35, 15);
    s->player->mouseDown();
    const std::vector<std::string> clicked = {"null -> _level0.high", "_level0.high -> _level0.low",
                                              "_level0.low -> _level0.high", "_level0.high -> _level0.low",
                                              "_level0.low -> null"};
    EXPECT_EQ(s->traces, clicked) << "a click in a field focuses it, a click beside it takes the focus away";

    auto root = run(listener + "push \"_root\"\ngetVariable\n" + callOn("Selection", "setFocus", "", 1) + "trace\n");
    EXPECT_EQ(root->traces, std::vector<std::string>{"false"}) << "a level's root never holds the focus";
}

}  // namespace
