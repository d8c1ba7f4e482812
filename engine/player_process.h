// The player process of an Auto conversion: started with its parameter text
// as one argument, found by its window's caption (only among its own
// process's windows, so two conversions never meet each other's player),
// greeted, and closed at the end.
#pragma once

#include "platform/window_bus_wire.h"

#include <QObject>
#include <QProcess>
#include <string>

namespace kinolux {

inline constexpr const char* kPlayerCaption = "Kinolux - extract audio";
// How long a started player may take to show its window.
inline constexpr int kPlayerWindowWaitMs = 10000;
// How long a closed player may take to finish its files before it is killed.
inline constexpr int kPlayerExitWaitMs = 5000;

struct PlayerParameters {
    std::string inputPath;
    std::string wavPath;
    std::string syncPath;
    float frameRate = 0;
    int32_t fromFrame = 0;
    int32_t toFrame = 0;
    int32_t totalFrames = 0;
};

// "'-in' %s '-ou' %s '-sn' %s '-fr' %.3f '-ff' %d '-tf' %d '-of' %d '-cm' 1".
std::string PlayerParameterText(const PlayerParameters& parameters);

class PlayerProcess {
public:
    PlayerProcess();
    ~PlayerProcess();
    PlayerProcess(const PlayerProcess&) = delete;
    PlayerProcess& operator=(const PlayerProcess&) = delete;

    // Starts `program` and waits for its window, then sends it WM_COPYDATA
    // from `sender`. False, with `error` saying why, when the program does
    // not start or shows no window in time (it is then ended).
    bool Start(const std::string& program, const std::string& parameters, WindowHandle sender, std::string& error);
    WindowHandle Window() const { return window_; }
    // True once the process has ended, whatever the reason.
    bool HasEnded() const;
    // Asks the player to finish (WM_CLOSE) and waits for it to end, killing
    // it after the exit wait. Harmless when none runs.
    void Close();

private:
    QProcess process_;
    WindowHandle window_ = 0;
};

}  // namespace kinolux
