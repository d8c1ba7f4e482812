#include "platform/report.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace kinolux {

namespace {
std::atomic<int> consoleMode{0};

void WriteLine(FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool CanShowMessageBox() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QGuiApplication::platformName() != QLatin1String("offscreen");
}
}  // namespace

void SetConsoleMode(int mode) { consoleMode.store(mode); }
int ConsoleMode() { return consoleMode.load(); }

void ReportMessage(std::string_view text) {
    if (ConsoleMode() != 0 || !CanShowMessageBox()) {
        WriteLine(stdout, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box.exec();
}

void DebugOutput(std::string_view text) {
    if (std::getenv("KINOLUX_DEBUG")) WriteLine(stderr, text);
}

}  // namespace kinolux
