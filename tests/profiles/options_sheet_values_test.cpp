// What the options sheet does without its widgets: the codec lists and how
// a profile's codec finds its entry, numbers shown and read back unchanged,
// the pad colour's forms, the live default bit rate, the values the encoder
// cannot take, closing onto the task's profile, and the two saves.
#include <gtest/gtest.h>

#include "platform/program_folder.h"
#include "profiles/codec_frame_sizes.h"
#include "profiles/options_sheet_values.h"
#include "profiles/profile_store.h"
#include "tests/platform/scoped_temp_folder.h"

#include <sys/stat.h>
#include <filesystem>
#include <vector>

namespace kinolux {
namespace {

using testing::ReadTextFile;
using testing::ScopedTempFolder;
using testing::WriteTextFile;

TEST(OptionsSheetValues, CodecListsAndTheEntryAProfileSelects) {
    ASSERT_EQ(AudioCodecNames().size(), 41u);
    ASSERT_EQ(VideoCodecNames().size(), 32u);
    EXPECT_STREQ(AudioCodecNames()[0], "auto");
    EXPECT_STREQ(AudioCodecNames()[40], "pcm_mulaw");
    EXPECT_STREQ(VideoCodecNames()[0], "auto");
    EXPECT_STREQ(VideoCodecNames()[31], "ppm");
    EXPECT_STREQ(VideoCodecNames()[CodecEntry(VideoCodecNames(), "MPEG4")], "mpeg4");
    EXPECT_STREQ(AudioCodecNames()[CodecEntry(AudioCodecNames(), "Mp3")], "mp3");
    // Only a whole name counts: the beginning of one, or a codec the list lacks, is "auto".
    EXPECT_EQ(CodecEntry(VideoCodecNames(), "mpeg"), 0);
    EXPECT_EQ(CodecEntry(VideoCodecNames(), "gif"), 0);
    EXPECT_EQ(CodecEntry(AudioCodecNames(), ""), 0);
}

TEST(OptionsSheetValues, NumbersShowAndReadBackUnchanged) {
    EXPECT_EQ(FrameRateText(29.97f), "29.9699993133545");
    EXPECT_EQ(static_cast<float>(*ReadNumberText(FrameRateText(29.97f))), 29.97f);
    EXPECT_EQ(FloatText(3.0f), "3");
    EXPECT_EQ(FloatText(128.5f), "128.5");
    EXPECT_EQ(FloatText(1234567.0f), "1.23457e+06");
    EXPECT_EQ(IntegerText(-12), "-12");
    EXPECT_EQ(ReadIntegerText(" 42 "), 42);
    EXPECT_EQ(ReadNumberText("1e3"), 1000.0);
    for (const char* refused : {"", " ", "12abc", "1.5", "4294967296", "0x10"})
        EXPECT_FALSE(ReadIntegerText(refused).has_value()) << refused;
    for (const char* refused : {"", "abc", "1,5", "inf", "nan", "0x10", "1e999"})
        EXPECT_FALSE(ReadNumberText(refused).has_value()) << refused;
}

TEST(OptionsSheetValues, ThePadColourAsTextAndAsTheDialogsColour) {
    EXPECT_EQ(PadColourText(0xFF0000), "0xFF0000");
    EXPECT_EQ(PadColourText(0x12ab34), "0x12AB34");
    EXPECT_EQ(PadColourFromRgb({255, 0, 0}), 16711680);
    const Rgb blue = PadColourToRgb(0x0000FF);
    EXPECT_EQ(blue.red, 0);
    EXPECT_EQ(blue.blue, 255);
    EXPECT_EQ(PadColourFromRgb(PadColourToRgb(0x12AB34)), 0x12AB34);
}

ProfileSettings SourceOf(int width, int height) {
    ProfileSettings p{};
    p.nSourceWidth = width;
    p.nSourceHeight = height;
    p.nAudioVolume = 256;
    p.cAudioCodec = "auto";
    p.cVideoCodec = "auto";
    return p;
}

TEST(OptionsSheetValues, TheLiveDefaultBitRateFollowsTheSizeChoiceUnrounded) {
    ProfileSettings p = SourceOf(550, 400);
    p.nVideoBitRateLevel = 3;
    EXPECT_EQ(LiveFrameSize(p).width, 550);  // the profile's own rate rounds to 560
    EXPECT_EQ(LiveDefaultVideoBitRate(p), 644);
    p.nVideoRiszeOption = 5;
    EXPECT_EQ(LiveDefaultVideoBitRate(p), 225);
    p.nVideoRiszeOption = 9;
    p.nVideoCustomSizeX = 330;
    p.nVideoCustomSizeY = 200;
    EXPECT_EQ(LiveFrameSize(p).width, 330);
    p.nVideoBitRateLevel = -1;
    EXPECT_EQ(LiveDefaultVideoBitRate(p), 0);
}

TEST(OptionsSheetValues, ValuesTheEncoderCannotTakeAreRefusedOnTheirPage) {
    struct Case {
        const char* what;
        void (*change)(ProfileSettings&);
        OptionPage page;
        int item;
    };
    const Case refused[] = {
        {"a custom width of 0", [](ProfileSettings& p) { p.nVideoRiszeOption = 9, p.nVideoCustomSizeY = 96; },
         kResizePage, 1085},
        {"a custom height beyond 16384",
         [](ProfileSettings& p) { p.nVideoRiszeOption = 9, p.nVideoCustomSizeX = 96, p.nVideoCustomSizeY = 16385; },
         kResizePage, 1087},
        {"a custom video bit rate of 0", [](ProfileSettings& p) { p.bVideoCustomBitRate = 1; }, kVideoPage, 1250},
        {"a custom audio bit rate of 0", [](ProfileSettings& p) { p.bAudioCustomBitRate = 1; }, kAudioPage, 1226},
        {"a custom sampling rate of 0", [](ProfileSettings& p) { p.bAudioCustomSampleRate = 1; }, kAudioPage, 1221},
        {"a custom frame rate of 0", [](ProfileSettings& p) { p.bVideoCustomFrameRate = 1; }, kVideoPage, 1238},
        {"a quotiety above 100", [](ProfileSettings& p) { p.nVideoBitRateLevel2 = 101; }, kVideoPage, 1146},
        {"a volume below 100", [](ProfileSettings& p) { p.nAudioVolume = 99; }, kAudioPage, 1231},
        {"an odd width for h264",
         [](ProfileSettings& p) { p.cVideoCodec = "H264", p.bVideoEnableCrop = 1, p.nVideoCropLeft = 1; }, kCropPadPage,
         1263},
        {"an odd height for the container's own codec",
         [](ProfileSettings& p) { p.bVideoEnableCrop = 1, p.nVideoCropBottom = 3; }, kCropPadPage, 1263},
        {"a width rv10 cannot take",
         [](ProfileSettings& p) { p.cVideoCodec = "rv10", p.bVideoEnableCrop = 1, p.nVideoCropLeft = 8; }, kCropPadPage,
         1263},
        {"an odd source at its own size", [](ProfileSettings& p) { p.nSourceHeight = 49; }, kResizePage, 1252},
        {"cropping away the whole width",
         [](ProfileSettings& p) { p.bVideoEnableCrop = 1, p.nVideoCropLeft = 32, p.nVideoCropRight = 32; },
         kCropPadPage, 1263},
        {"padding wider than the chosen frame",
         [](ProfileSettings& p) { p.nVideoRiszeOption = 1, p.bVideoEnablePad = 1, p.nVideoPadLeft = 128; },
         kCropPadPage, 1273},
        {"a padded frame beyond 16384", [](ProfileSettings& p) { p.bVideoEnablePad = 1, p.nVideoPadBottom = 16384; },
         kCropPadPage, 1273},
        {"a negative crop", [](ProfileSettings& p) { p.bVideoEnableCrop = 1, p.nVideoCropTop = -2; }, kCropPadPage,
         1265},
    };
    for (const Case& c : refused) {
        ProfileSettings p = SourceOf(64, 48);
        c.change(p);
        const std::optional<OptionRefusal> refusal = FindRefusedValue(p);
        ASSERT_TRUE(refusal.has_value()) << c.what;
        EXPECT_EQ(refusal->page, c.page) << c.what;
        EXPECT_EQ(refusal->item, c.item) << c.what;
        EXPECT_FALSE(refusal->message.empty());
    }
    const Case accepted[] = {
        {"the profile as it is", [](ProfileSettings&) {}, kAudioPage, 0},
        {"an odd width for mpeg4",
         [](ProfileSettings& p) { p.cVideoCodec = "mpeg4", p.nVideoCropLeft = 1, p.bVideoEnableCrop = 1; }, kAudioPage,
         0},
        {"odd sides without video",
         [](ProfileSettings& p) { p.bDisableVideo = 1, p.bVideoEnablePad = 1, p.nVideoPadTop = 1; }, kAudioPage, 0},
        {"a custom size rounded up to 16 whose sides are odd",
         [](ProfileSettings& p) { p.nVideoRiszeOption = 9, p.nVideoCustomSizeX = 101, p.nVideoCustomSizeY = 77; },
         kAudioPage, 0},
        {"unticked custom rates of 0", [](ProfileSettings& p) { p.nVideoCustomBitRate = 0, p.nAudioCustomBitRate = 0; },
         kAudioPage, 0},
        {"crop and pad amounts that are not enabled",
         [](ProfileSettings& p) { p.nVideoCropLeft = 999, p.nVideoPadTop = -5; }, kAudioPage, 0},
        {"the biggest frame",
         [](ProfileSettings& p) { p.nVideoRiszeOption = 9, p.nVideoCustomSizeX = 16384, p.nVideoCustomSizeY = 16384; },
         kAudioPage, 0},
    };
    for (const Case& c : accepted) {
        ProfileSettings p = SourceOf(64, 48);
        c.change(p);
        const std::optional<OptionRefusal> refusal = FindRefusedValue(p);
        EXPECT_FALSE(refusal.has_value()) << c.what << ": " << refusal->message;
    }
}

// DV and H.261 take only their own sizes, however the frame came to be;
// only the size choice mends that. DV's sizes were tried with this
// machine's libavcodec, each in the sampling named here.
TEST(OptionsSheetValues, CodecsOfAFewSizesTakeOnlyThoseAndAreMendedOnTheResizePage) {
    struct Case {
        const char* codec;
        int option;  // nVideoRiszeOption; 9 with the custom size below
        FrameSize custom;
        bool pad;
        std::string refusedItem;  // empty when accepted
    };
    const Case cases[] = {
        {"dvvideo", 0, {}, false, "1252"},
        {"dvvideo", 7, {}, false, ""},
        {"DVVIDEO", 8, {}, true, ""},
        {"dvvideo", 4, {}, false, "1252"},
        {"dvvideo", 0, {}, true, "1252"},
        {"dvvideo", 9, {960, 720}, false, ""},
        {"dvvideo", 9, {1280, 1080}, false, "1085"},
        {"dvvideo", 0, {1440, 1080}, false, ""},
        {"dvvideo", 9, {1280, 720}, false, "1085"},
        {"h261", 2, {}, false, ""},
        {"H261", 3, {}, false, ""},
        {"h261", 1, {}, false, "1252"},
        {"h261", 9, {352, 240}, false, "1085"},
        {"h261", 5, {}, true, "1252"},
    };
    for (const Case& c : cases) {
        // A chosen size of 0 x 0 keeps the source's own, here the DVCPRO HD
        // frame, which a custom size rounded up to 16 rows cannot give.
        ProfileSettings p =
            c.option == 0 && c.custom.width > 0 ? SourceOf(c.custom.width, c.custom.height) : SourceOf(64, 48);
        p.cVideoCodec = c.codec;
        p.nVideoRiszeOption = c.option;
        p.nVideoCustomSizeX = c.custom.width;
        p.nVideoCustomSizeY = c.custom.height;
        if (c.pad) p.bVideoEnablePad = 1, p.nVideoPadLeft = p.nVideoPadRight = 8;
        const std::string what = std::string(c.codec) + " at size choice " + std::to_string(c.option) + " " +
                                 FrameSizeText(EncodedFrameSize(p));
        const std::optional<OptionRefusal> refusal = FindRefusedValue(p);
        if (c.refusedItem.empty()) {
            EXPECT_FALSE(refusal.has_value()) << what << ": " << refusal->message;
            continue;
        }
        ASSERT_TRUE(refusal.has_value()) << what;
        EXPECT_EQ(refusal->page, kResizePage) << what;
        EXPECT_EQ(std::to_string(refusal->item), c.refusedItem) << what;
        EXPECT_EQ(refusal->message.rfind(CodecFrameSizeProblem(p, EncodedFrameSize(p)), 0), 0u) << refusal->message;
    }
    ProfileSettings dv = SourceOf(64, 48);
    dv.cVideoCodec = "dvvideo";
    EXPECT_EQ(CodecFrameSizeProblem(dv, {704, 576}),
              "The output frame would be 704 x 576, but the dvvideo codec takes only 720 x 480, 720 x 576, 960 x 720, "
              "1280 x 1080 or 1440 x 1080.");
    dv.cVideoCodec = "h261";
    EXPECT_EQ(CodecFrameSizeProblem(dv, {128, 96}),
              "The output frame would be 128 x 96, but the h261 codec takes only 176 x 144 or 352 x 288.");
    dv.bDisableVideo = 1;
    EXPECT_EQ(CodecFrameSizeProblem(dv, {128, 96}), "") << "no video, nothing to refuse";

    dv.cVideoCodec = "dvvideo";
    EXPECT_EQ(DvPixelFormat(dv, {720, 480}), "yuv411p");
    EXPECT_EQ(DvPixelFormat(dv, {720, 576}), "yuv420p");
    EXPECT_EQ(DvPixelFormat(dv, {1440, 1080}), "yuv422p");
    EXPECT_EQ(DvPixelFormat(dv, {640, 480}), "");
    dv.cVideoCodec = "h261";
    EXPECT_EQ(DvPixelFormat(dv, {720, 576}), "");
}

TEST(OptionsSheetValues, TheEncodedFrameIsTheChosenSizeOrTheCroppedPictureWithItsPadding) {
    ProfileSettings p = SourceOf(60, 48);
    EXPECT_EQ(FrameSizeText(EncodedFrameSize(p)), "64 x 48") << "the source's width rounded up to 16";
    p.bVideoEnableCrop = 1, p.nVideoCropLeft = 2, p.nVideoCropTop = 4;
    EXPECT_EQ(FrameSizeText(EncodedFrameSize(p)), "62 x 44");
    p.nVideoRiszeOption = 9, p.nVideoCustomSizeX = 101, p.nVideoCustomSizeY = 77;
    EXPECT_EQ(FrameSizeText(EncodedFrameSize(p)), "112 x 80");
    p.nVideoRiszeOption = 3;
    EXPECT_EQ(FrameSizeText(EncodedFrameSize(p)), "352 x 288");
}

TEST(OptionsSheetValues, ClosingSetsTheSourceAndDefaultBitRateAgainWithoutTheAspectFit) {
    ProfileSettings task = SourceOf(550, 400);
    task.ProfileFile = "/somewhere/mp4.ini";
    task.ProfileName = "mp4 Normal";
    ProfileSettings edited = task;
    edited.ProfileName = "not the task's";
    edited.nSourceWidth = 1;
    edited.nSourceAspect = 1.375f;
    edited.nVideoBitRateLevel = 3;
    edited.cVideoCodec = "a codec name longer than its field";
    edited.bVideoEnablePad = 0;
    ApplyEditedProfile(edited, task, 550, 400);
    EXPECT_EQ(task.ProfileName, "mp4 Normal");
    EXPECT_EQ(task.ProfileFile, "/somewhere/mp4.ini");
    EXPECT_EQ(task.nSourceWidth, 550);
    EXPECT_EQ(task.nSourceAspect, 0.0f);
    EXPECT_EQ(task.nDefaultVideoBitRate, 656);  // 560 x 400: the encoder's rounding
    EXPECT_EQ(task.cVideoCodec, "a codec name longer");
    EXPECT_EQ(task.bVideoEnablePad, 0);
    EXPECT_EQ(task.nAspect, 0);
}

// A program folder of its own, for the defaults file that a save as writes.
class OptionsSave : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(dir_ / "ini");
        SetProgramFolder(dir_.path());
        WriteTextFile(file_, kOriginal);
        LoadProfile("mp4 Normal", profile_, file_);
        profile_.nVideoCustomBitRate = 777;
    }
    void TearDown() override {
        ::chmod(file_.c_str(), 0644);
        ::chmod((dir_ / "ini").c_str(), 0755);
        SetProgramFolder("");
    }

