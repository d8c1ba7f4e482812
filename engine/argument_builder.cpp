#include "engine/argument_builder.h"

#include <cstdio>

#include "platform/number_text.h"
#include "platform/paths.h"
#include "platform/text_compare.h"
#include "profiles/codec_frame_sizes.h"
#include "profiles/profile_geometry.h"
#include "profiles/profile_store.h"

namespace kinolux {

namespace {

constexpr const char* kIntermediateProfileName = "Huffyuv Avi normal quality";
constexpr const char* kIntermediateProfileFile = "huffyuv.ini";

bool AppendAll(EncoderArguments& arguments, std::initializer_list<std::string_view> words) {
    for (std::string_view word : words)
        if (!arguments.Append(word)) return false;
    return true;
}

std::string Dimensions(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

std::string HexColour(int32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(colour));
    return text;
}

std::string RefusalMessage(const ProfileSettings& profile, const EncoderArguments& arguments) {
    std::string name = "\"" + profile.ProfileName + "\" of " + profile.ProfileFile;
    if (arguments.Count() >= static_cast<int>(EncoderArguments::kMaxArguments))
        return "The profile " + name + " needs more than 100 encoder arguments; shorten its BeforePara or Para.";
    return "The profile " + name + " has an encoder argument longer than 255 characters: " +
           arguments.RefusedArgument().substr(0, 60) + "...";
}

// The whole vector for one encoding of `profile`.
BuiltEncoding Build(const ProfileSettings& profile, const std::string& input, const std::string& output) {
    BuiltEncoding built;
    EncoderArguments& a = built.arguments;
    bool ok = a.Append("ffmain") && SplitArguments(profile.BeforePara, a) && AppendAll(a, {"-i", input}) &&
              SplitArguments(profile.Para, a) && AppendProfileSwitches(profile, a) && a.Append(output);
    if (!ok) built.error = RefusalMessage(profile, a);
    return built;
}

}  // namespace

std::string ImageSequenceFolder(const std::string& outputPath) { return WithoutExtension(outputPath); }

bool SplitArguments(std::string_view text, EncoderArguments& arguments) {
    while (!text.empty()) {
        size_t blank = text.find(' ');
        if (blank == std::string_view::npos) return arguments.Append(text);
        if (!arguments.Append(text.substr(0, blank))) return false;
        size_t next = text.find_first_not_of(' ', blank);
        if (next == std::string_view::npos) return true;
        text.remove_prefix(next);
    }
    return true;
}

std::string SizeArgument(const ProfileSettings& profile) {
    static constexpr const char* kNames[] = {"",        "sqcif",   "qcif",    "cif", "4cif", "320x240",
                                             "640x480", "720x480", "720x576", "",    "1280x768", "1920x1080"};
    const int option = profile.nVideoRiszeOption;
    if (option < 1 || option > 11) return {};
    FrameSize full;
    if (option == 9) full = {RoundUpTo16(profile.nVideoCustomSizeX), RoundUpTo16(profile.nVideoCustomSizeY)};
    else FixedFrameSize(option, full);
    if (profile.bVideoEnablePad == 0) return option == 9 ? Dimensions(full.width, full.height) : kNames[option];
    return Dimensions(full.width - profile.nVideoPadLeft - profile.nVideoPadRight,
                      full.height - profile.nVideoPadTop - profile.nVideoPadBottom);
}

bool AppendProfileSwitches(const ProfileSettings& p, EncoderArguments& a) {
    using std::to_string;
    bool ok = true;
    if (p.bDisableAudio) ok = ok && a.Append("-an");
    if (p.bAudioCustomSampleRate) ok = ok && AppendAll(a, {"-ar", to_string(p.nAudioCustomSampleRate)});
    if (p.nAudioChannel) ok = ok && AppendAll(a, {"-ac", to_string(p.nAudioChannel)});
    if (p.bAudioCustomVolume) ok = ok && AppendAll(a, {"-vol", to_string(p.nAudioVolume)});
    if (p.bAudioCustomBitRate) ok = ok && AppendAll(a, {"-ab", FormatFixed(p.nAudioCustomBitRate, 6)});
    if (p.bDisableVideo) ok = ok && a.Append("-vn");
    if (p.bVideoHighQuality) ok = ok && a.Append("-hq");
    if (p.bVideoCustomFrameRate) ok = ok && AppendAll(a, {"-r", FormatFixed(p.nVideoCustomFrameRate, 7)});
    ok = ok && AppendAll(a, {"-b", to_string(p.bVideoCustomBitRate ? p.nVideoCustomBitRate : p.nDefaultVideoBitRate)});
    if (!EqualsIgnoringCase(p.cAudioCodec, "auto")) ok = ok && AppendAll(a, {"-acodec", p.cAudioCodec});
    if (!EqualsIgnoringCase(p.cVideoCodec, "auto")) ok = ok && AppendAll(a, {"-vcodec", p.cVideoCodec});
    // DV takes each of its sizes in one chroma sampling, which the encoder
    // would not choose by itself; a profile may name its own.
    const std::string dvFormat = DvPixelFormat(p, EncodedFrameSize(p));
    if (!dvFormat.empty() && p.BeforePara.find("-pix_fmt") == std::string::npos &&
        p.Para.find("-pix_fmt") == std::string::npos)
        ok = ok && AppendAll(a, {"-pix_fmt", dvFormat});
    if (p.bVideoEnableCrop)
        ok = ok && AppendAll(a, {"-croptop", to_string(p.nVideoCropTop), "-cropbottom", to_string(p.nVideoCropBottom),
                                 "-cropleft", to_string(p.nVideoCropLeft), "-cropright", to_string(p.nVideoCropRight)});
    if (p.bVideoEnablePad)
        ok = ok && AppendAll(a, {"-padtop", to_string(p.nVideoPadTop), "-padbottom", to_string(p.nVideoPadBottom),
                                 "-padleft", to_string(p.nVideoPadLeft), "-padright", to_string(p.nVideoPadRight),
                                 "-padcolor", HexColour(p.nVideoPadColor)});
    std::string size = SizeArgument(p);
    if (!size.empty()) ok = ok && AppendAll(a, {"-s", size});
    if (p.nAspect) ok = ok && AppendAll(a, {"-aspect", p.nAspect == 1 ? "4:3" : "16:9"});
    return ok;
}

namespace {

// The task's output path, or for a TargetType of exactly "jpg" the numbered
// images in the folder named after it, which is created here.
std::string OutputArgument(const ConversionTask& task) {
    if (task.profile.TargetType != "jpg") return task.outputPath;
    std::string folder = ImageSequenceFolder(task.outputPath);
    // A folder that cannot be made reaches the user as the encoder's write error.
    MakeFoldersUpToLastSlash(folder + "/");
    return folder + "/ren%04d.jpg";
}

}  // namespace

BuiltEncoding BuildFrameEncoding(const ConversionTask& task) {
    return Build(task.profile, CASTOR_FRAME_INPUT, OutputArgument(task));
}

ProfileSettings IntermediateProfile(const ProfileSettings& taskProfile) {
    ProfileSettings intermediate{};
    LoadProfile(kIntermediateProfileName, intermediate, ProfileFilePath(kIntermediateProfileFile));
    const ProfileSettings& t = taskProfile;
    ProfileSettings& i = intermediate;
    i.nVideoCustomSizeX = t.nVideoCustomSizeX;
    i.nVideoCustomSizeY = t.nVideoCustomSizeY;
    i.nVideoRiszeOption = t.nVideoRiszeOption;
    i.nAspect = t.nAspect;
    i.bVideoEnableCrop = t.bVideoEnableCrop;
    i.bVideoEnablePad = t.bVideoEnablePad;
    i.nVideoCropBottom = t.nVideoCropBottom;
    i.nVideoCropLeft = t.nVideoCropLeft;
    i.nVideoCropRight = t.nVideoCropRight;
    i.nVideoCropTop = t.nVideoCropTop;
    i.nVideoPadBottom = t.nVideoPadBottom;
    i.nVideoPadColor = t.nVideoPadColor;
    i.nVideoPadLeft = t.nVideoPadLeft;
    i.nVideoPadRight = t.nVideoPadRight;
    i.nVideoPadTop = t.nVideoPadTop;
    i.nDefaultVideoBitRate = DefaultVideoBitRateOf(i);
    return intermediate;
}

std::string IntermediatePath(const std::string& outputPath, const ProfileSettings& intermediate) {
    return WithoutExtension(outputPath) + "~temp." + intermediate.TargetType;
}

BuiltEncoding BuildIntermediateEncoding(const ConversionTask& task) {
    ProfileSettings intermediate = IntermediateProfile(task.profile);
    return Build(intermediate, CASTOR_FRAME_INPUT, IntermediatePath(task.outputPath, intermediate));
}

BuiltEncoding BuildFinalEncoding(const ConversionTask& task, const std::string& inputPath) {
    return Build(task.profile, inputPath, OutputArgument(task));
}

}  // namespace kinolux
