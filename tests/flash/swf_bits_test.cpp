// The bit-level reader and writer, and the writer's refusals of values the
// format cannot hold.
#include <gtest/gtest.h>

#include "flash/swf/byte_reader.h"
#include "flash/swf/byte_writer.h"
#include "flash/swf/error.h"
#include "tests/flash/test_movies.h"

using namespace swf;

TEST(SwfBits, BitFieldsSignsAndAlignment) {
    ByteWriter w;
    w.ubits(3, 5);
    w.sbits(7, -3);
    w.sbits(17, -65536);
    w.ubits(32, 0xdeadbeef);
    w.u8(0x42);  // realigns
    w.encodedU32(300);
    w.encodedU32(0xffffffffu);
    auto bytes = w.data();
    // 101 | 1111101 (-3 in 7 bits) | 1 followed by 16 zeros (-65536 in 17 bits,
    // 2^17 - 65536) | DEADBEEF | five zero bits to the byte; then 0x42; 300 as
    // 7-bit groups, low first with the top bit set on all but the last
    // (0x2C | 0x80, 0x02); 2^32 - 1 as four full groups and 0x0F.
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0xBF, 0x60, 0x00, 0x1B, 0xD5, 0xB7, 0xDD, 0xE0, 0x42, 0xAC, 0x02,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0x0F}));
    ByteReader r(bytes);
    EXPECT_EQ(r.ubits(3), 5u);
    EXPECT_EQ(r.sbits(7), -3);
    EXPECT_EQ(r.sbits(17), -65536);
    EXPECT_EQ(r.ubits(32), 0xdeadbeefu);
    EXPECT_EQ(r.u8(), 0x42);
    EXPECT_EQ(r.encodedU32(), 300u);
    EXPECT_EQ(r.encodedU32(), 0xffffffffu);
    EXPECT_TRUE(r.atEnd());
    EXPECT_THROW(r.u8(), Error);
    EXPECT_THROW(r.ubits(1), Error);
    ByteReader wide(bytes);
    EXPECT_THROW(wide.ubits(33), Error);
}

TEST(SwfBits, MatricesAndRectsTakeTheFewestBits) {
    ByteWriter identity;
    identity.matrix(Matrix{});
    // No scale, no rotation, a translation of 0 bits: seven zero bits.
    EXPECT_EQ(identity.data(), (std::vector<std::uint8_t>{0x00}));

    ByteWriter skewed;
    skewed.matrix(Matrix{65536, 65536, 0, 65536, 0, 0});
    // 0 (no scale) | 1 (rotation) | 10010 (18 bits: 65536 needs 17 and a
    // sign) | 65536, 0 in 18 bits each | 00000 (no translation) | padding.
    EXPECT_EQ(skewed.data(), (std::vector<std::uint8_t>{0x64, 0x80, 0x00, 0x00, 0x00, 0x00}));

    ByteWriter rect;
    rect.rect({-1, 1, -100000, 100000});
    // 10010 (18 bits for 100000 and its sign) | -1, 1, -100000, 100000 in
    // 18 bits each (-100000 is 2^18 - 100000 = 162144) | three bits padding.
    EXPECT_EQ(rect.data(), (std::vector<std::uint8_t>{0x97, 0xFF, 0xFE, 0x00, 0x00, 0xCF, 0x2C, 0x0C, 0x35, 0x00}));
}

TEST(SwfBits, MatricesRectsAndColourTransformsRoundTrip) {
    for (Matrix m : {Matrix{}, Matrix{-65536, 3, -4, 131072, -20000, 1}, Matrix{65536, 65536, 0, 65536, 0, 0}}) {
        ByteWriter w;
        w.matrix(m);
        auto bytes = w.data();
        ByteReader r(bytes);
        EXPECT_EQ(r.matrix(), m);
    }
    ByteWriter w;
    w.rect({-1, 1, -100000, 100000});
    w.colorTransform({-256, 0, 512, 256, -255, 255, 0, 1}, true);
    w.colorTransform({256, 256, 256, 77, 0, 0, 0, 99}, false);  // alpha is left out
    auto bytes = w.data();
    ByteReader r(bytes);
    EXPECT_EQ(r.rect(), (Rect{-1, 1, -100000, 100000}));
    EXPECT_EQ(r.colorTransform(true), (swf::ColorTransform{-256, 0, 512, 256, -255, 255, 0, 1}));
    EXPECT_EQ(r.colorTransform(false), (swf::ColorTransform{}));
}

TEST(SwfBits, StringsEndAtTheirTerminatorOrTheData) {
    const std::uint8_t data[] = {'a', 'b', 0, 'c', 'd'};
    ByteReader r(data);
    EXPECT_EQ(r.string(), "ab");
    EXPECT_EQ(r.string(), "cd");
    EXPECT_TRUE(r.atEnd());
}

TEST(SwfBits, TheWriterRefusesWhatTheFormatCannotHold) {
    using namespace testmovies;
    DefineText t;
    TextRecord rec;
    rec.glyphs.resize(256);
    t.records = {rec};
    EXPECT_THROW(writeMovie(header(), {t}), Error);
    FillStyle g;
    g.type = FillType::LinearGradient;
    g.gradient.records.resize(16);
    ShapeBuilder b;
    b.fill1(1).rectangle(0, 0, 10, 10);
    EXPECT_THROW(writeMovie(header(), {makeShape(1, 3, {{g}, {}}, b)}), Error);
    DefineMorphShape m;
    m.start.styles.fills = {solidFill({})};
    EXPECT_THROW(writeMovie(header(), {m}), Error) << "both ends need the same styles";
    DefineBitsLossless bits;
    bits.format = LosslessFormat::ColorMap8;
    bits.colorTableSize = 0;
    EXPECT_THROW(writeMovie(header(), {bits}), Error);
}
