// The image buffer: layout, reading grabbed pictures, the two-background
// merge, and every file format written and read back.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <QImage>
#include <filesystem>

#include "engine/cx_image.h"
#include "engine/two_background_alpha.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

RGBQUAD Bgra(uint8_t b, uint8_t g, uint8_t r, uint8_t a = 0) { return RGBQUAD{b, g, r, a}; }

// A 24-bit image whose every pixel has its own colour and alpha.
CxImage Pattern(uint32_t width, uint32_t height, bool withAlpha) {
    CxImage image(width, height, 24);
    if (withAlpha) image.AlphaCreate();
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            image.SetPixelColor(int32_t(x), int32_t(y),
                                Bgra(uint8_t(x * 7), uint8_t(y * 11), uint8_t(x * 3 + y * 5), uint8_t(x * 13 + y * 17)),
                                true);
    return image;
}

// Checks `picture` (top row first, as Qt reads files) against `image`.
void ExpectSamePixels(const CxImage& image, const QImage& picture, bool checkAlpha, int tolerance = 0) {
    ASSERT_FALSE(picture.isNull());
    ASSERT_EQ(uint32_t(picture.width()), image.GetWidth());
    ASSERT_EQ(uint32_t(picture.height()), image.GetHeight());
    for (uint32_t y = 0; y < image.GetHeight(); ++y) {
        for (uint32_t x = 0; x < image.GetWidth(); ++x) {
            RGBQUAD want = image.GetPixelColor(int32_t(x), int32_t(y));
            QRgb got = picture.pixel(int(x), int(image.GetHeight() - 1 - y));
            ASSERT_NEAR(qBlue(got), want.rgbBlue, tolerance) << x << "," << y;
            ASSERT_NEAR(qGreen(got), want.rgbGreen, tolerance) << x << "," << y;
            ASSERT_NEAR(qRed(got), want.rgbRed, tolerance) << x << "," << y;
            if (checkAlpha) {
                ASSERT_EQ(qAlpha(got), want.rgbReserved) << x << "," << y;
            }
        }
    }
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    return names;
}

TEST(CxImage, DepthIsRoundedAndRowsArePaddedToFourBytes) {
    CxImage image(0);
    ASSERT_NE(image.Create(100, 10, 32, 0), nullptr);
    EXPECT_EQ(image.GetBpp(), 24u);
    EXPECT_EQ(image.GetEffWidth(), 300u);
    EXPECT_TRUE(image.GetPalette().empty());
    image.Create(101, 10, 24, 0);
    EXPECT_EQ(image.GetEffWidth(), 304u);
    EXPECT_EQ(image.GetBits(1) - image.GetBits(0), 304);
    EXPECT_EQ(image.GetBits(10), nullptr);

    struct Case { uint32_t asked, made, stride, paletteSize; };
    for (Case c : {Case{1, 1, 4, 2}, Case{2, 4, 4, 16}, Case{4, 4, 4, 16}, Case{5, 8, 8, 256}, Case{8, 8, 8, 256},
                   Case{9, 24, 16, 0}, Case{16, 24, 16, 0}}) {
        CxImage made(5, 3, c.asked);
        EXPECT_EQ(made.GetBpp(), c.made) << c.asked;
        EXPECT_EQ(made.GetEffWidth(), c.stride) << c.asked;
        EXPECT_EQ(made.GetPalette().size(), c.paletteSize) << c.asked;
        EXPECT_EQ(made.GetPixelColor(4, 2), RGBQUAD{}) << "created zeroed";
    }
    EXPECT_FALSE(CxImage(0, 5, 24).IsValid());
    EXPECT_FALSE(CxImage(100000, 100000, 24).IsValid()) << "refused, not allocated";
}

