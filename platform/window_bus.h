// The window bus: how the two programs find each other's windows by caption
// and pass WM_COPYDATA and WM_CLOSE between processes. A window that others
// must find owns a BusWindow and registers it with its caption; its
// procedure then receives every message on the thread the BusWindow lives
// on, from that thread's event loop, never in the middle of other work.
// Create and register it on that thread.
//
// Only the user's own processes can take part: the entries and sockets live
// in the user's private runtime folder.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>

#include "platform/window_bus_wire.h"

class QLocalServer;

namespace kinolux {

// How long a sent message waits for the receiver to handle it.
inline constexpr int kSendMessageTimeoutMs = 10000;

class BusWindow : public QObject {
public:
    // The window procedure: handles one message and returns its result.
    using Procedure = std::function<int64_t(const BusMessage&)>;

    explicit BusWindow(QObject* parent = nullptr);
    ~BusWindow() override;

    // Makes the window findable under `caption`. False, with `error` saying
    // why, when the runtime folder is not private or the socket cannot be
    // made. A window registers once; Unregister ends it (and destruction).
    bool Register(const std::string& caption, Procedure procedure, std::string& error);
    void Unregister();

    // 0 until registered.
    WindowHandle Handle() const { return handle_; }

private:
    // A message sent from the window's own thread is handled at once, as
    // waiting for the event loop that the sender itself blocks would never end.
    friend std::optional<int64_t> SendMessage(WindowHandle, const BusMessage&, int);

    void AcceptConnections();
    int64_t Dispatch(const BusMessage& message);

    std::unique_ptr<QLocalServer> server_;
    std::string folder_;
    WindowHandle handle_ = 0;
    Procedure procedure_;
};

// A registered window of a living process with exactly this caption, the
// most recently registered when there are several; 0 when there is none.
// With `processId`, only that process's windows count.
WindowHandle FindWindow(const std::string& caption, pid_t processId = 0);

// Delivers the message and waits until the receiver has handled it; its
// result, or nothing when no living window has that handle, the message
// could not be delivered or the receiver did not answer within the time.
std::optional<int64_t> SendMessage(WindowHandle window, const BusMessage& message,
                                   int timeoutMs = kSendMessageTimeoutMs);

// Deliver the message without waiting for it to be handled; true when the
// receiver's socket took it.
bool PostMessage(WindowHandle window, const BusMessage& message);
bool SendNotifyMessage(WindowHandle window, const BusMessage& message);

}  // namespace kinolux
