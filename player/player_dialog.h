// The player's window, "Kinolux - extract audio": it plays one movie in real
// time in its own Flash control with sound capture on, and on every tick of
// its timer writes the sound heard so far into the WAV file and the frame
// reached into the sync file, until the movie ends, loops or stalls near the
// end of its range, or the main program closes it. The main program finds
// the window on the window bus by its caption, greets it with WM_COPYDATA,
// and hears "Audio Closed" from it at the finish.
//
// The implementation is split by concern: player_dialog.cpp (the window, the
// bus and start of playback), player_dialog_run.cpp (the tick and the finish).
#pragma once

#include "platform/window_bus.h"
#include "player/player_arguments.h"
#include "player/player_tick.h"
#include "capture/sync_file_writer.h"

#include <sys/types.h>
#include <QBasicTimer>
#include <QDialog>
#include <cstdint>
#include <optional>

class QLabel;
class QProgressBar;

namespace kinolux {

class CShockwaveFlash;

// The caption the main program looks for.
inline constexpr const char* kPlayerCaption = "Kinolux - extract audio";
// What the player tells the main program when its files are complete: the
// text with its terminating zero, 13 bytes.
inline constexpr char kAudioClosedText[] = "Audio Closed";

class PlayerDialog : public QDialog {
public:
    explicit PlayerDialog(const PlayerArguments& arguments);
    ~PlayerDialog() override;
    PlayerDialog(const PlayerDialog&) = delete;
    PlayerDialog& operator=(const PlayerDialog&) = delete;

    // Redirects the control's clock and sound, and, when the three paths are
    // given, opens the sync and WAV files and starts the movie and the
    // timer. With a path missing the window just stays open.
    void StartPlayback();
    // Runs until the window closes: shown and modal, or hidden in console
    // mode. Returns 0.
    int Run();

    // The main program's window, once it has greeted the player.
    WindowHandle MainWindow() const { return mainWindow_; }
    WindowHandle OwnWindow() const { return bus_.Handle(); }

protected:
    void timerEvent(QTimerEvent* event) override;
    // Closing the window, by the user or by Escape, runs the finish.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // ---- player_dialog.cpp ----
    void RegisterOnBus();
    int64_t OnBusMessage(const BusMessage& message);
    void OnGreeting(const BusMessage& message);
    void LoadMovie();

    // ---- player_dialog_run.cpp ----
    void Tick();
    // Notes when the frame the movie shows was first seen; run whenever the
    // thread has handled what was due.
    void WatchFrame();
    // The finish runs once, from the event loop, after whatever asked for it.
    void PostClose();
    void Finish();
    void SendAudioClosed();
    bool ParentHasGone() const;
    // Writes the sound of the time since playback started, as far as not
    // yet written.
    void WriteSoundUpTo(uint32_t elapsedMs);
    uint32_t BufferedValues() const;

    PlayerArguments arguments_;
    CShockwaveFlash* flash_;      // children: deleted with the window
    QProgressBar* progress_;
    QLabel* pathText_;
    BusWindow bus_;
    WindowHandle mainWindow_ = 0;
    SyncFileWriter syncFile_;
    QBasicTimer timer_;           // the design's timer 110
    bool playing_ = false;        // playback started: startTick holds
    bool finished_ = false;
    uint32_t startTick_ = 0;      // real clock when playback started, ms
    uint32_t lastTime_ = 0;       // real clock of the previous tick; 0 before the first
    FrameWatch frames_;
    WavPace wavPace_;
    WavDebt wavDebt_;
    WavTimeline wavTimeline_;
    FrameSoundTimes frameTimes_;
    uint32_t lastLogged_ = 0;     // the time of the last sync record
    // Once the range is over: how far the WAV must reach before the run ends.
    std::optional<uint32_t> soundDueMs_;
    pid_t parent_ = 0;            // the process that started the player
};

}  // namespace kinolux