TEST(CxImage, PixelsAlphaAndPalettes) {
    CxImage image(3, 2, 24);
    image.SetPixelColor(2, 1, Bgra(1, 2, 3, 4), true);
    EXPECT_EQ(image.GetPixelColor(2, 1), Bgra(1, 2, 3, 0)) << "no alpha plane yet";
    const uint8_t* top = image.GetBits(1);
    EXPECT_EQ(top[6], 1);
    EXPECT_EQ(top[8], 3) << "stored blue, green, red";
    ASSERT_TRUE(image.AlphaCreate());
    EXPECT_EQ(image.GetPixelColor(0, 0).rgbReserved, 255) << "a new plane is opaque";
    image.SetPixelColor(2, 1, Bgra(1, 2, 3, 4), true);
    EXPECT_EQ(image.GetPixelColor(2, 1), Bgra(1, 2, 3, 4));
    EXPECT_EQ(image.GetPixelColor(2, 1, false).rgbReserved, 0);
    image.SetPixelColor(-1, 0, Bgra(9, 9, 9));
    image.SetPixelColor(3, 0, Bgra(9, 9, 9));
    EXPECT_EQ(image.GetPixelColor(3, 0), RGBQUAD{});
    EXPECT_EQ(RGBtoRGBQUAD(0x00112233), Bgra(0x11, 0x22, 0x33));

    CxImage indexed(9, 2, 4);
    EXPECT_FALSE(indexed.AlphaCreate());
    indexed.GetPalette()[5] = Bgra(0, 0, 200);
    indexed.GetPalette()[9] = Bgra(0, 200, 0);
    indexed.SetPixelColor(7, 1, Bgra(0, 0, 190));
    indexed.SetPixelColor(8, 1, Bgra(10, 220, 0));
    EXPECT_EQ(indexed.GetPixelColor(7, 1), Bgra(0, 0, 200)) << "nearest entry";
    EXPECT_EQ(indexed.GetPixelColor(8, 1), Bgra(0, 200, 0));
    EXPECT_EQ(indexed.GetBits(1)[3], 0x05) << "two pixels a byte, the left one high";
    EXPECT_EQ(indexed.GetBits(1)[4], 0x90);
}

TEST(CxImage, ReadsAGrabAsA24BitBottomUpPicture) {
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
        QImage grab(3, 2, format);
        grab.setPixel(0, 0, qRgb(10, 20, 30));  // top left
        grab.setPixel(1, 0, qRgb(40, 50, 60));
        grab.setPixel(2, 0, qRgb(70, 80, 90));
        grab.setPixel(0, 1, qRgb(1, 2, 3));  // bottom left
        grab.setPixel(1, 1, qRgb(4, 5, 6));
        grab.setPixel(2, 1, qRgb(7, 8, 9));
        CxImage image;
        ASSERT_TRUE(image.CreateFromHBITMAP(&grab)) << format;
        EXPECT_EQ(image.GetBpp(), 24u);
        EXPECT_EQ(image.GetEffWidth(), 12u);
        const std::vector<uint8_t> bottom(image.GetBits(0), image.GetBits(0) + 9);
        EXPECT_EQ(bottom, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7})) << format;
        EXPECT_EQ(image.GetPixelColor(2, 1), Bgra(90, 80, 70)) << format;
        EXPECT_FALSE(image.AlphaIsValid());
    }
    CxImage image(4, 4, 24);
    EXPECT_FALSE(image.CreateFromHBITMAP(nullptr));
    EXPECT_FALSE(image.IsValid());
    QImage empty;
    EXPECT_FALSE(image.CreateFromHBITMAP(&empty));
    EXPECT_FALSE(image.IsValid());
}

// Grabs are converted several pixels at a time: every width keeps every
// pixel, the last ones of a row too, and writes nothing past a row.
TEST(CxImage, ReadsGrabsOfEveryWidthPixelForPixel) {
    for (int width = 1; width <= 37; ++width) {
        QImage grab(width, 3, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < width; ++x) grab.setPixel(x, y, qRgb(x * 7 + y, 255 - x * 5, (x * 13 + y * 29) & 0xFF));
        CxImage image;
        ASSERT_TRUE(image.CreateFromHBITMAP(&grab)) << width;
        for (int y = 0; y < 3; ++y) {
            const uint8_t* row = image.GetBits(uint32_t(2 - y));
            for (int x = 0; x < width; ++x) {
                const QRgb pixel = grab.pixel(x, y);
                ASSERT_EQ(row[3 * x], qBlue(pixel)) << width << " " << x << "," << y;
                ASSERT_EQ(row[3 * x + 1], qGreen(pixel)) << width << " " << x << "," << y;
                ASSERT_EQ(row[3 * x + 2], qRed(pixel)) << width << " " << x << "," << y;
            }
            for (uint32_t pad = uint32_t(3 * width); pad < image.GetEffWidth(); ++pad)
                ASSERT_EQ(row[pad], 0) << "padding of width " << width;
        }
    }
}

