#include "castor/file_source.h"

#include "castor/failure.h"

namespace castor {

FileSource::FileSource(const std::string& path)
    : path_(path), frame_(NewFrame()), packet_(NewPacket()) {
    AVFormatContext* context = nullptr;
    Check(avformat_open_input(&context, path.c_str(), nullptr, nullptr),
          "Could not open '" + path + "'");
    input_.reset(context);
    Check(avformat_find_stream_info(input_.get(), nullptr), "Could not read '" + path + "'");
    if (input_->start_time != AV_NOPTS_VALUE) {
        origin_ = static_cast<double>(input_->start_time) / AV_TIME_BASE;
    }
    OpenDecoder(video_, AVMEDIA_TYPE_VIDEO);
    OpenDecoder(audio_, AVMEDIA_TYPE_AUDIO);
    if (video_.decoder) {
        AVStream* stream = input_->streams[video_.index];
        layout_.hasVideo = true;
        layout_.width = video_.decoder->width;
        layout_.height = video_.decoder->height;
        layout_.pixelFormat = video_.decoder->pix_fmt;
        layout_.frameRate = av_guess_frame_rate(input_.get(), stream, nullptr);
        if (layout_.frameRate.num <= 0 || layout_.frameRate.den <= 0 || av_q2d(layout_.frameRate) > 1000) {
            layout_.frameRate = AVRational{25, 1};
        }
        layout_.sampleAspect = av_guess_sample_aspect_ratio(input_.get(), stream, nullptr);
    }
    if (audio_.decoder) {
        layout_.hasAudio = true;
        layout_.sampleRate = audio_.decoder->sample_rate;
        layout_.channels = audio_.decoder->ch_layout.nb_channels;
    }
    if (!layout_.hasVideo && !layout_.hasAudio) {
        Fail("'" + path + "' holds no video or audio that can be decoded");
    }
}

void FileSource::OpenDecoder(Stream& stream, AVMediaType type) {
    stream.finished = true;  // until a decoder is open
    const AVCodec* codec = nullptr;
    const int index = av_find_best_stream(input_.get(), type, -1, -1, &codec, 0);
    if (index < 0 || codec == nullptr) {
        return;  // no such stream, or none this libavcodec decodes
    }
    AVStream* avStream = input_->streams[index];
    stream.decoder.reset(avcodec_alloc_context3(codec));
    if (!stream.decoder) {
        Fail("Out of memory");
    }
    Check(avcodec_parameters_to_context(stream.decoder.get(), avStream->codecpar),
          "Could not read the streams of '" + path_ + "'");
    stream.decoder->pkt_timebase = avStream->time_base;
    stream.decoder->thread_count = 0;
    Check(avcodec_open2(stream.decoder.get(), codec, nullptr),
          std::string("Could not open the ") + codec->name + " decoder for '" + path_ + "'");
    if (type == AVMEDIA_TYPE_AUDIO && stream.decoder->sample_rate <= 0) {
        stream.decoder.reset();
        return;
    }
    stream.index = index;
    stream.timeBase = avStream->time_base;
    stream.finished = false;
}

void FileSource::Ignore(ItemKind kind) {
    Stream& stream = kind == ItemKind::Picture ? video_ : audio_;
    if (stream.index >= 0) {
        input_->streams[stream.index]->discard = AVDISCARD_ALL;
    }
    stream.decoder.reset();
    stream.index = -1;
    stream.finished = true;
    (kind == ItemKind::Picture ? layout_.hasVideo : layout_.hasAudio) = false;
    if (ready_ == &stream) {
        ready_ = nullptr;
    }
}

bool FileSource::Read(SourceItem& item) {
    for (;;) {
        if (ready_ != nullptr) {
            if (ReceiveFrame(*ready_, item)) {
                return true;
            }
            ready_ = nullptr;
        }
        if (endOfFile_) {
            return Drain(item);
        }
        const int status = av_read_frame(input_.get(), packet_.get());
        if (status == AVERROR_EOF) {
            endOfFile_ = true;
            continue;
        }
        Check(status, "Could not read '" + path_ + "'");
        Stream* stream = packet_->stream_index == video_.index   ? &video_
                         : packet_->stream_index == audio_.index ? &audio_
                                                                 : nullptr;
        // A damaged packet is skipped, as a player would: the rest of the
        // file still converts.
        if (stream != nullptr && avcodec_send_packet(stream->decoder.get(), packet_.get()) >= 0) {
            ready_ = stream;
        }
        av_packet_unref(packet_.get());
    }
}

bool FileSource::Drain(SourceItem& item) {
    for (Stream* stream : {&video_, &audio_}) {
        while (!stream->finished) {
            if (!stream->flushed) {
                avcodec_send_packet(stream->decoder.get(), nullptr);
                stream->flushed = true;
            }
            if (ReceiveFrame(*stream, item)) {
                return true;
            }
            stream->finished = true;
        }
    }
    return false;
}

bool FileSource::ReceiveFrame(Stream& stream, SourceItem& item) {
    av_frame_unref(frame_.get());
    if (avcodec_receive_frame(stream.decoder.get(), frame_.get()) < 0) {
        return false;  // needs more input, drained, or a frame it could not decode
    }
    const bool picture = &stream == &video_;
    double start = stream.nextStart;
    if (frame_->best_effort_timestamp != AV_NOPTS_VALUE) {
        start = static_cast<double>(frame_->best_effort_timestamp) * av_q2d(stream.timeBase) - origin_;
    }
    double duration = 0;
    if (picture) {
        duration = frame_->pkt_duration > 0 ? frame_->pkt_duration * av_q2d(stream.timeBase)
                                            : 1 / av_q2d(layout_.frameRate);
    } else {
        if (frame_->sample_rate <= 0) {
            frame_->sample_rate = stream.decoder->sample_rate;
        }
        duration = static_cast<double>(frame_->nb_samples) / frame_->sample_rate;
    }
    stream.nextStart = start + duration;
    item = SourceItem{picture ? ItemKind::Picture : ItemKind::Sound, frame_.get(), start, duration};
    return true;
}

}  // namespace castor
