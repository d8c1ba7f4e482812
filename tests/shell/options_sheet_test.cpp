// The options sheet through its real widgets on Qt's offscreen platform: the
// four pages and their rules, the colour dialog, refusals that keep the
// sheet open and never reach the profile file, the two saves through the
// save menu and the name dialog, a profile file that cannot be written, the
// language switch, and the main window's Options button and profile list.
#include "profiles/options_sheet.h"
#include "controlkit/color_button.h"
#include "controlkit/skin_tabs.h"
#include "profiles/new_profile_dialog.h"
#include "profiles/profile_geometry.h"
#include "profiles/profile_store.h"
#include "shell/main_window.h"
#include "shell/task_list_model.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/shell/modal_answers.h"
#include "tests/shell/options_sheet_steps.h"
#include "tests/shell/window_test_support.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

namespace kinolux {
namespace {

using testing::ChooseSave;
using testing::Control;
using testing::ModalAnswers;
using testing::ReadTextFile;
using testing::Type;

class OptionsSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ = ProfileFilePath("mp4.ini");
        original_ = ReadTextFile(file_);
        profile_ = {};
        LoadProfile("mp4 Normal", profile_, file_);
        PrepareProfileForSource(profile_, 550, 400, -1);
    }

    // Runs the sheet for profile_ with the dialogs answered by `steps`.
    OptionsSheet::Close Run(std::vector<ModalAnswers::Step> steps) {
        ModalAnswers answers(std::move(steps));
        const OptionsSheet::Close mode = RunOptionsSheet(nullptr, profile_, 550, 400);
        EXPECT_FALSE(answers.Overrun());
        return mode;
    }

    testing::WindowTestHome home_;
    std::string file_;
    std::string original_;
    ProfileSettings profile_{};
};

TEST_F(OptionsSheetTest, FourPagesInOrderShowEveryFieldOfTheProfile) {
    profile_.nVideoCustomFrameRate = 29.97f;
    profile_.cVideoCodec = "MPEG4";
    profile_.nVideoPadColor = 0x00FF00;
    OptionsSheet sheet(profile_);
    EXPECT_EQ(sheet.windowTitle(), "mp4 Normal - Options");
    ASSERT_EQ(sheet.Tabs().count(), 4);
    const QStringList tabs{"Audio", "Video", "Resize", "Crop && Pad"};  // shown as "Crop & Pad"
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sheet.Tabs().tabText(i), tabs[i]);
    EXPECT_EQ(sheet.Button(OptionsSheet::kSave)->text(), "Save&&Apply");
    EXPECT_FALSE(sheet.Button(OptionsSheet::kDefault)->isEnabled());
    EXPECT_EQ(Control<QComboBox>(sheet, kAudioPage, 1155)->currentText(), "aac");
    EXPECT_EQ(Control<QComboBox>(sheet, kAudioPage, 1155)->count(), 41);
    EXPECT_EQ(Control<QComboBox>(sheet, kAudioPage, 1153)->currentText(), "Double channel");
    EXPECT_EQ(Control<QLineEdit>(sheet, kAudioPage, 1221)->text(), "44100");
    EXPECT_EQ(Control<QLineEdit>(sheet, kAudioPage, 1226)->text(), "128");
    EXPECT_TRUE(Control<QRadioButton>(sheet, kAudioPage, 1225)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(sheet, kAudioPage, 1231)->value(), 256);
    EXPECT_EQ(Control<QComboBox>(sheet, kVideoPage, 1235)->currentText(), "mpeg4");
    EXPECT_EQ(Control<QComboBox>(sheet, kVideoPage, 1235)->count(), 32);
    EXPECT_EQ(Control<QLineEdit>(sheet, kVideoPage, 1238)->text(), "29.9699993133545");
    EXPECT_EQ(Control<QLineEdit>(sheet, kVideoPage, 1242)->text(), "656");
    EXPECT_TRUE(Control<QRadioButton>(sheet, kResizePage, 1252)->isChecked());
    EXPECT_EQ(Control<QRadioButton>(sheet, kResizePage, 1136)->text(), "SQCIF (128 x 96)");
    EXPECT_EQ(Control<QLineEdit>(sheet, kCropPadPage, 1278)->text(), "0x00FF00");
    EXPECT_EQ(Control<ColorButton>(sheet, kCropPadPage, 1279)->Color(2), QColor(0, 255, 0));
    // Every control can be found by a screen reader.
    for (int page = 0; page < 4; ++page)
        for (QWidget* child : sheet.Page(OptionPage(page)).findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->property("itemId").toInt() != 0 && !child->isHidden()) {
                EXPECT_FALSE(child->accessibleName().isEmpty()) << child->property("itemId").toInt();
            }
    // OK with nothing touched gives back the profile unchanged, 29.97 included;
    // the video page was never shown, so its codec keeps the profile's spelling.
    sheet.accept();
    ASSERT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_TRUE(sheet.Edited() == profile_);
    EXPECT_EQ(sheet.Edited().cVideoCodec, "MPEG4");
    EXPECT_EQ(sheet.Edited().nVideoCustomFrameRate, 29.97f);
}

