#include "profiles/profile_keys.h"

#include <array>

namespace kinolux {

namespace {

using S = ProfileSettings;
namespace w = profile_width;

constexpr ProfileKey Text(const char* name, std::string S::*field, size_t width) { return {name, field, width, nullptr, nullptr}; }
constexpr ProfileKey Int(const char* name, int32_t S::*field) { return {name, nullptr, 0, field, nullptr}; }
constexpr ProfileKey Real(const char* name, float S::*field) { return {name, nullptr, 0, nullptr, field}; }

constexpr std::array kKeys = {
    Text("FormatName", &S::FormatName, w::kFormatName),
    Text("FormatHint", &S::FormatHint, w::kFormatHint),
    Text("TargetType", &S::TargetType, w::kTargetType),
    Text("Para", &S::Para, w::kArguments),
    Text("BeforePara", &S::BeforePara, w::kArguments),
    Text("PostProcess", &S::PostProcess, w::kPostProcess),
    Int("bDisableAudio", &S::bDisableAudio),
    Int("bAudioCustomSampleRate", &S::bAudioCustomSampleRate),
    Int("nAudioCustomSampleRate", &S::nAudioCustomSampleRate),
    Int("bAudioCustomBitRate", &S::bAudioCustomBitRate),
    Real("nAudioCustomBitRate", &S::nAudioCustomBitRate),
    Int("nAudioChannel", &S::nAudioChannel),
    Int("bAudioCustomVolume", &S::bAudioCustomVolume),
    Int("nAudioVolume", &S::nAudioVolume),
    Text("cAudioCodec", &S::cAudioCodec, w::kCodec),
    Int("bDisableVideo", &S::bDisableVideo),
    Int("bVideoHighQuality", &S::bVideoHighQuality),
    Int("bVideoCustomFrameRate", &S::bVideoCustomFrameRate),
    Real("nVideoCustomFrameRate", &S::nVideoCustomFrameRate),
    Real("nVideoBitRateLevel", &S::nVideoBitRateLevel),
    Real("nVideoBitRateLevel2", &S::nVideoBitRateLevel2),
    Real("nVideoBitRateLevel3", &S::nVideoBitRateLevel3),
    Int("bVideoCustomBitRate", &S::bVideoCustomBitRate),
    Int("nVideoCustomBitRate", &S::nVideoCustomBitRate),
    Text("cVideoCodec", &S::cVideoCodec, w::kCodec),
    Int("bVideoEnableCrop", &S::bVideoEnableCrop),
    Int("nVideoCropLeft", &S::nVideoCropLeft),
    Int("nVideoCropRight", &S::nVideoCropRight),
    Int("nVideoCropTop", &S::nVideoCropTop),
    Int("nVideoCropBottom", &S::nVideoCropBottom),
    Int("bVideoEnablePad", &S::bVideoEnablePad),
    Int("nVideoPadLeft", &S::nVideoPadLeft),
    Int("nVideoPadRight", &S::nVideoPadRight),
    Int("nVideoPadTop", &S::nVideoPadTop),
    Int("nVideoPadBottom", &S::nVideoPadBottom),
    Int("nVideoPadColor", &S::nVideoPadColor),
    Int("nVideoRiszeOption", &S::nVideoRiszeOption),
    Int("nVideoCustomSizeX", &S::nVideoCustomSizeX),
    Int("nVideoCustomSizeY", &S::nVideoCustomSizeY),
    Int("nAspect", &S::nAspect),
    Int("bCanBurn", &S::bCanBurn),
    Text("BurnType", &S::BurnType, w::kBurnType),
};
static_assert(kKeys.size() == 42);

}  // namespace

std::span<const ProfileKey> ProfileKeys() { return kKeys; }

}  // namespace kinolux
