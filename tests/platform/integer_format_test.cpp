#include <gtest/gtest.h>

#include "platform/integer_format.h"
#include "platform/report.h"

namespace kinolux {
namespace {

TEST(IntegerFormat, FillsNumberConversionsInOrder) {
    EXPECT_EQ(FormatIntegers("Width:%d,Height:%d,Total frames:%d,Frame rate:%d", {640, 480, 42, 12}),
              "Width:640,Height:480,Total frames:42,Frame rate:12");
    EXPECT_EQ(FormatIntegers("%d%% completed", {57}), "57% completed");
    EXPECT_EQ(FormatIntegers("[%04d|%-4d|%+d|% i|%3u]", {7, -7, 7, 7, 1234}), "[0007|-7  |+7| 7|1234]");
    EXPECT_EQ(FormatIntegers("%05d", {-42}), "-0042");
    EXPECT_EQ(FormatIntegers("%d", {INT64_MIN}), "-9223372036854775808");
}

TEST(IntegerFormat, ALanguagePackCannotReachPrintf) {
    EXPECT_EQ(FormatIntegers("%s and %n and %d", {5}), "%s and %n and 5");
    EXPECT_EQ(FormatIntegers("%d %d %d", {1}), "1 %d %d") << "no value is read past the last";
    EXPECT_EQ(FormatIntegers("100%", {}), "100%");
    EXPECT_EQ(FormatIntegers("%999999999d", {1}).size(), 64u) << "padding is bounded";
}

TEST(Report, QuestionsAreAnsweredNoWhenNobodyCanAnswer) {
    SetConsoleMode(1);
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(AskYesNo("Start the disc forge?"));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << "console mode answers without asking";
    SetConsoleMode(0);
    EXPECT_FALSE(AskYesNo("No application object"));
    ::testing::internal::CaptureStdout();
    WriteConsoleLine("Swf File Decompress Error!");
    ReportWarning("Unable to open hyperlink:");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Swf File Decompress Error!\nUnable to open hyperlink:\n");
}

}  // namespace
}  // namespace kinolux
