#include "castor/muxer.h"

#include "castor/failure.h"
#include "castor/libav_options.h"

namespace castor {

Muxer::Muxer(const Container& container, const std::string& path, const std::string& outputPath)
    : path_(outputPath) {
    Check(avformat_alloc_output_context2(&context_, container.format, nullptr, path.c_str()),
          "Could not set up the " + std::string(container.format->name) + " output");
    if (container.imageSequence) {
        // Each image appears under its name only once it is whole.
        SetLibavOption(context_, "atomic_writing", "1");
    }
    if (std::string(container.format->name) == "avi") {
        // AVI counts video time in whole frames: shifting every stream so
        // that the audio encoder's priming starts at 0 would delay the
        // pictures by a whole frame. Unshifted, the priming costs the sound
        // only its own few milliseconds.
        SetLibavOption(context_, "avoid_negative_ts", "disabled");
    }
    const std::string extension = LowerExtension(outputPath);
    if (std::string(container.format->name) == "mpegts" && (extension == "m2ts" || extension == "mts")) {
        SetLibavOption(context_, "mpegts_m2ts_mode", "1");
    }
}

Muxer::~Muxer() {
    if (context_ != nullptr && context_->pb != nullptr && !(context_->oformat->flags & AVFMT_NOFILE)) {
        avio_closep(&context_->pb);
    }
    avformat_free_context(context_);
}

int Muxer::AddStream(const Encoder& encoder, uint32_t codecTag) {
    AVStream* stream = avformat_new_stream(context_, nullptr);
    if (stream == nullptr) {
        Fail("Out of memory");
    }
    encoder.CopyParameters(*stream->codecpar);
    stream->codecpar->codec_tag = codecTag;
    stream->time_base = encoder.TimeBase();
    if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
        stream->sample_aspect_ratio = stream->codecpar->sample_aspect_ratio;
        stream->avg_frame_rate = av_inv_q(encoder.TimeBase());
    }
    return stream->index;
}

void Muxer::Start(const std::vector<std::pair<std::string, std::string>>& libavOptions) {
    for (const auto& [name, value] : libavOptions) {
        SetLibavOption(context_, name, value);
    }
    if (!(context_->oformat->flags & AVFMT_NOFILE)) {
        Check(avio_open(&context_->pb, context_->url, AVIO_FLAG_WRITE),
              "Could not open '" + path_ + "' for writing");
    }
    Check(avformat_write_header(context_, nullptr), "Could not write the header of '" + path_ + "'");
}

void Muxer::Write(int stream, AVPacket& packet, AVRational timeBase) {
    packet.stream_index = stream;
    av_packet_rescale_ts(&packet, timeBase, context_->streams[stream]->time_base);
    Check(av_interleaved_write_frame(context_, &packet), "Could not write '" + path_ + "'");
    ++packets_;
}

void Muxer::Finish() {
    Check(av_write_trailer(context_), "Could not finish '" + path_ + "'");
    if (context_->pb != nullptr && !(context_->oformat->flags & AVFMT_NOFILE)) {
        Check(avio_closep(&context_->pb), "Could not finish '" + path_ + "'");
    }
}

int64_t Muxer::BytesWritten() const {
    return context_->pb != nullptr ? avio_tell(context_->pb) : 0;
}

}  // namespace castor
