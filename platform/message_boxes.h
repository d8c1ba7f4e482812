// The window program's message boxes for ReportMessage, ReportWarning and
// AskYesNo. A message from another thread is queued to the thread of the
// application object and shown there; a question can only be asked there.
#pragma once

namespace kinolux {

// Makes the boxes the way messages reach the user until the returned guard
// goes; call it once the application object exists.
class MessageBoxes {
public:
    MessageBoxes();
    ~MessageBoxes();
    MessageBoxes(const MessageBoxes&) = delete;
    MessageBoxes& operator=(const MessageBoxes&) = delete;
};

}  // namespace kinolux
