#include <gtest/gtest.h>

#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ScopedSettingsHome;
using testing::ScopedTempFolder;

class AppSettingsStart : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(program_ / "language/kinolux");
        testing::WriteTextFile(program_ / "language/kinolux/English.ini", "[Info]\nLanguage=English\n");
        testing::WriteTextFile(program_ / "language/kinolux/de.ini",
                               "[Info]\nLanguage=Deutsch\n[MAIN_DLG]\nstrLanguageInfo=Sprache\n");
        SetProgramFolder(program_.path());
        ::setenv("LANG", "en_US.UTF-8", 1);
    }
    void TearDown() override {
        SetProgramFolder("");
        ::unsetenv("LANG");
    }
    ScopedSettingsHome home_;
    ScopedTempFolder program_;
    SettingsStore machine_{"HKLM"};
};

TEST_F(AppSettingsStart, FirstStartCreatesEveryValueAndTheOutputFolders) {
    AppSettings settings;
    LanguageManager languages;
    LoadAppSettings(settings, languages);
    EXPECT_EQ(settings.firstUse, 0u);
    EXPECT_EQ(settings.convertDir, program_.path() + "/output/");
    EXPECT_TRUE(FolderExists(program_ / "output/psp/MP_ROOT/100MNV01"));
    uint32_t number = 7;
    std::string text;
    EXPECT_TRUE(machine_.ReadDword(kSettingsKey, "firstuse", number));
    EXPECT_EQ(number, 0u);
    EXPECT_TRUE(machine_.ReadDword(kSettingsKey, "autoshowformatdialog", number));
    EXPECT_TRUE(machine_.ReadString(kSettingsKey, "ConvertDir", text));
    EXPECT_EQ(text, program_.path() + "/output/");
    EXPECT_TRUE(machine_.ReadString(kSettingsKey, "languagefolder", text));
    EXPECT_EQ(text, "/language/kinolux/");
    EXPECT_TRUE(machine_.ReadString(kSettingsKey, "commonlanguagefolder", text));
    EXPECT_EQ(text, "/language/");
    EXPECT_TRUE(machine_.ReadString(kSettingsKey, "language", text));
    EXPECT_EQ(text, "English");
    EXPECT_EQ(languages.CurrentLanguageFile(), program_.path() + "/language/kinolux/English.ini");
}

TEST_F(AppSettingsStart, StoredValuesWinAndAChosenLanguageTakesEffect) {
    ScopedTempFolder elsewhere;
    machine_.WriteDword(kSettingsKey, "firstuse", 1);
    machine_.WriteString(kSettingsKey, "ConvertDir", elsewhere.path() + "/videos/");
    machine_.WriteString(kSettingsKey, "language", "Deutsch");
    machine_.WriteString(kSettingsKey, "autoshowformatdialog", "1");  // wrong type: absent
    AppSettings settings;
    LanguageManager languages;
    LoadAppSettings(settings, languages);
    EXPECT_EQ(settings.firstUse, 1u);
    EXPECT_EQ(settings.autoShowFormatDialog, 0u);
    EXPECT_EQ(settings.convertDir, elsewhere.path() + "/videos/");
    EXPECT_TRUE(FolderExists(elsewhere / "videos/psp/MP_ROOT/100MNV01"));
    EXPECT_FALSE(FolderExists(program_ / "output"));
    EXPECT_EQ(languages.GetText("MAIN_DLG", "strLanguageInfo", "Language"), "Sprache");
    settings.convertDir = "/tmp/x/";
    ASSERT_TRUE(SaveAppSettings(settings));
    std::string text;
    machine_.ReadString(kSettingsKey, "ConvertDir", text);
    EXPECT_EQ(text, "/tmp/x/");
}

TEST_F(AppSettingsStart, AnOutputFolderWithoutItsSlashOrEmptyStillWorks) {
    ScopedTempFolder elsewhere;
    machine_.WriteString(kSettingsKey, "ConvertDir", elsewhere.path() + "/videos");
    AppSettings settings;
    LanguageManager languages;
    LoadAppSettings(settings, languages);
    EXPECT_EQ(settings.convertDir, elsewhere.path() + "/videos/");
    EXPECT_TRUE(FolderExists(elsewhere / "videos/psp/MP_ROOT/100MNV01"));
    machine_.WriteString(kSettingsKey, "ConvertDir", "");
    LoadAppSettings(settings, languages);
    EXPECT_EQ(settings.convertDir, program_.path() + "/output/");
}

}  // namespace
}  // namespace kinolux
