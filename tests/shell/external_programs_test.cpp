// Companion programs, the desktop's handler and the file manager, with
// fake programs on PATH and a private session bus.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <mutex>

#include "platform/program_folder.h"
#include "platform/report.h"
#include "shell/external_programs.h"
#include "shell/show_result.h"
#include "tests/platform/outside_requirements.h"
#include "tests/platform/test_application.h"
#include "tests/shell/recorded_runs.h"

namespace kinolux {
namespace {

using testing::ProgramRun;

class ExternalPrograms : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication<QCoreApplication>(); }
    void SetUp() override {
        runs_.AddProgram("xdg-open");
        SetProgramFolder(program_.path());
    }
    void TearDown() override { SetProgramFolder(""); }

    testing::RecordedRuns runs_;
    testing::ScopedTempFolder program_;
};

TEST_F(ExternalPrograms, DocumentsGoToTheDesktopAndProgramsStartFromTheProgramFolder) {
    testing::RecordedRuns::AddProgramAt(program_ / "Disc Forge");
    testing::RecordedRuns::AddProgramAt(program_ / "qvs");
    OpenHelpPage();
    StartMediaPlayer();
    StartDiscBurner();
    EXPECT_TRUE(StartCompanionProgram(kDiscBurnerName, {"burn -f \"/out/a b.vob\" -t dvd"}));
    std::vector<ProgramRun> runs = runs_.WaitForRuns(4);
    std::sort(runs.begin(), runs.end());
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0], (ProgramRun{"Disc Forge"}));
    EXPECT_EQ(runs[1], (ProgramRun{"Disc Forge", "burn -f \"/out/a b.vob\" -t dvd"})) << "the command is one argument";
    EXPECT_EQ(runs[2], (ProgramRun{"qvs"}));
    EXPECT_EQ(runs[3], (ProgramRun{"xdg-open", program_ / "kinolux.html"}));
    EXPECT_EQ(HelpPageAddress("bluray"),
              QUrl::fromLocalFile(QString::fromStdString(program_ / "kinolux.html")).toString().toStdString() + "#bluray");
}

TEST_F(ExternalPrograms, MissingProgramsFailSilently) {
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(StartCompanionProgram("qvs"));
    StartDiscBurner();
    ::setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(OpenWithDesktop("https://example.org/"));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
}

TEST_F(ExternalPrograms, ImageSequencesAndDiscFoldersShowTheirFolder) {
    testing::ScopedTempFolder out;
    std::filesystem::create_directory(out / "movie");
    EXPECT_EQ(ChooseShowResult(out / "movie.png"), (ShowResultAction{ShowResultAction::OpenFolder, out / "movie"}));
    EXPECT_EQ(ChooseShowResult(out / "movie.Ts"), (ShowResultAction{ShowResultAction::OpenFolder, out / "movie"}));
    EXPECT_EQ(ChooseShowResult(out / "movie.avi"), (ShowResultAction{ShowResultAction::SelectFile, out / "movie.avi"}));
    EXPECT_EQ(ChooseShowResult(out / "other.jpg"), (ShowResultAction{ShowResultAction::SelectFile, out / "other.jpg"}))
        << "no folder to list";
    EXPECT_EQ(ChooseShowResult(out / "movie"), (ShowResultAction{ShowResultAction::SelectFile, out / "movie"}));

    ShowResult(out / "movie.png");
    SetConsoleMode(1);
    ShowResult(out / "movie.tga");
    SetConsoleMode(0);
    std::vector<ProgramRun> runs = runs_.WaitForRuns(1);
    ASSERT_EQ(runs.size(), 1u) << "nothing is shown in console mode";
    EXPECT_EQ(runs[0], (ProgramRun{"xdg-open", out / "movie"}));
}

TEST_F(ExternalPrograms, WithoutAFileManagerOnTheBusTheFoldersOpens) {
    ShowFileSelected("/out/videos/a.avi", QDBusConnection(QStringLiteral("not connected")));
    EXPECT_EQ(runs_.WaitForRuns(1), (std::vector<ProgramRun>{{"xdg-open", "/out/videos"}}));
}

// The file manager's D-Bus object, answering on a thread of its own.
class FakeFileManager : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        {
            std::lock_guard<std::mutex> hold(lock);
            calls.push_back(message);
        }
        connection.send(message.createReply());
        return true;
    }
    QString introspect(const QString&) const override {
        return QStringLiteral(
            "<interface name=\"org.freedesktop.FileManager1\"><method name=\"ShowItems\">"
            "<arg type=\"as\" direction=\"in\"/><arg type=\"s\" direction=\"in\"/></method></interface>");
    }
    std::mutex lock;
    std::vector<QDBusMessage> calls;
};

TEST_F(ExternalPrograms, TheFileManagerSelectsTheOutput) {
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"), {"/usr/bin", "/bin"});
    if (daemon.isEmpty()) KINOLUX_MISSING("dbus-daemon");
    testing::ScopedTempFolder busFolder;
    QProcess bus;
    bus.start(daemon, {"--session", "--nofork", "--print-address",
                       QString::fromStdString("--address=unix:path=" + (busFolder / "bus"))});
    ASSERT_TRUE(bus.waitForStarted());
    ASSERT_TRUE(bus.waitForReadyRead(10000));
    const QString address = QString::fromUtf8(bus.readLine()).trimmed();

    QThread serviceThread;
    serviceThread.start();
    QObject anchor;  // for work on the service's thread
    anchor.moveToThread(&serviceThread);
    auto* fileManager = new FakeFileManager;
    fileManager->moveToThread(&serviceThread);
    QDBusConnection service = QDBusConnection::connectToBus(address, QStringLiteral("file manager"));
    ASSERT_TRUE(service.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), fileManager));
    ASSERT_TRUE(service.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("kinolux"));
    ASSERT_TRUE(client.isConnected());

    ShowFileSelected("/out/my videos/a#1.avi", client);
    std::vector<QDBusMessage> calls;
    {
        std::lock_guard<std::mutex> hold(fileManager->lock);
        calls = fileManager->calls;
    }
    EXPECT_TRUE(runs_.Runs().empty()) << "no folder opened besides";

    service.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
    QDBusConnection::disconnectFromBus(QStringLiteral("file manager"));
    QDBusConnection::disconnectFromBus(QStringLiteral("kinolux"));
    QMetaObject::invokeMethod(&anchor, [fileManager] { delete fileManager; }, Qt::BlockingQueuedConnection);
    serviceThread.quit();
    serviceThread.wait();
    bus.kill();
    bus.waitForFinished();

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].member(), QStringLiteral("ShowItems"));
    ASSERT_EQ(calls[0].arguments().size(), 2);
    EXPECT_EQ(calls[0].arguments()[0].toStringList(), QStringList{"file:///out/my%20videos/a%231.avi"});
}

}  // namespace
}  // namespace kinolux
