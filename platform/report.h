// The one way every part of the program reports a failure or a notice to the
// user, and the process-wide console-mode flag that decides how. The boxes
// themselves are the window program's (platform/message_boxes.h), so what
// only reports links no widgets.
#pragma once

#include <string>
#include <string_view>

namespace kinolux {

// 1 while the command-line conversion runs, else 0.
void SetConsoleMode(int mode);
int ConsoleMode();

// How messages reach the user outside console mode: message boxes in the
// window program, installed at start-up.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void Show(std::string_view text, bool warning) = 0;
    virtual bool AskYesNo(std::string_view text) = 0;
};
// The presenter stays the caller's; null goes back to standard output.
void SetMessagePresenter(MessagePresenter* presenter);

// Console mode: the text and a line feed on standard output. Otherwise a
// message box with an OK button. Where no box can be answered (no
// presenter, no application object, or Qt's offscreen platform) the text
// goes to standard output as in console mode, so nothing ever waits for an
// invisible click.
void ReportMessage(std::string_view text);

// As ReportMessage, with the exclamation icon and the warning beep.
void ReportWarning(std::string_view text);

// The text and a line feed on standard output, whatever the mode: for the
// parts that keep a console flag of their own.
void WriteConsoleLine(std::string_view text);

// A yes/no question with the information icon. In console mode, and where
// no box can be answered, the answer is no without asking: nothing that
// runs unattended starts another program on its own.
bool AskYesNo(std::string_view text);

// Debugger output: written to standard error, with a line feed, only when
// the environment variable KINOLUX_DEBUG is set.
void DebugOutput(std::string_view text);

}  // namespace kinolux
