// ColorButton: six colour slots and no seventh, the face of each state, and
// the colour a person actually sees.
#include "controlkit/color_button.h"
#include "tests/controlkit/kit_support.h"

#include <gtest/gtest.h>

#include <QEnterEvent>
#include <QTest>

namespace kinolux {
namespace {

class ColorButtonTest : public ::testing::Test {
protected:
    void SetUp() override { testing::EnsureApplication<QApplication>(); }
};

TEST_F(ColorButtonTest, SixSlotsAreTakenAndASlotBeyondTheLastIsRefused)
{
    auto window = testing::ShownWindow();
    ColorButton button("", window.get());
    for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(button.SetColor(slot, QColor(slot * 10, 0, 0)), 0);
    EXPECT_EQ(button.SetColor(6, QColor(255, 255, 0)), 3);
    EXPECT_EQ(button.SetColor(-1, QColor(255, 255, 0)), 3);
    for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(button.Color(slot), QColor(slot * 10, 0, 0)) << slot;
}

TEST_F(ColorButtonTest, TheFaceFollowsHoverPressAndFocus)
{
    auto window = testing::ShownWindow();
    ColorButton button("", window.get());
    button.setGeometry(10, 10, 60, 20);
    button.show();
    button.SetColor(0, QColor(0, 0, 255));
    button.SetColor(2, QColor(255, 0, 0));
    button.SetColor(4, QColor(0, 255, 0));
    EXPECT_EQ(button.FaceColor(), QColor(255, 0, 0));
    EXPECT_EQ(QColor(testing::Picture(button, 1.0).pixel(30, 10)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(testing::Picture(button, 2.0).pixel(60, 20)), QColor(255, 0, 0));

    button.setFocus();
    EXPECT_EQ(button.FaceColor(), QColor(0, 255, 0));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button.mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.FaceColor(), QColor(0, 0, 255));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    EXPECT_FALSE(button.IsHovering());
    button.setDown(true);
    EXPECT_EQ(button.FaceColor(), QColor(0, 0, 255));
}

TEST_F(ColorButtonTest, DisablingTheFocusedButtonPassesTheFocusOn)
{
    auto window = testing::ShownWindow();
    ColorButton button("Swf background", window.get());
    QPushButton next("Next", window.get());
    button.show();
    next.show();
    button.setFocus();
    button.setEnabled(false);
    EXPECT_TRUE(next.hasFocus());
}

TEST_F(ColorButtonTest, ThePictureButtonIsNamedByItsTooltip)
{
    auto window = testing::ShownWindow();
    ColorButton button("", window.get());
    button.SetTooltipText("Set Swf file background color");
    EXPECT_EQ(button.accessibleName(), "Set Swf file background color");
    EXPECT_EQ(button.toolTip(), "Set Swf file background color");
    button.SetTooltipText("Set Swf file background color", false);
    EXPECT_TRUE(button.toolTip().isEmpty());
}

}  // namespace
}  // namespace kinolux
