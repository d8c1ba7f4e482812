// One output profile as a profile file holds it: a section of an INI file
// whose name is the profile's name and whose keys are the field names below.
// Four run-time fields are derived from the source movie and never stored.
#pragma once

#include <cstdint>
#include <string>

namespace kinolux {

// Widths of the text fields as the profile files have always held them; a
// longer value read from a file is cut to the width less one.
namespace profile_width {
inline constexpr size_t kName = 256;
inline constexpr size_t kFormatName = 128;
inline constexpr size_t kFormatHint = 128;
inline constexpr size_t kTargetType = 20;
inline constexpr size_t kArguments = 1024;
inline constexpr size_t kBurnType = 10;
inline constexpr size_t kCodec = 20;
inline constexpr size_t kPostProcess = 1024;
}  // namespace profile_width

// Plain record, copied by value; `ProfileSettings settings{}` is the
// all-empty profile. Booleans (b...) are 0 for off, anything else on.
struct ProfileSettings {
    std::string ProfileFile;  // full path of the file it was read from; not a key
    std::string ProfileName;  // the section name; not a key
    std::string FormatName;   // "TGA image", "TIFF image", "BMP image", "PNG image" mark still images
    std::string FormatHint;
    std::string TargetType;   // output extension without the dot
    std::string BeforePara;   // encoder arguments before the input
    std::string Para;         // encoder arguments after the input
    int32_t bCanBurn = 0;
    std::string BurnType;
    int32_t bDisableAudio = 0;
    int32_t bAudioCustomSampleRate = 0;
    int32_t nAudioCustomSampleRate = 0;
    int32_t bAudioCustomBitRate = 0;
    float nAudioCustomBitRate = 0.0f;
    int32_t nAudioChannel = 0;
    int32_t bAudioCustomVolume = 0;
    int32_t nAudioVolume = 0;  // 256 = unchanged
    std::string cAudioCodec;   // "auto" = the encoder chooses
    int32_t bDisableVideo = 0;
    int32_t bVideoHighQuality = 0;
    int32_t bVideoCustomFrameRate = 0;
    float nVideoCustomFrameRate = 0.0f;
    int32_t bVideoCustomBitRate = 0;
    int32_t nVideoCustomBitRate = 0;  // kbit/s
    float nVideoBitRateLevel = 0.0f;
    float nVideoBitRateLevel2 = 0.0f;
    float nVideoBitRateLevel3 = 0.0f;
    int32_t nDefaultVideoBitRate = 0;  // run-time, kbit/s
    int32_t nSourceHeight = 0;         // run-time
    int32_t nSourceWidth = 0;          // run-time
    float nSourceAspect = 0.0f;        // run-time; 0 = not yet computed
    std::string cVideoCodec;           // "auto" = the encoder chooses
    int32_t bVideoEnableCrop = 0;
    int32_t nVideoCropLeft = 0;
    int32_t nVideoCropRight = 0;
    int32_t nVideoCropTop = 0;
    int32_t nVideoCropBottom = 0;
    int32_t bVideoEnablePad = 0;
    int32_t nVideoPadLeft = 0;
    int32_t nVideoPadRight = 0;
    int32_t nVideoPadTop = 0;
    int32_t nVideoPadBottom = 0;
    int32_t nVideoPadColor = 0;      // 0xRRGGBB
    int32_t nVideoRiszeOption = 0;   // output size choice 0 to 11
    int32_t nVideoCustomSizeX = 0;
    int32_t nVideoCustomSizeY = 0;
    int32_t nAspect = 0;             // 0 none, 1 "4:3", 2 "16:9"
    std::string PostProcess;

    bool operator==(const ProfileSettings&) const = default;
};

// True for the four still-image formats, which bypass the encoder.
bool IsStillImageProfile(const ProfileSettings& settings);

}  // namespace kinolux