    // Answers the name dialog with `names` in turn, then cancels it.
    AskProfileName Answers(std::vector<std::string> names) {
        return [this, names](const std::string& proposed) -> std::optional<std::string> {
            proposals_.push_back(proposed);
            if (proposals_.size() > names.size()) return std::nullopt;
            return names[proposals_.size() - 1];
        };
    }

    static constexpr const char* kOriginal =
        "; shipped profiles\r\n[mp4 Normal]\r\nFormatName=MP4\r\nPara=-f mp4\r\nUnknownKey = kept \r\n\r\n"
        "[mp4 High]\r\nFormatName=MP4\r\n";
    ScopedTempFolder dir_;
    std::string file_ = dir_ / "ini/mp4.ini";
    ProfileSettings profile_{};
    std::vector<std::string> proposals_;
};

TEST_F(OptionsSave, SaveAsRefusesAnExistingNameWhateverItsCaseThenAddsOneSectionKeepingEveryLine) {
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(SaveAsNewProfile(profile_, Answers({"MP4 HIGH", "  ", "Mine"})));
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("The name has been conflicted with existed."), std::string::npos) << said;
    EXPECT_NE(said.find("A profile name holds 1 to 255 characters"), std::string::npos) << said;
    EXPECT_EQ(proposals_, (std::vector<std::string>{"New mp4 Normal", "MP4 HIGH", "  "}));
    EXPECT_EQ(profile_.ProfileName, "Mine");
    const std::string text = ReadTextFile(file_);
    ASSERT_EQ(text.substr(0, std::string(kOriginal).size()), kOriginal);
    EXPECT_EQ(ListProfileNames(file_), (std::vector<std::string>{"mp4 Normal", "mp4 High", "Mine"}));
    EXPECT_NE(text.find("[Mine]\r\n"), std::string::npos);
    EXPECT_NE(text.find("nVideoCustomBitRate=777\r\n"), std::string::npos);
    EXPECT_EQ(GetDefaultProfileName("mp4.ini"), "Mine");
}

