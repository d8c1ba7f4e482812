// The artwork: every picture the windows name exists, and a mask's outline
// is exactly its non-white pixels.
#include "controlkit/artwork.h"
#include "controlkit/outline_region.h"
#include "tests/controlkit/kit_support.h"

#include <gtest/gtest.h>

namespace kinolux {
namespace {

using namespace artwork;

TEST(Artwork, EveryPictureTheWindowsNameIsThereAndSharp)
{
    testing::EnsureApplication<QApplication>();
    for (int id : {kButtonHover, kButtonPressed, kButtonMask, kButtonNormal, kWebHover, kWebPressed, kWebMask,
                   kWebNormal, kMenuHover, kMenuPressed, kMenuMask, kMenuNormal, kPreviewNormal, kPreviewHover,
                   kPreviewFocus, kPreviewPressed, kPreviewDisabled, kPreviewMask, kIconSetDefault, kIconAdd,
                   kIconRemove, kIconConvert, kIconOptions, kIconFormats, kIconPlay, kIconPause, kIconFirst,
                   kIconPrevious, kIconNext, kIconLast, kIconMarkIn, kIconMarkOut, kIconCapture, kIconZoomIn,
                   kIconZoomOut, kIconZoomReset, kIconShowAll, kIconRealSize, kIconStretch, kApplication, kBanner,
                   kListBackground}) {
        EXPECT_TRUE(Exists(id)) << id;
        const QImage twice = Render(id, NaturalSize(id), 2.0);
        EXPECT_EQ(twice.size(), NaturalSize(id) * 2) << id;
    }
    EXPECT_FALSE(Exists(9999));
    EXPECT_TRUE(Render(9999, QSize(10, 10), 1.0).isNull());
    const QIcon icon = ApplicationIcon();
    // Drawn for each size rather than scaled from one picture.
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(side, side))) << side;
        const QImage drawn = icon.pixmap(QSize(side, side), 1.0).toImage();
        EXPECT_EQ(drawn.size(), QSize(side, side)) << side;
        EXPECT_EQ(drawn, Render(kApplication, QSize(side, side), 1.0).convertToFormat(drawn.format())) << side;
    }
}

TEST(Artwork, AMasksOutlineIsItsNonWhitePixels)
{
    QImage mask(6, 4, QImage::Format_RGB32);
    mask.fill(Qt::white);
    mask.setPixel(1, 0, qRgb(0, 0, 0));
    mask.setPixel(2, 0, qRgb(254, 255, 255));
    mask.setPixel(4, 0, qRgb(0, 0, 0));
    for (int x = 0; x < 6; ++x) mask.setPixel(x, 2, qRgb(10, 10, 10));
    const QRegion outline = OutlineRegion(mask);
    EXPECT_EQ(outline, QRegion(1, 0, 2, 1).united(QRegion(4, 0, 1, 1)).united(QRegion(0, 2, 6, 1)));
    EXPECT_TRUE(OutlineRegion(QImage()).isEmpty());
}

}  // namespace
}  // namespace kinolux
