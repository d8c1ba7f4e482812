#include "platform/report.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace kinolux {

namespace {
std::atomic<int> consoleMode{0};
std::atomic<MessagePresenter*> presenter{nullptr};

void WriteLine(FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void Report(std::string_view text, bool warning) {
    MessagePresenter* shown = presenter.load();
    if (ConsoleMode() != 0 || !shown) {
        WriteLine(stdout, text);
        return;
    }
    shown->Show(text, warning);
}
}  // namespace

void SetConsoleMode(int mode) { consoleMode.store(mode); }
int ConsoleMode() { return consoleMode.load(); }

void SetMessagePresenter(MessagePresenter* next) { presenter.store(next); }

void ReportMessage(std::string_view text) { Report(text, false); }

void ReportWarning(std::string_view text) { Report(text, true); }

void WriteConsoleLine(std::string_view text) { WriteLine(stdout, text); }

bool AskYesNo(std::string_view text) {
    MessagePresenter* shown = presenter.load();
    return ConsoleMode() == 0 && shown && shown->AskYesNo(text);
}

void DebugOutput(std::string_view text) {
    if (std::getenv("KINOLUX_DEBUG")) WriteLine(stderr, text);
}

}  // namespace kinolux
