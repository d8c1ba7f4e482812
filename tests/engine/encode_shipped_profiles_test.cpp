// Every profile of every shipped profile file encodes a short synthetic
// movie through the encoder library with the vector the builder makes, and
// ffprobe finds the streams, codecs and frame size the profile asks for.
// Still-image profiles never reach the encoder and are left out.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>

#include "bindings/castor.h"
#include "engine/argument_builder.h"
#include "engine/run_encoder.h"
#include "profiles/codec_frame_sizes.h"
#include "profiles/options_sheet_values.h"
#include "profiles/profile_geometry.h"
#include "profiles/profile_store.h"
#include "tests/engine/shipped_profiles.h"
#include "tests/platform/outside_requirements.h"
#include "tests/platform/run_command.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

constexpr int kSourceWidth = 160;
constexpr int kSourceHeight = 120;

std::string CommandOutput(const std::string& command) { return testing::RunCommand(command).output; }

struct ProbedStream {
    std::string type, codec;
    int width = 0, height = 0;
};

std::vector<ProbedStream> Probe(const std::string& path) {
    std::string text = CommandOutput("ffprobe -v error -show_entries stream=codec_type,codec_name,width,height -of flat '" +
                                  path + "' 2>/dev/null");
    std::map<int, ProbedStream> streams;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? text.size() : end + 1;
        int index = 0;
        char key[64] = {0}, value[128] = {0};
        if (std::sscanf(line.c_str(), "streams.stream.%d.%63[^=]=%127s", &index, key, value) != 3) continue;
        std::string v = value;
        if (!v.empty() && v.front() == '"') v = v.substr(1, v.size() - 2);
        ProbedStream& s = streams[index];
        if (std::string(key) == "codec_type") s.type = v;
        if (std::string(key) == "codec_name") s.codec = v;
        if (std::string(key) == "width") s.width = std::atoi(v.c_str());
        if (std::string(key) == "height") s.height = std::atoi(v.c_str());
    }
    std::vector<ProbedStream> result;
    for (auto& [index, stream] : streams) result.push_back(stream);
    return result;
}

// The name ffprobe gives what a profile's codec name asks for; "" when the
// encoder chooses.
std::string ProbedCodecName(const std::string& profileCodec) {
    static const std::map<std::string, std::string> kNames = {
        {"xvid", "mpeg4"}, {"flv", "flv1"}, {"msmpeg4", "msmpeg4v3"}, {"amr_nb", "amr_nb"}, {"amr_wb", "amr_wb"}};
    if (profileCodec == "auto") return "";
    auto it = kNames.find(profileCodec);
    return it == kNames.end() ? profileCodec : it->second;
}

bool ExpectedSize(const ProfileSettings& profile, int& width, int& height) {
    std::string size = SizeArgument(profile);
    if (size.empty() || profile.bVideoEnablePad) return false;
    static const std::map<std::string, std::pair<int, int>> kNamed = {
        {"sqcif", {128, 96}}, {"qcif", {176, 144}}, {"cif", {352, 288}}, {"4cif", {704, 576}}};
    auto named = kNamed.find(size);
    if (named != kNamed.end()) {
        width = named->second.first;
        height = named->second.second;
        return true;
    }
    return std::sscanf(size.c_str(), "%dx%d", &width, &height) == 2;
}

std::string encoderMessages;
int CollectProgress(const char* text, double value) {
    if (value < 0 && value > -2 && text) encoderMessages += std::string(text) + "\n";
    return 0;
}

class EncodeShippedProfiles : public ::testing::TestWithParam<std::string> {
protected:
    static void SetUpTestSuite() { CSInit(); }
    static void TearDownTestSuite() { CSExit(); }

    void SetUp() override {
        if (!testing::ProgramOnPath("ffmpeg")) KINOLUX_MISSING("ffmpeg");
        input_ = dir_ / "input.avi";
        CommandOutput("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=160x120:rate=25:duration=0.4 -f lavfi -i "
                   "sine=frequency=440:sample_rate=44100:duration=0.4 -ac 2 -c:v mpeg4 -q:v 3 -c:a pcm_s16le '" +
                   input_ + "'");
        ASSERT_TRUE(std::filesystem::exists(input_)) << "ffmpeg could not make the test movie";
    }

    testing::ScopedTempFolder dir_;
    std::string input_;
};

