#include "joiner/stream_survey.h"

#include <algorithm>
#include <limits>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "bindings/joiner.h"
#include "joiner/failure.h"
#include "joiner/stream_coding.h"

namespace joiner {

namespace {

struct InputDeleter {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct PacketDeleter {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};

constexpr AVRational k90kHz{1, 90000};
// Presentation times in the clip are 32-bit counts of a 45 kHz clock.
constexpr int64_t kLongestClip = int64_t{0xFFFFFFFF} * 2;

struct StreamState {
    int clipIndex = -1;  // in survey.streams, or -1 when not listed
    bool video = false;
    int64_t frameDuration = 0;  // 90 kHz, for frames that carry none
    bool lastCorrupt = false;
};

std::unique_ptr<AVFormatContext, InputDeleter> OpenStream(const ClipSurvey& survey) {
    AVFormatContext* context = nullptr;
    const AVInputFormat* mpegts = av_find_input_format("mpegts");
    if (avformat_open_input(&context, survey.path.c_str(), mpegts, nullptr) < 0)
        throw Failure(NX_ERROR_NOT_TRANSPORT_STREAM, "The file " + survey.path + " is not a transport stream.");
    std::unique_ptr<AVFormatContext, InputDeleter> input(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        throw Failure(NX_ERROR_DAMAGED, "The transport stream " + survey.path + " is damaged: its streams cannot be read.");
    return input;
}

// Lists the streams the clip carries, video first, and answers for each
// stream of the file where it went.
std::vector<StreamState> ListStreams(const AVFormatContext& input, ClipSurvey& survey) {
    std::vector<StreamState> states(input.nb_streams);
    for (bool videoPass : {true, false}) {
        for (unsigned i = 0; i < input.nb_streams; ++i) {
            const AVStream& stream = *input.streams[i];
            const AVCodecParameters& parameters = *stream.codecpar;
            const bool video = parameters.codec_type == AVMEDIA_TYPE_VIDEO;
            if (video != videoPass || (!video && parameters.codec_type != AVMEDIA_TYPE_AUDIO)) continue;
            // Cover art and the like are pictures, not a video stream.
            if (video && (stream.disposition & AV_DISPOSITION_ATTACHED_PIC)) continue;
            // A clip plays one primary video; any further one stays unlisted.
            if (video && !survey.streams.empty()) continue;
            ClipStream clip;
            clip.pid = static_cast<uint16_t>(stream.id & 0x1FFF);
            clip.codingType = CodingTypeOf(parameters.codec_id);
            if (clip.codingType == 0)
                throw Failure(NX_ERROR_UNSUPPORTED_STREAM,
                              "The transport stream " + survey.path + " carries " + avcodec_get_name(parameters.codec_id) +
                                  (video ? " video" : " sound") + ", which a Blu-ray disc cannot carry.");
            AVRational rate = stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
            if (video) DescribeVideo(parameters, rate, clip);
            else DescribeAudio(parameters, clip);
            states[i].clipIndex = static_cast<int>(survey.streams.size());
            states[i].video = video;
            if (video && rate.num > 0 && rate.den > 0) states[i].frameDuration = av_rescale_q(1, av_inv_q(rate), k90kHz);
            survey.streams.push_back(clip);
        }
    }
    if (survey.streams.empty() || !survey.streams.front().video)
        throw Failure(NX_ERROR_NO_VIDEO, "The transport stream " + survey.path + " has no video.");
    if (input.nb_programs > 0) {
        survey.pmtPid = static_cast<uint16_t>(input.programs[0]->pmt_pid & 0x1FFF);
        if (input.programs[0]->pcr_pid > 0) survey.pcrPid = static_cast<uint16_t>(input.programs[0]->pcr_pid & 0x1FFF);
    }
    return states;
}

}  // namespace

void SurveyStreams(ClipSurvey& survey, Progress& progress) {
    std::unique_ptr<AVFormatContext, InputDeleter> input = OpenStream(survey);
    std::vector<StreamState> states = ListStreams(*input, survey);
    const int videoClip = 0;

    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    if (!packet) throw Failure(NX_ERROR_UNREADABLE, "Out of memory reading " + survey.path + ".");
    int64_t start = std::numeric_limits<int64_t>::max();
    int64_t end = std::numeric_limits<int64_t>::min();
    const uint64_t fileSize = survey.packetCount * static_cast<uint64_t>(survey.packetSize);
    const int64_t packetSize = survey.packetSize;
    // The key frame whose span is still open: it ends where the next video
    // packet starts.
    EntryPoint* openEntry = nullptr;
    int result = 0;
    while ((result = av_read_frame(input.get(), packet.get())) >= 0) {
        StreamState& state = states[static_cast<size_t>(packet->stream_index)];
        const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
        if (state.clipIndex >= 0 && pts != AV_NOPTS_VALUE) {
            const AVRational base = input->streams[packet->stream_index]->time_base;
            const int64_t time = av_rescale_q(pts, base, k90kHz);
            int64_t duration = av_rescale_q(packet->duration, base, k90kHz);
            if (duration <= 0) duration = state.frameDuration;
            start = std::min(start, time);
            end = std::max(end, time + duration);
            state.lastCorrupt = (packet->flags & AV_PKT_FLAG_CORRUPT) != 0;
            if (state.clipIndex == videoClip && packet->pos >= 0) {
                const uint32_t spn = static_cast<uint32_t>(packet->pos / packetSize);
                if (openEntry && spn > openEntry->spn) {
                    openEntry->packets = spn - openEntry->spn;
                    openEntry = nullptr;
                }
                if ((packet->flags & AV_PKT_FLAG_KEY) &&
                    (survey.entryPoints.empty() || spn > survey.entryPoints.back().spn)) {
                    survey.entryPoints.push_back({time, spn, 1});
                    openEntry = &survey.entryPoints.back();
                }
            }
        }
        av_packet_unref(packet.get());
        const int64_t position = avio_tell(input->pb);
        if (position > 0)
            progress.Fraction(fileSize + static_cast<uint64_t>(std::min<int64_t>(position, fileSize)), fileSize * 2,
                              "Reading the transport stream");
    }
    if (result != AVERROR_EOF)
        throw Failure(NX_ERROR_DAMAGED, "The transport stream " + survey.path + " is damaged: its packets cannot be read.");
    for (const StreamState& state : states)
        if (state.clipIndex >= 0 && state.lastCorrupt)
            throw Failure(NX_ERROR_TRUNCATED, "The transport stream " + survey.path + " is truncated: it ends inside a frame.");
    if (survey.entryPoints.empty())
        throw Failure(NX_ERROR_NO_VIDEO, "The transport stream " + survey.path + " has no video frame to start from.");
    if (end - start > kLongestClip)
        throw Failure(NX_ERROR_TOO_LARGE, "The transport stream " + survey.path + " plays longer than one Blu-ray clip can.");
    survey.startPts = start;
    survey.endPts = end;
}

}  // namespace joiner