TEST_F(OptionsSheetTest, ThePagesFollowTheirTicksAndFocus) {
    OptionsSheet sheet(profile_);
    // "Disable audio" disables every other control of its page.
    Control<QCheckBox>(sheet, kAudioPage, 1145)->click();
    EXPECT_FALSE(Control<QComboBox>(sheet, kAudioPage, 1155)->isEnabled());
    EXPECT_FALSE(Control<QSpinBox>(sheet, kAudioPage, 1231)->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(sheet, kAudioPage, 1145)->isEnabled());
    Control<QCheckBox>(sheet, kAudioPage, 1145)->click();
    EXPECT_TRUE(Control<QComboBox>(sheet, kAudioPage, 1155)->isEnabled());
    // Focusing the custom frame rate chooses "Custom" and leaves the bit rate choice.
    sheet.Tabs().setCurrentIndex(kVideoPage);
    Type(sheet, kVideoPage, 1238, "12.5");
    EXPECT_TRUE(Control<QRadioButton>(sheet, kVideoPage, 1237)->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(sheet, kVideoPage, 1241)->isChecked());
    Type(sheet, kAudioPage, 1221, "22050");
    EXPECT_TRUE(Control<QRadioButton>(sheet, kAudioPage, 1160)->isChecked());
    // "Advanced" shows the three quotieties; typing one moves the default bit rate.
    EXPECT_TRUE(Control<QLineEdit>(sheet, kVideoPage, 1249)->isHidden());
    Control<QCheckBox>(sheet, kVideoPage, 1247)->click();
    EXPECT_FALSE(Control<QLineEdit>(sheet, kVideoPage, 1249)->isHidden());
    Type(sheet, kVideoPage, 1249, "6");
    EXPECT_EQ(Control<QLineEdit>(sheet, kVideoPage, 1242)->text(), "1289");  // 550 x 400, unrounded
    // A custom size chosen on Resize is what Video shows its default bit rate for.
    sheet.Tabs().setCurrentIndex(kResizePage);
    Type(sheet, kResizePage, 1085, "320");
    Type(sheet, kResizePage, 1087, "240");
    EXPECT_TRUE(Control<QRadioButton>(sheet, kResizePage, 1158)->isChecked());
    sheet.Tabs().setCurrentIndex(kVideoPage);
    EXPECT_EQ(Control<QLineEdit>(sheet, kVideoPage, 1242)->text(), "450");
    // Crop and pad edits follow their ticks.
    sheet.Tabs().setCurrentIndex(kCropPadPage);
    EXPECT_FALSE(Control<QLineEdit>(sheet, kCropPadPage, 1263)->isEnabled());
    EXPECT_FALSE(Control<ColorButton>(sheet, kCropPadPage, 1279)->isEnabled());
    Control<QCheckBox>(sheet, kCropPadPage, 1268)->click();
    EXPECT_TRUE(Control<QLineEdit>(sheet, kCropPadPage, 1273)->isEnabled());
    EXPECT_TRUE(Control<ColorButton>(sheet, kCropPadPage, 1279)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(sheet, kCropPadPage, 1263)->isEnabled());
    Control<QCheckBox>(sheet, kCropPadPage, 1268)->click();
    EXPECT_FALSE(Control<QLineEdit>(sheet, kCropPadPage, 1278)->isEnabled());
}

