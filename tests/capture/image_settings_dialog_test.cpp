// The Image settings dialog: its caption and controls, the values typed in
// and the alpha choice handed back by OK, and sides that are not whole
// numbers in range keeping the dialog open.
#include "bindings/veneer.h"
#include "capture/image_settings_dialog.h"
#include "controlkit/artwork.h"
#include "controlkit/skin_button.h"
#include "tests/flash_control/control_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kinolux {
namespace {

class ImageSettingsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { flash::testing::ensureApplication(); }

    QPushButton* Button(ImageSettingsDialog& dialog, int itemId)
    {
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->property("itemId").toInt() == itemId) return button;
        return nullptr;
    }
};

TEST_F(ImageSettingsDialogTest, OpensWithTheValuesAndAlphaChecked)
{
    ImageSettingsDialog dialog({320, 240, 0});
    EXPECT_EQ(dialog.windowTitle(), "Image settings");
    EXPECT_EQ(dialog.WidthEdit().text(), "320");
    EXPECT_EQ(dialog.HeightEdit().text(), "240");
    EXPECT_TRUE(dialog.AlphaBox().isChecked());
    EXPECT_EQ(dialog.AlphaBox().text(), "With alpha channel");
    ASSERT_NE(Button(dialog, 1), nullptr);
    ASSERT_NE(Button(dialog, 2), nullptr);
    EXPECT_EQ(Button(dialog, 2)->text(), "Cannel");
    EXPECT_EQ(Button(dialog, 2)->toolTip(), "Cannel");
    EXPECT_FALSE(dialog.SizeError().isVisibleTo(&dialog));
}

TEST_F(ImageSettingsDialogTest, OkAndCancelAreKitButtonsThatEnterActivates)
{
    ImageSettingsDialog dialog({320, 240, 1});
    dialog.show();
    for (int itemId : {1, 2}) {
        auto* button = dynamic_cast<SkinButton*>(Button(dialog, itemId));
        ASSERT_NE(button, nullptr) << itemId;
        EXPECT_EQ(button->FaceShown(), artwork::kButtonNormal);
        EXPECT_FALSE(button->Outline().isEmpty()) << "rounded corners";
    }
    auto* cancel = dynamic_cast<SkinButton*>(Button(dialog, 2));
    cancel->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(cancel, &enter);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ImageSettingsDialogTest, OkHandsBackTheValuesTypedAndTheAlphaChoice)
{
    ImageSettingsDialog dialog({320, 240, 1});
    dialog.WidthEdit().setText("1280");
    dialog.HeightEdit().setText(" 720 ");
    Button(dialog, 1)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Settings().width, 1280);
    EXPECT_EQ(dialog.Settings().height, 720);
    EXPECT_EQ(dialog.Settings().alpha, 1);

    ImageSettingsDialog without({320, 240, 1});
    without.AlphaBox().click();
    Button(without, 1)->click();
    EXPECT_EQ(without.result(), QDialog::Accepted);
    EXPECT_EQ(without.Settings().alpha, 0);
    EXPECT_EQ(without.Settings().width, 320);
}

TEST_F(ImageSettingsDialogTest, ASideThatIsNoWholeNumberInRangeKeepsTheDialogOpen)
{
    for (const char* wrong : {"", "abc", "0", "-5", "16385", "99999999999", "12.5"}) {
        ImageSettingsDialog dialog({320, 240, 1});
        dialog.show();
        dialog.HeightEdit().setText(wrong);
        Button(dialog, 1)->click();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << wrong;
        EXPECT_TRUE(dialog.isVisible()) << wrong;
        EXPECT_TRUE(dialog.SizeError().isVisible()) << wrong;
        EXPECT_EQ(dialog.Settings().height, 240) << "nothing handed back: " << wrong;

        dialog.HeightEdit().setText("16384");
        Button(dialog, 1)->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Settings().height, 16384);
    }
}

TEST_F(ImageSettingsDialogTest, CancelHandsBackNothing)
{
    ImageSettingsDialog dialog({320, 240, 1});
    dialog.WidthEdit().setText("64");
    Button(dialog, 2)->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.Settings().width, 320);
}

}  // namespace
}  // namespace kinolux

namespace kinolux {
namespace {

// Pictures of the dialog at scale 1 and 2 under build/screenshots/kit/, for
// a person to look at.
TEST(ImageSettingsDialogPicture, IsSavedAtScaleOneAndTwo)
{
    flash::testing::ensureApplication();
    QVS_InitSkin(1, 1, "kinolux_skin");
    ImageSettingsDialog dialog({320, 240, 1});
    dialog.show();
    QCoreApplication::processEvents();
    const QString folder = QStringLiteral(KINOLUX_BIN_DIR "/../screenshots/kit");
    QDir().mkpath(folder);
    for (int scale : {1, 2}) {
        QImage picture(dialog.size() * scale, QImage::Format_ARGB32_Premultiplied);
        picture.setDevicePixelRatio(scale);
        dialog.render(&picture);
        EXPECT_TRUE(picture.save(folder + QStringLiteral("/image_settings@%1x.png").arg(scale)));
    }
}

}  // namespace
}  // namespace kinolux
