// The format chooser: every button and every variant leads to a shipped
// profile file, a pick loads that file's remembered profile and closes with
// OK, a dismissed menu chooses nothing, and the check box is stored at once.
#include "platform/settings_store.h"
#include "profiles/format_catalogue.h"
#include "profiles/format_chooser.h"
#include "profiles/profile_store.h"
#include "tests/shell/window_test_support.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <filesystem>
#include <set>

namespace kinolux {
namespace {

namespace fs = std::filesystem;

class FormatChooserTest : public ::testing::Test {
protected:
    testing::WindowTestHome home_;
};

TEST_F(FormatChooserTest, EveryButtonAndVariantNamesAShippedProfileFile) {
    FormatChooser chooser(0);
    int buttons = 0;
    std::set<int> ids;
    for (const FormatGroup& group : FormatGroups()) {
        ASSERT_NE(chooser.findChild<QLabel*>(), nullptr);
        for (const FormatButton& button : group.buttons) {
            ++buttons;
            EXPECT_TRUE(ids.insert(button.id).second) << button.id;
            QPushButton* widget = chooser.Button(button.id);
            ASSERT_NE(widget, nullptr) << button.id;
            EXPECT_FALSE(widget->text().isEmpty());
            EXPECT_FALSE(widget->accessibleName().isEmpty());
            if (button.fileName) {
                EXPECT_TRUE(fs::exists(ProfileFilePath(button.fileName))) << button.fileName;
                continue;
            }
            ASSERT_FALSE(FormatVariants(button.menu).empty()) << button.menu;
            for (const FormatVariant& variant : FormatVariants(button.menu))
                EXPECT_TRUE(fs::exists(ProfileFilePath(variant.fileName))) << variant.fileName;
        }
    }
    EXPECT_EQ(buttons, 47);
    EXPECT_EQ(chooser.windowTitle(), "Please select a format to be converted");
}

TEST_F(FormatChooserTest, AVariantPickLoadsItsRememberedProfileAndClosesWithOk) {
    FormatChooser chooser(3);
    chooser.Button(1179)->click();
    QMenu* menu = chooser.OpenMenu();
    ASSERT_NE(menu, nullptr);
    QStringList texts;
    for (QAction* action : menu->actions()) texts << action->text();
    EXPECT_EQ(texts, (QStringList{"NTSC for burning DVD", "PAL for burning DVD"}));
    menu->actions()[1]->trigger();
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(chooser.Profile().ProfileFile, ProfileFilePath("paldvd.ini"));
    EXPECT_EQ(chooser.Profile().ProfileName, GetDefaultProfileName("paldvd.ini"));
    EXPECT_EQ(chooser.AspectFitIndex(), -1);
}

TEST_F(FormatChooserTest, ADirectPickAndTheNokiaItemsThatShareAFile) {
    FormatChooser direct(0);
    direct.Button(1192)->click();  // PNG images
    EXPECT_EQ(direct.result(), QDialog::Accepted);
    EXPECT_EQ(direct.Profile().ProfileFile, ProfileFilePath("pngimg.ini"));
    int shared = 0;
    for (const FormatVariant& variant : FormatVariants(211))
        if (variant.command == 32809) {
            EXPECT_STREQ(variant.fileName, "Nokia325032303gp.ini");
            ++shared;
        }
    EXPECT_EQ(shared, 5);
}

TEST_F(FormatChooserTest, ADismissedMenuLeavesTheChooserOpenWithNothingChosen) {
    FormatChooser chooser(2);
    chooser.Button(1194)->click();  // Mp3 audio
    ASSERT_NE(chooser.OpenMenu(), nullptr);
    chooser.OpenMenu()->close();
    EXPECT_EQ(chooser.OpenMenu(), nullptr);
    EXPECT_NE(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(chooser.AspectFitIndex(), 2);
}

TEST_F(FormatChooserTest, TheCheckBoxIsStoredAtOnceEvenWhenTheChooserIsCancelled) {
    CurrentAppSettings().autoShowFormatDialog = 0;
    FormatChooser chooser(0);
    EXPECT_FALSE(chooser.ShowBox().isChecked());
    chooser.ShowBox().click();
    chooser.reject();
    EXPECT_EQ(CurrentAppSettings().autoShowFormatDialog, 1u);
    uint32_t stored = 0;
    ASSERT_TRUE(SettingsStore("HKLM").ReadDword(kSettingsKey, "autoshowformatdialog", stored));
    EXPECT_EQ(stored, 1u);
}

}  // namespace
}  // namespace kinolux
