#include <gtest/gtest.h>
#include <filesystem>

#include "platform/settings_file.h"
#include "platform/settings_store.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ReadTextFile;
using testing::ScopedSettingsHome;
using testing::WriteTextFile;

constexpr const char* kKinolux = "Software\\Qorvane\\Kinolux";

TEST(SettingsStore, LivesUnderTheConfigHome) {
    ScopedSettingsHome home;
    EXPECT_EQ(SettingsFilePath(), home.path() + "/Qorvane/settings.reg");
    ::setenv("XDG_CONFIG_HOME", "relative/path", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(SettingsFilePath(), "/home/someone/.config/Qorvane/settings.reg");
}

TEST(SettingsStore, StoresTypedValuesUnderAnyKeyPath) {
    ScopedSettingsHome home;
    SettingsStore machine("HKLM");
    SettingsStore classes("HKCR");
    uint32_t number = 0;
    std::string text;
    EXPECT_FALSE(machine.ReadDword(kKinolux, "firstuse", number));
    ASSERT_TRUE(machine.WriteDword(kKinolux, "firstuse", 0xFFFFFFFFu));
    ASSERT_TRUE(machine.WriteString(kKinolux, "ConvertDir", "/tmp/out \"x\"\\y\nz/"));
    const char* clsid = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}\\InprocServer32";
    ASSERT_TRUE(classes.WriteString(clsid, "", "/opt/flash/module.so"));

    EXPECT_TRUE(machine.ReadDword("software\\QORVANE\\kinolux", "FIRSTUSE", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    EXPECT_TRUE(machine.ReadString(kKinolux, "convertdir", text));
    EXPECT_EQ(text, "/tmp/out \"x\"\\y\nz/");
    EXPECT_TRUE(classes.ReadString(clsid, "", text));
    EXPECT_EQ(text, "/opt/flash/module.so");
    // A value of one type is absent for a reader of the other, and roots differ.
    EXPECT_FALSE(machine.ReadString(kKinolux, "firstuse", text));
    EXPECT_FALSE(machine.ReadDword(kKinolux, "ConvertDir", number));
    EXPECT_FALSE(classes.ReadDword(kKinolux, "firstuse", number));
    // Rewriting replaces the value in place.
    ASSERT_TRUE(machine.WriteDword(kKinolux, "firstuse", 1));
    EXPECT_TRUE(machine.ReadDword(kKinolux, "firstuse", number));
    EXPECT_EQ(number, 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(home.path() + "/Qorvane"), {}), 1)
        << "no temporary file is left behind";
}

TEST(SettingsStore, ValuesOfOtherTypesReadAsAbsentAndSurviveRewrites) {
    ScopedSettingsHome home;
    std::filesystem::create_directories(home.path() + "/Qorvane");
    WriteTextFile(SettingsFilePath(),
                  "[HKLM\\Software\\Qorvane\\Kinolux]\n\"blob\"=hex:01,02\n\"bad\"=dword:xyz\n\"n\"=dword:0000002a\n");
    SettingsStore machine("HKLM");
    uint32_t number = 0;
    std::string text;
    EXPECT_FALSE(machine.ReadDword(kKinolux, "blob", number));
    EXPECT_FALSE(machine.ReadString(kKinolux, "blob", text));
    EXPECT_FALSE(machine.ReadDword(kKinolux, "bad", number));
    EXPECT_TRUE(machine.ReadDword(kKinolux, "n", number));
    EXPECT_EQ(number, 42u);
    ASSERT_TRUE(machine.WriteString(kKinolux, "language", "English"));
    EXPECT_NE(ReadTextFile(SettingsFilePath()).find("\"blob\"=hex:01,02"), std::string::npos);
}

TEST(SettingsFile, ParsesHostileTextWithoutLosingStructure) {
    SettingsFile file = SettingsFile::Parse("\"orphan\"=dword:1\n[k]\n\"unterminated=\"x\n[k\n\"a\"=\"b\\\"\n[K]\n\"a\"=\"c\"\n");
    ASSERT_EQ(file.keys.size(), 1u);
    const SettingValue* a = file.Find("k", "A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->type, SettingType::String);
    EXPECT_EQ(a->text, "c");
    EXPECT_FALSE(file.Put("bad]path", {"x", SettingType::Dword, 1, {}}));
    SettingsFile again = SettingsFile::Parse(file.Serialize());
    EXPECT_EQ(again.Serialize(), file.Serialize());
}

}  // namespace
}  // namespace kinolux
