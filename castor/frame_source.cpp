#include "castor/frame_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "castor/failure.h"
#include "castor/frame_rate.h"
#include "castor/value_limits.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace castor {
namespace {

constexpr double kMaxSoundSecondsPerRecord = 60;

std::string RecordName(int request) {
    return "Frame " + std::to_string(request) + " from the frame callback";
}

void CheckTime(float time, int request, const char* which) {
    if (!std::isfinite(time) || std::fabs(time) > kMaxSeconds) {
        Fail(RecordName(request) + " has an unusable " + which + " time (" + std::to_string(time) +
             " s)");
    }
}

}  // namespace

FrameSource::FrameSource(CS_FrameCallback callback) : callback_(callback) {
    if (callback_ == nullptr) {
        Fail(std::string("No frame callback is set for ") + CASTOR_FRAME_INPUT);
    }
    if (callback_(0, &record_) != 0) {
        Fail("The frame callback gave no stream description");
    }
    const int kind = record_.streamKind;
    if (kind < 1 || kind > 3) {
        Fail("The frame callback describes no stream to encode (stream kind " +
             std::to_string(kind) + ")");
    }
    layout_.hasVideo = kind == 1 || kind == 3;
    layout_.hasAudio = kind == 2 || kind == 3;

    float fps = record_.frameRate;
    if (!std::isfinite(fps) || fps <= 0 || fps > 1000) {
        if (layout_.hasVideo) {
            Fail("The frame callback's frame rate " + std::to_string(fps) + " is unusable");
        }
        fps = 25;  // sound alone needs no frame rate; this only names a nominal one
    }
    layout_.frameRate = FrameRateFromNumber(fps);
    framePeriod_ = 1.0 / fps;
    if (layout_.hasVideo) {
        if (record_.frameWidth < 1 || record_.frameHeight < 1 || record_.frameWidth > kMaxEdge ||
            record_.frameHeight > kMaxEdge) {
            Fail("The frame callback's frame size " + std::to_string(record_.frameWidth) + "x" +
                 std::to_string(record_.frameHeight) + " is unusable");
        }
        if (record_.bitsPerPixel != 0 && record_.bitsPerPixel != 24) {
            Fail("The frame callback's pictures have " + std::to_string(record_.bitsPerPixel) +
                 " bits per pixel; 24 are expected");
        }
        layout_.pixelFormat = AV_PIX_FMT_BGR24;
        layout_.width = record_.frameWidth;
        layout_.height = record_.frameHeight;
    }
    if (layout_.hasAudio) {
        // The program always sends 16-bit stereo at 44100 Hz; a description
        // that says otherwise within reason is believed.
        const bool plausible = record_.audioSampleRate >= kMinSampleRate && record_.audioSampleRate <= kMaxSampleRate &&
                               record_.audioChannels >= 1 && record_.audioChannels <= 8;
        layout_.sampleRate = plausible ? record_.audioSampleRate : 44100;
        layout_.channels = plausible ? record_.audioChannels : 2;
    }
}

bool FrameSource::Read(SourceItem& item) {
    if (!picturePending_ && !soundPending_ && !FetchRecord()) {
        return false;
    }
    if (picturePending_) {
        picturePending_ = false;
        item = SourceItem{ItemKind::Picture, picture_.get(), pictureStart_, framePeriod_};
        return true;
    }
    soundPending_ = false;
    item = SourceItem{ItemKind::Sound, sound_.get(), soundStart_,
                      static_cast<double>(sound_->nb_samples) / layout_.sampleRate};
    return true;
}

void FrameSource::Ignore(ItemKind kind) {
    (kind == ItemKind::Picture ? layout_.hasVideo : layout_.hasAudio) = false;
}

