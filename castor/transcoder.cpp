#include "castor/transcoder.h"

#include <algorithm>
#include <cmath>

#include "castor/encoder_setup.h"
#include "castor/encoding_thread.h"
#include "castor/failure.h"
#include "castor/file_source.h"
#include "castor/frame_source.h"
#include "castor/target_presets.h"

namespace castor {
namespace {

// Long gaps are filled a piece at a time, reporting progress in between
// so that the caller can still stop.
constexpr int64_t kRepeatsPerReport = 64;
constexpr int kSilencePiece = 8192;
// Sound frames are small: more of them may wait for the audio thread, so
// that the reading side seldom waits for it.
constexpr size_t kQueuedSoundFrames = 32;

}  // namespace

Transcoder::Transcoder(const Options& options, Progress& progress, CS_FrameCallback frameCallback)
    : options_(options), progress_(progress), packet_(NewPacket()) {
    Open(frameCallback);
}

Transcoder::~Transcoder() = default;

void Transcoder::Open(CS_FrameCallback frameCallback) {
    // The output is checked before the input is touched: a refused output
    // costs the caller no frames.
    const std::string format = !options_.format.empty() ? options_.format : TargetFormat(options_.target);
    std::string message;
    if (!FindContainer(format, options_.output, container_, message)) {
        Fail(message);
    }
    file_ = std::make_unique<OutputFile>(options_.output, container_, options_.overwrite,
                                         options_.videoFrameLimit);

    if (options_.input == CASTOR_FRAME_INPUT) {
        source_ = std::make_unique<FrameSource>(frameCallback);
    } else {
        source_ = std::make_unique<FileSource>(options_.input);
    }
    if (!options_.target.empty()) {
        ApplyTarget(options_, av_q2d(source_->Layout().frameRate));
    }
    plan_ = PlanOutput(options_, container_, source_->Layout());
    if (!plan_.video) {
        source_->Ignore(ItemKind::Picture);
    }
    if (!plan_.audio) {
        source_->Ignore(ItemKind::Sound);
    }

    muxer_ = std::make_unique<Muxer>(container_, file_->WorkingPath(), options_.output);
    if (plan_.video) {
        // Pictures are converted and encoded while the next ones are read.
        video_ = std::make_unique<EncodingThread>(OpenVideoEncoder(*plan_.video, options_, container_),
                                                  std::make_unique<VideoFilter>(plan_.video->geometry));
        videoTimeline_ = std::make_unique<VideoTimeline>(plan_.video->frameRate);
        videoStream_ = muxer_->AddStream(video_->StreamEncoder(), plan_.video->codecTag);
        if (options_.durationSeconds > 0) {
            videoSlotLimit_ = videoTimeline_->SlotAt(options_.durationSeconds);
        }
        if (options_.videoFrameLimit > 0) {
            videoSlotLimit_ = std::min<int64_t>(videoSlotLimit_, options_.videoFrameLimit);
        }
    }
    if (plan_.audio) {
        AudioEncoder encoder = OpenAudioEncoder(*plan_.audio, options_, container_);
        audioInput_ = encoder.input;
        audioFilter_ = std::make_unique<AudioFilter>(audioInput_, options_.volume);
        // The sound is encoded while the pictures are read and encoded.
        audio_ = std::make_unique<EncodingThread>(std::move(encoder.encoder), nullptr, kQueuedSoundFrames);
        audioStream_ = muxer_->AddStream(audio_->StreamEncoder(), plan_.audio->codecTag);
        if (options_.durationSeconds > 0) {
            audioSampleLimit_ = std::llround(options_.durationSeconds * audioInput_.sampleRate);
        }
    }
    muxer_->Start(options_.libavOptions);
}

Outcome Transcoder::Run() {
    SourceItem item;
    while (!(VideoDone() && AudioDone()) && source_->Read(item)) {
        item.start -= options_.startSeconds;
        if (item.kind == ItemKind::Picture) {
            HandlePicture(item);
        } else {
            HandleSound(item);
        }
        if (stopped_ || !Report()) {
            stopped_ = true;
            break;
        }
    }
    Finish(lastPictureEnd_);
    Report();
    return stopped_ ? Outcome::Stopped : Outcome::Complete;
}

void Transcoder::HandlePicture(const SourceItem& item) {
    const VideoTimeline::Step step = videoTimeline_->Add(item.start, item.start + item.duration);
    EncodeHeldPicture(step.heldRepeats);
    if (step.count > 0 && !stopped_ && !VideoDone()) {
        video_->Hold(*item.frame);
        holding_ = true;
        EncodeHeldPicture(step.count);
    }
    lastPictureEnd_ = std::max(lastPictureEnd_, item.start + item.duration);
}

void Transcoder::EncodeHeldPicture(int64_t times) {
    for (int64_t i = 0; i < times && !VideoDone(); ++i) {
        video_->Encode(videoSlots_++);
        DrainVideo();
        if ((i + 1) % kRepeatsPerReport == 0 && !Report()) {
            stopped_ = true;
            return;
        }
    }
}

void Transcoder::HandleSound(const SourceItem& item) {
    const AVFrame& block = *item.frame;
    const AudioTimeline::Step step = options_.audioSync > 0
                                         ? audioTimeline_.Add(item.start, block.nb_samples, block.sample_rate)
                                         : AudioTimeline::Step{};
    for (int64_t silence = step.silence; silence > 0 && !AudioDone(); silence -= kSilencePiece) {
        audioFilter_->PushSilence(static_cast<int>(std::min<int64_t>(silence, kSilencePiece)), block);
        EncodeQueuedSound();
        if (!Report()) {
            stopped_ = true;
            return;
        }
    }
    if (step.skip < block.nb_samples && !AudioDone()) {
        audioFilter_->Push(block, step.skip);
        EncodeQueuedSound();
    }
}

void Transcoder::EncodeQueuedSound() {
    while (!AudioDone()) {
        FramePtr frame = audioFilter_->Pop();
        if (!frame) {
            return;
        }
        const int64_t room = audioSampleLimit_ - frame->pts;
        if (room < frame->nb_samples) {
            // The end set by -t falls inside this frame.
            if (audioInput_.wholeFrames) {
                av_samples_set_silence(frame->extended_data, static_cast<int>(room),
                                       frame->nb_samples - static_cast<int>(room),
                                       frame->ch_layout.nb_channels, static_cast<AVSampleFormat>(frame->format));
            } else {
                frame->nb_samples = static_cast<int>(room);
            }
        }
        audio_->Send(std::move(frame));
        Drain(*audio_, audioStream_);
    }
}

void Transcoder::DrainVideo() { Drain(*video_, videoStream_); }

void Transcoder::Drain(EncodingThread& thread, int stream) {
    while (thread.Receive(*packet_)) {
        muxer_->Write(stream, *packet_, thread.StreamEncoder().TimeBase());
        file_->SetImagesWritten(muxer_->PacketsWritten());
    }
}

void Transcoder::Finish(double end) {
    if (video_) {
        if (holding_) {
            EncodeHeldPicture(videoTimeline_->Finish(end));
        }
        video_->End();
        DrainVideo();
    }
    if (audio_) {
        audioFilter_->Drain();
        EncodeQueuedSound();
        audio_->End();
        Drain(*audio_, audioStream_);
    }
    muxer_->Finish();
    file_->Commit();
}

bool Transcoder::VideoDone() const { return !video_ || videoSlots_ >= videoSlotLimit_; }

bool Transcoder::AudioDone() const { return !audio_ || audioFilter_->SamplesOut() >= audioSampleLimit_; }

bool Transcoder::Report() {
    double position = 0;
    if (plan_.video) {
        position = videoSlots_ * av_q2d(av_inv_q(plan_.video->frameRate));
    }
    if (audio_) {
        position = std::max(position, static_cast<double>(audioFilter_->SamplesOut()) / audioInput_.sampleRate);
    }
    return progress_.Position(position, StatusText(videoSlots_, muxer_->BytesWritten(), position));
}

}  // namespace castor
