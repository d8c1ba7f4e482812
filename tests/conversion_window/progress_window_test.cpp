// The progress window running whole interactive conversions against a
// recorded capture: what it leaves behind when it completes, when it is
// cancelled (also during the second encoding), when it is asked to close
// before the end, and how an encoder's error reaches the user.
#include "conversion_window/progress_window.h"
#include "capture/captured_frame.h"
#include "capture/flash_control_module.h"
#include "capture/movie_window.h"
#include "capture/wav_file_writer.h"
#include "conversion_window/preview_picture.h"
#include "engine/interactive_capture.h"
#include "platform/report.h"
#include "profiles/profile_store.h"
#include "tests/capture/flash_host_support.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

namespace kinolux {
namespace {

namespace fs = std::filesystem;

// A capture that plays `frames` pictures of 64x48, one every 40 ms of its
// own time (handed out `pauseMs` apart), with silence for their sound, then
// its end marker. `onFrame` is called on the encoding thread with the number
// of each frame handed out.
class RecordedCapture : public InteractiveCapture {
public:
    explicit RecordedCapture(int frames, int pauseMs = 0) : frames_(frames), pauseMs_(pauseMs) {}
    void Start(const CaptureRequest& request) override {
        request_ = request;
        WavFileWriter wav;
        wav.Open(request.wavPath);
        wav.WriteSilence(static_cast<uint32_t>(3528 * (frames_ + 1)));
        wav.Close();
        started = true;
    }
    void Next(CapturedFrame& out) override {
        if (stopped || taken_ >= frames_) {
            out = CaptureEndMarker();
            finished = true;
            return;
        }
        if (pauseMs_) std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs_));
        ++taken_;
        if (onFrame) onFrame(taken_);
        out.elapsedMs = 40 * taken_;
        out.frame = taken_;
        out.bitmap = std::make_unique<QImage>(request_.width, request_.height, QImage::Format_RGB32);
        out.bitmap->fill(qRgb(taken_ % 256, 100, 200));
    }
    void Stop() override {
        stopped = true;
        finished = true;
    }
    bool IsFinished() override { return finished; }
    void SetAutoRestart(int, int) override {}

    std::atomic<bool> started{false}, stopped{false}, finished{false};
    std::function<void(int)> onFrame;

private:
    CaptureRequest request_;
    int frames_;
    int pauseMs_;
    int taken_ = 0;
};

class ProgressWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseBuiltProgramFolder();
        ASSERT_TRUE(LoadFlashControlModule());
        window_ = std::make_unique<MovieWindow>(nullptr, 1);
        task_.inputPath = temp_.path() + "/clip.swf";
        task_.outputPath = temp_.path() + "/clip.mp4";
        LoadProfile("H264 mp4 Normal", task_.profile, ProfileFilePath("h264mp4.ini"));
        task_.profile.nVideoRiszeOption = 0;
        task_.profile.nSourceWidth = 64;
        task_.profile.nSourceHeight = 48;
        task_.sourceWidth = 64;
        task_.sourceHeight = 48;
        task_.frameRate = 25;
        task_.totalFrames = 200;
        task_.inFrame = 0;
        task_.outFrame = 199;
    }

    // The command line's way of running: nothing shown, everything printed.
    RunContext Console() {
        RunContext context;
        context.task = &task_;
        context.temporaryFolder = temp_.path() + "/work/";
        context.consoleMode = true;
        return context;
    }
    RunContext OnTheScreen() {
        RunContext context = Console();
        context.consoleMode = false;
        return context;
    }

    // Runs the window with what it prints caught.
    struct Finished {
        RunOutcome outcome;
        std::string printed;
    };
    Finished Run(ProgressWindow& progress) {
        ::testing::internal::CaptureStdout();
        const RunOutcome outcome = progress.Run();
        return {outcome, ::testing::internal::GetCapturedStdout()};
    }

    std::vector<std::string> FilesLeft() {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(temp_.path()))
            if (entry.is_regular_file()) names.push_back(entry.path().filename());
        return names;
    }

    testing::ScopedTempFolder temp_;
    std::unique_ptr<MovieWindow> window_;
    ConversionTask task_;
};

TEST_F(ProgressWindowTest, TwoPassesWriteTheOutputAndRemoveEveryTemporaryFile) {
    task_.outputMode = kOutputInteractiveTwoPasses;
    RecordedCapture capture(30);
    ProgressWindow progress(Console(), *window_, &capture);
    const auto [outcome, printed] = Run(progress);
    EXPECT_EQ(outcome, RunOutcome::Completed) << printed;
    EXPECT_TRUE(capture.started);
    EXPECT_FALSE(progress.IntermediatePath().empty());
    EXPECT_EQ(FilesLeft(), std::vector<std::string>{"clip.mp4"}) << printed;
    EXPECT_GT(fs::file_size(task_.outputPath), 1000u);
}

