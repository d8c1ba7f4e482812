// The renderer's parts on their own: shape records to paths, morphs,
// bitmap decoding, the text-field HTML subset and the stage mapping.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "flash/core/bitmap_decoder.h"
#include "flash/core/html_text.h"
#include "flash/core/morph.h"
#include "flash/core/shape_geometry.h"
#include "flash/render/filters.h"
#include "flash/render/view.h"
#include "flash/swf/shape_builder.h"
#include "flash/swf/write.h"
#include "tests/platform/test_application.h"

using namespace flash;
using namespace flash::render;

namespace {

QImage fill(const QPainterPath& path, int size = 40) {
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.scale(1 / 20.0, 1 / 20.0);
    p.fillPath(path, Qt::black);
    return img;
}

bool black(const QImage& img, int x, int y) { return qRed(img.pixel(x, y)) < 50; }

std::vector<std::uint8_t> encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST(ShapeGeometry, EdgesWithFillsOnBothSidesCloseIntoContours) {
    // Two squares side by side, the shared edge drawn once with fill0 on one
    // side and fill1 on the other, the outer edges in scattered order.
    swf::ShapeBuilder b;
    b.fill1(1).moveTo(0, 0).lineTo(200, 0);
    b.fill0(2).fill1(1).moveTo(200, 0).lineTo(200, 200);  // shared: left is 1, right is 2
    b.fill0(0).fill1(1).moveTo(200, 200).lineTo(0, 200).lineTo(0, 0);
    b.fill0(0).fill1(2).moveTo(200, 0).lineTo(400, 0).lineTo(400, 200).lineTo(200, 200);
    swf::ShapeStyles styles{{swf::solidFill({255, 0, 0, 255}), swf::solidFill({0, 0, 255, 255})}, {}};
    ShapeGeometry g = buildShapeGeometry(styles, b.records(), false);
    ASSERT_EQ(g.groups.size(), 1u);
    ASSERT_EQ(g.groups[0].fills.size(), 2u);
    QImage left = fill(g.groups[0].fills[0].path), right = fill(g.groups[0].fills[1].path);
    EXPECT_TRUE(black(left, 5, 5));
    EXPECT_FALSE(black(left, 15, 5));
    EXPECT_TRUE(black(right, 15, 5));
    EXPECT_FALSE(black(right, 5, 5));
    EXPECT_FALSE(black(right, 25, 5));
}

TEST(ShapeGeometry, HolesAndNewStylesAndStrokes) {
    swf::ShapeBuilder b;
    b.fill1(1).line(1).rectangle(0, 0, 600, 600);
    b.fill1(0).fill0(1).line(0).moveTo(200, 200).lineTo(200, 400).lineTo(400, 400).lineTo(400, 200).lineTo(200, 200);
    swf::ShapeStyles styles{{swf::solidFill({1, 1, 1, 255})}, {swf::solidLine(20, {})}};
    std::vector<swf::ShapeRecord> records = b.records();
    swf::StyleChange change;
    change.newStyles = swf::ShapeStyles{{swf::solidFill({2, 2, 2, 255})}, {}};
    change.fill1 = 1;
    change.moveTo = std::pair{700, 0};
    records.push_back(change);
    records.push_back(swf::StraightEdge{50, 0});
    records.push_back(swf::StraightEdge{0, 50});
    records.push_back(swf::StraightEdge{-50, -50});
    ShapeGeometry g = buildShapeGeometry(styles, records, false);
    ASSERT_EQ(g.groups.size(), 2u) << "new styles start a group drawn above the first";
    QImage outer = fill(g.groups[0].fills[0].path);
    EXPECT_TRUE(black(outer, 5, 5));
    EXPECT_FALSE(black(outer, 15, 15)) << "the inner square is a hole";
    ASSERT_EQ(g.groups[0].strokes.size(), 1u) << "the hole's edges carry no line";
    EXPECT_EQ(g.groups[0].strokes[0].path.boundingRect(), QRectF(0, 0, 600, 600));
    EXPECT_EQ(g.groups[1].fills[0].style.color.r, 2);
}

TEST(Morph, EndsAreTheStartAndEndShapes) {
    swf::DefineMorphShape m;
    swf::ShapeBuilder a, z;
    a.fill1(1).moveTo(0, 0).lineTo(100, 0).curveTo(150, 50, 100, 100).lineTo(0, 0);
    z.moveTo(10, 20).lineTo(300, 20).lineTo(300, 300).curveTo(100, 200, 10, 20);
    m.start.records = a.records();
    m.end.records = z.records();
    m.start.styles.fills = {swf::solidFill({0, 0, 0, 255})};
    m.end.styles.fills = {swf::solidFill({200, 100, 50, 100})};
    auto at = [&](std::uint16_t ratio) {
        MorphFrame f = interpolateMorph(m, ratio);
        return buildShapeGeometry(f.styles, f.records, false).groups.at(0).fills.at(0);
    };
    QRectF start = at(0).path.boundingRect(), end = at(65535).path.boundingRect();
    EXPECT_EQ(start.topLeft(), QPointF(0, 0));
    EXPECT_NEAR(end.left(), 10, 1e-9);
    EXPECT_NEAR(end.bottom(), 300, 1e-9);
    EXPECT_EQ(at(65535).style.color, (swf::Color{200, 100, 50, 100}));
    EXPECT_EQ(at(32768).style.color.g, 50);
}

TEST(BitmapDecoder, LosslessFormatsWithRowPadding) {
    // 3x2 colour-mapped: rows padded to 4 bytes, two palette entries.
    std::vector<std::uint8_t> mapped = {255, 0, 0, 0, 0, 255, /*row 0*/ 0, 1, 0, 9, /*row 1*/ 1, 1, 1, 9};
    swf::DefineBitsLossless bits{1, 1, swf::LosslessFormat::ColorMap8, 3, 2, 2, {}};
    auto z = swf::zlibCompress(mapped);
    bits.zlibData = z;
    QImage img = decodeLosslessBitmap(bits);
    ASSERT_EQ(img.size(), QSize(3, 2));
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(2, 1), qRgb(0, 0, 255));
    // 15-bit colour, big-endian words, rows padded: pure green, then white.
    std::vector<std::uint8_t> rgb15 = {0x03, 0xe0, 0x7f, 0xff};
    auto z15 = swf::zlibCompress(rgb15);
    swf::DefineBitsLossless b15{1, 1, swf::LosslessFormat::Rgb15, 2, 1, 0, z15};
    img = decodeLosslessBitmap(b15);
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(BitmapDecoder, DamagedOrHugeBitmapsAreRefusedWithAReason) {
    std::string error;
    std::vector<std::uint8_t> junk(40, 0x55);
    swf::DefineBitsLossless bits{2, 1, swf::LosslessFormat::Rgb32, 10, 10, 0, junk};
    EXPECT_TRUE(decodeLosslessBitmap(bits, &error).isNull());
    EXPECT_NE(error.find("damaged"), std::string::npos);
    auto little = swf::zlibCompress(std::vector<std::uint8_t>(16, 0));
    swf::DefineBitsLossless huge{2, 1, swf::LosslessFormat::Rgb32, 65535, 65535, 0, little};
    EXPECT_TRUE(decodeLosslessBitmap(huge, &error).isNull());
    EXPECT_NE(error.find("limits"), std::string::npos);
    swf::DefineBitsJpeg jpeg;
    jpeg.data = junk;
    EXPECT_TRUE(decodeJpegBitmap(jpeg, {}, &error).isNull());
    EXPECT_FALSE(error.empty());
}

TEST(BitmapDecoder, JpegPngAndSeparateAlpha) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    QImage source(8, 8, QImage::Format_RGB32);
    source.fill(qRgb(200, 40, 40));
    // JPEG data as Flash tools write it, with a stray end-and-start marker pair first.
    auto jpegBytes = encoded(source, "JPG");
    jpegBytes.insert(jpegBytes.begin(), {0xff, 0xd9, 0xff, 0xd8});
    swf::DefineBitsJpeg j2;
    j2.data = jpegBytes;
    QImage img = decodeJpegBitmap(j2, {});
    ASSERT_EQ(img.size(), QSize(8, 8));
    EXPECT_NEAR(qRed(img.pixel(4, 4)), 200, 8);
    // Version 3 adds a zlib alpha plane; colours stay premultiplied.
    auto alpha = swf::zlibCompress(std::vector<std::uint8_t>(64, 128));
    swf::DefineBitsJpeg j3 = j2;
    j3.version = 3;
    j3.alphaData = alpha;
    img = decodeJpegBitmap(j3, {});
    EXPECT_EQ(qAlpha(img.pixel(4, 4)), 128);
    EXPECT_LE(qRed(img.pixel(4, 4)), 128);
    // PNG data in a JPEG tag.
    auto png = encoded(source, "PNG");
    swf::DefineBitsJpeg p2;
    p2.data = png;
    img = decodeJpegBitmap(p2, {});
    EXPECT_EQ(img.pixel(0, 0), qRgb(200, 40, 40));
}

