// Handling the events a thread has waiting, as the capture side does after
// each operation that makes the control do something, without waiting for
// events that have not arrived yet.
#pragma once

#include <QCoreApplication>

namespace kinolux {

inline void PumpPendingEvents()
{
    QCoreApplication::processEvents();
}

}  // namespace kinolux