TEST_P(EncodeShippedProfiles, EveryProfileEncodes) {
    const std::string file = testing::ShippedIniFolder() + GetParam();
    int index = 0;
    for (const std::string& name : ListProfileNames(file)) {
        ConversionTask task;
        LoadProfile(name, task.profile, file);
        if (IsStillImageProfile(task.profile)) continue;
        PrepareProfileForSource(task.profile, kSourceWidth, kSourceHeight, -1);
        task.outputPath = dir_ / ("out" + std::to_string(++index) + "." + task.profile.TargetType);
        BuiltEncoding built = BuildFinalEncoding(task, input_);
        ASSERT_TRUE(built.ok()) << built.error;
        std::string vector;
        for (const std::string& argument : built.arguments.Arguments()) vector += argument + " ";
        encoderMessages.clear();
        ASSERT_EQ(RunEncoder(built.arguments, CollectProgress), 0) << name << ": " << vector << "\n" << encoderMessages;

        std::string written = task.outputPath;
        if (task.profile.TargetType == "jpg") written = ImageSequenceFolder(task.outputPath) + "/ren0001.jpg";
        std::vector<ProbedStream> streams = Probe(written);
        const ProbedStream* video = nullptr;
        const ProbedStream* audio = nullptr;
        for (const ProbedStream& s : streams) {
            if (s.type == "video" && !video) video = &s;
            if (s.type == "audio" && !audio) audio = &s;
        }
        SCOPED_TRACE(name + ": " + vector);
        EXPECT_EQ(video != nullptr, task.profile.bDisableVideo == 0);
        EXPECT_EQ(audio != nullptr, task.profile.bDisableAudio == 0);
        if (video) {
            std::string codec = ProbedCodecName(task.profile.cVideoCodec);
            if (!codec.empty()) {
                EXPECT_EQ(video->codec, codec);
            }
            int width = 0, height = 0;
            if (ExpectedSize(task.profile, width, height)) {
                EXPECT_EQ(video->width, width);
                EXPECT_EQ(video->height, height);
            }
        }
        if (audio) {
            std::string codec = ProbedCodecName(task.profile.cAudioCodec);
            if (!codec.empty()) {
                EXPECT_EQ(audio->codec, codec);
            }
        }
    }
}

// The codecs of a few sizes: every size the options sheet lets through
// encodes, in an AVI without sound, and a size it refuses is one the
// encoder would have refused too.
class FixedSizeCodecs : public EncodeShippedProfiles {};

TEST_P(FixedSizeCodecs, EverySizeTheOptionsSheetTakesEncodesAndARefusedOneWouldFail) {
    const std::string codec = GetParam();
    std::vector<FrameSize> sizes{{176, 144}, {352, 288}};
    if (codec == "dvvideo") sizes = {{720, 480}, {720, 576}, {960, 720}, {1280, 1080}, {1440, 1080}};
    sizes.push_back({640, 480});
    const std::string file = testing::ShippedIniFolder() + "divxavi.ini";
    int index = 0;
    for (const FrameSize size : sizes) {
        // The movie is grabbed at its own size: a clip of that size stands
        // for it.
        const std::string clip = dir_ / ("clip" + std::to_string(index) + ".avi");
        CommandOutput("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=" + std::to_string(size.width) + "x" +
                      std::to_string(size.height) + ":rate=25:duration=0.2 -c:v huffyuv '" + clip + "'");
        ConversionTask task;
        LoadProfile("Divx avi Normal", task.profile, file);
        task.profile.Para = "-f avi";  // without the profile's DivX tag
        task.profile.cVideoCodec = codec;
        task.profile.bDisableAudio = 1;
        task.profile.nVideoRiszeOption = 0;
        PrepareProfileForSource(task.profile, size.width, size.height, -1);
        task.profile.bVideoEnablePad = 0;
        const bool accepted = !FindRefusedValue(task.profile).has_value();
        SCOPED_TRACE(codec + " at " + FrameSizeText(size));
        EXPECT_EQ(accepted, size.width != 640);
        task.outputPath = dir_ / ("out" + std::to_string(++index) + ".avi");
        BuiltEncoding built = BuildFinalEncoding(task, clip);
        ASSERT_TRUE(built.ok()) << built.error;
        encoderMessages.clear();
        const int result = RunEncoder(built.arguments, CollectProgress);
        if (!accepted) {
            EXPECT_NE(result, 0) << "the encoder takes a size the sheet refuses";
            continue;
        }
        ASSERT_EQ(result, 0) << encoderMessages;
        const std::vector<ProbedStream> streams = Probe(task.outputPath);
        ASSERT_EQ(streams.size(), 1u);
        EXPECT_EQ(streams[0].codec, codec);
        EXPECT_EQ(streams[0].width, size.width);
        EXPECT_EQ(streams[0].height, size.height);
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, FixedSizeCodecs, ::testing::Values("dvvideo", "h261"));

INSTANTIATE_TEST_SUITE_P(ShippedFiles, EncodeShippedProfiles, ::testing::ValuesIn(testing::CatalogueProfileFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.size() - 4);
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace kinolux