TEST(TwoBackgrounds, OpaqueTransparentAndHalfCoveredPixels) {
    CxImage onBlack(4, 1, 24), onWhite(4, 1, 24);
    // 0: opaque red on both. 1: nothing drawn. 2: half-covered blue-green.
    // 3: same blue, different green (counts as opaque).
    onBlack.SetPixelColor(0, 0, Bgra(0, 0, 255));
    onWhite.SetPixelColor(0, 0, Bgra(0, 0, 255));
    onBlack.SetPixelColor(1, 0, Bgra(0, 0, 0));
    onWhite.SetPixelColor(1, 0, Bgra(255, 255, 255));
    onBlack.SetPixelColor(2, 0, Bgra(100, 50, 0));
    onWhite.SetPixelColor(2, 0, Bgra(228, 178, 128));
    onBlack.SetPixelColor(3, 0, Bgra(9, 1, 9));
    onWhite.SetPixelColor(3, 0, Bgra(9, 2, 9));

    CxImage frame;
    ASSERT_TRUE(MergeTwoBackgrounds(onBlack, onWhite, DifferingPixelColour::FromWhite, frame));
    ASSERT_TRUE(frame.AlphaIsValid());
    EXPECT_EQ(frame.GetBpp(), 24u);
    EXPECT_EQ(frame.GetPixelColor(0, 0), Bgra(0, 0, 255, 255));
    EXPECT_EQ(frame.GetPixelColor(1, 0), Bgra(255, 255, 255, 0));
    EXPECT_EQ(frame.GetPixelColor(2, 0), Bgra(228, 178, 128, 127));
    EXPECT_EQ(frame.GetPixelColor(3, 0), Bgra(9, 2, 9, 255));

    CxImage picture;
    ASSERT_TRUE(MergeTwoBackgrounds(onBlack, onWhite, DifferingPixelColour::FromBlack, picture));
    EXPECT_EQ(picture.GetPixelColor(1, 0), Bgra(0, 0, 0, 0));
    EXPECT_EQ(picture.GetPixelColor(2, 0), Bgra(100, 50, 0, 127));

    CxImage wider(5, 1, 24);
    EXPECT_FALSE(MergeTwoBackgrounds(onBlack, wider, DifferingPixelColour::FromWhite, frame));
    EXPECT_FALSE(frame.IsValid()) << "grabs of different sizes give no frame rather than a read past the end";
    EXPECT_FALSE(MergeTwoBackgrounds(CxImage(), onWhite, DifferingPixelColour::FromWhite, frame));
}