TEST_F(OptionsSheetTest, PureRedFromTheColourDialogIsStoredAndShown) {
    bool coloured = false;
    const OptionsSheet::Close mode = Run({
        [&](QWidget* dialog) {
            auto* sheet = dynamic_cast<OptionsSheet*>(dialog);
            ASSERT_NE(sheet, nullptr);
            sheet->Tabs().setCurrentIndex(kCropPadPage);
            Control<QCheckBox>(*sheet, kCropPadPage, 1268)->click();
            Control<ColorButton>(*sheet, kCropPadPage, 1279)->click();
            EXPECT_EQ(Control<QLineEdit>(*sheet, kCropPadPage, 1278)->text(), "0xFF0000");
            EXPECT_EQ(Control<ColorButton>(*sheet, kCropPadPage, 1279)->Color(2), QColor(Qt::red));
            sheet->Button(OptionsSheet::kOk)->click();
        },
        [&](QWidget* dialog) {
            auto* colours = qobject_cast<QColorDialog*>(dialog);
            ASSERT_NE(colours, nullptr);
            EXPECT_EQ(colours->currentColor(), QColor(Qt::black));
            colours->setCurrentColor(Qt::red);
            colours->accept();
            coloured = true;
        },
    });
    EXPECT_TRUE(coloured);
    EXPECT_EQ(mode, OptionsSheet::Close::Ok);
    EXPECT_EQ(profile_.nVideoPadColor, 16711680);
    EXPECT_EQ(profile_.bVideoEnablePad, 1);
    EXPECT_EQ(ReadTextFile(file_), original_) << "OK writes nothing";
}

TEST_F(OptionsSheetTest, RefusedValuesKeepTheSheetOpenAndNeverReachTheFile) {
    ::testing::internal::CaptureStdout();
    const OptionsSheet::Close mode = Run({[&](QWidget* dialog) {
        auto& sheet = *dynamic_cast<OptionsSheet*>(dialog);
        // Text that is not a number keeps its page.
        Type(sheet, kAudioPage, 1221, "fast");
        sheet.Tabs().setCurrentIndex(kVideoPage);
        EXPECT_EQ(sheet.Tabs().currentIndex(), kAudioPage);
        Type(sheet, kAudioPage, 1221, "22050");
        // A custom bit rate of 0 is refused on "Save and Apply", and on its page.
        sheet.Tabs().setCurrentIndex(kVideoPage);
        Type(sheet, kVideoPage, 1250, "0");
        sheet.Tabs().setCurrentIndex(kResizePage);
        ChooseSave(sheet, "Save and Apply");
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(sheet.Tabs().currentIndex(), kVideoPage);
        // An odd width for h264, and a custom height beyond 16384.
        Control<QComboBox>(sheet, kVideoPage, 1235)->setCurrentText("h264");
        Type(sheet, kVideoPage, 1250, "300");
        sheet.Tabs().setCurrentIndex(kCropPadPage);
        Control<QCheckBox>(sheet, kCropPadPage, 1258)->click();
        Type(sheet, kCropPadPage, 1263, "3");
        ChooseSave(sheet, "Save as and Apply");
        EXPECT_TRUE(sheet.isVisible());
        Type(sheet, kCropPadPage, 1263, "4");
        sheet.Tabs().setCurrentIndex(kResizePage);
        Type(sheet, kResizePage, 1085, "640");
        Type(sheet, kResizePage, 1087, "16400");
        ChooseSave(sheet, "Save and Apply");
        EXPECT_TRUE(sheet.isVisible());
        Type(sheet, kResizePage, 1087, "480");
        // After the refusals a plain OK applies, and saves nothing.
        sheet.Button(OptionsSheet::kOk)->click();
    }});
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("Please enter an integer."), std::string::npos) << said;
    EXPECT_NE(said.find("The video bit rate must be between 1 and 1000000"), std::string::npos) << said;
    EXPECT_NE(said.find("but the h264 codec needs every side to be even"), std::string::npos) << said;
    EXPECT_NE(said.find("The custom height must be between 1 and 16384 pixels."), std::string::npos) << said;
    EXPECT_EQ(mode, OptionsSheet::Close::Ok);
    EXPECT_EQ(ReadTextFile(file_), original_);
    EXPECT_EQ(profile_.nVideoCustomBitRate, 300);
    EXPECT_EQ(profile_.nVideoCropLeft, 4);
    EXPECT_EQ(profile_.nVideoRiszeOption, 9);
    EXPECT_EQ(profile_.nVideoCustomSizeY, 480);
    EXPECT_EQ(profile_.nAudioCustomSampleRate, 22050);
    EXPECT_EQ(profile_.nDefaultVideoBitRate, 900);  // 640 x 480 at level 3
}

