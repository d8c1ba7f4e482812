#include "engine/progress_window.h"

#include "capture/call_interceptor.h"
#include "capture/movie_window.h"
#include "engine/argument_builder.h"
#include "engine/interactive_capture.h"
#include "engine/monotonic_ms.h"
#include "engine/preview_picture.h"
#include "engine/run_encoder.h"
#include "engine/run_flags.h"
#include "engine/stream_description.h"
#include "platform/integer_format.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "shell/blu_ray_folder.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace kinolux {

namespace {

constexpr const char* kSection = "RENDER_DLG";
constexpr int kStartDelayMs = 200;
constexpr int kStillImageIntervalMs = 10;
constexpr int kStatusIntervalMs = 500;

ProgressWindow* currentWindow = nullptr;

// A language text's "%s" place holders filled in order, and then its whole
// numbers; the text itself never reaches printf.
std::string FillText(std::string format, std::initializer_list<std::string> texts) {
    size_t at = 0;
    for (const std::string& text : texts) {
        at = format.find("%s", at);
        if (at == std::string::npos) break;
        format.replace(at, 2, text);
        at += text.size();
    }
    return format;
}

// The movie's name, or with " (n)" when another conversion of a movie of
// that name uses the temporary files right now: its player would otherwise
// replace them under it.
std::string TemporaryBase(const std::string& folder, const std::string& name) {
    std::string base = name;
    for (int n = 1; PathExists(folder + base + "~temp.wav") || PathExists(folder + base + "~temp.sync"); ++n)
        base = name + " (" + std::to_string(n) + ")";
    return base;
}

bool IsOnThisThread(const QObject& object) { return object.thread() == QThread::currentThread(); }

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

}  // namespace

ProgressWindow::ProgressWindow(MovieWindow& movieWindow, InteractiveCapture* interactive, QWidget* parent)
    : QDialog(parent), movieWindow_(movieWindow), interactive_(interactive) {
    SetConsoleMode(0);
    setWindowTitle(QString::fromStdString(Text(kSection, "strTitleInfo")));
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    preview_ = new PreviewPicture(this);
    preview_->setMinimumSize(320, 200);
    status_ = new QLabel(this);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    progressBar_ = new QProgressBar(this);
    progressBar_->setRange(0, 100);
    cancelButton_ = new QPushButton(QString::fromStdString(Text(kSection, "btnCancelInfo")), this);
    cancelButton_->setToolTip(QString::fromStdString(Text(kSection, "btnCancelTooltip")));
    layout->addWidget(preview_);
    layout->addWidget(status_);
    layout->addWidget(note_);
    layout->addWidget(progressBar_);
    layout->addWidget(cancelButton_, 0, Qt::AlignHCenter);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { Cancel(); });
    for (int id : {kAutoStartTimer, kInteractiveStartTimer, kStillImageTimer, kTwoPassStartTimer}) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
        timers_[id] = timer;
    }
}

ProgressWindow::~ProgressWindow() {
    if (!closed_) CleanUp();
    if (currentWindow == this) currentWindow = nullptr;
}

void ProgressWindow::SetTimer(int id, int ms) {
    timers_[id]->start(ms);
}

void ProgressWindow::KillTimer(int id) { timers_[id]->stop(); }

RunOutcome ProgressWindow::Run() {
    if (Open()) {
        if (!ConsoleMode()) {
            setModal(true);
            show();
        }
        if (!closed_) loop_.exec();
    } else {
        done_ = 1;
        HandleClose();
    }
    hide();
    if (!failure_.empty()) return RunOutcome::Failed;
    if (cancelled_) return RunOutcome::Cancelled;
    return RunOutcome::Completed;
}