TEST(CxImageSave, BmpAndPngReadBackWithQt) {
    testing::ScopedTempFolder dir;
    CxImage image = Pattern(13, 7, true);
    ASSERT_TRUE(image.Save(dir / "a.bmp", CXIMAGE_FORMAT_BMP)) << image.GetLastError();
    ExpectSamePixels(image, QImage(QString::fromStdString(dir / "a.bmp")), false);
    ASSERT_TRUE(image.Save(dir / "a.png", CXIMAGE_FORMAT_PNG)) << image.GetLastError();
    QImage png(QString::fromStdString(dir / "a.png"));
    EXPECT_TRUE(png.hasAlphaChannel());
    ExpectSamePixels(image, png.convertToFormat(QImage::Format_ARGB32), true);

    CxImage opaque = Pattern(13, 7, false);
    ASSERT_TRUE(opaque.Save(dir / "b.png", CXIMAGE_FORMAT_PNG));
    QImage opaquePng(QString::fromStdString(dir / "b.png"));
    EXPECT_FALSE(opaquePng.hasAlphaChannel());
    ExpectSamePixels(opaque, opaquePng, false);

    CxImage indexed(10, 3, 8);
    for (int i = 0; i < 256; ++i) indexed.GetPalette()[i] = Bgra(uint8_t(i), uint8_t(255 - i), uint8_t(i / 2));
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 10; ++x) indexed.GetBits(y)[x] = uint8_t(x * 25 + y);
    for (auto [name, type] : {std::pair{"c.bmp", CXIMAGE_FORMAT_BMP}, std::pair{"c.png", CXIMAGE_FORMAT_PNG}}) {
        ASSERT_TRUE(indexed.Save(dir / name, type)) << name << indexed.GetLastError();
        ExpectSamePixels(indexed, QImage(QString::fromStdString(dir / name)), false);
    }
}

TEST(CxImageSave, JpegIsCloseToTheOriginal) {
    testing::ScopedTempFolder dir;
    CxImage image(32, 16, 24);
    for (uint32_t y = 0; y < 16; ++y)
        for (uint32_t x = 0; x < 32; ++x) image.SetPixelColor(int32_t(x), int32_t(y), Bgra(200, uint8_t(x * 4), 40));
    ASSERT_TRUE(image.Save(dir / "a.jpg", CXIMAGE_FORMAT_JPG)) << image.GetLastError();
    ExpectSamePixels(image, QImage(QString::fromStdString(dir / "a.jpg")), false, 12);
}

TEST(CxImageSave, TiffKeepsColourAndAlpha) {
    testing::ScopedTempFolder dir;
    CxImage image = Pattern(11, 5, true);
    ASSERT_TRUE(image.Save(dir / "a.tif", CXIMAGE_FORMAT_TIF)) << image.GetLastError();
    TIFF* tiff = TIFFOpen((dir / "a.tif").c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    uint16_t samples = 0, extra = 0;
    uint16_t* extraKinds = nullptr;
    TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extra, &extraKinds);
    EXPECT_EQ(samples, 4);
    ASSERT_EQ(extra, 1);
    EXPECT_EQ(extraKinds[0], EXTRASAMPLE_UNASSALPHA);
    std::vector<uint8_t> row(11 * 4);
    for (uint32_t top = 0; top < 5; ++top) {
        ASSERT_EQ(TIFFReadScanline(tiff, row.data(), top, 0), 1);
        for (uint32_t x = 0; x < 11; ++x) {
            RGBQUAD want = image.GetPixelColor(int32_t(x), int32_t(4 - top));
            EXPECT_EQ(row[x * 4 + 0], want.rgbRed);
            EXPECT_EQ(row[x * 4 + 1], want.rgbGreen);
            EXPECT_EQ(row[x * 4 + 2], want.rgbBlue);
            EXPECT_EQ(row[x * 4 + 3], want.rgbReserved);
        }
    }
    TIFFClose(tiff);
}

struct TgaFile {
    std::vector<uint8_t> bytes;
    int type() const { return bytes[2]; }
    int width() const { return bytes[12] | bytes[13] << 8; }
    int height() const { return bytes[14] | bytes[15] << 8; }
    int depth() const { return bytes[16]; }
    int descriptor() const { return bytes[17]; }
};

TgaFile ReadTga(const std::string& path) {
    std::string text = testing::ReadTextFile(path);
    return TgaFile{std::vector<uint8_t>(text.begin(), text.end())};
}