TEST_F(OptionsSave, ACancelledNameDialogKeepsTheNameAndTheFile) {
    EXPECT_FALSE(SaveAsNewProfile(profile_, Answers({})));
    EXPECT_EQ(proposals_, (std::vector<std::string>{"New mp4 Normal"}));
    EXPECT_EQ(profile_.ProfileName, "mp4 Normal");
    EXPECT_EQ(ReadTextFile(file_), kOriginal);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "ini/qlxdef.ini"));
}

TEST_F(OptionsSave, SaveOverwritesOnlyTheCurrentSection) {
    ASSERT_TRUE(SaveOverCurrentProfile(profile_));
    const std::string text = ReadTextFile(file_);
    EXPECT_EQ(
        text.find("; shipped profiles\r\n[mp4 Normal]\r\nFormatName=MP4\r\nPara=-f mp4\r\nUnknownKey = kept \r\n"), 0u);
    EXPECT_LT(text.find("nVideoCustomBitRate=777"), text.find("[mp4 High]"));
    EXPECT_EQ(text.substr(text.find("[mp4 High]")), "[mp4 High]\r\nFormatName=MP4\r\n");
}

TEST_F(OptionsSave, AFileOrFolderThatCannotBeWrittenIsReportedAndLosesNothing) {
    for (const std::string& locked : {file_, dir_ / "ini"}) {
        ::chmod(locked.c_str(), locked == file_ ? 0444 : 0555);
        ::testing::internal::CaptureStdout();
        EXPECT_FALSE(SaveOverCurrentProfile(profile_));
        EXPECT_FALSE(SaveAsNewProfile(profile_, Answers({"Mine"})));
        const std::string said = ::testing::internal::GetCapturedStdout();
        EXPECT_NE(said.find("cannot be written. The options apply to this task only."), std::string::npos) << said;
        EXPECT_EQ(profile_.ProfileName, "mp4 Normal");
        EXPECT_EQ(ReadTextFile(file_), kOriginal);
        ::chmod(locked.c_str(), locked == file_ ? 0644 : 0755);
        proposals_.clear();
    }
    const auto entries = std::distance(std::filesystem::directory_iterator(dir_ / "ini"), {});
    EXPECT_EQ(entries, 1) << "no temporary file is left";
}

}  // namespace
}  // namespace kinolux
