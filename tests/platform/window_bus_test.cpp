// The window bus between threads and between processes: finding by caption,
// sent messages that wait for their answer, posted ones that do not, and
// entries of ended processes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/file_io.h"
#include "platform/runtime_folder.h"
#include "platform/window_bus.h"
#include "platform/window_bus_entries.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/platform/test_application.h"

namespace kinolux {
namespace {

using namespace std::chrono_literals;

// Every test runs with its own runtime folder, so no window of a real
// Kinolux (or of another test run) is ever found or disturbed.
class WindowBus : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication<QCoreApplication>(); }
    void SetUp() override {
        ::chmod(runtime_.path().c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("XDG_RUNTIME_DIR"); }

    std::string BusFolder() const { return runtime_ / "kinolux"; }

    // Runs the main thread's event loop until `done` or the time is up.
    static bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 10s) {
        auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(2ms);
        }
        return true;
    }

    testing::ScopedTempFolder runtime_;
};

// A window on a thread of its own with its own event loop.
class WindowThread {
public:
    explicit WindowThread(std::string caption) {
        thread_.start();
        QMetaObject::invokeMethod(
            &anchor_,
            [this, caption] {
                window_ = new BusWindow();
                std::string error;
                window_->Register(caption, [this](const BusMessage& message) {
                    std::unique_lock<std::mutex> hold(lock_);
                    changed_.wait(hold, [this] { return gateOpen_; });
                    received_.push_back(message);
                    onWindowThread_ = onWindowThread_ && QThread::currentThread() == &thread_;
                    changed_.notify_all();
                    return int64_t(1000 + message.data.size());
                }, error);
                std::lock_guard<std::mutex> hold(lock_);
                handle_ = window_->Handle();
                ready_ = true;
                changed_.notify_all();
            },
            Qt::QueuedConnection);
        anchor_.moveToThread(&thread_);
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [this] { return ready_; });
    }
    ~WindowThread() {
        QMetaObject::invokeMethod(&anchor_, [this] { delete window_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    WindowHandle handle() const { return handle_; }
    // While the gate is shut, the window's procedure does not return.
    void SetGate(bool open) {
        std::lock_guard<std::mutex> hold(lock_);
        gateOpen_ = open;
        changed_.notify_all();
    }
    std::vector<BusMessage> WaitForMessages(size_t count) {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait_for(hold, 10s, [&] { return received_.size() >= count; });
        return received_;
    }
    bool HandledOnItsOwnThread() {
        std::lock_guard<std::mutex> hold(lock_);
        return onWindowThread_;
    }

private:
    QThread thread_;
    QObject anchor_;
    BusWindow* window_ = nullptr;
    WindowHandle handle_ = 0;
    bool ready_ = false;
    bool gateOpen_ = true;
    bool onWindowThread_ = true;
    std::vector<BusMessage> received_;
    std::mutex lock_;
    std::condition_variable changed_;
};

TEST_F(WindowBus, TheRuntimeFolderIsPrivate) {
    std::string error;
    std::optional<std::string> folder = UserRuntimeFolder(error);
    ASSERT_TRUE(folder) << error;
    EXPECT_EQ(*folder, BusFolder());
    struct stat st {};
    ASSERT_EQ(::stat(folder->c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);

    ::chmod(folder->c_str(), 0755);
    EXPECT_FALSE(UserRuntimeFolder(error));
    EXPECT_NE(error.find("0700"), std::string::npos) << error;
    WindowHandle none = 0;
    BusWindow window;
    EXPECT_FALSE(window.Register("Kinolux - extract audio", nullptr, error)) << "no window in a folder others may enter";
    EXPECT_EQ(window.Handle(), none);
    EXPECT_EQ(FindWindow("Kinolux - extract audio"), none);

    ::rmdir(folder->c_str());
    ::symlink("/tmp", folder->c_str());
    EXPECT_FALSE(UserRuntimeFolder(error)) << "a link is not our folder";
}

TEST_F(WindowBus, WireRequestsSurviveAnySplitAndStrangersAreRefused) {
    BusMessage message{WM_COPYDATA, 0x1234567890abcdefull, 42, std::string("Audio Closed", 13)};
    std::string bytes = EncodeBusRequest(message, true) + EncodeBusRequest(BusMessage{WM_CLOSE, 0, 0, ""}, false);
    BusRequestReader reader;
    BusMessage got;
    bool wantsReply = false;
    for (char c : bytes.substr(0, 40)) {
        EXPECT_EQ(reader.Next(got, wantsReply), BusRequestReader::Status::NeedMore);
        reader.Append(std::string(1, c));
    }
    reader.Append(bytes.substr(40));
    ASSERT_EQ(reader.Next(got, wantsReply), BusRequestReader::Status::Complete);
    EXPECT_EQ(got, message);
    EXPECT_TRUE(wantsReply);
    ASSERT_EQ(reader.Next(got, wantsReply), BusRequestReader::Status::Complete);
    EXPECT_EQ(got.message, WM_CLOSE);
    EXPECT_FALSE(wantsReply);
    EXPECT_EQ(reader.Next(got, wantsReply), BusRequestReader::Status::NeedMore);
    EXPECT_EQ(DecodeBusReply(EncodeBusReply(-5)), -5);
    EXPECT_FALSE(DecodeBusReply("KXWB12345678"));

    BusRequestReader stranger;
    stranger.Append("GET / HTTP/1.1\r\n");
    EXPECT_EQ(stranger.Next(got, wantsReply), BusRequestReader::Status::Bad);
    std::string huge = EncodeBusRequest(message, false);
    huge[28] = huge[29] = huge[30] = huge[31] = '\xff';
    BusRequestReader oversized;
    oversized.Append(huge.substr(0, 32));
    EXPECT_EQ(oversized.Next(got, wantsReply), BusRequestReader::Status::Bad) << "refused before the bytes arrive";
    std::string flagged = EncodeBusRequest(message, false);
    flagged[9] = 1;
    BusRequestReader unknownFlags;
    unknownFlags.Append(flagged);
    EXPECT_EQ(unknownFlags.Next(got, wantsReply), BusRequestReader::Status::Bad);
}

TEST_F(WindowBus, SentMessagesWaitForTheReceiversThreadAndPostedOnesDoNot) {
    WindowThread receiver("Kinolux - extract audio");
    ASSERT_NE(receiver.handle(), 0u);
    EXPECT_EQ(FindWindow("Kinolux - extract audio"), receiver.handle());
    EXPECT_EQ(FindWindow("Kinolux - extract audio", ::getpid()), receiver.handle());
    EXPECT_EQ(FindWindow("Kinolux - extract audio", ::getpid() + 1), 0u);
    EXPECT_EQ(FindWindow("Kinolux - Extract audio"), 0u) << "captions compare exactly";

    BusMessage greeting{WM_COPYDATA, 77, 0, std::string(1, '\0')};
    EXPECT_EQ(SendMessage(receiver.handle(), greeting), 1001);
    std::vector<BusMessage> seen = receiver.WaitForMessages(1);
    ASSERT_EQ(seen.size(), 1u) << "handled before SendMessage returned";
    EXPECT_EQ(seen[0], greeting);

    receiver.SetGate(false);
    EXPECT_TRUE(PostMessage(receiver.handle(), BusMessage{WM_CLOSE, 0, 0, ""})) << "posting does not wait for the handling";
    EXPECT_TRUE(SendNotifyMessage(receiver.handle(), BusMessage{WM_CLOSE, 1, 0, ""}));
    receiver.SetGate(true);
    seen = receiver.WaitForMessages(3);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].message, WM_CLOSE);
    EXPECT_EQ(seen[2].wParam, 1u);
    EXPECT_TRUE(receiver.HandledOnItsOwnThread());

    receiver.SetGate(false);
    EXPECT_FALSE(SendMessage(receiver.handle(), greeting, 10)) << "a receiver that takes too long gives a failure";
    receiver.SetGate(true);
}

TEST_F(WindowBus, AMessageSentFromTheWindowsOwnThreadIsHandledAtOnce) {
    BusWindow window;
    std::string error;
    int handled = 0;
    ASSERT_TRUE(window.Register("Kinolux", [&](const BusMessage&) { return int64_t(++handled); }, error)) << error;
    EXPECT_EQ(SendMessage(window.Handle(), BusMessage{WM_COPYDATA, 0, 0, "x"}), 1);
    EXPECT_TRUE(PostMessage(window.Handle(), BusMessage{WM_CLOSE, 0, 0, ""}));
    EXPECT_TRUE(PumpUntil([&] { return handled == 2; })) << "a posted message waits for the event loop";
    WindowHandle handle = window.Handle();
    window.Unregister();
    EXPECT_FALSE(std::filesystem::exists(BusEntryPath(BusFolder(), handle)));
    EXPECT_FALSE(std::filesystem::exists(BusSocketPath(BusFolder(), handle)));
    EXPECT_FALSE(SendMessage(handle, BusMessage{WM_COPYDATA, 0, 0, "x"}));
    EXPECT_FALSE(PostMessage(handle, BusMessage{WM_CLOSE, 0, 0, ""}));
    EXPECT_FALSE(PostMessage(0, BusMessage{WM_CLOSE, 0, 0, ""}));
}

TEST_F(WindowBus, EntriesOfEndedProcessesAreIgnoredAndRemoved) {
    WindowThread living("Kinolux - extract audio");
    std::string error;
    ASSERT_TRUE(UserRuntimeFolder(error));
    // No process has an id this high; and our own id with another start
    // time is a process that ended before ours took its id.
    WindowHandle gone = (WindowHandle(0x7ffffff0) << 32) | 1;
    WindowHandle reused = (WindowHandle(::getpid()) << 32) | 0x5;
    for (WindowHandle handle : {gone, reused}) {
        ASSERT_TRUE(WriteFileAtomically(BusEntryPath(BusFolder(), handle), "kinolux window 1\n1\nKinolux - extract audio"));
        testing::WriteTextFile(BusSocketPath(BusFolder(), handle), "");
    }
    EXPECT_EQ(FindWindow("Kinolux - extract audio"), living.handle());
    for (WindowHandle handle : {gone, reused}) {
        EXPECT_FALSE(std::filesystem::exists(BusEntryPath(BusFolder(), handle)));
        EXPECT_FALSE(std::filesystem::exists(BusSocketPath(BusFolder(), handle)));
    }
    EXPECT_TRUE(std::filesystem::exists(BusEntryPath(BusFolder(), living.handle())));
}

TEST_F(WindowBus, TwoProcessesGreetAnswerAndClose) {
    BusWindow self;
    std::string error;
    std::vector<BusMessage> answers;
    ASSERT_TRUE(self.Register("Kinolux progress", [&](const BusMessage& m) {
        answers.push_back(m);
        return int64_t(1);
    }, error)) << error;

    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedChannels);
    peer.start(QStringLiteral(WINDOW_BUS_PEER), {QStringLiteral("Kinolux - extract audio")});
    ASSERT_TRUE(peer.waitForStarted());
    WindowHandle player = 0;
    ASSERT_TRUE(PumpUntil([&] { return (player = FindWindow("Kinolux - extract audio")) != 0; }));
    EXPECT_EQ(ProcessOfHandle(player), peer.processId());

    EXPECT_EQ(SendMessage(player, BusMessage{WM_COPYDATA, self.Handle(), 0, std::string(1, '\0')}), 1);
    ASSERT_TRUE(PumpUntil([&] { return !answers.empty(); }));
    EXPECT_EQ(answers[0], (BusMessage{WM_COPYDATA, player, 0, std::string("Audio Closed", 13)}));

    EXPECT_TRUE(SendNotifyMessage(player, BusMessage{WM_CLOSE, 0, 0, ""}));
    ASSERT_TRUE(peer.waitForFinished(10000));
    EXPECT_EQ(peer.exitCode(), 0);
    EXPECT_EQ(FindWindow("Kinolux - extract audio"), 0u);

    // A peer killed outright leaves its entry; it is found dead and removed.
    QProcess killed;
    killed.start(QStringLiteral(WINDOW_BUS_PEER), {QStringLiteral("Killed")});
    ASSERT_TRUE(killed.waitForStarted());
    WindowHandle victim = 0;
    ASSERT_TRUE(PumpUntil([&] { return (victim = FindWindow("Killed")) != 0; }));
    killed.kill();
    ASSERT_TRUE(killed.waitForFinished(10000));
    EXPECT_TRUE(std::filesystem::exists(BusEntryPath(BusFolder(), victim)));
    // A dead receiver fails at once: waiting out this reply time would
    // outlast the test's own time limit.
    constexpr int kAnHourMs = 3'600'000;
    EXPECT_FALSE(SendMessage(victim, BusMessage{WM_COPYDATA, 0, 0, "x"}, kAnHourMs));
    EXPECT_FALSE(std::filesystem::exists(BusEntryPath(BusFolder(), victim)));
    EXPECT_EQ(FindWindow("Killed"), 0u);
}

}  // namespace
}  // namespace kinolux