TEST(CxImageSave, TgaWritesBottomUpPixelsWithAlphaWhenPresent) {
    testing::ScopedTempFolder dir;
    CxImage image = Pattern(5, 3, true);
    ASSERT_TRUE(image.Save(dir / "a.tga", CXIMAGE_FORMAT_TGA));
    TgaFile alpha = ReadTga(dir / "a.tga");
    ASSERT_EQ(alpha.bytes.size(), 18u + 5 * 3 * 4);
    EXPECT_EQ(alpha.type(), 2);
    EXPECT_EQ(alpha.width(), 5);
    EXPECT_EQ(alpha.height(), 3);
    EXPECT_EQ(alpha.depth(), 32);
    EXPECT_EQ(alpha.descriptor(), 8) << "eight alpha bits, bottom-left origin";
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            RGBQUAD want = image.GetPixelColor(x, y);
            const uint8_t* got = &alpha.bytes[18 + (y * 5 + x) * 4];
            EXPECT_EQ((RGBQUAD{got[0], got[1], got[2], got[3]}), want) << x << "," << y;
        }

    CxImage opaque = Pattern(5, 3, false);
    ASSERT_TRUE(opaque.Save(dir / "b.tga", CXIMAGE_FORMAT_TGA));
    TgaFile plain = ReadTga(dir / "b.tga");
    ASSERT_EQ(plain.bytes.size(), 18u + 5 * 3 * 3) << "rows are not padded";
    EXPECT_EQ(plain.depth(), 24);
    EXPECT_EQ(plain.descriptor(), 0);
    EXPECT_EQ(plain.bytes[18 + 3 * 5 + 2], opaque.GetPixelColor(0, 1).rgbRed);

    CxImage indexed(4, 2, 8);
    indexed.GetPalette()[3] = Bgra(1, 2, 3);
    indexed.GetBits(1)[2] = 3;
    ASSERT_TRUE(indexed.Save(dir / "c.tga", CXIMAGE_FORMAT_TGA));
    TgaFile mapped = ReadTga(dir / "c.tga");
    ASSERT_EQ(mapped.bytes.size(), 18u + 256 * 3 + 8);
    EXPECT_EQ(mapped.type(), 1);
    EXPECT_EQ(mapped.bytes[18 + 9], 1) << "colour map entries blue, green, red";
    EXPECT_EQ(mapped.bytes[18 + 768 + 4 + 2], 3);

    CxImage sixteenColours(4, 2, 4);
    EXPECT_FALSE(sixteenColours.Save(dir / "d.tga", CXIMAGE_FORMAT_TGA));
    EXPECT_FALSE(std::filesystem::exists(dir / "d.tga"));
    EXPECT_NE(sixteenColours.GetLastError().find("8 or 24"), std::string::npos);
}

TEST(CxImageSave, AFailedSaveLeavesNothingBehindAndKeepsTheOldFile) {
    testing::ScopedTempFolder dir;
    CxImage image = Pattern(4, 4, false);
    EXPECT_FALSE(image.Save(dir / "missing/a.png", CXIMAGE_FORMAT_PNG));
    EXPECT_FALSE(image.Save(dir / "a.gif", 2));
    EXPECT_FALSE(CxImage().Save(dir / "empty.bmp", CXIMAGE_FORMAT_BMP));
    testing::WriteTextFile(dir / "old.jpg", "keep me");
    CxImage tooWide(70000, 1, 24);
    EXPECT_FALSE(tooWide.Save(dir / "old.jpg", CXIMAGE_FORMAT_JPG)) << "JPEG is limited to 65500 pixels";
    EXPECT_NE(tooWide.GetLastError().find("JPEG"), std::string::npos) << tooWide.GetLastError();
    EXPECT_EQ(testing::ReadTextFile(dir / "old.jpg"), "keep me");
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"old.jpg"}) << "no temporary file is left";

    ASSERT_TRUE(image.Save(dir / "old.jpg", CXIMAGE_FORMAT_JPG));
    EXPECT_FALSE(QImage(QString::fromStdString(dir / "old.jpg")).isNull()) << "a successful save replaces it";
}

TEST(CxImage, ToQImageIsTopRowFirst) {
    CxImage image = Pattern(6, 4, true);
    QImage picture = image.ToQImage();
    EXPECT_EQ(picture.format(), QImage::Format_ARGB32);
    ExpectSamePixels(image, picture, true);
    EXPECT_EQ(Pattern(6, 4, false).ToQImage().format(), QImage::Format_RGB32);
}

}  // namespace
}  // namespace kinolux
