#include "platform/window_bus.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <poll.h>
#include <random>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "platform/report.h"
#include "platform/runtime_folder.h"
#include "platform/window_bus_entries.h"

namespace kinolux {

namespace {

// How long a posted message may take to reach the receiver's socket.
constexpr int kDeliveryTimeoutMs = 2000;

using Clock = std::chrono::steady_clock;

// The windows of this process, for messages sent from a window's own thread.
std::mutex localWindowsLock;
std::map<WindowHandle, BusWindow*> localWindows;

WindowHandle NewHandle() {
    // A random start keeps a later process that gets the same id from
    // taking the handles of an ended one that someone still holds.
    static std::atomic<uint32_t> counter{std::random_device{}() | 1u};
    uint32_t serial = counter.fetch_add(1);
    if (serial == 0) serial = counter.fetch_add(1);
    return (WindowHandle(static_cast<uint32_t>(::getpid())) << 32) | serial;
}

int RemainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

class SocketFd {
public:
    explicit SocketFd(int fd) : fd_(fd) {}
    ~SocketFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    SocketFd(const SocketFd&) = delete;
    SocketFd& operator=(const SocketFd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int n = ::poll(&p, 1, RemainingMs(deadline));
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

// A connected socket, or -1. A full backlog is waited out until the deadline.
int ConnectTo(const std::string& path, Clock::time_point deadline) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    for (;;) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return -1;
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) return fd;
        int failure = errno;
        ::close(fd);
        if (failure != EAGAIN || RemainingMs(deadline) == 0) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool WriteAll(int fd, std::string_view bytes, Clock::time_point deadline) {
    while (!bytes.empty()) {
        ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n > 0) {
            bytes.remove_prefix(static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLOUT, deadline)) continue;
        return false;
    }
    return true;
}

std::optional<std::string> ReadExactly(int fd, size_t count, Clock::time_point deadline) {
    std::string bytes;
    char buffer[64];
    while (bytes.size() < count) {
        ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, count - bytes.size()), 0);
        if (n > 0) {
            bytes.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && WaitFor(fd, POLLIN, deadline)) continue;
        return std::nullopt;  // closed, failed or out of time
    }
    return bytes;
}

// Connects to the window's socket; -1 when it has none, and then an entry
// left by an ended process is removed.
int ConnectToWindow(WindowHandle window, Clock::time_point deadline) {
    std::string error;
    std::optional<std::string> folder = UserRuntimeFolder(error);
    if (!folder) {
        DebugOutput("window bus: " + error);
        return -1;
    }
    int fd = ConnectTo(BusSocketPath(*folder, window), deadline);
    if (fd < 0) IsBusEntryAlive(*folder, window);
    return fd;
}

bool Deliver(WindowHandle window, const BusMessage& message) {
    if (window == 0) return false;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kDeliveryTimeoutMs);
    SocketFd fd(ConnectToWindow(window, deadline));
    return fd.get() >= 0 && WriteAll(fd.get(), EncodeBusRequest(message, false), deadline);
}

}  // namespace

BusWindow::BusWindow(QObject* parent) : QObject(parent) {}

BusWindow::~BusWindow() { Unregister(); }

bool BusWindow::Register(const std::string& caption, Procedure procedure, std::string& error) {
    if (handle_ != 0) {
        error = "The window is registered already.";
        return false;
    }
    std::optional<std::string> folder = UserRuntimeFolder(error);
    if (!folder) return false;
    WindowHandle handle = NewHandle();
    QString socketPath = QString::fromStdString(BusSocketPath(*folder, handle));
    auto server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath);
    if (!server->listen(socketPath)) {
        error = "Cannot listen on " + socketPath.toStdString() + ": " + server->errorString().toStdString();
        return false;
    }
    if (!WriteBusEntry(*folder, handle, caption)) {
        error = "Cannot write the window entry in " + *folder + ".";
        return false;
    }
    server_ = std::move(server);
    folder_ = *folder;
    handle_ = handle;
    procedure_ = std::move(procedure);
    connect(server_.get(), &QLocalServer::newConnection, this, &BusWindow::AcceptConnections);
    std::lock_guard<std::mutex> hold(localWindowsLock);
    localWindows[handle_] = this;
    return true;
}

void BusWindow::Unregister() {
    if (handle_ == 0) return;
    {
        std::lock_guard<std::mutex> hold(localWindowsLock);
        localWindows.erase(handle_);
    }
    RemoveBusEntry(folder_, handle_);
    server_.reset();
    handle_ = 0;
}

int64_t BusWindow::Dispatch(const BusMessage& message) { return procedure_ ? procedure_(message) : 0; }

void BusWindow::AcceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        auto reader = std::make_shared<BusRequestReader>();
        auto readRequests = [this, socket, reader] {
            reader->Append(socket->readAll().toStdString());
            BusMessage message;
            bool wantsReply = false;
            for (;;) {
                BusRequestReader::Status status = reader->Next(message, wantsReply);
                if (status == BusRequestReader::Status::NeedMore) return;
                if (status == BusRequestReader::Status::Bad) {
                    DebugOutput("window bus: a malformed message was refused");
                    socket->abort();
                    socket->deleteLater();
                    return;
                }
                // Handled from the event loop, so a procedure that opens a
                // dialog never runs inside this socket's own signal.
                QPointer<QLocalSocket> answerTo(wantsReply ? socket : nullptr);
                QMetaObject::invokeMethod(
                    this,
                    [this, message, answerTo] {
                        int64_t result = Dispatch(message);
                        if (answerTo && answerTo->state() == QLocalSocket::ConnectedState) {
                            answerTo->write(QByteArray::fromStdString(EncodeBusReply(result)));
                            answerTo->flush();
                        }
                    },
                    Qt::QueuedConnection);
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequests);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (socket->bytesAvailable() > 0) readRequests();
    }
}

WindowHandle FindWindow(const std::string& caption, pid_t processId) {
    std::string error;
    std::optional<std::string> folder = UserRuntimeFolder(error);
    if (!folder) {
        DebugOutput("window bus: " + error);
        return 0;
    }
    WindowHandle found = 0;
    int64_t newest = 0;
    for (const BusEntry& entry : LiveBusEntries(*folder)) {
        if (entry.caption != caption) continue;
        if (processId != 0 && ProcessOfHandle(entry.handle) != processId) continue;
        if (found == 0 || entry.registeredAt > newest) {
            found = entry.handle;
            newest = entry.registeredAt;
        }
    }
    return found;
}

std::optional<int64_t> SendMessage(WindowHandle window, const BusMessage& message, int timeoutMs) {
    if (window == 0) return std::nullopt;
    BusWindow* local = nullptr;
    {
        std::lock_guard<std::mutex> hold(localWindowsLock);
        auto it = localWindows.find(window);
        if (it != localWindows.end() && it->second->thread() == QThread::currentThread()) local = it->second;
    }
    if (local) return local->Dispatch(message);

    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    SocketFd fd(ConnectToWindow(window, deadline));
    if (fd.get() < 0 || !WriteAll(fd.get(), EncodeBusRequest(message, true), deadline)) return std::nullopt;
    std::optional<std::string> reply = ReadExactly(fd.get(), kBusReplySize, deadline);
    return reply ? DecodeBusReply(*reply) : std::nullopt;
}

bool PostMessage(WindowHandle window, const BusMessage& message) { return Deliver(window, message); }

bool SendNotifyMessage(WindowHandle window, const BusMessage& message) { return Deliver(window, message); }

}  // namespace kinolux
