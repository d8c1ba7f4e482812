// SkinButton: the face shown in every state, the shaped hit area of a
// masked button, dragging off a pressed button, the keyboard, the check box
// and radio kinds, and the names screen readers hear.
#include "controlkit/artwork.h"
#include "controlkit/skin_button.h"
#include "tests/controlkit/kit_support.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

namespace kinolux {
namespace {

using namespace artwork;

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override { testing::EnsureApplication<QApplication>(); }

    static void Enter(QWidget& widget)
    {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(&widget, &enter);
    }
    static void Leave(QWidget& widget)
    {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&widget, &leave);
    }
};

TEST_F(SkinButtonTest, ShowsTheFaceOfEachState)
{
    auto window = testing::ShownWindow();
    SkinButton button("", window.get());
    button.SetBitmaps(kPreviewNormal, kPreviewPressed, kPreviewHover, kPreviewDisabled, kPreviewFocus, kPreviewMask);
    button.setGeometry(10, 10, 40, 28);
    button.show();
    EXPECT_EQ(button.FaceShown(), kPreviewNormal);

    Enter(button);
    EXPECT_EQ(button.FaceShown(), kPreviewHover);
    Leave(button);
    EXPECT_EQ(button.FaceShown(), kPreviewNormal);

    button.setFocus();
    ASSERT_TRUE(button.hasFocus());
    EXPECT_EQ(button.FaceShown(), kPreviewFocus);
    Enter(button);
    EXPECT_EQ(button.FaceShown(), kPreviewHover) << "hover wins over focus";
    Leave(button);

    button.setDown(true);
    EXPECT_EQ(button.FaceShown(), kPreviewPressed);
    button.setDown(false);

    button.setEnabled(false);
    EXPECT_EQ(button.FaceShown(), kPreviewDisabled);

    SkinButton plain("OK", window.get());
    plain.SetBitmaps(kButtonNormal, kButtonPressed, kButtonHover, 0, 0, kButtonMask);
    plain.setEnabled(false);
    EXPECT_EQ(plain.FaceShown(), kButtonNormal) << "without a disabled face the normal one stands in";
}

TEST_F(SkinButtonTest, EveryFaceMatchesItsArtworkAtScaleOneAndTwo)
{
    struct Face {
        int id;
        const char* file;
        QSize size;
    };
    const Face faces[] = {
        {kButtonNormal, "button_normal", {80, 24}},     {kButtonHover, "button_hover", {80, 24}},
        {kButtonPressed, "button_pressed", {80, 24}},   {kPreviewNormal, "preview_normal", {40, 28}},
        {kPreviewHover, "preview_hover", {40, 28}},     {kPreviewFocus, "preview_focus", {40, 28}},
        {kPreviewPressed, "preview_pressed", {40, 28}}, {kPreviewDisabled, "preview_disabled", {40, 28}},
        {kMenuNormal, "menu_normal", {32, 32}},         {kMenuHover, "menu_hover", {32, 32}},
        {kMenuPressed, "menu_pressed", {32, 32}},       {kWebNormal, "web_normal", {32, 32}},
        {kWebHover, "web_hover", {32, 32}},             {kWebPressed, "web_pressed", {32, 32}},
    };
    auto window = testing::ShownWindow();
    for (const Face& face : faces) {
        // Each face shown as the normal one, at the picture's own size.
        SkinButton button("", window.get());
        button.SetBitmaps(face.id, 0, 0, 0, 0, 0, SkinButton::kStretched);
        button.resize(face.size);
        for (qreal scale : {1.0, 2.0}) {
            const QImage shown = testing::Picture(button, scale);
            const QImage source = testing::SourcePicture(face.file, face.size, scale);
            EXPECT_LE(testing::LargestDifference(shown, source), 8) << face.file << " at scale " << scale;
        }
    }
}

TEST_F(SkinButtonTest, AStretchedFaceKeepsItsCornersAndFillsItsMiddle)
{
    auto window = testing::ShownWindow();
    SkinButton button("", window.get());
    button.SetBitmaps(kButtonNormal, 0, 0, 0, 0, 0, SkinButton::kStretched);
    button.resize(200, 24);
    const QImage wide = testing::Picture(button, 2.0);
    const QImage source = testing::SourcePicture("button_normal", QSize(80, 24), 2.0);
    // The rounded corner, 5 logical pixels, is the source's own.
    EXPECT_LE(testing::LargestDifference(wide.copy(0, 0, 10, 10), source.copy(0, 0, 10, 10)), 8);
    EXPECT_LE(testing::LargestDifference(wide.copy(390, 38, 10, 10), source.copy(150, 38, 10, 10)), 8);
    // The middle is the face colour, the border 1 px wide at 2 device pixels.
    EXPECT_EQ(QColor(wide.pixel(200, 24)), QColor("#F7F9FC"));
    EXPECT_EQ(QColor(wide.pixel(200, 0)), QColor("#A9B8CF"));
    EXPECT_EQ(QColor(wide.pixel(200, 1)), QColor("#A9B8CF"));
    EXPECT_EQ(QColor(wide.pixel(200, 2)), QColor("#F7F9FC"));
}