TEST_F(ProgressWindowTest, TemporaryFilesInUseByAnotherRunAreLeftAlone) {
    fs::create_directories(temp_.path() + "/work");
    const std::string other = temp_.path() + "/work/clip~temp.wav";
    { std::ofstream(other) << "another run's sound"; }
    task_.outputMode = kOutputInteractiveOnePass;
    RecordedCapture capture(10);
    ProgressWindow progress(Console(), *window_, &capture);
    EXPECT_EQ(Run(progress).outcome, RunOutcome::Completed);
    EXPECT_EQ(progress.WavPath(), temp_.path() + "/work/clip (1)~temp.wav");
    EXPECT_TRUE(fs::exists(other));
    EXPECT_FALSE(fs::exists(progress.WavPath()));
}

TEST_F(ProgressWindowTest, ARangeUnderFiveFramesRunsInOnePass) {
    task_.outputMode = kOutputAuto;
    task_.outFrame = 4;
    RecordedCapture capture(10);
    ProgressWindow progress(Console(), *window_, &capture);
    EXPECT_EQ(Run(progress).outcome, RunOutcome::Completed);
    EXPECT_EQ(progress.OutputMode(), kOutputInteractiveOnePass);
    EXPECT_TRUE(capture.started) << "no player is started for it";
    EXPECT_TRUE(fs::exists(task_.outputPath));
}

TEST_F(ProgressWindowTest, CancelRemovesTheOutputItStartedAndEveryTemporaryFile) {
    task_.outputMode = kOutputInteractiveOnePass;
    RecordedCapture capture(500, 10);
    ProgressWindow progress(Console(), *window_, &capture);
    QTimer::singleShot(600, &progress, [&] { progress.Cancel(); });
    const auto [outcome, printed] = Run(progress);
    EXPECT_EQ(outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(FilesLeft().empty()) << printed;
    EXPECT_NE(printed.find("cancelled"), std::string::npos) << printed;
    EXPECT_TRUE(capture.stopped);
}

TEST_F(ProgressWindowTest, CancelDuringTheSecondEncodingStopsItToo) {
    task_.outputMode = kOutputInteractiveTwoPasses;
    RecordedCapture capture(1500);
    ProgressWindow progress(Console(), *window_, &capture);
    bool cancelledInSecondPass = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (progress.Conversion() && progress.Conversion()->Flags().secondPass && !cancelledInSecondPass) {
            cancelledInSecondPass = true;
            progress.Cancel();
        }
    });
    watch.start(1);
    const auto [outcome, printed] = Run(progress);
    ASSERT_TRUE(cancelledInSecondPass) << printed;
    EXPECT_EQ(outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(FilesLeft().empty()) << printed;
}

TEST_F(ProgressWindowTest, AskingToCloseBeforeTheEndIsRefusedAndTheRunGoesOn) {
    task_.outputMode = kOutputInteractiveOnePass;
    RecordedCapture capture(60);
    ProgressWindow progress(Console(), *window_, &capture);
    // Asked while frames are still being handed out: the request reaches the
    // window before the encoding thread can report its end.
    capture.onFrame = [&](int frame) {
        if (frame == 10) QMetaObject::invokeMethod(&progress, [&] { progress.close(); }, Qt::QueuedConnection);
    };
    const auto [outcome, printed] = Run(progress);
    EXPECT_NE(printed.find("Please click 'Cannel' button.\n"), std::string::npos) << printed;
    EXPECT_EQ(outcome, RunOutcome::Completed);
    EXPECT_TRUE(fs::exists(task_.outputPath));
}

TEST_F(ProgressWindowTest, ConsolePercentagesAreWrittenOncePerValue) {
    task_.outputMode = kOutputInteractiveOnePass;
    task_.outFrame = 9;  // 60 frames over a range of 10: the same values repeat
    RecordedCapture capture(60);
    ProgressWindow progress(Console(), *window_, &capture);
    const std::string printed = Run(progress).printed;
    size_t count = 0;
    for (size_t at = printed.find("100% completed\n"); at != std::string::npos;
         at = printed.find("100% completed\n", at + 1))
        ++count;
    EXPECT_EQ(count, 1u) << printed;
    EXPECT_NE(printed.find("11% completed\n"), std::string::npos) << printed;
}

TEST_F(ProgressWindowTest, CancelBeforeTheEncodingStartsIsACancelNotAFailure) {
    task_.outputMode = kOutputInteractiveOnePass;
    RecordedCapture capture(50);
    ProgressWindow progress(Console(), *window_, &capture);
    QTimer::singleShot(0, &progress, [&] { progress.Cancel(); });
    const auto [outcome, printed] = Run(progress);
    EXPECT_EQ(outcome, RunOutcome::Cancelled) << printed;
    EXPECT_TRUE(FilesLeft().empty()) << printed;
}

