// The castor tool: its help listing comes from the option table, and like
// a transcoder that cannot ask it keeps an existing output.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/castor/encode_helpers.h"

namespace castor_test {
namespace {

const std::string kTool = std::string(KINOLUX_BIN_DIR) + "/castor";

TEST(CastorTool, HelpListsTheSwitches) {
    const std::string help = Shell("'" + kTool + "' --help");
    for (const char* option : {"-vcodec", "-acodec", "-croptop", "-padcolor", "-aspect", "-target", "-y"}) {
        EXPECT_NE(help.find(std::string("  ") + option + " "), std::string::npos) << option;
    }
}

TEST(CastorTool, EncodesAFileAndKeepsAnExistingOutput) {
    ScratchFolder folder;
    const testpattern::PatternSpec spec = testpattern::Pattern(160, 120, 10, 1);
    const std::string input = folder.Path("in.avi");
    ASSERT_EQ(EncodePattern(spec, {input}).status, 0);
    const std::string output = folder.Path("out.avi");
    const std::string command = "'" + kTool + "' -i '" + input +
                                "' -vcodec mpeg4 -acodec mp3 -b 800 -ab 128 -s 320x240 '" + output + "'";
    EXPECT_EQ(Shell(command + " >/dev/null 2>&1; echo $?"), "0\n");
    EXPECT_EQ(Probe(output)["video.width"], "320");

    std::ofstream(output) << "precious";
    EXPECT_EQ(Shell(command + " 2>&1 >/dev/null"), "File '" + output + "' already exists; give -y to replace it\n");
    EXPECT_EQ(Shell(command + " >/dev/null 2>&1; echo $?"), "1\n");
    std::ifstream kept(output);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "precious");
}

}  // namespace
}  // namespace castor_test