TEST(HtmlText, TheBasicTagsAndEntities) {
    TextStyle base;
    base.size = 12;
    auto paragraphs = htmlParagraphs(
        "<p align=\"center\"><font face=\"Arial\" size=\"20\" color=\"#FF0000\">Big <b>bold</b></font></p>"
        "<p>a&lt;b &amp; c<br>next<i>it</i><u>u</u><unknown>kept</unknown></p>",
        base);
    ASSERT_EQ(paragraphs.size(), 3u);
    EXPECT_EQ(paragraphs[0].align, swf::TextAlign::Center);
    ASSERT_EQ(paragraphs[0].runs.size(), 2u);
    EXPECT_EQ(paragraphs[0].runs[0].text, "Big ");
    EXPECT_EQ(paragraphs[0].runs[0].format.size, 20);
    EXPECT_EQ(paragraphs[0].runs[0].format.face, "Arial");
    EXPECT_EQ(paragraphs[0].runs[0].format.color, QColor(255, 0, 0));
    EXPECT_TRUE(paragraphs[0].runs[1].format.bold);
    EXPECT_EQ(paragraphs[1].align, swf::TextAlign::Left);
    EXPECT_EQ(paragraphs[1].runs[0].text, "a<b & c");
    EXPECT_EQ(paragraphs[1].runs[0].format.size, 12) << "the font tag's size ends with it";
    QString second;
    for (const auto& r : paragraphs[2].runs) second += r.text;
    EXPECT_EQ(second, "nextitukept");
    EXPECT_TRUE(paragraphs[2].runs[1].format.italic);
    EXPECT_TRUE(paragraphs[2].runs[2].format.underline);
    auto plain = plainParagraphs("one\rtwo\r\nthree\nfour", base);
    EXPECT_EQ(plain.size(), 4u);
    EXPECT_EQ(plain[3].runs[0].text, "four");
}

