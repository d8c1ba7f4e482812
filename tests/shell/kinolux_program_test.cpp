// The kinolux program as a user starts it: from any folder, with its own
// program folder copied elsewhere, with a settings home of its own.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::ReadTextFile;
using testing::ScopedTempFolder;

using RunResult = testing::CommandResult;

class KinoluxProgram : public ::testing::Test {
protected:
    void SetUp() override {
        // A copy of the program folder, so that the output folder the first
        // start creates beside the program lands in a folder of the test's own.
        fs::path bin = KINOLUX_BIN_DIR;
        for (const auto& entry : fs::directory_iterator(bin)) {
            std::string name = entry.path().filename();
            if (name == "kinolux" || name.rfind("lib", 0) == 0)
                fs::copy(entry.path(), fs::path(program_.path()) / name);
        }
        for (const char* folder : {"ini", "language", "resources"})
            fs::copy(bin / folder, fs::path(program_.path()) / folder, fs::copy_options::recursive);
    }

    RunResult Run(const std::string& arguments) {
        std::string command = "cd '" + elsewhere_.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                              "XDG_CONFIG_HOME='" + config_.path() + "' LANG=en_US.UTF-8 '" + program_.path() +
                              "/kinolux' " + arguments + " 2>/dev/null </dev/null";
        return testing::RunCommand(command);
    }

    ScopedTempFolder program_, elsewhere_, config_;
};

TEST_F(KinoluxProgram, HelpFromAnyFolderAndTheFirstStart) {
    RunResult help = Run("/h");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("\nKinolux - command line using help\n"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("eg: kinolux /f in.swf /o out.mpg /pi ini/ntscdvd.ini /pn mpg Normal\n"),
              std::string::npos);

    std::string settings = ReadTextFile(config_ / "Qorvane/settings.reg");
    for (const char* value : {"\"firstuse\"=dword:00000000", "\"autoshowformatdialog\"=dword:00000000",
                              "\"languagefolder\"=\"/language/kinolux/\"", "\"commonlanguagefolder\"=\"/language/\"",
                              "\"language\"=\"English\""})
        EXPECT_NE(settings.find(value), std::string::npos) << value << " in\n" << settings;
    EXPECT_NE(settings.find("\"ConvertDir\"=\"" + program_.path() + "/output/\""), std::string::npos) << settings;
    EXPECT_TRUE(FolderExists(program_ / "output/psp/MP_ROOT/100MNV01"));
    EXPECT_FALSE(FolderExists(elsewhere_ / "output"));
}

TEST_F(KinoluxProgram, ConversionSwitchesAnswerClearly) {
    RunResult convert = Run("/f /tmp/kinolux-absent-in.swf /o /tmp/out.mp4 /pi ini/mp4.ini /pn mp4 Normal");
    EXPECT_NE(convert.exitCode, 0);
    EXPECT_NE(convert.output.find("The movie /tmp/kinolux-absent-in.swf does not exist."), std::string::npos)
        << convert.output;
    EXPECT_NE(convert.output.find("DONE!\n"), std::string::npos) << convert.output;
    EXPECT_FALSE(PathExists("/tmp/out.mp4"));

    RunResult refused = Run("/f " + std::string(300, 'a') + ".swf /o out.mp4");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.output.find("longer than 255"), std::string::npos) << refused.output;

    RunResult window = Run("/f only-input.swf");
    EXPECT_EQ(window.exitCode, 1) << "no display: the window cannot open";
    EXPECT_NE(window.output.find("no display"), std::string::npos) << window.output;
}

}  // namespace
}  // namespace kinolux
