#include "profiles/codec_frame_sizes.h"

#include "platform/text_compare.h"
#include "profiles/options_sheet_values.h"

#include <span>
#include <vector>

namespace kinolux {

namespace {

struct SideRule {
    const char* codec;
    int multiple;
};
constexpr SideRule kSideRules[] = {{"h264", 2}, {"xvid", 2},  {"wmv1", 2}, {"wmv2", 2},
                                   {"h263", 4}, {"h263p", 4}, {"rv20", 4}, {"rv10", 16}};

// The sizes libavcodec's DV encoder has a profile for, each with the
// sampling that profile uses: NTSC DV 4:1:1, PAL DV 4:2:0, and DVCPRO HD
// 4:2:2.
struct DvSize {
    FrameSize size;
    const char* pixelFormat;
};
constexpr DvSize kDvSizes[] = {{{720, 480}, "yuv411p"},
                               {{720, 576}, "yuv420p"},
                               {{960, 720}, "yuv422p"},
                               {{1280, 1080}, "yuv422p"},
                               {{1440, 1080}, "yuv422p"}};
constexpr FrameSize kH261Sizes[] = {{176, 144}, {352, 288}};

bool IsCodec(const ProfileSettings& p, const char* codec) { return EqualsIgnoringCase(p.cVideoCodec, codec); }

bool Same(FrameSize a, FrameSize b) { return a.width == b.width && a.height == b.height; }

// "a, b or c".
std::string Choices(std::span<const FrameSize> sizes) {
    std::string text;
    for (size_t i = 0; i < sizes.size(); ++i)
        text += (i == 0 ? "" : i + 1 == sizes.size() ? " or " : ", ") + FrameSizeText(sizes[i]);
    return text;
}

std::vector<FrameSize> DvFrameSizes() {
    std::vector<FrameSize> sizes;
    for (const DvSize& dv : kDvSizes) sizes.push_back(dv.size);
    return sizes;
}

// Which codec "auto" becomes is the container's choice, so it is held to
// even sides, as every default video codec takes those.
int SideMultiple(const ProfileSettings& p) {
    if (IsAutoCodecName(p.cVideoCodec)) return 2;
    for (const SideRule& rule : kSideRules)
        if (IsCodec(p, rule.codec)) return rule.multiple;
    return 1;
}

// What the codec needs of a frame it cannot write, as the end of a
// sentence; empty when it can.
std::string CodecFrameSizeNeed(const ProfileSettings& p, FrameSize frame) {
    if (p.bDisableVideo != 0 || IsStillImageProfile(p)) return {};
    if (IsCodec(p, "dvvideo"))
        return DvPixelFormat(p, frame).empty() ? "takes only " + Choices(DvFrameSizes()) : std::string();
    if (IsCodec(p, "h261")) {
        for (FrameSize size : kH261Sizes)
            if (Same(size, frame)) return {};
        return "takes only " + Choices(kH261Sizes);
    }
    const int multiple = SideMultiple(p);
    if (frame.width % multiple == 0 && frame.height % multiple == 0) return {};
    return "needs every side to be " +
           (multiple == 2 ? std::string("even") : "a multiple of " + std::to_string(multiple));
}

}  // namespace

std::string FrameSizeText(FrameSize size) { return std::to_string(size.width) + " x " + std::to_string(size.height); }

FrameSize EncodedFrameSize(const ProfileSettings& p) {
    const int option = p.nVideoRiszeOption;
    if (option == 9) return {RoundUpTo16(p.nVideoCustomSizeX), RoundUpTo16(p.nVideoCustomSizeY)};
    FrameSize frame;
    if (FixedFrameSize(option, frame)) return frame;
    // The grabbed picture is the output frame less its padding; cropped,
    // then padded again, it is the output frame less the cropping.
    frame = GetOutputFrameSize(p);
    if (p.bVideoEnableCrop == 0) return frame;
    return {frame.width - p.nVideoCropLeft - p.nVideoCropRight, frame.height - p.nVideoCropTop - p.nVideoCropBottom};
}

bool TakesOnlyFixedSizes(const ProfileSettings& p) { return IsCodec(p, "dvvideo") || IsCodec(p, "h261"); }

std::string DvPixelFormat(const ProfileSettings& p, FrameSize frame) {
    if (!IsCodec(p, "dvvideo")) return {};
    for (const DvSize& dv : kDvSizes)
        if (Same(dv.size, frame)) return dv.pixelFormat;
    return {};
}

std::string CodecFrameSizeProblem(const ProfileSettings& p, FrameSize frame) {
    const std::string need = CodecFrameSizeNeed(p, frame);
    if (need.empty()) return {};
    const std::string codec = IsAutoCodecName(p.cVideoCodec) ? "the video codec" : "the " + p.cVideoCodec + " codec";
    return "The output frame would be " + FrameSizeText(frame) + ", but " + codec + " " + need + ".";
}

}  // namespace kinolux
