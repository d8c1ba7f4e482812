// Running kinoluxplayer as the main program runs it: its parameter text
// built from the main program's format, started as one argument, found on
// the window bus by its caption and greeted by a stand-in main window that
// collects what the player sends back.
#pragma once

#include "platform/window_bus.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <string>
#include <vector>

namespace kinolux::testing {

struct PlayerRunSettings {
    std::string input, wav, sync;
    double fps = 25;
    int fromFrame = 0, toFrame = 0, totalFrames = 0;
    bool withConsoleSwitch = true;
    // KINOLUX_AUDIO for the player; its display is always taken away.
    std::string audio = "null";
};

std::string PlayerParameterText(const PlayerRunSettings& settings);

class StandInMainWindow {
public:
    StandInMainWindow();
    WindowHandle Handle() const { return bus_.Handle(); }
    const std::vector<BusMessage>& Received() const { return received_; }

private:
    BusWindow bus_;
    std::vector<BusMessage> received_;
};

// Long enough for any run of a test movie on a busy machine: only a player
// that hangs reaches it.
inline constexpr int kGenerousWaitMs = 120000;

class PlayerProcess {
public:
    explicit PlayerProcess(const PlayerRunSettings& settings);
    ~PlayerProcess();

    // The player's window, once it has appeared (0 after the time-out).
    WindowHandle WaitForWindow(int timeoutMs = kGenerousWaitMs);
    // Sends the main program's greeting; false when it was not handled.
    bool Greet(WindowHandle player, const StandInMainWindow& main);
    // Handles events until the player has exited; false on the time-out.
    bool WaitForExit(int timeoutMs);
    // Waits for the window, greets it as the main program does, and waits
    // for the player to end the run; false when any of that fails.
    bool RunGreeted(const StandInMainWindow& main);
    int ExitCode() const { return process_.exitCode(); }
    std::string StandardOutput() { return process_.readAllStandardOutput().toStdString(); }

private:
    QProcess process_;
    pid_t processId_ = 0;  // kept: QProcess forgets it once the process ends
};

}  // namespace kinolux::testing
