// The wait cursor while something is being started, where there is a
// window system to show it.
#pragma once

#include <QApplication>

namespace kinolux {

class WaitCursor {
public:
    WaitCursor() : shown_(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr) {
        if (shown_) QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor() {
        if (shown_) QApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool shown_;
};

}  // namespace kinolux
