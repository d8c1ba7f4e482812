#include <gtest/gtest.h>

#include "platform/ini_document.h"
#include "platform/program_folder.h"
#include "profiles/profile_keys.h"
#include "profiles/profile_store.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ReadTextFile;
using testing::ScopedTempFolder;
using testing::WriteTextFile;

// A program folder of its own with an ini/ folder, for the defaults file.
class ProfileStore : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "ini");
        SetProgramFolder(dir_.path());
    }
    void TearDown() override { SetProgramFolder(""); }
    ScopedTempFolder dir_;
};

TEST_F(ProfileStore, ASparseSectionReadsAsEmptyAndWritesBackAllKeysInOrder) {
    std::string file = ProfileFilePath("mp4.ini");
    WriteTextFile(file, "[mp4 Normal]\nFormatName=MP4 video\nPara=-f mp4\n");
    ProfileSettings settings{};
    settings.nSourceWidth = 640;  // run-time fields are not the reader's
    ReadProfile("MP4 NORMAL", settings, file);
    EXPECT_EQ(settings.ProfileName, "MP4 NORMAL");
    EXPECT_EQ(settings.FormatName, "MP4 video");
    EXPECT_EQ(settings.Para, "-f mp4");
    EXPECT_EQ(settings.ProfileFile, "");
    EXPECT_EQ(settings.nSourceWidth, 640);
    ProfileSettings expected{};
    expected.ProfileName = "MP4 NORMAL";
    expected.FormatName = "MP4 video";
    expected.Para = "-f mp4";
    expected.nSourceWidth = 640;
    EXPECT_EQ(settings, expected);

    ASSERT_TRUE(WriteProfile("Copy", settings, file));
    std::string text = ReadTextFile(file);
    size_t section = text.find("[Copy]\n");
    ASSERT_NE(section, std::string::npos);
    size_t at = section;
    for (const ProfileKey& key : ProfileKeys()) {
        size_t next = text.find(std::string("\n") + key.name + "=", at);
        ASSERT_NE(next, std::string::npos) << key.name << " missing or out of order";
        at = next + 1;
    }
    EXPECT_EQ(text.find("ProfileFile"), std::string::npos);
    EXPECT_EQ(text.find("nSourceWidth"), std::string::npos);
}

TEST_F(ProfileStore, ValuesSurviveAWriteAndRead) {
    std::string file = ProfileFilePath("x.ini");
    ProfileSettings settings{};
    settings.FormatName = "DVD";
    settings.BeforePara = "-target ntsc-dvd";
    settings.nVideoCustomFrameRate = 29.97f;
    settings.nAudioCustomBitRate = 128.0f;
    settings.nVideoBitRateLevel = 3.5f;
    settings.nVideoPadColor = 0xFF0000;
    settings.nAspect = 2;
    settings.bCanBurn = 1;
    settings.BurnType = "dvd";
    settings.cAudioCodec = "ac3";
    ASSERT_TRUE(WriteProfile("mpg Normal", settings, file));
    std::string text = ReadTextFile(file);
    EXPECT_NE(text.find("nVideoCustomFrameRate=29.970000\n"), std::string::npos);
    EXPECT_NE(text.find("nAudioCustomBitRate=128.000000\n"), std::string::npos);
    ProfileSettings again{};
    ReadProfile("mpg Normal", again, file);
    settings.ProfileName = "mpg Normal";
    EXPECT_EQ(again, settings);
}

