// What a desktop and a packager check: the menu entry passes
// desktop-file-validate and opens SWF movies, every manual page formats
// without a warning and names every switch its program has, and the Debian
// package, built as scripts/package builds it, holds the program folder and asks for
// every library it links against.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::RunCommand;

const std::string kDist = KINOLUX_SOURCE_DIR "/dist/";

bool HasProgram(const std::string& name) { return RunCommand("command -v " + name + " >/dev/null").exitCode == 0; }

TEST(DesktopEntry, PassesTheValidatorAndOpensSwfMovies)
{
    if (!HasProgram("desktop-file-validate")) GTEST_SKIP() << "desktop-file-utils is not installed (scripts/setup)";
    const auto check = RunCommand("desktop-file-validate " + kDist + "kinolux.desktop 2>&1");
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_EQ(check.output, "");
    const auto entry = RunCommand("cat " + kDist + "kinolux.desktop").output;
    EXPECT_NE(entry.find("\nExec=kinolux %F\n"), std::string::npos);
    EXPECT_NE(entry.find("application/x-shockwave-flash;"), std::string::npos);
    EXPECT_NE(entry.find("application/vnd.adobe.flash.movie;"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=kinolux\n"), std::string::npos);
}

// The switches a program's own help lists.
std::set<std::string> Switches(const std::string& help, const std::regex& pattern)
{
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(help.begin(), help.end(), pattern); it != std::sregex_iterator(); ++it)
        found.insert((*it)[1]);
    return found;
}

TEST(ManualPages, FormatCleanlyAndNameEverySwitch)
{
    for (const char* page : {"kinolux", "kinoluxbatch", "castor", "swfrender"}) {
        const auto format = RunCommand("groff -z -ww -man " + kDist + page + ".1 2>&1");
        EXPECT_EQ(format.exitCode, 0) << page;
        EXPECT_EQ(format.output, "") << page;
    }
    struct Program {
        const char* name;
        const char* help;
        std::regex switchPattern;
    };
    const std::string bin = KINOLUX_BIN_DIR "/";
    const Program programs[] = {
        {"kinolux", "/h", std::regex("\n(/[a-z]+)")},
        {"castor", "--help", std::regex("\n  (-[a-z_:]+)")},
        {"swfrender", "--help", std::regex("\n  (--?[a-z-]+)")},
        {"kinoluxbatch", "--help", std::regex("\n  (--?[a-z-]+)")},
    };
    for (const Program& program : programs) {
        const std::string help =
            RunCommand("QT_QPA_PLATFORM=offscreen " + bin + program.name + " " + program.help + " 2>&1").output;
        const std::string page = RunCommand("cat " + kDist + program.name + ".1").output;
        const std::set<std::string> switches = Switches(help, program.switchPattern);
        EXPECT_GE(switches.size(), 3u) << program.name << ": " << help;
        for (const std::string& name : switches) {
            // roff writes a minus sign as \-.
            const std::string written = std::regex_replace(name, std::regex("-"), "\\-");
            EXPECT_NE(page.find(written), std::string::npos) << program.name << ".1 does not name " << written;
        }
    }
}

TEST(DebianPackage, HoldsTheProgramFolderAndAsksForItsLibraries)
{
    // Built here as scripts/package builds it, into a folder of the test's own.
    testing::ScopedTempFolder folder;
    const auto build = RunCommand("cd " KINOLUX_BUILD_DIR " && cpack -G DEB -B '" + folder.path() + "' 2>&1");
    ASSERT_EQ(build.exitCode, 0) << build.output;
    fs::path package;
    for (const auto& entry : fs::directory_iterator(folder.path()))
        if (entry.path().extension() == ".deb") package = entry.path();
    ASSERT_FALSE(package.empty()) << build.output;

    const std::string files = RunCommand("dpkg-deb -c '" + package.string() + "'").output;
    for (const char* file : {"./usr/bin/kinolux -> ../lib/kinolux/kinolux", "./usr/bin/castor -> ../lib/kinolux/castor",
                             "./usr/lib/kinolux/kinolux", "./usr/lib/kinolux/kinoluxplayer",
                             "./usr/lib/kinolux/libcastor.so", "./usr/lib/kinolux/libflash.so",
                             "./usr/lib/kinolux/kinolux.installed", "./usr/lib/kinolux/ini/h264mp4.ini",
                             "./usr/lib/kinolux/language/kinolux/", "./usr/lib/kinolux/resources/kinolux_skin.qss",
                             "./usr/share/applications/kinolux.desktop",
                             "./usr/share/icons/hicolor/16x16/apps/kinolux.png",
                             "./usr/share/icons/hicolor/512x512/apps/kinolux.png",
                             "./usr/share/icons/hicolor/scalable/apps/kinolux.svg",
                             "./usr/share/man/man1/kinolux.1.gz", "./usr/share/man/man1/castor.1.gz",
                             "./usr/share/man/man1/swfrender.1.gz"})
        EXPECT_NE(files.find(file), std::string::npos) << file;
    EXPECT_EQ(files.find("/output"), std::string::npos) << "no writable folder inside the installation";

    const std::string depends = RunCommand("dpkg-deb -f '" + package.string() + "' Depends").output;
    for (const char* library : {"libc6", "libqt6widgets6", "libqt6svg6", "libqt6gui6", "libavcodec", "libavformat",
                                "libswscale", "libswresample", "libpng16", "libjpeg62-turbo", "libtiff6", "zlib1g",
                                "liblzma5", "fonts-dejavu-core"})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " missing from: " << depends;
}

}  // namespace
}  // namespace kinolux
