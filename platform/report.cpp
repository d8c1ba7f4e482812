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

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void Report(std::string_view text, QMessageBox::Icon icon) {
    if (ConsoleMode() != 0 || !CanShowMessageBox()) {
        WriteLine(stdout, text);
        return;
    }
    if (icon == QMessageBox::Warning) QApplication::beep();
    QMessageBox box(icon, QApplication::applicationDisplayName(), ToQString(text), QMessageBox::Ok);
    box.exec();
}
}  // namespace

void SetConsoleMode(int mode) { consoleMode.store(mode); }
int ConsoleMode() { return consoleMode.load(); }

void ReportMessage(std::string_view text) { Report(text, QMessageBox::NoIcon); }

void ReportWarning(std::string_view text) { Report(text, QMessageBox::Warning); }

void WriteConsoleLine(std::string_view text) { WriteLine(stdout, text); }

bool AskYesNo(std::string_view text) {
    if (ConsoleMode() != 0 || !CanShowMessageBox()) return false;
    QMessageBox box(QMessageBox::Information, QApplication::applicationDisplayName(), ToQString(text),
                    QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void DebugOutput(std::string_view text) {
    if (std::getenv("KINOLUX_DEBUG")) WriteLine(stderr, text);
}

}  // namespace kinolux