TEST_F(OptionsSheetTest, ACodecOfAFewSizesIsRefusedOnTheResizePageUntilOneOfThemIsChosen) {
    ::testing::internal::CaptureStdout();
    const OptionsSheet::Close mode = Run({[&](QWidget* dialog) {
        auto& sheet = *dynamic_cast<OptionsSheet*>(dialog);
        sheet.Tabs().setCurrentIndex(kVideoPage);
        Control<QComboBox>(sheet, kVideoPage, 1235)->setCurrentText("h261");
        sheet.Tabs().setCurrentIndex(kResizePage);
        Control<QRadioButton>(sheet, kResizePage, 1252)->click();  // the source's own size
        sheet.Tabs().setCurrentIndex(kVideoPage);
        sheet.Button(OptionsSheet::kOk)->click();
        EXPECT_TRUE(sheet.isVisible());
        EXPECT_EQ(sheet.Tabs().currentIndex(), kResizePage);
        Control<QRadioButton>(sheet, kResizePage, 1137)->click();  // QCIF, 176 x 144
        sheet.Button(OptionsSheet::kOk)->click();
    }});
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("but the h261 codec takes only 176 x 144 or 352 x 288."), std::string::npos) << said;
    EXPECT_EQ(mode, OptionsSheet::Close::Ok);
    EXPECT_EQ(profile_.cVideoCodec, "h261");
    EXPECT_EQ(profile_.nVideoRiszeOption, 2);
}

TEST_F(OptionsSheetTest, SaveAsAsksAgainAfterAnExistingNameAndAddsOneSectionKeepingEveryLine) {
    std::vector<std::string> proposed;
    ::testing::internal::CaptureStdout();
    const OptionsSheet::Close mode = Run({
        [&](QWidget* dialog) {
            auto& sheet = *dynamic_cast<OptionsSheet*>(dialog);
            sheet.Tabs().setCurrentIndex(kVideoPage);
            Type(sheet, kVideoPage, 1250, "1500");
            ChooseSave(sheet, "Save as and Apply");
        },
        [&](QWidget* dialog) {
            auto* names = dynamic_cast<NewProfileDialog*>(dialog);
            ASSERT_NE(names, nullptr);
            EXPECT_EQ(names->windowTitle(), "New profile name");
            proposed.push_back(names->Name());
            names->NameEdit().setText("MP4 320X240 normal");
            names->Button(NewProfileDialog::kOk)->click();
        },
        [&](QWidget* dialog) {
            auto* names = dynamic_cast<NewProfileDialog*>(dialog);
            ASSERT_NE(names, nullptr);
            proposed.push_back(names->Name());
            names->NameEdit().setText("My mp4");
            names->Button(NewProfileDialog::kOk)->click();
        },
    });
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(said, "The name has been conflicted with existed. Please modify to another profile name\n");
    EXPECT_EQ(mode, OptionsSheet::Close::SaveAsAndApply);
    EXPECT_EQ(proposed, (std::vector<std::string>{"New mp4 Normal", "MP4 320X240 normal"}));
    EXPECT_EQ(profile_.ProfileName, "My mp4");
    EXPECT_EQ(profile_.nVideoCustomBitRate, 1500);
    const std::string text = ReadTextFile(file_);
    ASSERT_GT(text.size(), original_.size());
    EXPECT_EQ(text.substr(0, original_.size()), original_);
    EXPECT_EQ(ListProfileNames(file_).back(), "My mp4");
    ProfileSettings stored{};
    ReadProfile("My mp4", stored, file_);
    EXPECT_EQ(stored.nVideoCustomBitRate, 1500);
    EXPECT_EQ(stored.bVideoCustomBitRate, 1);
    EXPECT_EQ(GetDefaultProfileName("mp4.ini"), "My mp4");
}

