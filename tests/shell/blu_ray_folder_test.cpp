// The Blu-ray folder step through the muxer library, with a fake library in
// the program folder, one that lacks an entry, and none at all.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/program_folder.h"
#include "platform/report.h"
#include "shell/blu_ray_folder.h"
#include "shell/joiner_binding.h"
#include "tests/shell/recorded_runs.h"

namespace kinolux {
namespace {

using testing::ScopedTempFolder;

class BluRayFolder : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramFolder(program_.path());
        SetConsoleMode(1);  // no burning page opened
        ::setenv("KINOLUX_JOINER_LOG", (out_ / "joiner.log").c_str(), 1);
    }
    void TearDown() override {
        Joiner().Release();
        SetProgramFolder("");
        SetConsoleMode(0);
        ::unsetenv("KINOLUX_JOINER_LOG");
    }
    void InstallLibrary(const char* built) {
        std::filesystem::copy_file(built, program_ / kJoinerLibraryName);
    }
    std::string Log() const { return testing::ReadTextFile(out_ / "joiner.log"); }

    ScopedTempFolder program_;
    ScopedTempFolder out_;
};

TEST(BluRayProgress, PercentagesOfEachKind) {
    EXPECT_EQ(BluRayProgressPercent(2, 150, 200.0f), 25);
    EXPECT_EQ(BluRayProgressPercent(2, 0, 200.0f), 100);
    EXPECT_EQ(BluRayProgressPercent(2, 133, 200.0f), 33) << "truncated";
    EXPECT_EQ(BluRayProgressPercent(2, 10, 0.0f), 0) << "no total, no division by it";
    EXPECT_EQ(BluRayProgressPercent(2, 300, 200.0f), 0);
    EXPECT_EQ(BluRayProgressPercent(1, 40, 200.0f), 40);
    EXPECT_EQ(BluRayProgressPercent(3, 250, 0.0f), 100);
    EXPECT_EQ(BluRayFolderOf("/out/movie.m2ts"), "/out/movie/");
}

TEST_F(BluRayFolder, TheLibraryIsCalledInOrderWithProgress) {
    InstallLibrary(FAKE_JOINER);
    std::vector<std::pair<int, std::string>> shown;
    BluRayProgress progress{[&](int percent, const std::string& text) { shown.emplace_back(percent, text); },
                            [] { return false; }};
    MakeBluRayFolder(out_ / "movie.ts", progress);
    EXPECT_EQ(Log(), "setcallback set\n"
                     "gettrackinfo " + (out_ / "movie.ts") + "\n"
                     "cbdfolder " + (out_ / "movie/") + "\n"
                     "cbdfolder-args 5 info exists\n"
                     "answer 0\nanswer 0\nanswer 0\nanswer 0\n"
                     "freetrackinfo info\n");
    EXPECT_EQ(shown, (std::vector<std::pair<int, std::string>>{
                         {40, "Analysing"}, {25, "Writing"}, {50, "Writing"}, {75, "Writing"}, {100, "Writing"}}));
}

TEST_F(BluRayFolder, CancellingStopsTheLibrary) {
    InstallLibrary(FAKE_JOINER);
    int reports = 0;
    BluRayProgress progress{[&](int, const std::string&) { ++reports; }, [&] { return reports >= 2; }};
    MakeBluRayFolder(out_ / "movie.ts", progress);
    EXPECT_NE(Log().find("answer -1\nfreetrackinfo"), std::string::npos) << Log();
    EXPECT_EQ(reports, 2);
}

TEST_F(BluRayFolder, WithoutTheLibraryOrAnEntryNothingIsCalledAndTheFolderStaysEmpty) {
    int reports = 0;
    BluRayProgress progress{[&](int, const std::string&) { ++reports; }, [] { return false; }};
    MakeBluRayFolder(out_ / "movie.ts", progress);
    EXPECT_FALSE(Joiner().Loaded());
    EXPECT_TRUE(std::filesystem::is_empty(out_ / "movie"));
    void* info = nullptr;
    EXPECT_EQ(Joiner().GetTrackInfo("/x.ts", &info), -1);
    EXPECT_EQ(Joiner().MakeBluRayFolder("/x/", nullptr, 5), -1);
    EXPECT_EQ(Joiner().FreeTrackInfo(nullptr), -1);
    EXPECT_EQ(Joiner().SetCallback(nullptr), -1);

    InstallLibrary(FAKE_JOINER_WITHOUT_FREE);
    MakeBluRayFolder(out_ / "other.ts", progress);
    EXPECT_FALSE(Joiner().Loaded()) << "a library without every entry is not used at all";
    EXPECT_TRUE(std::filesystem::is_empty(out_ / "other"));
    EXPECT_FALSE(std::filesystem::exists(out_ / "joiner.log"));
    EXPECT_EQ(reports, 0);
}

TEST_F(BluRayFolder, TheWindowInterfaceOpensTheBurningPageAfterwards) {
    testing::RecordedRuns runs;
    runs.AddProgram("xdg-open");
    SetConsoleMode(0);
    MakeBluRayFolder(out_ / "movie.ts", BluRayProgress{});
    std::vector<testing::ProgramRun> opened = runs.WaitForRuns(1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].at(0), "xdg-open");
    EXPECT_NE(opened[0].at(1).find("kinolux.html#bluray"), std::string::npos);
}

}  // namespace
}  // namespace kinolux