TEST_F(ProgressWindowTest, JpegPicturesOfACancelledRunAreRemovedWithTheirFolder) {
    ReadProfile("JPEG images Normal", task_.profile, ProfileFilePath("jpegimg.ini"));
    task_.profile.nVideoRiszeOption = 0;
    task_.profile.nSourceWidth = 64;
    task_.profile.nSourceHeight = 48;
    task_.outputPath = temp_.path() + "/shots.jpg";
    task_.outputMode = kOutputInteractiveOnePass;
    {
        RecordedCapture capture(10);
        ProgressWindow progress(Console(), *window_, &capture);
        EXPECT_EQ(Run(progress).outcome, RunOutcome::Completed);
        EXPECT_TRUE(fs::exists(temp_.path() + "/shots/ren0001.jpg"));
    }
    fs::remove_all(temp_.path() + "/shots");
    RecordedCapture capture(500, 10);
    ProgressWindow progress(Console(), *window_, &capture);
    QTimer::singleShot(600, &progress, [&] { progress.Cancel(); });
    EXPECT_EQ(Run(progress).outcome, RunOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(temp_.path() + "/shots"));
}

TEST_F(ProgressWindowTest, OnTheScreenTheTitleCarriesThePercentageAndNothingIsPrinted) {
    task_.outputMode = kOutputInteractiveOnePass;
    task_.outFrame = 99;
    RecordedCapture capture(30);
    ProgressWindow progress(OnTheScreen(), *window_, &capture);
    const auto [outcome, printed] = Run(progress);
    EXPECT_EQ(outcome, RunOutcome::Completed);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(progress.windowTitle(), "30% completed");
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(ProgressWindowTest, OnTheScreenTheBarFollowsTheRunAndTheStatusNamesBothFiles) {
    task_.outputMode = kOutputInteractiveOnePass;
    task_.outFrame = 99;
    RecordedCapture capture(30);
    ProgressWindow progress(OnTheScreen(), *window_, &capture);
    auto* bar = progress.findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    std::vector<int> shown;
    QObject::connect(bar, &QProgressBar::valueChanged, [&](int value) { shown.push_back(value); });
    EXPECT_EQ(progress.Run(), RunOutcome::Completed);

    ASSERT_GE(shown.size(), 3u);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_EQ(shown.back(), 30);
    QLabel* status = nullptr;
    for (QLabel* label : progress.findChildren<QLabel*>())
        if (label->property("itemId").toInt() == 1311) status = label;
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->isHidden());
    EXPECT_TRUE(progress.findChild<PreviewPicture*>()->isHidden());
    // Long paths may break after a folder; the text is the same without the breaks.
    EXPECT_TRUE(status->text().remove(QChar(0x200B)).startsWith(
        QString::fromStdString("Converting\n" + task_.inputPath + "\nto\n")));
    auto* cancel = progress.findChild<QPushButton*>();
    EXPECT_EQ(cancel->text(), "Cancel");
    EXPECT_EQ(cancel->toolTip(), "Cancel converting...");
}

TEST_F(ProgressWindowTest, WithoutATaskTheRunSaysErrorAndEnds) {
    RunContext context = Console();
    context.task = nullptr;
    RecordedCapture capture(1);
    ProgressWindow progress(context, *window_, &capture);
    const auto [outcome, printed] = Run(progress);
    EXPECT_EQ(outcome, RunOutcome::Failed);
    EXPECT_EQ(printed, "Error!\n");
}

// Message boxes as the window program shows them, each closed as soon as it
// is up; records where and what each one was.
class ClosingBoxes : public MessagePresenter {
public:
    ClosingBoxes() { SetMessagePresenter(this); }
    ~ClosingBoxes() override { SetMessagePresenter(nullptr); }
    void Show(std::string_view text, bool) override {
        onGuiThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        texts.emplace_back(text);
        QMessageBox box(QMessageBox::NoIcon, "Kinolux", QString::fromUtf8(text.data(), text.size()), QMessageBox::Ok);
        QTimer::singleShot(0, &box, &QMessageBox::accept);
        box.exec();
    }
    bool AskYesNo(std::string_view) override { return false; }

    std::vector<bool> onGuiThread;
    std::vector<std::string> texts;
};

TEST_F(ProgressWindowTest, AnEncoderErrorOnTheEncodingThreadIsShownOnceOnTheGuiThread) {
    task_.outputMode = kOutputInteractiveOnePass;
    task_.outputPath = temp_.path() + "/missing/clip.mp4";  // the encoder cannot open it
    RecordedCapture capture(30);
    ClosingBoxes boxes;
    ProgressWindow progress(OnTheScreen(), *window_, &capture);
    EXPECT_EQ(progress.Run(), RunOutcome::Failed);
    ASSERT_EQ(boxes.texts.size(), 1u) << ::testing::PrintToString(boxes.texts);
    EXPECT_TRUE(boxes.onGuiThread[0]);
    EXPECT_FALSE(boxes.texts[0].empty());
    EXPECT_FALSE(fs::exists(task_.outputPath));
}

}  // namespace
}  // namespace kinolux
