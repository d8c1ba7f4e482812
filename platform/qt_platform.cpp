#include "platform/qt_platform.h"

#include <cstdlib>
#include <cstring>

#include <QString>
#include <QtGlobal>

#include "platform/report.h"

namespace kinolux {

namespace {
bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}
}  // namespace

bool HasDisplay() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY"); }

bool SelectQtPlatform(bool consoleMode) {
    if (consoleMode || !HasDisplay()) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* chosen = std::getenv("QT_QPA_PLATFORM");
    return chosen && std::strcmp(chosen, "offscreen") == 0;
}

void RouteQtMessagesToDebugOutput() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& message) {
        DebugOutput(message.toStdString());
    });
}

}  // namespace kinolux
