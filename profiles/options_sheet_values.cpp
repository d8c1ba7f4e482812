#include "profiles/options_sheet_values.h"

#include "platform/paths.h"
#include "platform/report.h"
#include "platform/text_compare.h"
#include "platform/text_cut.h"
#include "profiles/codec_frame_sizes.h"
#include "profiles/language_manager.h"
#include "profiles/profile_store.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace kinolux {

namespace {

constexpr std::array<const char*, 41> kAudioCodecs{
    "auto",          "aac",           "ac3",           "amr_nb",       "amr_wb",
    "gsm",           "mp2",           "mp3",           "vorbis",       "adpcm_ima_qt",
    "adpcm_ima_wav", "adpcm_ima_dk3", "adpcm_ima_dk4", "adpcm_ima_ws", "adpcm_ima_smjpeg",
    "adpcm_ms",      "adpcm_4xm",     "adpcm_xa",      "adpcm_adx",    "adpcm_ea",
    "adpcm_g726",    "adpcm_ct",      "adpcm_swf",     "adpcm_yamaha", "pcm_s32le",
    "pcm_s32be",     "pcm_u32le",     "pcm_u32be",     "pcm_s24le",    "pcm_s24be",
    "pcm_u24le",     "pcm_u24be",     "pcm_s24daud",   "pcm_s16le",    "pcm_s16be",
    "pcm_u16le",     "pcm_u16be",     "pcm_s8",        "pcm_u8",       "pcm_alaw",
    "pcm_mulaw"};

constexpr std::array<const char*, 32> kVideoCodecs{
    "auto",     "dvvideo", "h261",       "h263",       "h263p", "h264",      "huffyuv",   "flv",
    "ljpeg",    "mjpeg",   "mpeg1video", "mpeg2video", "mpeg4", "msmpeg4v1", "msmpeg4v2", "msmpeg4",
    "rawvideo", "rv10",    "rv20",       "svq1",       "wmv1",  "wmv2",      "xvid",      "asv1",
    "asv2",     "zlib",    "pam",        "pbm",        "pgm",   "pgmyuv",    "png",       "ppm"};

// The encoder's limits on what the sheet passes (castor's option table).
constexpr int kMaxSide = 16384;
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;
constexpr double kMaxAudioBitRate = 10000;
constexpr int kMaxVideoBitRate = 1000000;
constexpr double kMinFrameRate = 0.1;
constexpr double kMaxFrameRate = 1000;
// "Original size" on the resize page.
constexpr int kSizeItem0 = 1252;

OptionRefusal Refuse(OptionPage page, int item, std::string message) { return {page, item, std::move(message)}; }

std::optional<OptionRefusal> CheckGeometry(const ProfileSettings& p) {
    const bool crop = p.bVideoEnableCrop != 0;
    const bool pad = p.bVideoEnablePad != 0;
    const int amounts[] = {p.nVideoCropLeft, p.nVideoCropRight, p.nVideoCropTop, p.nVideoCropBottom,
                           p.nVideoPadLeft,  p.nVideoPadRight,  p.nVideoPadTop,  p.nVideoPadBottom};
    const int amountItems[] = {1263, 1264, 1265, 1266, 1273, 1274, 1275, 1276};
    for (int i = 0; i < 8; ++i) {
        if (!(i < 4 ? crop : pad)) continue;
        if (amounts[i] < 0 || amounts[i] > kMaxSide)
            return Refuse(kCropPadPage, amountItems[i],
                          std::string(i < 4 ? "Cropping" : "Padding") + " takes 0 to 16384 pixels on each side.");
    }
    const int option = p.nVideoRiszeOption;
    if (option == 9) {
        if (p.nVideoCustomSizeX < 1 || p.nVideoCustomSizeX > kMaxSide)
            return Refuse(kResizePage, 1085, "The custom width must be between 1 and 16384 pixels.");
        if (p.nVideoCustomSizeY < 1 || p.nVideoCustomSizeY > kMaxSide)
            return Refuse(kResizePage, 1087, "The custom height must be between 1 and 16384 pixels.");
    }
    // The movie is grabbed at the output frame size less the padding; the
    // encoder crops that picture, scales it to a chosen size, and pads it
    // out to the whole frame. Without a chosen size the frame is the
    // cropped picture with its padding.
    const FrameSize output = GetOutputFrameSize(p);
    if (output.width <= 0 || output.height <= 0) return std::nullopt;  // known once the movie is probed
    const FrameSize grab{output.width - (pad ? p.nVideoPadLeft + p.nVideoPadRight : 0),
                         output.height - (pad ? p.nVideoPadTop + p.nVideoPadBottom : 0)};
    if (grab.width < 1 || grab.height < 1)
        return Refuse(kCropPadPage, 1273,
                      "The padding leaves no room for the picture in the " + FrameSizeText(output) + " frame.");
    const FrameSize cropped{grab.width - (crop ? p.nVideoCropLeft + p.nVideoCropRight : 0),
                            grab.height - (crop ? p.nVideoCropTop + p.nVideoCropBottom : 0)};
    if (cropped.width < 1 || cropped.height < 1)
        return Refuse(kCropPadPage, 1263, "Cropping leaves nothing of the " + FrameSizeText(grab) + " picture.");
    const FrameSize frame = EncodedFrameSize(p);
    if (frame.width > kMaxSide || frame.height > kMaxSide)
        return Refuse(kCropPadPage, 1273, "The padded frame " + FrameSizeText(frame) + " is larger than 16384 pixels.");
    const std::string problem = CodecFrameSizeProblem(p, frame);
    if (!problem.empty()) {
        // The size is mended where it was made: the custom size, the
        // padding, the cropping or the size choice; a codec of a few sizes
        // only by choosing one of them.
        const auto [page, item] = option == 9              ? std::pair{kResizePage, 1085}
                                  : TakesOnlyFixedSizes(p) ? std::pair{kResizePage, kSizeItem0}
                                  : pad                    ? std::pair{kCropPadPage, 1273}
                                  : crop                   ? std::pair{kCropPadPage, 1263}
                                                           : std::pair{kResizePage, kSizeItem0};
        const bool rounded = option == 9 && (frame.width != p.nVideoCustomSizeX || frame.height != p.nVideoCustomSizeY);
        return Refuse(page, item,
                      rounded ? problem + " A custom size is rounded up to whole multiples of 16." : problem);
    }
    return std::nullopt;
}

}  // namespace

