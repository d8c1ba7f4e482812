#include "capture/audio_tap.h"
#include "capture/call_interceptor.h"
#include "capture/pump_events.h"
#include "capture/shockwave_flash.h"
#include "platform/report.h"
#include "platform/winmm/winmm.h"
#include "player/player_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QThread>
#include <QTimerEvent>
#include <algorithm>
#include <mutex>
#include <unistd.h>

namespace kinolux {

namespace {

// How long a finish waits for a greeting that may be on its way.
constexpr qint64 kGreetingGraceMs = 200;

}  // namespace

void PlayerDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer_.timerId())
        Tick();
    else
        QDialog::timerEvent(event);
}

void PlayerDialog::Tick()
{
    if (finished_) return;
    if (!flash_->IsPlaying()) {
        flash_->Play();
        PumpPendingEvents();
    }
    const uint32_t now = ::timeGetTime();
    const int32_t current = int32_t(flash_->CurrentFrame());
    // A player whose main program has gone would otherwise play on for as
    // long as its movie stands still.
    if (ParentHasGone()) {
        PostClose();
        return;
    }
    // A movie that stopped or started over shows no more frames of the
    // range, but the sound of those it showed is still to be recorded.
    const uint32_t elapsed = now - startTick_;
    if (!soundDueMs_ && MovieStalledOrLooped(frames_, current, arguments_.toFrame, arguments_.frameRate))
        soundDueMs_ = RunSoundEndMs(wavTimeline_.SoundTimeMs(elapsed, BufferedValues()), 0, arguments_.frameRate);
    // The WAV follows real time from the start of playback, so that its
    // time 0 is the sync file's time 0; the sync records begin with the
    // second tick, once a tick has gone before. Each logs the WAV time of
    // the sound that goes with the frame; once the range is over, no frame
    // is logged, as none of them belongs to it.
    WriteSoundUpTo(elapsed);
    const uint32_t soundNow = wavTimeline_.SoundTimeMs(elapsed, BufferedValues());
    uint32_t logged = std::max(soundNow, lastLogged_ + 1);
    if (lastTime_ != 0 && !soundDueMs_) {
        logged = std::max(frameTimes_.TimeToLog(current, soundNow), lastLogged_ + 1);
        syncFile_.Append(int32_t(logged), current);
        lastLogged_ = logged;
    }
    lastTime_ = now;

    progress_->setValue(current);
    // The run goes on until the sound of the range's last frame is
    // recorded, not only until the movie shows it.
    if (!soundDueMs_ && ReachedEndOfRange(current, arguments_.toFrame))
        soundDueMs_ = RunSoundEndMs(logged, FramesLeftInRange(current, arguments_.toFrame), arguments_.frameRate);
    // Finish writes what the engine rendered ahead too.
    if (soundDueMs_ && wavPace_.LengthMsWith(int64_t(BufferedValues()) - wavDebt_.Owed()) >= *soundDueMs_) {
        PostClose();
        return;
    }
    PumpPendingEvents();
}

void PlayerDialog::WatchFrame()
{
    if (!playing_ || finished_) return;
    const int32_t current = int32_t(flash_->CurrentFrame());
    if (!frameTimes_.IsNew(current)) return;
    frameTimes_.See(current, wavTimeline_.SoundTimeMs(::timeGetTime() - startTick_, BufferedValues()));
}

uint32_t PlayerDialog::BufferedValues() const
{
    std::lock_guard lock(CallInterceptor::Instance().captureLock);
    return AudioTap::Instance().Buffer().Available();
}

void PlayerDialog::WriteSoundUpTo(uint32_t elapsedMs)
{
    // Nothing else takes from the buffer, so what was there is there still.
    const uint32_t buffered = BufferedValues();
    const WavWrite write = wavDebt_.Next(wavPace_.ValuesDue(elapsedMs), buffered);
    AudioTap& tap = AudioTap::Instance();
    if (write.taken > 0) {
        wavTimeline_.NoteWrite(write.taken, buffered);
        tap.WriteSamples(write.taken);
    }
    if (write.silence > 0) {
        wavTimeline_.NoteWrite(write.silence, 0);
        tap.WriteSilence(write.silence);
    }
}

bool PlayerDialog::ParentHasGone() const
{
    return getppid() != parent_;
}

void PlayerDialog::PostClose()
{
    timer_.stop();
    QMetaObject::invokeMethod(this, &PlayerDialog::Finish, Qt::QueuedConnection);
}

void PlayerDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    PostClose();
}

void PlayerDialog::reject()
{
    PostClose();
}

void PlayerDialog::Finish()
{
    if (finished_) return;
    finished_ = true;
    timer_.stop();
    AudioTap& tap = AudioTap::Instance();
    if (playing_) {
        WriteSoundUpTo(::timeGetTime() - startTick_);
        // The engine renders its sound ahead: what it has rendered belongs
        // to frames already shown, whose sound would otherwise be cut short.
        // Sound still owed (none is buffered then) ends the file as silence,
        // so that it is as long as the real time it recorded.
        tap.WriteSamples(BufferedValues() & ~1u);
        tap.WriteSilence(wavDebt_.Owed());
    }
    tap.CloseWav();
    CallInterceptor::Instance().SetMode(kModePassThrough);
    if (syncFile_.IsOpen()) syncFile_.Finish();
    SendAudioClosed();
    done(0);
}

void PlayerDialog::SendAudioClosed()
{
    // A run that ends early (a movie that cannot be loaded) may end before
    // the greeting already on its way has been read.
    if (!mainWindow_) {
        QElapsedTimer waited;
        waited.start();
        while (!mainWindow_ && waited.elapsed() < kGreetingGraceMs) {
            QCoreApplication::processEvents();
            QThread::msleep(5);
        }
    }
    if (mainWindow_) {
        BusMessage message;
        message.message = WM_COPYDATA;
        message.wParam = bus_.Handle();
        message.dwData = 0;
        message.data.assign(kAudioClosedText, sizeof kAudioClosedText);
        if (SendMessage(mainWindow_, message)) return;
    }
    ReportMessage("can not send the close message");
}

}  // namespace kinolux