TEST(View, ScaleModesMapTheStage) {
    QRectF stage(0, 0, 2000, 1000);  // 100 x 50 pixels
    auto corner = [&](ScaleMode m, QSize size, double zoom = 1) {
        QTransform t = viewTransform(stage, size, m, zoom);
        return std::pair{t.map(QPointF(0, 0)), t.map(QPointF(2000, 1000))};
    };
    auto [a0, a1] = corner(ScaleMode::ShowAll, QSize(200, 200));
    EXPECT_EQ(a0, QPointF(0, 50));
    EXPECT_EQ(a1, QPointF(200, 150));
    auto [b0, b1] = corner(ScaleMode::NoBorder, QSize(200, 200));
    EXPECT_EQ(b0, QPointF(-100, 0));
    EXPECT_EQ(b1, QPointF(300, 200));
    auto [c0, c1] = corner(ScaleMode::ExactFit, QSize(200, 200));
    EXPECT_EQ(c0, QPointF(0, 0));
    EXPECT_EQ(c1, QPointF(200, 200));
    auto [d0, d1] = corner(ScaleMode::NoScale, QSize(200, 200));
    EXPECT_EQ(d0, QPointF(50, 75));
    EXPECT_EQ(d1, QPointF(150, 125));
    auto [e0, e1] = corner(ScaleMode::ShowAll, QSize(100, 50), 2);
    EXPECT_EQ(e0, QPointF(-50, -25));
    EXPECT_EQ(e1, QPointF(150, 75));
    // A stage whose frame does not start at 0 is moved to the picture's corner.
    QTransform t = viewTransform(QRectF(200, 400, 2000, 1000), QSize(100, 50), ScaleMode::ShowAll, 1);
    EXPECT_EQ(t.map(QPointF(200, 400)), QPointF(0, 0));
}

namespace {

// One white column in black, blurred across by `width` pixels in one pass:
// the reds of the eight pixels around it.
std::vector<int> blurredColumn(int width) {
    QImage image(9, 3, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    for (int y = 0; y < 3; ++y) image.setPixel(4, y, qRgb(255, 255, 255));
    flash::render::applyFilter(image, swf::BlurFilter{width << 16, 0, 1}, 1.0);
    std::vector<int> reds;
    for (int x = 0; x < 9; ++x) reds.push_back(qRed(image.pixel(x, 1)));
    return reds;
}

}  // namespace

TEST(BlurFilter, BoxesAreCentredOnEachPixel) {
    // Odd widths take whole pixels on both sides; even ones half a pixel more.
    EXPECT_EQ(blurredColumn(3), (std::vector<int>{0, 0, 0, 85, 85, 85, 0, 0, 0}));
    EXPECT_EQ(blurredColumn(2), (std::vector<int>{0, 0, 0, 64, 128, 64, 0, 0, 0}));
}
