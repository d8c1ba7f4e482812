#include "flash/module/sound_tags.h"

#include <algorithm>

namespace flash {

namespace audio = kinolux::audio;

audio::SoundFormat soundFormatOf(const swf::SoundFormatInfo& format)
{
    return {audio::SoundCodec(format.compression), format.rate, format.is16Bit, format.stereo};
}

audio::SoundInfo soundInfoOf(const swf::SoundInfo& info)
{
    audio::SoundInfo out;
    out.syncStop = info.syncStop;
    out.syncNoMultiple = info.syncNoMultiple;
    out.inPoint = info.inPoint;
    out.outPoint = info.outPoint;
    out.loopCount = info.loopCount;
    if (info.envelope)
        for (const auto& point : *info.envelope)
            out.envelope.push_back({point.pos44, point.leftLevel, point.rightLevel});
    return out;
}

audio::StreamHead streamHeadOf(const swf::SoundStreamHead& head)
{
    return {soundFormatOf(head.stream), head.samplesPerFrame, head.latencySeek};
}

const swf::SoundStreamHead* findStreamHead(const Timeline& timeline)
{
    if (!timeline.tags || timeline.frames.empty()) return nullptr;
    const std::size_t end = std::min(timeline.frames.back().second, timeline.tags->size());
    for (std::size_t i = timeline.frames.front().first; i < end; ++i)
        if (const auto* head = (*timeline.tags)[i].get<swf::SoundStreamHead>()) return head;
    return nullptr;
}

const swf::SoundStreamBlock* findStreamBlock(const Timeline& timeline, int frame)
{
    if (!timeline.tags || frame < 0 || frame >= timeline.totalFrames()) return nullptr;
    const auto [begin, end] = timeline.frames[std::size_t(frame)];
    for (std::size_t i = begin; i < std::min(end, timeline.tags->size()); ++i)
        if (const auto* block = (*timeline.tags)[i].get<swf::SoundStreamBlock>()) return block;
    return nullptr;
}

}  // namespace flash