bool ProgressWindow::Open() {
    titleFormat_ = Text(kSection, "strTitleInfo2");
    convertingFormat_ = Text(kSection, "strConvertingInfo");
    imageConvertingFormat_ = Text(kSection, "strImageConvertingInfo");
    RunFlags& flags = CurrentRunFlags();
    flags.stop = 0;
    flags.secondPass = 0;

    task_ = CurrentTask();
    if (!task_) {
        Fail("Error!");
        return false;
    }
    frameRate_ = task_->frameRate;
    inFrame_ = static_cast<int32_t>(task_->inFrame);
    outFrame_ = static_cast<int32_t>(task_->outFrame);
    totalFrames_ = task_->totalFrames;
    inputPath_ = task_->inputPath;
    outputPath_ = task_->outputPath;
    outputExisted_ = PathExists(outputPath_);
    // A "jpg" profile has the encoder write numbered pictures into a folder.
    if (task_->profile.TargetType == "jpg") {
        encoderSequenceFolder_ = ImageSequenceFolder(outputPath_);
        encoderSequenceFolderExisted_ = PathExists(encoderSequenceFolder_);
    }

    bool bothDisabled = false;
    streamKind_ = StreamKindOf(task_->profile, bothDisabled);
    if (bothDisabled) ReportMessage("Input setting error!");
    description_ = MakeStreamDescription(*task_, streamKind_);
    if (frameRate_ < 0.1f || description_.frameWidth <= 0 || description_.frameHeight <= 0) {
        Fail("The movie " + inputPath_ + " or its profile gives no usable frame size or frame rate.");
        return false;
    }

    currentWindow = this;
    movieWindow_.SetBackgroundColorRef(task_->backgroundColor);

    std::string folder = CurrentAppSettings().convertDir;
    if (folder.empty()) folder = GetProgramFolder(true) + "output/";
    MakeFoldersUpToLastSlash(folder);
    const std::string base = TemporaryBase(folder, FileNameOf(WithoutExtension(inputPath_)));
    wavPath_ = folder + base + "~temp.wav";

    if (task_->outFrame - task_->inFrame < 5) task_->outputMode = kOutputInteractiveOnePass;
    // Two passes of still images would have nothing to encode twice: they
    // run as one pass.
    if (task_->outputMode == kOutputInteractiveTwoPasses && streamKind_ == kStreamNone)
        task_->outputMode = kOutputInteractiveOnePass;
    mode_ = task_->outputMode;
    if (streamKind_ == kStreamNone)
        images_ = std::make_unique<StillImageSequence>(outputPath_, task_->profile.TargetType);
    if (mode_ == kOutputInteractiveTwoPasses)
        intermediatePath_ = kinolux::IntermediatePath(outputPath_, IntermediateProfile(task_->profile));

    std::string busError;
    if (!bus_.Register(Text(kSection, "strTitleInfo"), [this](const BusMessage& m) { return HandleBusMessage(m); },
                       busError))
        DebugOutput("The progress window cannot be reached by the player: " + busError);

    const bool interactive = mode_ != kOutputAuto;
    preview_->setVisible(!interactive);
    status_->setVisible(interactive);
    note_->setVisible(interactive && task_->alphaFlag == 1);
    if (interactive && task_->alphaFlag == 1) note_->setText(QString::fromStdString(Text(kSection, "strImageNoteInfo")));
    progressBar_->setRange(0, 100);

    if (interactive) {
        if (!StartInteractiveCapture()) return false;
        SetTimer(mode_ == kOutputInteractiveOnePass ? kInteractiveStartTimer : kTwoPassStartTimer, kStartDelayMs);
        return true;
    }
    syncPath_ = folder + base + "~temp.sync";
    supply_ = std::make_unique<FrameSupply>(*task_, description_, &movieWindow_, *this, syncPath_, wavPath_);
    if (!StartPlayer()) return false;
    SetTimer(kAutoStartTimer, kStartDelayMs);
    return true;
}

bool ProgressWindow::StartPlayer() {
    PlayerParameters parameters;
    parameters.inputPath = inputPath_;
    parameters.wavPath = wavPath_;
    parameters.syncPath = syncPath_;
    parameters.frameRate = frameRate_;
    parameters.fromFrame = inFrame_;
    parameters.toFrame = outFrame_;
    parameters.totalFrames = totalFrames_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::string error;
    const bool started = player_.Start(GetProgramFolder() + "/kinoluxplayer", PlayerParameterText(parameters),
                                       bus_.Handle(), error);
    QApplication::restoreOverrideCursor();
    if (!started) Fail(error);
    return started;
}

void ProgressWindow::OnTimer(int id) {
    if (id == kStillImageTimer) {
        StillImageTick();
        return;
    }
    KillTimer(id);
    if (id == kAutoStartTimer) {
        if (streamKind_ > kStreamNone) {
            RunFrameEncoding();
            return;
        }
        supply_->PrepareAutoCapture();
        SetTimer(kStillImageTimer, kStillImageIntervalMs);
        return;
    }
    if (id == kInteractiveStartTimer) {
        if (streamKind_ > kStreamNone)
            StartWorker();
        else
            SetTimer(kStillImageTimer, static_cast<int>(1000.0f / frameRate_));
        return;
    }
    if (id == kTwoPassStartTimer && streamKind_ > kStreamNone) StartWorker();
}

