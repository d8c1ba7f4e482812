// SkinSlider: the thumb and the selection band where the values put them,
// the mouse moving the thumb, and the shades of the thumb's rim.
#include "controlkit/shades.h"
#include "controlkit/skin_slider.h"
#include "tests/controlkit/kit_support.h"

#include <gtest/gtest.h>

#include <QTest>

namespace kinolux {
namespace {

class SkinSliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::EnsureApplication<QApplication>();
        window_ = testing::ShownWindow();
        slider_ = new SkinSlider(window_.get());
        // 200 pixels of travel for 100 values: two pixels a value.
        slider_->setGeometry(0, 0, 211, 20);
        slider_->setRange(0, 100);
        slider_->setPageStep(10);
        slider_->show();
    }

    std::unique_ptr<QWidget> window_;
    SkinSlider* slider_ = nullptr;
};

TEST_F(SkinSliderTest, TheThumbAndTheBandSitWhereTheirValuesAre)
{
    slider_->setValue(0);
    EXPECT_EQ(slider_->ThumbRect().left(), 0);
    slider_->setValue(50);
    EXPECT_EQ(slider_->ThumbRect().left(), 100);
    EXPECT_EQ(slider_->ThumbRect().width(), 11);
    slider_->setValue(100);
    EXPECT_EQ(slider_->ThumbRect().right(), 210);

    EXPECT_TRUE(slider_->SelectionRect().isEmpty());
    slider_->SetSelection(20, 60);
    EXPECT_EQ(slider_->SelectionRect().left(), 45);
    EXPECT_EQ(slider_->SelectionRect().right(), 125);
    // Marks beyond the range are held at its ends.
    slider_->SetSelection(-5, 500);
    EXPECT_EQ(slider_->SelectionRect().left(), 5);
    EXPECT_EQ(slider_->SelectionRect().right(), 205);
    slider_->ClearSelection();
    EXPECT_TRUE(slider_->SelectionRect().isEmpty());
}

TEST_F(SkinSliderTest, TheBandAndTheThumbAreDrawnInTheirColours)
{
    slider_->SetThumbColor(QColor(0, 50, 210));
    slider_->SetChannelColor(QColor(166, 179, 218));
    slider_->setValue(90);
    slider_->SetSelection(20, 60);
    for (qreal scale : {1.0, 2.0}) {
        const QImage picture = testing::Picture(*slider_, scale);
        const QPoint band = slider_->SelectionRect().center() * scale;
        EXPECT_EQ(QColor(picture.pixel(band)), slider_->palette().color(QPalette::Highlight)) << scale;
        const QPoint channel(QPoint(150, slider_->ChannelRect().center().y()) * scale);
        EXPECT_EQ(QColor(picture.pixel(channel)), QColor(166, 179, 218)) << scale;
        // The thumb's face beside its grips.
        const QRect thumb = slider_->ThumbRect();
        const QPoint face(QPoint(thumb.left() + 2, thumb.top() + 3) * scale);
        EXPECT_EQ(QColor(picture.pixel(face)), QColor(0, 50, 210)) << scale;
    }
}

TEST_F(SkinSliderTest, DraggingTheThumbAndClickingBesideItMoveTheValue)
{
    slider_->setValue(50);
    QTest::mousePress(slider_, Qt::LeftButton, {}, QPoint(105, 10));
    EXPECT_TRUE(slider_->isSliderDown());
    QMouseEvent drag(QEvent::MouseMove, QPointF(145, 10), slider_->mapToGlobal(QPointF(145, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(slider_, &drag);
    QTest::mouseRelease(slider_, Qt::LeftButton, {}, QPoint(145, 10));
    EXPECT_FALSE(slider_->isSliderDown());
    EXPECT_EQ(slider_->value(), 70);

    QTest::mouseClick(slider_, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(slider_->value(), 80) << "a page towards the click";
    QTest::mouseClick(slider_, Qt::LeftButton, {}, QPoint(3, 10));
    EXPECT_EQ(slider_->value(), 70);
    slider_->setFocus();
    QTest::keyClick(slider_, Qt::Key_End);
    EXPECT_EQ(slider_->value(), 100);
}

TEST_F(SkinSliderTest, ShadesOfTheThumbLeaveAChannelThatWouldOverflow)
{
    EXPECT_EQ(Lighten(QColor(0xF0, 0xF0, 0xF0), 51), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(Darken(QColor(0x10, 0x10, 0x10), 51), QColor(0x10, 0x10, 0x10));
    slider_->SetThumbColor(QColor(0, 50, 210));
    EXPECT_EQ(slider_->ThumbShades().light1, QColor(51, 101, 210));
    EXPECT_EQ(slider_->ThumbShades().light2, QColor(102, 152, 210));
    EXPECT_EQ(slider_->ThumbShades().dark1, QColor(0, 50, 159));
    EXPECT_EQ(slider_->ThumbShades().dark2, QColor(0, 50, 108));
    EXPECT_EQ(Dim(QColor(200, 100, 50), 1.7), QColor(200, 100, 50));
    EXPECT_EQ(Brighten(QColor(200, 100, 50), 1.4), QColor(255, 140, 70));
}

}  // namespace
}  // namespace kinolux