TEST_F(SkinButtonTest, AMaskedButtonTakesClicksInsideItsOutlineOnly)
{
    auto window = testing::ShownWindow();
    SkinButton button("", window.get());
    button.move(20, 20);
    button.SetBitmaps(kMenuNormal, kMenuPressed, kMenuHover, 0, 0, kMenuMask, SkinButton::kOneToOne);
    EXPECT_EQ(button.size(), QSize(32, 32)) << "drawn one to one, the button takes the mask's size";
    button.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);

    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(20 + 16, 20 + 16));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(20 + 1, 20 + 1));
    EXPECT_EQ(clicks.count(), 1) << "the corner outside the circle belongs to the window behind";
    EXPECT_EQ(window->childAt(21, 21), nullptr);
    EXPECT_EQ(window->childAt(36, 36), &button);
    EXPECT_FALSE(button.Outline().contains(QPoint(1, 1)));
    EXPECT_TRUE(button.Outline().contains(QPoint(16, 1)));

    // A stretched mask follows the button's size.
    SkinButton wide("Convert", window.get());
    wide.SetBitmaps(kButtonNormal, kButtonPressed, kButtonHover, 0, 0, kButtonMask);
    wide.resize(120, 30);
    wide.show();
    EXPECT_TRUE(wide.Outline().contains(QPoint(119, 15)));
    EXPECT_FALSE(wide.Outline().contains(QPoint(119, 0)));
    EXPECT_FALSE(wide.Outline().contains(QPoint(0, 29)));
}

TEST_F(SkinButtonTest, DraggingOffAPressedButtonShowsItsNormalFaceAndReleasingThereDoesNotClick)
{
    auto window = testing::ShownWindow();
    SkinButton button("Stop", window.get());
    button.SetBitmaps(kButtonNormal, kButtonPressed, kButtonHover, 0, 0, kButtonMask);
    button.setGeometry(10, 10, 80, 24);
    button.show();
    QSignalSpy clicks(&button, &QPushButton::clicked);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(button.FaceShown(), kButtonPressed);
    QMouseEvent away(QEvent::MouseMove, QPointF(200, 100), button.mapToGlobal(QPointF(200, 100)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &away);
    EXPECT_EQ(button.FaceShown(), kButtonNormal);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_EQ(clicks.count(), 0);

    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(40, 12));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(SkinButtonTest, SpaceAndEnterActivateTheFocusedButton)
{
    auto window = testing::ShownWindow();
    SkinButton button("&Add", window.get());
    button.SetBitmaps(kButtonNormal, kButtonPressed, kButtonHover, 0, 0, kButtonMask);
    button.show();
    button.setFocus();
    QSignalSpy clicks(&button, &QPushButton::clicked);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter);
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_FALSE(button.isChecked()) << "a push button never stays checked";
}

TEST_F(SkinButtonTest, CheckBoxesToggleAndRadioButtonsUncheckTheirGroup)
{
    auto window = testing::ShownWindow();
    SkinButton box("Auto stop", window.get(), SkinButton::kCheckBox);
    box.SetBitmaps(kButtonNormal, kButtonPressed, kButtonHover, 0, 0, 0);
    box.show();
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_TRUE(box.isChecked());
    EXPECT_EQ(box.FaceShown(), kButtonPressed) << "checked shows the pressed face";
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(box.isChecked());

    QWidget group(window.get());
    SkinButton first("Auto", &group, SkinButton::kRadioButton);
    SkinButton second("Interactive", &group, SkinButton::kRadioButton);
    first.setGeometry(0, 0, 80, 20);
    second.setGeometry(0, 30, 80, 20);
    group.show();
    first.setChecked(true);
    QTest::mouseClick(&second, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(second.isChecked());
    EXPECT_FALSE(first.isChecked());
    second.setFocus();
    QTest::keyClick(&second, Qt::Key_Space);
    EXPECT_TRUE(second.isChecked()) << "Space checks a radio button, it never unchecks it";
    first.setChecked(true);
    EXPECT_FALSE(second.isChecked());
}

TEST_F(SkinButtonTest, ScreenReadersHearTheTextOrThePictureButtonsTooltip)
{
    auto window = testing::ShownWindow();
    SkinButton texted("&Convert", window.get());
    SkinButton picture("", window.get());
    picture.SetIcon(kIconPlay);
    picture.SetTooltipText("Play");
    const auto name = [](QWidget& widget) { return QAccessible::queryAccessibleInterface(&widget)->text(QAccessible::Name); };
    EXPECT_EQ(name(texted), "Convert");
    EXPECT_EQ(name(picture), "Play");
    picture.setToolTip("Pause");
    EXPECT_EQ(name(picture), "Pause") << "a new language's tooltip renames it";
}

TEST_F(SkinButtonTest, SettingsAreHeldToTheirRangesAndTheTextColourIsHandedBack)
{
    auto window = testing::ShownWindow();
    SkinButton button("OK", window.get());
    const QColor system = button.palette().color(QPalette::ButtonText);
    EXPECT_EQ(button.SetTextColor(QColor(125, 0, 0)), system);
    EXPECT_EQ(button.SetTextColor(QColor(0, 0, 125)), QColor(125, 0, 0));

    // Draw mode 7 tiles, -3 draws one to one (and sizes to the mask).
    button.resize(90, 30);
    button.SetBitmaps(kWebNormal, 0, 0, 0, 0, kWebMask, -3);
    EXPECT_EQ(button.size(), QSize(32, 32));
    button.resize(90, 30);
    button.SetBitmaps(kButtonNormal, 0, 0, 0, 0, 0, 7, false, -4);
    EXPECT_EQ(button.size(), QSize(90, 30));
    EXPECT_TRUE(button.Outline().isEmpty());
}

}  // namespace
}  // namespace kinolux