void ProgressWindow::RunFrameEncoding() {
    BuiltEncoding built = BuildFrameEncoding(*task_);
    if (!built.ok()) {
        Fail(built.error);
        Finish();
        return;
    }
    SetCurrentFrameSupply(supply_.get());
    CS_SetFrameInfoCallBack(&FrameCallback);
    encoding_ = 1;
    const int result = RunEncoder(built.arguments, &EncodeProgress);
    encoding_ = 0;
    SetCurrentFrameSupply(nullptr);
    if (!supply_->Failure().empty())
        Fail(supply_->Failure());
    else if (result == 1 && !cancelled_)
        Fail("The encoder could not write " + outputPath_ + ".");
    else if (PlayerDiedEarly())
        Fail("The sound player ended before its end of " + inputPath_ + "; the conversion is incomplete.");
    Finish();
}

// A player that ends without saying "Audio Closed" has not recorded the
// whole movie.
bool ProgressWindow::PlayerDiedEarly() {
    PumpMessages();
    return !cancelled_ && !playerFinished_ && player_.HasEnded();
}

void ProgressWindow::RunSecondPass() {
    CurrentRunFlags().secondPass = 1;
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    BuiltEncoding built = BuildFinalEncoding(*task_, intermediatePath_);
    if (!built.ok()) {
        Fail(built.error);
    } else {
        encoding_ = 1;
        const int result = RunEncoder(built.arguments, &FileEncodeProgress);
        encoding_ = 0;
        if (result == 1 && !cancelled_) Fail("The encoder could not write " + outputPath_ + ".");
    }
    Finish();
}

void ProgressWindow::StillImageTick() {
    if (tickBusy_) return;
    tickBusy_ = 1;
    const bool automatic = mode_ == kOutputAuto;
    const int32_t c = movieWindow_.CurrentFrame();
    const bool goOn = !CurrentRunFlags().stop &&
                      (automatic ? c < outFrame_ && c >= lastMovieFrame_ : !IsCaptureOver());
    if (!goOn) {
        CurrentRunFlags().stop = 1;
        KillTimer(kStillImageTimer);
        tickBusy_ = 0;
        Finish();
        return;
    }
    lastMovieFrame_ = c;
    CxImage image;
    // Interactive capture grabs no second background: the user sees it.
    const bool alpha = automatic && task_->alphaFlag == 1;
    if (!GrabStillImage(movieWindow_, description_.frameWidth, description_.frameHeight, alpha, image) ||
        !WriteStillImage(image)) {
        if (failure_.empty()) Fail("The movie's picture could not be grabbed.");
        CurrentRunFlags().stop = 1;
    } else if (automatic) {
        supply_->ReadNextSyncRecord();
        if (!supply_->SyncList().empty()) supply_->StepToPlayer(imagesWritten_);
    }
    ShowProgress(lastMovieFrame_);
    tickBusy_ = 0;
}

bool ProgressWindow::WriteStillImage(CxImage& image) {
    const int64_t n = ++imagesWritten_;
    if (preview_->isVisible() || ConsoleMode()) ShowPreview(image);
    if (!images_->Save(image, n)) {
        Fail(images_->Error());
        return false;
    }
    SetStatus(FormatIntegers(FillText(imageConvertingFormat_, {inputPath_, outputPath_}), {n}));
    return true;
}

void ProgressWindow::Finish() {
    done_ = 1;
    PostClose();
}

void ProgressWindow::PostClose() {
    QMetaObject::invokeMethod(this, [this] { HandleClose(); }, Qt::QueuedConnection);
}

// Closing from outside is the run's own close: refused until the run is done.
void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    HandleClose();
}

void ProgressWindow::reject() { Cancel(); }

void ProgressWindow::Cancel() {
    cancelled_ = 1;
    RunFlags& flags = CurrentRunFlags();
    if (flags.stop) {
        DebugOutput("WM_CLOSE BTNSTOP");
        if (playerFinished_) Finish();
        playerFinished_ = 1;
        DebugOutput("m_bAudioEnded = TRUE;");
        userStop_ = 1;
        DebugOutput("g_bCancelled = TRUE;");
    }
    flags.stop = 1;
    flags.secondPass = 0;
}

void ProgressWindow::HandleClose() {
    if (closed_) return;
    if (done_ != 1) {
        ReportMessage("Please click 'Cannel' button.");
        return;
    }
    // The encoder may still hold this run's buffers: the clean-up waits until
    // it has returned.
    if (encoding_ || (worker_ && worker_->isRunning())) {
        CurrentRunFlags().stop = 1;
        QTimer::singleShot(50, this, [this] { HandleClose(); });
        return;
    }
    CleanUp();
    loop_.quit();
}

