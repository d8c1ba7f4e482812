// SkinTabs: clicking a tab selects it; the selected tab is brighter and
// taller than the others, in the colours of the window.
#include "controlkit/skin_tabs.h"
#include "tests/controlkit/kit_support.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

namespace kinolux {
namespace {

class SkinTabsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::EnsureApplication<QApplication>();
        window_ = testing::ShownWindow(QSize(400, 300));
        tabs_ = new SkinTabs(window_.get());
        tabs_->setGeometry(0, 0, 400, 300);
        for (const char* title : {"Video", "Audio", "Resize"}) tabs_->addTab(new QLabel(title), title);
        tabs_->SetBackgroundColor(QColor(100, 120, 140));
        tabs_->show();
    }

    std::unique_ptr<QWidget> window_;
    SkinTabs* tabs_ = nullptr;
};

TEST_F(SkinTabsTest, ClickingATabSelectsIt)
{
    EXPECT_EQ(tabs_->currentIndex(), 0);
    QTest::mouseClick(&tabs_->Bar(), Qt::LeftButton, {}, tabs_->Bar().tabRect(2).center());
    EXPECT_EQ(tabs_->currentIndex(), 2);
    QTest::mouseClick(&tabs_->Bar(), Qt::LeftButton, {}, tabs_->Bar().tabRect(1).center());
    EXPECT_EQ(tabs_->currentIndex(), 1);
}

TEST_F(SkinTabsTest, TheSelectedTabIsBrighterAndTwoPixelsTaller)
{
    tabs_->setCurrentIndex(1);
    SkinTabBar& bar = tabs_->Bar();
    EXPECT_EQ(bar.TabColor(true), QColor(140, 168, 196));
    EXPECT_EQ(bar.TabColor(false), QColor(100, 120, 140));
    EXPECT_EQ(bar.TextColor(false), QColor(50, 60, 70));
    for (qreal scale : {1.0, 2.0}) {
        const QImage picture = testing::Picture(bar, scale);
        const QRect selected = bar.tabRect(1);
        const QRect other = bar.tabRect(0);
        // Just below the top edge: the selected tab's own colour; above an
        // unselected tab, the background it leaves free.
        EXPECT_EQ(QColor(picture.pixel(QPoint(selected.left() + 3, selected.top() + 1) * scale)), QColor(140, 168, 196)) << scale;
        EXPECT_EQ(QColor(picture.pixel(QPoint(other.left() + 3, other.top() + 1) * scale)), QColor(100, 120, 140)) << scale;
        EXPECT_EQ(QColor(picture.pixel(QPoint(other.left() + 3, other.top() + 2) * scale)), QColor(100, 120, 140)) << scale;
    }
}

TEST_F(SkinTabsTest, StylesBelowTwoLeaveTheTabsToTheSystem)
{
    tabs_->SetDrawStyle(5);
    EXPECT_EQ(tabs_->Bar().DrawStyle(), 2);
    tabs_->SetDrawStyle(0);
    EXPECT_EQ(tabs_->Bar().DrawStyle(), 0);
    const QImage picture = testing::Picture(tabs_->Bar(), 1.0);
    const QRect other = tabs_->Bar().tabRect(1);
    EXPECT_NE(QColor(picture.pixel(other.left() + 3, other.top() + 1)), QColor(100, 120, 140));
}

}  // namespace
}  // namespace kinolux
