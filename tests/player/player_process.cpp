#include "tests/player/player_process.h"

#include "tests/flash_control/control_support.h"
#include "tests/platform/built_program_folder.h"

#include <cstdio>
#include <cstdlib>

namespace kinolux::testing {

std::string PlayerParameterText(const PlayerRunSettings& s)
{
    // The main program's format.
    const char* format = s.withConsoleSwitch
        ? "'-in' %s '-ou' %s '-sn' %s '-fr' %.3f '-ff' %d '-tf' %d '-of' %d '-cm' 1"
        : "'-in' %s '-ou' %s '-sn' %s '-fr' %.3f '-ff' %d '-tf' %d '-of' %d";
    const int length = std::snprintf(nullptr, 0, format, s.input.c_str(), s.wav.c_str(), s.sync.c_str(), s.fps,
                                     s.fromFrame, s.toFrame, s.totalFrames);
    std::string text(size_t(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, s.input.c_str(), s.wav.c_str(), s.sync.c_str(), s.fps,
                  s.fromFrame, s.toFrame, s.totalFrames);
    text.pop_back();
    return text;
}

StandInMainWindow::StandInMainWindow()
{
    std::string error;
    bus_.Register("Kinolux test main window", [this](const BusMessage& message) {
        received_.push_back(message);
        return int64_t(1);
    }, error);
}

PlayerProcess::PlayerProcess(const PlayerRunSettings& settings)
{
    flash::testing::ensureApplication();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) environment.remove(name);
    environment.insert("KINOLUX_AUDIO", QString::fromStdString(settings.audio));
    process_.setProcessEnvironment(environment);
    process_.start(QString::fromStdString(BuiltProgramFolder() + "/kinoluxplayer"),
                   {QString::fromStdString(PlayerParameterText(settings))});
    if (process_.waitForStarted(10000)) processId_ = pid_t(process_.processId());
}

PlayerProcess::~PlayerProcess()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

WindowHandle PlayerProcess::WaitForWindow(int timeoutMs)
{
    WindowHandle window = 0;
    flash::testing::pumpUntil([&] {
        window = processId_ ? FindWindow("Kinolux - extract audio", processId_) : 0;
        return window != 0 || process_.state() == QProcess::NotRunning;
    }, timeoutMs);
    return window;
}

bool PlayerProcess::Greet(WindowHandle player, const StandInMainWindow& main)
{
    BusMessage greeting;
    greeting.message = WM_COPYDATA;
    greeting.wParam = main.Handle();
    greeting.data.assign(1, '\0');
    return SendMessage(player, greeting).has_value();
}

bool PlayerProcess::WaitForExit(int timeoutMs)
{
    return flash::testing::pumpUntil([&] { return process_.state() == QProcess::NotRunning; }, timeoutMs);
}

bool PlayerProcess::RunGreeted(const StandInMainWindow& main)
{
    const WindowHandle window = WaitForWindow();
    return window != 0 && Greet(window, main) && WaitForExit(kGenerousWaitMs);
}

}  // namespace kinolux::testing