void ProgressWindow::CleanUp() {
    closed_ = 1;
    for (auto& [id, timer] : timers_) timer->stop();
    movieWindow_.hide();
    tickBusy_ = 0;
    CurrentRunFlags().secondPass = 0;
    StopInteractiveCapture();
    movieWindow_.Unload();
    CallInterceptor::Instance().SetMode(kModePassThrough);
    player_.Close();
    if (supply_) {
        supply_->CloseFiles();
        supply_->FreeBuffers();
    }
    if (worker_) {
        worker_->wait();
        delete worker_;
        worker_ = nullptr;
    }
    for (const std::string* path : {&wavPath_, &syncPath_, &intermediatePath_})
        if (!path->empty()) ::unlink(path->c_str());
    bus_.Unregister();

    const bool keepOutput = failure_.empty() && !cancelled_;
    if (!keepOutput) {
        if (images_) images_->Discard();
        if (!encoderSequenceFolder_.empty() && !encoderSequenceFolderExisted_) {
            std::error_code ignored;
            std::filesystem::remove_all(encoderSequenceFolder_, ignored);
        }
        if (!outputExisted_ && !outputPath_.empty() && PathExists(outputPath_)) {
            ::unlink(outputPath_.c_str());
            if (cancelled_ && failure_.empty())
                ReportMessage("The conversion was cancelled; the unfinished " + outputPath_ + " was removed.");
        }
        return;
    }
    const ProfileSettings& profile = task_->profile;
    const std::string extension = UpperCase(ExtensionOf(outputPath_));
    if (FileNameOf(WithoutExtension(profile.ProfileFile)) == "avchd" && (extension == "TS" || extension == "M2TS")) {
        BluRayProgress progress;
        progress.show = [this](int percent, const std::string& text) {
            progressBar_->setValue(percent);
            SetStatus(text);
            QCoreApplication::processEvents();
        };
        progress.cancelled = [this] { return cancelled_ != 0; };
        MakeBluRayFolder(outputPath_, progress);
    }
}

void ProgressWindow::Fail(const std::string& why) {
    if (!failure_.empty()) return;
    failure_ = why;
    ReportMessage(why);
}

int64_t ProgressWindow::HandleBusMessage(const BusMessage& message) {
    if (message.message == WM_COPYDATA && message.wParam == player_.Window() && message.wParam != 0 &&
        message.data.compare(0, 12, "Audio Closed") == 0)
        playerFinished_ = 1;
    return 1;
}

void ProgressWindow::ShowProgress(int64_t movieFrame) {
    const std::optional<int> percent = percent_.Next(ProgressPercent(movieFrame, inFrame_, outFrame_));
    if (!percent) return;
    if (ConsoleMode()) WriteConsoleLine(std::to_string(*percent) + "% completed");
    const int p = *percent;
    auto show = [this, p] {
        setWindowTitle(QString::fromStdString(FormatIntegers(titleFormat_, {p})));
        progressBar_->setValue(p);
    };
    if (IsOnThisThread(*this))
        show();
    else
        QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
}

void ProgressWindow::PumpMessages() {
    QCoreApplication::processEvents();
}

void ProgressWindow::ShowPreview(const CxImage& image) {
    if (!ConsoleMode()) preview_->Show(image);
}

bool ProgressWindow::IsCaptureOver() {
    if (userStop_) return true;
    if (mode_ == kOutputAuto) return playerFinished_ || player_.HasEnded();
    return !interactive_ || interactive_->IsFinished();
}

void ProgressWindow::SetStatus(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (IsOnThisThread(*this))
        status_->setText(shown);
    else
        QMetaObject::invokeMethod(this, [this, shown] { status_->setText(shown); }, Qt::QueuedConnection);
}

int ProgressWindow::EncodeProgress(const char* text, double value) {
    return currentWindow ? currentWindow->OnEncodeProgress(text, value, false) : -1;
}

int ProgressWindow::FileEncodeProgress(const char* text, double value) {
    return currentWindow ? currentWindow->OnEncodeProgress(text, value, true) : -1;
}

int ProgressWindow::OnEncodeProgress(const char* text, double value, bool finalEncoding) {
    const std::string message = text ? text : "";
    if (value > -2 && value < 0) ReportMessage(message);
    RunFlags& flags = CurrentRunFlags();
    const int64_t now = MonotonicMs();
    if (value > -0.0001 && (lastStatusMs_ < 0 || now - lastStatusMs_ >= kStatusIntervalMs)) {
        lastStatusMs_ = now;
        SetStatus(FillText(convertingFormat_, {inputPath_, outputPath_, message}));
        if (finalEncoding) ShowProgress(static_cast<int64_t>(frameRate_ * value));
        PumpMessages();
    }
    if (finalEncoding) return flags.stop && !flags.secondPass ? -1 : 0;
    if (mode_ != kOutputAuto && IsCaptureOver()) {
        flags.stop = 1;
        return -1;
    }
    return flags.stop ? -1 : 0;
}

}  // namespace kinolux
