#include "engine/frame_supply.h"

#include "capture/call_interceptor.h"
#include "capture/captured_frame.h"
#include "capture/fast_capture.h"
#include "engine/frame_supply_range.h"
#include "engine/monotonic_ms.h"
#include "engine/stream_description.h"
#include "platform/number_text.h"
#include "platform/report.h"

#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <sys/stat.h>

namespace kinolux {

namespace {

uint64_t FileSize(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

// The values of sound per Auto frame, and a frame's end time in ms.
uint32_t ValuesPerFrame(float fps) { return static_cast<uint32_t>(88200.0 / fps); }
int64_t FrameTimeMs(int64_t n, float fps) { return static_cast<int64_t>(static_cast<double>(n) * 1000.0 / fps); }

// The sound between two capture times, in the unsigned 32-bit arithmetic
// the capture's millisecond counts wrap in.
uint32_t ValuesBetween(uint32_t fromMs, uint32_t toMs) {
    return static_cast<uint32_t>(toMs * 88200u - fromMs * 88200u) / 1000u;
}

}  // namespace

FrameSupply::FrameSupply(const ConversionTask& task, const FrameInfo& description, FrameSource* frames,
                         FrameSupplyHost& host, RunFlags& flags, std::string syncPath, std::string wavPath)
    : task_(task),
      description_(description),
      movieWindow_(frames),
      host_(host),
      flags_(flags),
      syncPath_(std::move(syncPath)),
      wavPath_(std::move(wavPath)),
      pace_(static_cast<int32_t>(task.inFrame), 1000.0 / task.frameRate) {}

FrameSupply::~FrameSupply() { EndFastCapture(); }

void FrameSupply::FreeBuffers() {
    picture_.reset();
    pictureImage_ = CxImage();
    sound_.reset();
}

void FrameSupply::CloseFiles() {
    syncFile_.Close();
    wavFile_.Close();
}

int FrameSupply::Delivered(int64_t movieFrame) {
    host_.ShowProgress(movieFrame);
    host_.PumpMessages();
    return 0;
}

int FrameSupply::End(std::string why) {
    if (!why.empty() && failure_.empty()) failure_ = std::move(why);
    flags_.stop = 1;
    return -1;
}

int FrameSupply::Deliver(int request, FrameInfo* record) {
    if (flags_.stop) return -1;
    std::memset(record, 0, sizeof *record);
    FreeBuffers();
    if (request == 0) {
        *record = description_;
        if (task_.outputMode == kOutputAuto)
            PrepareAutoCapture();
        else
            PrepareInteractiveCapture();
        host_.PumpMessages();
        return 0;
    }
    const bool soundOnly = description_.streamKind == 2;
    if (task_.outputMode == kOutputAuto && fast_) return DeliverFast(record, soundOnly);
    if (task_.outputMode == kOutputAuto) return soundOnly ? DeliverAutoSound(record) : DeliverAutoFrame(record);
    if (!captured_) return End("No interactive capture runs.");
    return soundOnly ? DeliverCapturedSound(record) : DeliverCapturedFrame(record);
}

bool FrameSupply::MovieStandsStill(int32_t frame) {
    if (frame != stillFrame_) {
        stillFrame_ = frame;
        stillCount_ = 0;
        return false;
    }
    return ++stillCount_ > static_cast<int64_t>(task_.frameRate * kStandingStillLimitSeconds);
}

int FrameSupply::DeliverAutoFrame(FrameInfo* record) {
    const int32_t c = movieWindow_->CurrentFrame();
    if (!FrameLeftInRange(c, lastMovieFrame_, framesDelivered_, OutFrame())) return End();
    if (MovieStandsStill(c)) return End();
    std::unique_ptr<QImage> bitmap = movieWindow_->GrabFrame(0, 0, description_.frameWidth, description_.frameHeight);
    CxImage image;
    if (!bitmap || !image.CreateFromHBITMAP(bitmap.get()) || !image.IsValid())
        return End("The movie's picture could not be grabbed.");
    bitmap.reset();
    ReadNextSyncRecord();
    host_.ShowPreview(image);

    if (framesDelivered_ == 0 && !SkipSoundBeforeRange()) return End(failure_);
    const int64_t n = ++framesDelivered_;
    lastMovieFrame_ = movieWindow_->CurrentFrame();
    const float fps = task_.frameRate;
    const uint32_t values = ValuesPerFrame(fps);
    const float t = static_cast<float>(FrameTimeMs(n, fps)) * 0.001f;
    *record = description_;
    record->soundTime = t;
    if (values > 0 && !FetchSound(values, record, soundSkipped_)) return End(failure_);
    if (!FetchPicture(record, std::move(image), t)) return End("Out of memory");
    // Past the out frame there is nothing to step to.
    if (!syncList_.empty() && lastMovieFrame_ < OutFrame()) StepToPlayer(n);
    return Delivered(lastMovieFrame_);
}

int FrameSupply::DeliverAutoSound(FrameInfo* record) {
    const int32_t c = movieWindow_->CurrentFrame();
    if (!(c >= 0 && FrameLeftInRange(c, lastMovieFrame_, framesDelivered_, OutFrame()))) return End();
    if (MovieStandsStill(c)) return End();
    ReadNextSyncRecord();
    const int64_t n = ++framesDelivered_;
    lastMovieFrame_ = c;
    const float fps = task_.frameRate;
    const uint32_t values = ValuesPerFrame(fps);
    *record = description_;
    record->soundTime = static_cast<float>(FrameTimeMs(n, fps)) * 0.001f;
    if (values > 0 && !FetchSound(values, record)) return End(failure_);
    movieWindow_->Step(static_cast<unsigned>(1000.0f / fps));
    return Delivered(lastMovieFrame_);
}

int FrameSupply::DeliverCapturedSound(FrameInfo* record) {
    CapturedFrame entry;
    captured_->Next(entry);
    if (entry.elapsedMs == 0 || IsCaptureEndMarker(entry) || host_.IsCaptureOver()) return End();
    // The frame the capture saw when it grabbed, read on this worker thread
    // without touching the control.
    const int32_t f = entry.frame;
    framesDelivered_ = f;
    const uint32_t e = static_cast<uint32_t>(entry.elapsedMs);
    const uint32_t values = ValuesBetween(lastSoundPosition_, e);
    lastSoundPosition_ = e;
    *record = description_;
    record->soundTime = static_cast<float>(e) * 0.001f;
    if (values > 0 && !FetchSound(values, record)) return End(failure_);
    return Delivered(f);
}

int FrameSupply::DeliverCapturedFrame(FrameInfo* record) {
    CapturedFrame entry;
    captured_->Next(entry);
    if (entry.elapsedMs == 0 || !entry.bitmap || host_.IsCaptureOver()) return End();
    const int32_t f = entry.frame;
    framesDelivered_ = f;
    CxImage image;
    if (!image.CreateFromHBITMAP(entry.bitmap.get()) || !image.IsValid())
        return End("The movie's picture could not be grabbed.");
    entry.bitmap.reset();
    ++framesDelivered_;
    const uint32_t e = static_cast<uint32_t>(entry.elapsedMs);
    const uint32_t values = ValuesBetween(lastSoundPosition_, e);
    DebugOutput("nAudioBufferLength = " + std::to_string(values));
    lastSoundPosition_ = e;
    *record = description_;
    const float t = static_cast<float>(e) * 0.001f;
    record->soundTime = t;
    if (values > 0 && !FetchSound(values, record)) return End(failure_);
    if (!FetchPicture(record, std::move(image), t)) return End("Out of memory");
    return Delivered(f);
}

// Where the range's first frame has its sound in the player's sound decides
// where the sound starts: the pictures start with that frame. The player's
// sound normally begins a little before it (the engine renders its sound
// ahead), and that part is left out; should it begin after, the difference
// is made up by silence.
bool FrameSupply::SkipSoundBeforeRange() {
    const double startMs = pace_.StartMs();
    const auto values = 2u * static_cast<uint32_t>(std::min(std::round(std::abs(startMs) * 44.1), 1e8));
    if (startMs < 0) {
        silenceOwed_ = values;
        return true;
    }
    std::vector<int16_t> skipped(std::min(values, 2u * 44100u));
    for (uint32_t left = values; left > 0;) {
        const auto part = static_cast<uint32_t>(std::min<size_t>(left, skipped.size()));
        if (ReadAudio(skipped.data(), part) < 2u * part) return false;
        left -= part;
    }
    soundSkipped_ = values;
    return true;
}

bool FrameSupply::FetchSound(uint32_t values, FrameInfo* record, uint32_t missingAllowed) {
    sound_.reset(new (std::nothrow) int16_t[values]);
    if (!sound_) {
        failure_ = "Out of memory";
        return false;
    }
    const uint32_t silent = std::min(values, silenceOwed_);
    silenceOwed_ -= silent;
    std::fill_n(sound_.get(), silent, int16_t{0});
    const size_t bytes = 2u * silent + (values > silent ? ReadAudio(sound_.get() + silent, values - silent) : 0);
    if (bytes + 2u * static_cast<size_t>(missingAllowed) < 2u * values) return false;
    record->sound = sound_.get();
    record->soundBytes = static_cast<int32_t>(2u * values);
    return true;
}

// The record hands over tightly packed rows, bottom row first. The image
// buffer pads each row to 4 bytes: rows that need no padding (every usual
// frame width) are handed over in place, the image kept until the next
// call; others are copied one by one.
bool FrameSupply::FetchPicture(FrameInfo* record, CxImage image, float time) {
    const uint32_t width = image.GetWidth();
    const uint32_t height = image.GetHeight();
    record->pictureWidth = static_cast<int32_t>(width);
    record->pictureHeight = static_cast<int32_t>(height);
    record->pictureTime = time;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    pictureImage_ = std::move(image);
    if (pictureImage_.GetEffWidth() == rowBytes) {
        record->picture = pictureImage_.GetBits(0);
    } else {
        picture_.reset(new (std::nothrow) uint8_t[rowBytes * height]);
        if (!picture_) return false;
        for (uint32_t row = 0; row < height; ++row)
            std::memcpy(picture_.get() + row * rowBytes, pictureImage_.GetBits(row), rowBytes);
        pictureImage_ = CxImage();
        record->picture = picture_.get();
    }
    record->pictureBytes = static_cast<int32_t>(rowBytes * height);
    return true;
}

void FrameSupply::StepToPlayer(int64_t n) {
    const unsigned period = static_cast<unsigned>(1000.0f / task_.frameRate);
    int32_t current = movieWindow_->CurrentFrame();
    while (!pace_.Covers(current + 1) && ReadNextSyncRecord()) {
    }
    if (pace_.EndedBefore(n)) {
        flags_.stop = 1;
        return;
    }
    // Still images have no sound to stay with: each frame once.
    const int32_t wanted =
        description_.streamKind == kStreamNone ? current + 1 : pace_.FrameForPeriod(n, current);
    if (wanted == current)
        DebugOutput("Auto replay: frame " + std::to_string(current) + " shown again, as the player fell behind");
    else if (wanted > current + 1)
        DebugOutput("Auto replay: frames " + std::to_string(current + 1) + " to " + std::to_string(wanted - 1) +
                    " left out, as the player skipped them");
    while (!flags_.stop && current < wanted) {
        movieWindow_->Step(period);
        // A stopped timeline never catches up; its clips still move one
        // frame period per delivered frame. A movie that went back has
        // started over: its range is done.
        const int32_t after = movieWindow_->CurrentFrame();
        if (after <= current) return;
        current = after;
    }
}

bool FrameSupply::WaitForWriter(const std::string& path, uint64_t& lastSize, int64_t& silentSince, int sleepMs,
                                const char* what) {
    if (host_.IsCaptureOver()) return false;
    const uint64_t size = FileSize(path);
    const int64_t now = MonotonicMs();
    if (size != lastSize || silentSince < 0) {
        lastSize = size;
        silentSince = now;
    } else if (now - silentSince > writerSilenceLimitMs_) {
        failure_ = std::string("The ") + what + " of " + task_.inputPath + " stopped coming for " +
                   FormatFixed(writerSilenceLimitMs_ / 1000.0, 1) + " seconds; the conversion ends here.";
        return false;
    }
    host_.PumpMessages();
    QThread::msleep(static_cast<unsigned long>(sleepMs > 0 ? sleepMs : 1));
    return !flags_.stop || flags_.secondPass;
}

size_t FrameSupply::ReadAudio(int16_t* buffer, uint32_t values) {
    uint64_t lastSize = 0;
    int64_t silentSince = -1;
    return wavFile_.ReadAudio(buffer, values, [&] {
        return WaitForWriter(wavPath_, lastSize, silentSince, 1, "sound");
    });
}

bool FrameSupply::ReadNextSyncRecord() {
    if (!syncFile_.IsOpen()) return false;
    uint64_t lastSize = 0;
    int64_t silentSince = -1;
    const int sleepMs = static_cast<int>(1000.0f / task_.frameRate);
    const std::optional<SyncRecord> next = syncFile_.ReadRecord([&] {
        return WaitForWriter(syncPath_, lastSize, silentSince, sleepMs, "frame log");
    });
    if (!next) return false;
    syncList_.push_back(*next);
    pace_.Add(*next);
    return true;
}

bool FrameSupply::PrepareAutoCapture() {
    if (fast_) {
        PrepareFastCapture();
        return true;
    }
    if (!syncFile_.Open(syncPath_)) {
        host_.ReportMessage("sync file error");
        return false;
    }
    uint64_t lastSize = 0;
    int64_t silentSince = -1;
    const int sleepMs = static_cast<int>(1000.0f / task_.frameRate * 2);
    // Enough of the log to tell where the first frame's sound starts.
    while ((syncList_.size() < 3 || !pace_.Covers(static_cast<int32_t>(task_.inFrame))) && syncFile_.IsOpen()) {
        const std::optional<SyncRecord> next = syncFile_.ReadRecord([&] {
            return WaitForWriter(syncPath_, lastSize, silentSince, sleepMs, "frame log");
        });
        if (!next) break;
        syncList_.push_back(*next);
        pace_.Add(*next);
    }
    CallInterceptor::Instance().SetMode(kModeVirtualClock);
    movieWindow_->SetMovieSize(description_.frameWidth, description_.frameHeight);
    movieWindow_->LoadForCapture(task_.inputPath);
    // The range starts where the player started it.
    if (task_.inFrame > 0) movieWindow_->GoToFrame(static_cast<int>(task_.inFrame));
    movieWindow_->SetBackgroundColorRef(task_.backgroundColor);
    framesDelivered_ = 0;
    lastMovieFrame_ = 0;
    wavFile_.Open(wavPath_);
    return true;
}

void FrameSupply::PrepareFastCapture() {
    fastCapture_ = std::make_unique<FastCapture>();
    movieWindow_->SetMovieSize(description_.frameWidth, description_.frameHeight);
    movieWindow_->LoadForCapture(task_.inputPath);
    if (task_.inFrame > 0) movieWindow_->GoToFrame(static_cast<int>(task_.inFrame));
    movieWindow_->SetBackgroundColorRef(task_.backgroundColor);
    fastCapture_->MarkStart();
    framesDelivered_ = 0;
    lastMovieFrame_ = 0;
}

void FrameSupply::StepFast() {
    if (!fastCapture_) return;
    ++fastSteps_;
    fastCapture_->StepTo(static_cast<double>(fastSteps_) * 1000.0 / task_.frameRate);
    movieWindow_->Step(0);
}

void FrameSupply::EndFastCapture() {
    ahead_.clear();
    fastCapture_.reset();
}

bool FrameSupply::RunAhead(bool soundOnly) {
    const int32_t c = movieWindow_->CurrentFrame();
    const int64_t taken = framesDelivered_ + static_cast<int64_t>(ahead_.size());
    if (!(c >= 0 && FrameLeftInRange(c, lastMovieFrame_, taken, OutFrame())) || MovieStandsStill(c)) {
        rangeOver_ = true;
        return false;
    }
    AheadFrame frame;
    if (!soundOnly) {
        std::unique_ptr<QImage> bitmap =
            movieWindow_->GrabFrame(0, 0, description_.frameWidth, description_.frameHeight);
        frame.image = std::make_unique<CxImage>();
        if (!bitmap || !frame.image->CreateFromHBITMAP(bitmap.get()) || !frame.image->IsValid()) {
            failure_ = "The movie's picture could not be grabbed.";
            return false;
        }
        host_.ShowPreview(*frame.image);
    }
    frame.movieFrame = lastMovieFrame_ = movieWindow_->CurrentFrame();
    ahead_.push_back(std::move(frame));
    StepFast();
    return true;
}

int FrameSupply::DeliverFast(FrameInfo* record, bool soundOnly) {
    if (!fastCapture_) return End("The movie was not loaded for the conversion.");
    const float fps = task_.frameRate;
    const uint32_t values = ValuesPerFrame(fps);
    const uint64_t soundEnd = static_cast<uint64_t>(framesDelivered_ + 1) * values;
    while (!rangeOver_ && (ahead_.empty() || !fastCapture_->Final(soundEnd)))
        if (!RunAhead(soundOnly) && !failure_.empty()) return End(failure_);
    if (ahead_.empty()) return End();
    // Past the range's end nothing more is stepped: the device alone mixes
    // the rest of the last frames' sound.
    if (!fastCapture_->Final(soundEnd)) fastCapture_->FinishTo(soundEnd);
    AheadFrame frame = std::move(ahead_.front());
    ahead_.pop_front();

    const int64_t n = ++framesDelivered_;
    const float t = static_cast<float>(FrameTimeMs(n, fps)) * 0.001f;
    *record = description_;
    record->soundTime = t;
    if (values > 0) {
        sound_.reset(new (std::nothrow) int16_t[values]);
        if (!sound_) return End("Out of memory");
        fastCapture_->Read(sound_.get(), values);
        record->sound = sound_.get();
        record->soundBytes = static_cast<int32_t>(2u * values);
    }
    if (frame.image && !FetchPicture(record, std::move(*frame.image), t)) return End("Out of memory");
    return Delivered(frame.movieFrame);
}

bool FrameSupply::PrepareInteractiveCapture() {
    if (!wavFile_.IsOpen() && !wavFile_.Open(wavPath_)) return false;
    framesDelivered_ = 0;
    return true;
}

}  // namespace kinolux
