#include <gtest/gtest.h>

#include "platform/whole_command_line.h"
#include "shell/command_line.h"
#include "shell/help_text.h"
#include "tests/platform/written_text.h"

namespace kinolux {
namespace {

CommandLineJob Scan(const std::string& line, ParseResult expected) {
    CommandLineJob job;
    job.commandLine = line;
    std::string error;
    EXPECT_EQ(ParseCommandLine(job, error), expected) << line << ": " << error;
    return job;
}

TEST(CommandLine, TheWholeLineIsThePathAndTheArgumentsJoined) {
    const char* plain[] = {"/opt/kinolux/kinolux", "/f", "my movie.swf", "/o", "out.avi"};
    EXPECT_EQ(WholeCommandLine(5, plain), "/opt/kinolux/kinolux /f my movie.swf /o out.avi");
    const char* spaced[] = {"/opt/my apps/kinolux", "/h"};
    EXPECT_EQ(WholeCommandLine(2, spaced), "\"/opt/my apps/kinolux\" /h");
    CommandLineJob job = Scan(WholeCommandLine(5, plain), ParseResult::Console);
    EXPECT_EQ(job.inputFile, "my movie.swf");
    EXPECT_EQ(job.outputFile, "out.avi");
    EXPECT_TRUE(Scan(WholeCommandLine(2, spaced), ParseResult::Console).helpRequested);
}

TEST(CommandLine, ValuesKeepTheirBlanksAndAbsolutePaths) {
    CommandLineJob job = Scan("kinolux /f /home/u/a.swf /o /tmp/b.mp4 /pi ini/ntscdvd.ini /pn JPEG  images Normal  /om 2",
                              ParseResult::Console);
    EXPECT_EQ(job.inputFile, "/home/u/a.swf");
    EXPECT_EQ(job.outputFile, "/tmp/b.mp4");
    EXPECT_EQ(job.profileFile, "ini/ntscdvd.ini");
    EXPECT_EQ(job.profileName, "JPEG  images Normal");
    EXPECT_EQ(job.outputMode, "2");
    job = Scan("kinolux /o out /fd 5 /if 3 /of 9 /f in.swf  ", ParseResult::Console);
    EXPECT_EQ(job.inputFile, "in.swf  ") << "trailing blanks stay in the last value";
    EXPECT_EQ(job.frameDuration, "5");
    EXPECT_EQ(job.inFrame, "3");
    EXPECT_EQ(job.outFrame, "9");
}

TEST(CommandLine, OnlyKnownSwitchesAtTheStartOfAWordCount) {
    CommandLineJob job = Scan("kinolux /F a.swf /o b.avi", ParseResult::Window);
    EXPECT_EQ(job.inputFile, "");
    EXPECT_EQ(job.ignoredText, "/F a.swf");
    EXPECT_EQ(job.outputFile, "b.avi");
    job = Scan("kinolux /HELP", ParseResult::Window);
    EXPECT_EQ(job.helpRequested, 0);
    job = Scan("kinolux /f a.swf /x 1 /o b/c.avi/", ParseResult::Console);
    EXPECT_EQ(job.inputFile, "a.swf /x 1");
    EXPECT_EQ(job.outputFile, "b/c.avi/");
    job = Scan("kinolux /f a.swf /f b.swf /o", ParseResult::Window);
    EXPECT_EQ(job.inputFile, "b.swf") << "a repeated switch keeps the last value";
}

TEST(CommandLine, WhatDecidesTheMode) {
    Scan("kinolux", ParseResult::Window);
    Scan("kinolux ", ParseResult::Window);
    Scan("kinolux /f a.swf", ParseResult::Window);
    CommandLineJob job = Scan("kinolux /h /f a.swf /o b.avi", ParseResult::Console);
    EXPECT_EQ(job.helpRequested, 1);
    job = Scan("kinolux /help ignored value", ParseResult::Console);
    EXPECT_EQ(job.helpRequested, 1);
    job = Scan("\"/x y/kinolux\"/f a /o b", ParseResult::Window);
    EXPECT_EQ(job.inputFile, "") << "text glued to the program name is no switch";
}

TEST(CommandLine, FastTakesNoValueAndNeverSwallowsTheNext) {
    CommandLineJob job = Scan("kinolux /fast /f a b.swf /o c.mp4", ParseResult::Console);
    EXPECT_EQ(job.fast, 1);
    EXPECT_EQ(job.inputFile, "a b.swf");
    job = Scan("kinolux /f a.swf /o c.mp4 /fast", ParseResult::Console);
    EXPECT_EQ(job.fast, 1);
    EXPECT_EQ(job.outputFile, "c.mp4");
    job = Scan("kinolux /f a.swf /fastest /o c.mp4", ParseResult::Console);
    EXPECT_EQ(job.fast, 0) << "only the exact word";
    EXPECT_EQ(job.inputFile, "a.swf /fastest");
    EXPECT_EQ(Scan("kinolux /f a.swf /o c.mp4", ParseResult::Console).fast, 0);
}

TEST(CommandLine, OverlongInputIsRefusedNotCut) {
    CommandLineJob job;
    std::string error;
    job.commandLine = "kinolux /f " + std::string(256, 'a') + " /o b";
    EXPECT_EQ(ParseCommandLine(job, error), ParseResult::Refused);
    EXPECT_NE(error.find("/f"), std::string::npos);
    job = CommandLineJob{};
    job.commandLine = "kinolux /f " + std::string(255, 'a') + " /o b";
    EXPECT_EQ(ParseCommandLine(job, error), ParseResult::Console);
    job = CommandLineJob{};
    job.commandLine = "kinolux /o b /pn " + std::string(1990, 'n');
    EXPECT_EQ(ParseCommandLine(job, error), ParseResult::Refused);
    EXPECT_NE(error.find("1999"), std::string::npos);
}

TEST(CommandLine, NextSwitchWalksTheTokens) {
    std::string_view text = "/pn a b  /h";
    size_t cursor = 0;
    std::string name, value;
    ASSERT_TRUE(NextSwitch(text, cursor, name, value));
    EXPECT_EQ(name, "/pn");
    EXPECT_EQ(value, "a b");
    ASSERT_TRUE(NextSwitch(text, cursor, name, value));
    EXPECT_EQ(name, "/h");
    EXPECT_EQ(value, "");
    EXPECT_FALSE(NextSwitch(text, cursor, name, value));
    EXPECT_EQ(name, "");
}

TEST(HelpText, LineForLine) {
    const std::string text = testing::WrittenText(WriteHelp);
    EXPECT_EQ(text.substr(0, 37), "\nKinolux - command line using help\n\n/");
    EXPECT_NE(text.find("\n/fd                 ---  Frame duration, only for interactive mode, default 5s\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n                         2 - Interactive(two compressions)\n"), std::string::npos);
    EXPECT_NE(text.find("\neg: kinolux /f in.swf /o out /pi ini/jpegimg.ini /pn JPEG images Normal\n"),
              std::string::npos);
    EXPECT_NE(text.find("\n/pn                 ---  Output settings using profile name in ini file\n"
                        "/fast               ---  Auto mode without playing in real time, many times faster\n"),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 23);
}

}  // namespace
}  // namespace kinolux