TEST_F(ProfileStore, LongAndOddValuesAreCutToTheirFieldsAndFloatsReadLikeAtof) {
    std::string file = ProfileFilePath("odd.ini");
    WriteTextFile(file, "[p]\nTargetType=" + std::string(40, 'x') + "\ncVideoCodec=\xE4\xB8\xAD" + std::string(17, 'y') +
                            "\nnVideoBitRateLevel=2.5abc\nnVideoBitRateLevel2=junk\nnVideoBitRateLevel3=1e400\n"
                            "nAudioCustomBitRate=" + std::string(58, '0') + "12\nnAspect=7x\n");
    ProfileSettings settings{};
    ReadProfile("p", settings, file);
    EXPECT_EQ(settings.TargetType, std::string(19, 'x'));
    EXPECT_EQ(settings.cVideoCodec, "\xE4\xB8\xAD" + std::string(16, 'y')) << "never a split character";
    EXPECT_FLOAT_EQ(settings.nVideoBitRateLevel, 2.5f);
    EXPECT_EQ(settings.nVideoBitRateLevel2, 0.0f);
    EXPECT_EQ(settings.nVideoBitRateLevel3, 0.0f);
    EXPECT_EQ(settings.nAudioCustomBitRate, 1.0f) << "float text is read in 59 characters";
    EXPECT_EQ(settings.nAspect, 7);
}

TEST_F(ProfileStore, SaveAsNewRefusesExistingNamesWhateverTheirCase) {
    std::string file = ProfileFilePath("mp4.ini");
    WriteTextFile(file, "[mp4 Normal]\nPara=-f mp4\n");
    std::string before = ReadTextFile(file);
    ProfileSettings settings{};
    EXPECT_EQ(SaveProfileAsNew("MP4 normal", settings, file), NewProfileResult::NameExists);
    EXPECT_EQ(SaveProfileAsNew("", settings, file), NewProfileResult::NameInvalid);
    EXPECT_EQ(SaveProfileAsNew("bad]name", settings, file), NewProfileResult::NameInvalid);
    EXPECT_EQ(SaveProfileAsNew(std::string(256, 'n'), settings, file), NewProfileResult::NameInvalid);
    EXPECT_EQ(ReadTextFile(file), before);
    EXPECT_EQ(SaveProfileAsNew("New mp4 Normal", settings, file), NewProfileResult::Written);
    EXPECT_EQ(ListProfileNames(file), (std::vector<std::string>{"mp4 Normal", "New mp4 Normal"}));
}

TEST_F(ProfileStore, TheFirstProfileBecomesTheRememberedOne) {
    WriteTextFile(ProfileFilePath("paldvd.ini"), "[mpg High]\n[mpg Normal]\nFormatName=DVD\n");
    EXPECT_EQ(GetDefaultProfileName("paldvd.ini"), "mpg High");
    EXPECT_EQ(IniDocument::Load(DefaultsFilePath()).Get("default", "paldvd.ini").value_or("?"), "mpg High");
    ASSERT_TRUE(SetDefaultProfileName("paldvd.ini", "mpg Normal"));
    ProfileSettings settings{};
    LoadDefaultProfile("paldvd.ini", settings);
    EXPECT_EQ(settings.ProfileName, "mpg Normal");
    EXPECT_EQ(settings.FormatName, "DVD");
    EXPECT_EQ(settings.ProfileFile, dir_.path() + "/ini/paldvd.ini");
    // A file without sections remembers the empty name and reads as empty.
    EXPECT_EQ(GetDefaultProfileName("missing.ini"), "");
    EXPECT_TRUE(IniDocument::Load(DefaultsFilePath()).Get("default", "missing.ini").has_value());
}

TEST_F(ProfileStore, OutputDefaultsRoundTrip) {
    OutputDefault empty = ReadOutputDefault();
    EXPECT_EQ(empty.fileName, "");
    EXPECT_EQ(empty.calcAspect, 0);
    ASSERT_TRUE(WriteOutputDefault({"mp4.ini", "mp4 Normal", -1}));
    OutputDefault output = ReadOutputDefault();
    EXPECT_EQ(output.fileName, "mp4.ini");
    EXPECT_EQ(output.profileName, "mp4 Normal");
    EXPECT_EQ(output.calcAspect, -1);
}

}  // namespace
}  // namespace kinolux