bool FrameSource::FetchRecord() {
    for (;;) {
        std::memset(&record_, 0, sizeof record_);
        ++request_;
        if (callback_(request_, &record_) != 0) {
            return false;
        }
        if (layout_.hasVideo && record_.picture != nullptr && record_.pictureBytes > 0) {
            PreparePicture();
        }
        if (layout_.hasAudio && record_.sound != nullptr && record_.soundBytes > 0) {
            PrepareSound();
        } else if (layout_.hasAudio && record_.sound == nullptr && record_.soundBytes > 0) {
            Fail(RecordName(request_) + " names " + std::to_string(record_.soundBytes) +
                 " bytes of sound but no sound buffer");
        }
        if (picturePending_ || soundPending_) {
            SetOrigin();
            return true;
        }
        // A record with neither picture nor sound is skipped.
    }
}

void FrameSource::PreparePicture() {
    CheckTime(record_.pictureTime, request_, "picture");
    const int width = record_.pictureWidth > 0 ? record_.pictureWidth : layout_.width;
    const int height = record_.pictureHeight > 0 ? record_.pictureHeight : layout_.height;
    if (width > kMaxEdge || height > kMaxEdge || record_.pictureWidth < 0 || record_.pictureHeight < 0) {
        Fail(RecordName(request_) + " has an unusable picture size " + std::to_string(width) + "x" +
             std::to_string(height));
    }
    const int64_t needed = int64_t{width} * height * 3;
    if (record_.pictureBytes < needed) {
        Fail(RecordName(request_) + " holds " + std::to_string(record_.pictureBytes) +
             " picture bytes, fewer than " + std::to_string(width) + " x " + std::to_string(height) +
             " x 3");
    }
    if (!picture_) {
        picture_ = NewFrame();
    }
    // Rows arrive bottom-up: the top row is the last one in the buffer.
    picture_->format = AV_PIX_FMT_BGR24;
    picture_->width = width;
    picture_->height = height;
    picture_->linesize[0] = -width * 3;
    picture_->data[0] = record_.picture + static_cast<ptrdiff_t>(height - 1) * width * 3;
    pictureStart_ = record_.pictureTime - framePeriod_;
    picturePending_ = true;
}

void FrameSource::PrepareSound() {
    CheckTime(record_.soundTime, request_, "sound");
    const int channels = layout_.channels;
    const double maxBytes = kMaxSoundSecondsPerRecord * layout_.sampleRate * channels * 2;
    if (record_.soundBytes > maxBytes) {
        Fail(RecordName(request_) + " carries " + std::to_string(record_.soundBytes) +
             " bytes of sound, more than a minute");
    }
    const int blockValues = record_.soundBytes / 2;
    const double valuesPerSecond = double(layout_.sampleRate) * channels;
    soundStart_ = record_.soundTime - blockValues / valuesPerSecond;

    soundStart_ -= carry_.size() / valuesPerSecond;
    values_.assign(carry_.begin(), carry_.end());
    values_.insert(values_.end(), record_.sound, record_.sound + blockValues);
    const int samples = static_cast<int>(values_.size()) / channels;
    const size_t used = static_cast<size_t>(samples) * channels;
    carry_.assign(values_.begin() + static_cast<ptrdiff_t>(used), values_.end());
    if (samples == 0) {
        return;
    }
    if (!sound_) {
        sound_ = NewFrame();
    }
    sound_->format = AV_SAMPLE_FMT_S16;
    sound_->sample_rate = layout_.sampleRate;
    av_channel_layout_uninit(&sound_->ch_layout);
    av_channel_layout_default(&sound_->ch_layout, channels);
    sound_->nb_samples = samples;
    sound_->data[0] = reinterpret_cast<uint8_t*>(values_.data());
    sound_->extended_data = sound_->data;
    sound_->linesize[0] = static_cast<int>(used * 2);
    soundPending_ = true;
}

void FrameSource::SetOrigin() {
    if (haveOrigin_) {
        pictureStart_ += originShift_;
        soundStart_ += originShift_;
        return;
    }
    double earliest = 0;
    if (picturePending_) {
        earliest = std::min(earliest, pictureStart_);
    }
    if (soundPending_) {
        earliest = std::min(earliest, soundStart_);
    }
    originShift_ = -earliest;
    haveOrigin_ = true;
    pictureStart_ += originShift_;
    soundStart_ += originShift_;
}

}  // namespace castor
