#include "engine/player_process.h"

#include "platform/number_text.h"
#include "platform/window_bus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace kinolux {

namespace {

// How often the player's window is looked for while it starts: its start
// is on the way of every conversion, so it is looked for often.
constexpr unsigned long kWindowPollMs = 10;

}  // namespace

std::string PlayerParameterText(const PlayerParameters& p) {
    return "'-in' " + p.inputPath + " '-ou' " + p.wavPath + " '-sn' " + p.syncPath + " '-fr' " +
           FormatFixed(p.frameRate, 3) + " '-ff' " + std::to_string(p.fromFrame) + " '-tf' " +
           std::to_string(p.toFrame) + " '-of' " + std::to_string(p.totalFrames) + " '-cm' 1";
}

PlayerProcess::PlayerProcess() { process_.setProcessChannelMode(QProcess::ForwardedChannels); }

PlayerProcess::~PlayerProcess() { Close(); }

bool PlayerProcess::Start(const std::string& program, const std::string& parameters, WindowHandle sender,
                          std::string& error) {
    process_.start(QString::fromStdString(program), {QString::fromStdString(parameters)});
    if (!process_.waitForStarted(kPlayerWindowWaitMs)) {
        error = "The sound player " + program + " could not be started: " + process_.errorString().toStdString();
        return false;
    }
    const pid_t pid = static_cast<pid_t>(process_.processId());
    QElapsedTimer waited;
    waited.start();
    while ((window_ = FindWindow(kPlayerCaption, pid)) == 0) {
        if (process_.state() == QProcess::NotRunning || waited.elapsed() > kPlayerWindowWaitMs) {
            error = "The sound player " + program + " did not open its window within " +
                    std::to_string(kPlayerWindowWaitMs / 1000) + " seconds.";
            Close();
            return false;
        }
        QCoreApplication::processEvents();
        QThread::msleep(kWindowPollMs);
    }
    BusMessage greeting;
    greeting.message = WM_COPYDATA;
    greeting.wParam = sender;
    greeting.data = std::string(1, '\0');
    SendMessage(window_, greeting);
    return true;
}

bool PlayerProcess::HasEnded() const { return process_.state() == QProcess::NotRunning; }

void PlayerProcess::Close() {
    if (window_ != 0) {
        BusMessage close;
        close.message = WM_CLOSE;
        SendNotifyMessage(window_, close);
        window_ = 0;
    }
    // Events are handled meanwhile: the player's last message to us waits
    // for an answer before it exits.
    QElapsedTimer waited;
    waited.start();
    while (process_.state() != QProcess::NotRunning && waited.elapsed() < kPlayerExitWaitMs) {
        QCoreApplication::processEvents();
        process_.waitForFinished(20);
    }
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(kPlayerExitWaitMs);
    }
}

}  // namespace kinolux