TEST_F(OptionsSheetTest, AReadOnlyProfileFileIsReportedAndTheTaskKeepsItsValues) {
    ::chmod(file_.c_str(), 0444);
    ::testing::internal::CaptureStdout();
    const OptionsSheet::Close mode = Run({[&](QWidget* dialog) {
        auto& sheet = *dynamic_cast<OptionsSheet*>(dialog);
        Control<QComboBox>(sheet, kAudioPage, 1155)->setCurrentText("mp3");
        ChooseSave(sheet, "Save and Apply");
    }});
    const std::string said = ::testing::internal::GetCapturedStdout();
    ::chmod(file_.c_str(), 0644);
    EXPECT_EQ(mode, OptionsSheet::Close::SaveAndApply);
    EXPECT_NE(said.find(file_ + " cannot be written. The options apply to this task only."), std::string::npos) << said;
    EXPECT_EQ(profile_.cAudioCodec, "mp3");
    EXPECT_EQ(ReadTextFile(file_), original_);
}

TEST_F(OptionsSheetTest, TheLanguageMenuRelabelsTheSheetAndItsPages) {
    Languages().SetLanguageFolder(testing::BuiltProgramFolder() + "/language/kinolux/");
    OptionsSheet sheet(profile_);
    Languages().SelectLanguage("Deutsch - German");
    RelabelAllDialogs();
    const QString german = sheet.Tabs().tabText(kCropPadPage);
    const QString audio = Control<QCheckBox>(sheet, kAudioPage, 1145)->text();
    Languages().SelectLanguage("English");
    RelabelAllDialogs();
    EXPECT_EQ(german, "Zuschneiden && Rand");
    EXPECT_NE(audio, "Disable audio");
    EXPECT_EQ(sheet.Tabs().tabText(kCropPadPage), "Crop && Pad");
    EXPECT_EQ(Control<QRadioButton>(sheet, kResizePage, 1255)->text(), "4 : 3");
    EXPECT_EQ(sheet.Button(OptionsSheet::kOk)->text(), "OK");
}

TEST_F(OptionsSheetTest, TheMainWindowsOptionsListAProfileSavedAsNewAtOnce) {
    WriteOutputDefault({"mp4.ini", "mp4 Normal", -1});
    MainWindowPrompts prompts = StandardPrompts();
    const std::string movie = testing::WriteFile(home_ / "movies/a.swf", testing::SmallMovie(10));
    prompts.chooseMovies = [&](QWidget*, const QString&) { return QStringList{QString::fromStdString(movie)}; };
    prompts.chooseFormat = [](QWidget*, int) -> std::optional<FormatChoice> { return std::nullopt; };
    MainWindow window(prompts);
    window.AddFiles();
    ASSERT_EQ(window.Tasks().rowCount(), 1);
    window.List().selectRow(0);
    ModalAnswers answers({
        [](QWidget* dialog) {
            auto& sheet = *dynamic_cast<OptionsSheet*>(dialog);
            EXPECT_EQ(sheet.windowTitle(), "mp4 Normal - Options");
            ChooseSave(sheet, "Save as and Apply");
        },
        [](QWidget* dialog) {
            auto* names = dynamic_cast<NewProfileDialog*>(dialog);
            ASSERT_NE(names, nullptr);
            names->Button(NewProfileDialog::kOk)->click();  // "New mp4 Normal"
        },
    });
    window.Get<QPushButton>(MainWindow::kOptions)->click();
    EXPECT_EQ(answers.Answered(), 2u);
    auto* profiles = window.Get<QComboBox>(MainWindow::kProfiles);
    EXPECT_EQ(profiles->count(), 4);
    EXPECT_EQ(profiles->currentText(), "New mp4 Normal");
    EXPECT_EQ(window.Tasks().Task(0).profile.ProfileName, "New mp4 Normal");
}

}  // namespace
}  // namespace kinolux
