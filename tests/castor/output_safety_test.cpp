// A bad vector or a failure never costs the user a file and never leaves
// a file that looks complete; a stop asked for by the caller finishes the
// file up to that point.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bindings/castor.h"
#include "tests/castor/encode_helpers.h"

namespace castor_test {
namespace {

testpattern::PatternSpec Short() { return testpattern::Pattern(176, 144, 10, 1); }

void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string Read(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

bool Mentions(const EncodeResult& result, const std::string& text) {
    for (const std::string& error : result.errors) {
        if (error.find(text) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(CastorOutputSafety, AnExistingFileIsKeptUnlessYIsGiven) {
    ScratchFolder folder;
    const std::string output = folder.Path("movie.mp4");
    Write(output, "precious");
    const EncodeResult refused = EncodePattern(Short(), {output});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Mentions(refused, "already exists"));
    EXPECT_EQ(Read(output), "precious");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"movie.mp4"});

    ASSERT_EQ(EncodePattern(Short(), {"-y", output}).status, 0);
    EXPECT_EQ(Probe(output)["video.codec_name"], "h264");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"movie.mp4"});
}

TEST(CastorOutputSafety, ARefusedOutputCostsTheCallerNoFrames) {
    ScratchFolder folder;
    const std::string output = folder.Path("movie.avi");
    Write(output, "precious");
    static int requests = 0;
    requests = 0;
    CS_SetFrameInfoCallBack([](int, FrameInfo*) {
        ++requests;
        return -1;
    });
    const EncodeResult result = Encode({"-i", CASTOR_FRAME_INPUT, output});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(requests, 0);
}

TEST(CastorOutputSafety, AFailedEncodingLeavesNothingAndKeepsAReplacedFile) {
    ScratchFolder folder;
    // H.263 takes only its five standard sizes.
    const std::string fresh = folder.Path("fresh.3gp");
    const EncodeResult failed = EncodePattern(Short(), {"-s", "320x240", fresh});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(Mentions(failed, "Could not open encoder 'h263'"));
    EXPECT_TRUE(folder.Names().empty());

    const std::string old = folder.Path("old.3gp");
    Write(old, "precious");
    EXPECT_EQ(EncodePattern(Short(), {"-y", "-s", "320x240", old}).status, 1);
    EXPECT_EQ(Read(old), "precious");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"old.3gp"});
}

TEST(CastorOutputSafety, ABrokenFrameMidwayRemovesWhatWasWritten) {
    ScratchFolder folder;
    static testpattern::PatternGenerator* generator = nullptr;
    testpattern::PatternGenerator pattern(Short());
    generator = &pattern;
    CS_SetFrameInfoCallBack([](int request, FrameInfo* info) {
        const int status = generator->Fill(request, info);
        if (request == 6) {
            info->pictureBytes = 12;  // far fewer bytes than the picture needs
        }
        return status;
    });
    const EncodeResult movie = Encode({"-i", CASTOR_FRAME_INPUT, folder.Path("movie.mp4")});
    EXPECT_EQ(movie.status, 1);
    EXPECT_TRUE(Mentions(movie, "Frame 6 from the frame callback holds 12 picture bytes"));
    const EncodeResult images = Encode({"-i", CASTOR_FRAME_INPUT, folder.Path("ren%04d.png")});
    EXPECT_EQ(images.status, 1);
    EXPECT_TRUE(folder.Names().empty());
    CS_SetFrameInfoCallBack(nullptr);
}

TEST(CastorOutputSafety, StoppingFinishesTheFileUpToThatPoint) {
    ScratchFolder folder;
    testpattern::PatternSpec spec = Short();
    spec.seconds = 4;
    const std::string output = folder.Path("stopped.mp4");
    const EncodeResult result = EncodePattern(spec, {output}, 1.0);
    EXPECT_EQ(result.status, 2);
    EXPECT_TRUE(result.errors.empty());
    auto probe = Probe(output);
    EXPECT_NEAR(Length(output), 1.0, 0.2);
    // The whole file decodes without an error: it has its index.
    EXPECT_EQ(Shell("ffmpeg -v error -i '" + output + "' -f null - 2>&1"), "");
}

TEST(CastorOutputSafety, BadVectorsAndUnwritablePlacesGetAMessage) {
    ScratchFolder folder;
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    };
    const Case cases[] = {
        {{"-nosuch", folder.Path("a.mp4")}, "Unrecognized option '-nosuch'"},
        {{folder.Path("a.mp4"), "-b"}, "Missing argument for option '-b'"},
        {{"-vcodec", "wmv2", folder.Path("a.mp4")}, "cannot hold video encoded with 'wmv2'"},
        {{"-acodec", "xyz", folder.Path("a.mp4")}, "Unknown encoder 'xyz'"},
        {{"-cropleft", "100", "-cropright", "100", folder.Path("a.mp4")}, "Cropping leaves nothing"},
        {{folder.Path("missing/a.mp4")}, "Could not open '"},
        {{folder.Path("missing/ren%04d.jpg")}, "Could not open '"},
        {{folder.Path("a.nosuchformat")}, "Cannot tell the output format"},
    };
    for (const Case& test : cases) {
        const EncodeResult result = EncodePattern(Short(), test.arguments);
        EXPECT_EQ(result.status, 1) << test.message;
        EXPECT_TRUE(Mentions(result, test.message)) << test.message << " / "
                                                    << (result.errors.empty() ? "" : result.errors.front());
    }
    EXPECT_TRUE(folder.Names().empty());
    CS_SetFrameInfoCallBack(nullptr);
    EXPECT_TRUE(Mentions(Encode({"-i", CASTOR_FRAME_INPUT, folder.Path("a.mp4")}), "No frame callback"));
    EXPECT_TRUE(Mentions(Encode({"-i", folder.Path("none.avi"), folder.Path("a.mp4")}), "Could not open"));
}

}  // namespace
}  // namespace castor_test