bool IsAutoCodecName(std::string_view codec) { return EqualsIgnoringCase(codec, "auto"); }

std::span<const char* const> AudioCodecNames() { return kAudioCodecs; }
std::span<const char* const> VideoCodecNames() { return kVideoCodecs; }

int CodecEntry(std::span<const char* const> names, std::string_view codec) {
    for (size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoringCase(names[i], codec)) return static_cast<int>(i);
    return 0;
}

std::string IntegerText(int32_t value) { return std::to_string(value); }

namespace {
std::string General(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    // The program's numbers never take the user's decimal comma.
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}
}  // namespace

std::string FloatText(float value) { return General(value, 6); }
std::string FrameRateText(float value) { return General(value, 15); }

std::optional<double> ReadNumberText(std::string_view text) {
    const std::string trimmed(TrimBlanks(text));
    if (trimmed.empty()) return std::nullopt;
    // Digits, one point, an exponent and a sign only: strtod would also take
    // "inf", "nan" and hexadecimal numbers, which nobody types as a rate.
    if (trimmed.find_first_not_of("0123456789.eE+-") != std::string::npos) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(trimmed.c_str(), &end);
    if (end != trimmed.c_str() + trimmed.size() || errno == ERANGE) return std::nullopt;
    return value;
}

std::optional<int32_t> ReadIntegerText(std::string_view text) {
    const std::string trimmed(TrimBlanks(text));
    if (trimmed.empty() || trimmed.find_first_not_of("0123456789+-") != std::string::npos) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(trimmed.c_str(), &end, 10);
    if (end != trimmed.c_str() + trimmed.size() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

std::string PadColourText(int32_t colour) {
    const Rgb rgb = PadColourToRgb(colour);
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X%02X%02X", rgb.red, rgb.green, rgb.blue);
    return text;
}

Rgb PadColourToRgb(int32_t colour) {
    const auto bits = static_cast<uint32_t>(colour);
    return {static_cast<int>(bits >> 16 & 0xFF), static_cast<int>(bits >> 8 & 0xFF), static_cast<int>(bits & 0xFF)};
}

int32_t PadColourFromRgb(const Rgb& rgb) {
    return static_cast<int32_t>((rgb.red & 0xFF) << 16 | (rgb.green & 0xFF) << 8 | (rgb.blue & 0xFF));
}

FrameSize LiveFrameSize(const ProfileSettings& edited) {
    FrameSize size;
    if (FixedFrameSize(edited.nVideoRiszeOption, size)) return size;
    if (edited.nVideoRiszeOption == 9) return {edited.nVideoCustomSizeX, edited.nVideoCustomSizeY};
    return {edited.nSourceWidth, edited.nSourceHeight};
}

int LiveDefaultVideoBitRate(const ProfileSettings& edited) {
    const FrameSize size = LiveFrameSize(edited);
    return ComputeDefaultVideoBitRate(edited.nVideoBitRateLevel, size.width, size.height, edited.nVideoBitRateLevel2,
                                      edited.nVideoBitRateLevel3) /
           1000;
}

std::optional<OptionRefusal> FindRefusedValue(const ProfileSettings& p) {
    if (p.bAudioCustomSampleRate &&
        (p.nAudioCustomSampleRate < kMinSampleRate || p.nAudioCustomSampleRate > kMaxSampleRate))
        return Refuse(kAudioPage, 1221, "The sampling rate must be between 1000 and 384000.");
    if (p.bAudioCustomBitRate && !(p.nAudioCustomBitRate > 0 && p.nAudioCustomBitRate <= kMaxAudioBitRate))
        return Refuse(kAudioPage, 1226, "The audio bit rate must be more than 0 and at most 10000 kbit / s.");
    if (p.nAudioVolume < 100 || p.nAudioVolume > 600)
        return Refuse(kAudioPage, 1231, "The volume must be between 100 and 600.");
    if (p.bVideoCustomFrameRate &&
        !(p.nVideoCustomFrameRate >= kMinFrameRate && p.nVideoCustomFrameRate <= kMaxFrameRate))
        return Refuse(kVideoPage, 1238, "The frame rate must be between 0.1 and 1000 frames / second.");
    if (p.bVideoCustomBitRate && (p.nVideoCustomBitRate < 1 || p.nVideoCustomBitRate > kMaxVideoBitRate))
        return Refuse(kVideoPage, 1250, "The video bit rate must be between 1 and 1000000 kbits / s.");
    const float levels[] = {p.nVideoBitRateLevel, p.nVideoBitRateLevel2, p.nVideoBitRateLevel3};
    const int levelItems[] = {1249, 1146, 1149};
    for (int i = 0; i < 3; ++i)
        if (!(levels[i] >= 0 && levels[i] <= 100))
            return Refuse(kVideoPage, levelItems[i], "Each default bit rate quotiety must be between 0 and 100.");
    return CheckGeometry(p);
}

void ApplyEditedProfile(const ProfileSettings& edited, ProfileSettings& task, int sourceWidth, int sourceHeight) {
    const std::string file = task.ProfileFile;
    const std::string name = task.ProfileName;
    task = edited;
    task.ProfileFile = file;
    task.ProfileName = name;
    task.cAudioCodec = CutToWidth(edited.cAudioCodec, profile_width::kCodec);
    task.cVideoCodec = CutToWidth(edited.cVideoCodec, profile_width::kCodec);
    PrepareProfileForSource(task, sourceWidth, sourceHeight, -1);
}

namespace {
void SayNotSaved(const ProfileSettings& profile) {
    ReportMessage("The profile \"" + profile.ProfileName + "\" could not be saved: " + profile.ProfileFile +
                  " cannot be written. The options apply to this task only.");
}
}  // namespace

bool SaveOverCurrentProfile(const ProfileSettings& profile) {
    if (WriteProfile(profile.ProfileName, profile, profile.ProfileFile)) return true;
    SayNotSaved(profile);
    return false;
}

bool SaveAsNewProfile(ProfileSettings& profile, const AskProfileName& askName) {
    std::string proposed = "New " + profile.ProfileName;
    while (const std::optional<std::string> typed = askName(proposed)) {
        const std::string name(TrimBlanks(*typed));
        switch (SaveProfileAsNew(name, profile, profile.ProfileFile)) {
        case NewProfileResult::Written:
            SetDefaultProfileName(FileNameOf(profile.ProfileFile), name);
            profile.ProfileName = name;
            return true;
        case NewProfileResult::NameExists: ReportMessage(Text("MAIN_DLG", "strProfileNameExistedInfo")); break;
        case NewProfileResult::NameInvalid:
            ReportMessage("A profile name holds 1 to 255 characters, without \"]\" or a line break.");
            break;
        case NewProfileResult::WriteFailed: SayNotSaved(profile); return false;
        }
        proposed = *typed;
    }
    return false;
}

}  // namespace kinolux
