// The player's command line as the main program writes it, and the lines
// that must make the player exit without a window.
#include "player/player_arguments.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

namespace kinolux {
namespace {

// What the main program passes, behind the player's own path.
std::string MainProgramLine(const char* movie, const char* wav, const char* sync, double rate, int from, int to,
                            int total) {
    char arguments[2048];
    std::snprintf(arguments, sizeof arguments,
                  "'-in' %s '-ou' %s '-sn' %s '-fr' %.3f '-ff' %d '-tf' %d '-of' %d '-cm' 1", movie, wav, sync,
                  rate, from, to, total);
    return std::string("/opt/kinolux/kinoluxplayer ") + arguments;
}

TEST(PlayerArguments, ReadsTheMainProgramsLineWithBlanksInPaths) {
    std::string problem;
    const auto arguments = ParsePlayerCommandLine(
        MainProgramLine("/home/ann/My Movies/intro  film.swf", "/tmp/out dir/~temp.wav", "/tmp/out dir/~temp.sync",
                        29.97, 0, 1199, 1200),
        problem);
    ASSERT_TRUE(arguments.has_value()) << problem;
    EXPECT_EQ(arguments->inputPath, "/home/ann/My Movies/intro  film.swf");
    EXPECT_EQ(arguments->wavPath, "/tmp/out dir/~temp.wav");
    EXPECT_EQ(arguments->syncPath, "/tmp/out dir/~temp.sync");
    EXPECT_FLOAT_EQ(arguments->frameRate, 29.97f);
    EXPECT_EQ(arguments->fromFrame, 0);
    EXPECT_EQ(arguments->toFrame, 1199);
    EXPECT_EQ(arguments->totalFrames, 1200);
    EXPECT_EQ(arguments->consoleMode, 1);
}

TEST(PlayerArguments, NumbersReadLikeTheCLibraryWithoutOverflowing) {
    std::string problem;
    const auto arguments = ParsePlayerCommandLine(
        "p '-in' a.swf '-ou' a.wav '-sn' a.sync '-fr' 25fps '-ff' -3x '-tf' 99999999999 '-of' -99999999999 "
        "'-cm' \t0 trailing",
        problem);
    ASSERT_TRUE(arguments.has_value()) << problem;
    EXPECT_FLOAT_EQ(arguments->frameRate, 25.0f);
    EXPECT_EQ(arguments->fromFrame, -3);
    EXPECT_EQ(arguments->toFrame, INT_MAX);
    EXPECT_EQ(arguments->totalFrames, INT_MIN);
    EXPECT_EQ(arguments->consoleMode, 0);
}

TEST(PlayerArguments, EmptyPathsStillMakeARun) {
    std::string problem;
    const auto arguments = ParsePlayerCommandLine(MainProgramLine("", "", "", 12, 1, 2, 3), problem);
    ASSERT_TRUE(arguments.has_value()) << problem;
    EXPECT_EQ(arguments->inputPath, "");
    EXPECT_EQ(arguments->syncPath, "");
}

TEST(PlayerArguments, LinesThatMakeThePlayerExitWithoutAWindow) {
    const std::string full = MainProgramLine("a.swf", "a.wav", "a.sync", 25, 0, 10, 11);
    std::string problem;
    EXPECT_TRUE(ParsePlayerCommandLine(full, problem).has_value());

    EXPECT_FALSE(ParsePlayerCommandLine(full.substr(0, full.find("'-cm'")), problem).has_value());
    EXPECT_NE(problem.find("'-cm'"), std::string::npos) << problem;
    EXPECT_FALSE(ParsePlayerCommandLine("/opt/kinolux/kinoluxplayer", problem).has_value());
    EXPECT_FALSE(ParsePlayerCommandLine(full.substr(full.find("'-in'")), problem).has_value())
        << "'-in' must follow the program's path";
    EXPECT_FALSE(ParsePlayerCommandLine(
                     "p '-in' a '-sn' c '-ou' b '-fr' 25 '-ff' 0 '-tf' 1 '-of' 1 '-cm' 1", problem)
                     .has_value())
        << "switches out of order";
    EXPECT_FALSE(ParsePlayerCommandLine("p '-in' a '-ou''-sn' c '-fr' 25 '-ff' 0 '-tf' 1 '-of' 1 '-cm' 1", problem)
                     .has_value())
        << "a switch right behind the previous one";
    EXPECT_FALSE(ParsePlayerCommandLine(MainProgramLine("a", "b", "c", 0, 0, 1, 1), problem).has_value());
    EXPECT_NE(problem.find("'-fr'"), std::string::npos) << problem;
    EXPECT_FALSE(ParsePlayerCommandLine("p '-in' a '-ou' b '-sn' c '-fr' 1e999 '-ff' 0 '-tf' 1 '-of' 1 '-cm' 1",
                                        problem)
                     .has_value());
}

}  // namespace
}  // namespace kinolux
