// Kinolux installed as a user installs it: `cmake --install` into a prefix of
// the test's own, then the installed command (not the build's program
// folder) prints its help and converts the sample movie named relative to the
// working folder, writing its temporary files under the user's home rather
// than into the installation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::RunCommand;
using testing::ScopedTempFolder;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class InstalledKinolux : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto install = RunCommand(Quoted(KINOLUX_CMAKE) + " --install " + Quoted(KINOLUX_BUILD_DIR) +
                                        " --prefix " + Quoted(prefix_.path()) + " 2>&1");
        ASSERT_EQ(install.exitCode, 0) << install.output;
        fs::create_directory(home_);
    }

    // The installed command as a user without a display starts it.
    testing::CommandResult Kinolux(const std::string& arguments)
    {
        return RunCommand("cd " + Quoted(home_) +
                          " && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u PULSE_SERVER -u KINOLUX_AUDIO"
                          " -u XDG_VIDEOS_DIR -u LD_LIBRARY_PATH HOME=" + Quoted(home_) +
                          " XDG_CONFIG_HOME=" + Quoted(home_ + "/.config") + " " + Quoted(prefix_ / "bin/kinolux") +
                          " " + arguments + " 2>&1 </dev/null");
    }

    ScopedTempFolder prefix_;
    const std::string home_ = prefix_ / "home";
};

TEST_F(InstalledKinolux, LaysOutTheProgramFolderWithLinksMenuEntryIconsAndManualPages)
{
    const fs::path root = prefix_.path();
    for (const char* command : {"kinolux", "kinoluxbatch", "castor", "swfrender"}) {
        EXPECT_TRUE(fs::is_symlink(root / "bin" / command)) << command;
        EXPECT_EQ(fs::read_symlink(root / "bin" / command), fs::path("../lib/kinolux") / command);
        EXPECT_TRUE(fs::exists(root / "share/man/man1" / (std::string(command) + ".1.gz"))) << command;
    }
    const fs::path folder = root / "lib/kinolux";
    for (const char* file : {"kinolux", "kinoluxplayer", "castor", "swfrender", "libcastor.so", "libscrutin.so",
                             "libveneer.so", "libflash.so", "libwinmm.so", "kinolux.html", "kinolux.installed",
                             "resources/kinolux_skin.qss", "ini/h264mp4.ini", "samples/kinolux-sample.swf"})
        EXPECT_TRUE(fs::is_regular_file(folder / file)) << file;
    EXPECT_FALSE(fs::is_empty(folder / "language/kinolux"));
    EXPECT_TRUE(fs::exists(root / "share/applications/kinolux.desktop"));
    EXPECT_TRUE(fs::exists(root / "share/icons/hicolor/scalable/apps/kinolux.svg"));
    for (const char* size : {"16x16", "32x32", "48x48", "128x128", "256x256", "512x512"})
        EXPECT_TRUE(fs::exists(root / "share/icons/hicolor" / size / "apps/kinolux.png")) << size;
    // Nothing of the build is named inside the installed programs' search paths.
    const auto paths = RunCommand("readelf -d " + Quoted(folder / "kinolux") + " | grep -i path");
    EXPECT_EQ(paths.output.find(KINOLUX_BUILD_DIR), std::string::npos) << paths.output;
}

TEST_F(InstalledKinolux, ConvertsTheSampleMovieAndWritesUnderTheUsersHome)
{
    const auto help = Kinolux("/h");
    EXPECT_NE(help.output.find("Kinolux - command line using help"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("/pn"), std::string::npos);

    // Names typed relative to the folder the user is in mean that folder;
    // the profile file still names the installation's ini/.
    fs::create_directory(home_ + "/movies");
    fs::copy_file(prefix_ / "lib/kinolux/samples/kinolux-sample.swf", home_ + "/movies/sample.swf");
    const std::string output = home_ + "/sample.mp4";
    const auto run = Kinolux("/f movies/sample.swf /o sample.mp4 /pi ini/h264mp4.ini /pn H264 mp4 Normal");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("DONE!"), std::string::npos) << run.output;
    ASSERT_TRUE(fs::exists(output)) << run.output;
    EXPECT_EQ(RunCommand("ffprobe -v error -select_streams v:0 -show_entries stream=codec_name "
                         "-of default=noprint_wrappers=1:nokey=1 " + Quoted(output)).output, "h264\n");

    // The default output folder is the user's, and the installation stays
    // as it was installed.
    EXPECT_TRUE(fs::is_directory(home_ + "/Videos/Kinolux/psp"));
    EXPECT_FALSE(fs::exists(prefix_ / "lib/kinolux/output"));
    EXPECT_NE(ReadFile(home_ + "/.config/Qorvane/settings.reg").find(home_ + "/Videos/Kinolux/"), std::string::npos);
}

}  // namespace
}  // namespace kinolux
