#include "engine/conversion_run.h"

#include "capture/call_interceptor.h"
#include "engine/argument_builder.h"
#include "engine/blu_ray_step.h"
#include "engine/encoder_callbacks.h"
#include "engine/frame_supply_range.h"
#include "engine/interactive_capture.h"
#include "engine/monotonic_ms.h"
#include "engine/run_encoder.h"
#include "engine/stream_description.h"
#include "platform/integer_format.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "profiles/codec_frame_sizes.h"
#include "profiles/language_manager.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <unistd.h>

namespace kinolux {

namespace {

constexpr const char* kSection = "RENDER_DLG";
constexpr int kStartDelayMs = 200;
constexpr int kStillImageIntervalMs = 10;
constexpr int kStatusIntervalMs = 500;
constexpr int kCloseRetryMs = 50;

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

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
    return text;
}

}  // namespace

ConversionRun::ConversionRun(RunContext context, FrameSource& frames, InteractiveCapture* interactive,
                             ConversionRunObserver& observer, BluRayStep* bluRay)
    : context_(std::move(context)),
      frames_(frames),
      interactive_(interactive),
      observer_(observer),
      bluRay_(bluRay) {
    for (int id : {kAutoStartTimer, kInteractiveStartTimer, kStillImageTimer, kTwoPassStartTimer}) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
        timers_[id] = timer;
    }
}

ConversionRun::~ConversionRun() {
    if (!closed_) CleanUp();
}

void ConversionRun::SetTimer(int id, int ms) { timers_[id]->start(ms); }

void ConversionRun::KillTimer(int id) { timers_[id]->stop(); }

RunOutcome ConversionRun::Run() {
    if (Open()) {
        if (!closed_) loop_.exec();
    } else {
        done_ = 1;
        HandleClose();
    }
    if (!failure_.empty()) return RunOutcome::Failed;
    if (cancelled_) return RunOutcome::Cancelled;
    return RunOutcome::Completed;
}

bool ConversionRun::Open() {
    convertingFormat_ = Text(kSection, "strConvertingInfo");
    imageConvertingFormat_ = Text(kSection, "strImageConvertingInfo");
    flags_.stop = 0;
    flags_.secondPass = 0;

    task_ = context_.task;
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

    // A codec of a few sizes refuses the others only once the movie has been
    // played; said now instead.
    const std::string sizeProblem = TakesOnlyFixedSizes(task_->profile)
                                        ? CodecFrameSizeProblem(task_->profile, EncodedFrameSize(task_->profile))
                                        : std::string();
    if (!sizeProblem.empty()) {
        Fail("The profile \"" + task_->profile.ProfileName + "\" cannot convert " + inputPath_ + ": " + sizeProblem);
        return false;
    }

    frames_.SetBackgroundColorRef(task_->backgroundColor);

    std::string folder = context_.temporaryFolder;
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
        DebugOutput("The conversion cannot be reached by the player: " + busError);

    // The viewer learns of the run once its capture or player is under way,
    // so the progress window comes up over the movie window.
    if (mode_ != kOutputAuto) {
        if (!StartInteractiveCapture()) return false;
        observer_.RunOpened(true, task_->alphaFlag == 1);
        SetTimer(mode_ == kOutputInteractiveOnePass ? kInteractiveStartTimer : kTwoPassStartTimer, kStartDelayMs);
        return true;
    }
    if (context_.fast) {
        MakeSupply("", "");
        supply_->SetFast(true);
        observer_.RunOpened(false, false);
        SetTimer(kAutoStartTimer, 0);
        return true;
    }
    syncPath_ = folder + base + "~temp.sync";
    MakeSupply(syncPath_, wavPath_);
    if (!StartPlayer()) return false;
    observer_.RunOpened(false, false);
    SetTimer(kAutoStartTimer, kStartDelayMs);
    return true;
}

void ConversionRun::MakeSupply(const std::string& syncPath, const std::string& wavPath) {
    supply_ = std::make_unique<FrameSupply>(*task_, description_, &frames_, static_cast<FrameSupplyHost&>(*this),
                                            flags_, syncPath, wavPath);
}

bool ConversionRun::StartPlayer() {
    PlayerParameters parameters;
    parameters.inputPath = inputPath_;
    parameters.wavPath = wavPath_;
    parameters.syncPath = syncPath_;
    parameters.frameRate = frameRate_;
    parameters.fromFrame = inFrame_;
    parameters.toFrame = outFrame_;
    parameters.totalFrames = totalFrames_;
    observer_.RunWaiting(true);
    std::string error;
    const bool started = player_.Start(GetProgramFolder() + "/kinoluxplayer", PlayerParameterText(parameters),
                                       bus_.Handle(), error);
    observer_.RunWaiting(false);
    if (!started) Fail(error);
    return started;
}

void ConversionRun::OnTimer(int id) {
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
        SetTimer(kStillImageTimer, context_.fast ? 0 : kStillImageIntervalMs);
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

void ConversionRun::RunFrameEncoding() {
    BuiltEncoding built = BuildFrameEncoding(*task_);
    if (!built.ok()) {
        Fail(built.error);
        Finish();
        return;
    }
    CS_SetFrameInfoCallBack(&FrameCallback);
    JudgeEncoding(EncodeHere(built.arguments, &EncodeProgress), outputPath_);
    if (failure_.empty() && !context_.fast && PlayerDiedEarly())
        Fail("The sound player ended before its end of " + inputPath_ + "; the conversion is incomplete.");
    Finish();
}

void ConversionRun::JudgeEncoding(int result, const std::string& output) {
    if (supply_ && !supply_->Failure().empty()) {
        Fail(supply_->Failure());
    } else if (result == 1 && !cancelled_) {
        const std::string why = "The encoder could not write " + output + ".";
        // The encoder has told the user why already: once is enough.
        if (encoderSaidError_ && failure_.empty())
            failure_ = why;
        else
            Fail(why);
    }
}

// A player that ends without saying "Audio Closed" has not recorded the
// whole movie.
bool ConversionRun::PlayerDiedEarly() {
    PumpMessages();
    return !cancelled_ && !playerFinished_ && player_.HasEnded();
}

void ConversionRun::RunSecondPass() {
    flags_.secondPass = 1;
    observer_.RunBar(0);
    // The final encoding says so at its first report, however soon after
    // the first pass's last one it comes; a short one would otherwise run
    // to its end unseen, with no chance to take a Cancel.
    lastStatusMs_ = -1;
    BuiltEncoding built = BuildFinalEncoding(*task_, intermediatePath_);
    if (!built.ok()) {
        Fail(built.error);
    } else {
        const int result = EncodeHere(built.arguments, &FileEncodeProgress);
        if (result == 1 && !cancelled_) JudgeEncoding(result, outputPath_);
    }
    Finish();
}

int ConversionRun::EncodeHere(EncoderArguments& arguments, CS_ProgressCallback progress) {
    ActiveRunScope active(*this);
    encoding_ = 1;
    const int result = RunEncoder(arguments, progress);
    encoding_ = 0;
    return result;
}

void ConversionRun::StillImageTick() {
    if (tickBusy_) return;
    tickBusy_ = 1;
    const bool automatic = mode_ == kOutputAuto;
    const int32_t c = frames_.CurrentFrame();
    const bool goOn = !flags_.stop &&
                      (automatic ? FrameLeftInRange(c, lastMovieFrame_, imagesWritten_, outFrame_) : !IsCaptureOver());
    if (!goOn) {
        flags_.stop = 1;
        KillTimer(kStillImageTimer);
        tickBusy_ = 0;
        Finish();
        return;
    }
    lastMovieFrame_ = c;
    CxImage image;
    // Interactive capture grabs no second background: the user sees it.
    const bool alpha = automatic && task_->alphaFlag == 1;
    if (!GrabStillImage(frames_, description_.frameWidth, description_.frameHeight, alpha, image) ||
        !WriteStillImage(image)) {
        if (failure_.empty()) Fail("The movie's picture could not be grabbed.");
        flags_.stop = 1;
    } else if (automatic && context_.fast) {
        supply_->StepFast();
    } else if (automatic) {
        supply_->ReadNextSyncRecord();
        if (!supply_->SyncList().empty()) supply_->StepToPlayer(imagesWritten_);
    }
    ShowProgress(lastMovieFrame_);
    tickBusy_ = 0;
}

bool ConversionRun::WriteStillImage(CxImage& image) {
    const int64_t n = ++imagesWritten_;
    ShowPreview(image);
    if (!images_->Save(image, n)) {
        Fail(images_->Error());
        return false;
    }
    SetStatus(FormatIntegers(FillText(imageConvertingFormat_, {inputPath_, outputPath_}), {n}));
    return true;
}

void ConversionRun::Finish() {
    done_ = 1;
    PostClose();
}

void ConversionRun::PostClose() {
    QMetaObject::invokeMethod(this, [this] { HandleClose(); }, Qt::QueuedConnection);
}

void ConversionRun::RequestClose() { HandleClose(); }

void ConversionRun::Cancel() {
    cancelled_ = 1;
    if (flags_.stop) {
        DebugOutput("WM_CLOSE BTNSTOP");
        if (playerFinished_) Finish();
        playerFinished_ = 1;
        DebugOutput("m_bAudioEnded = TRUE;");
        userStop_ = 1;
        DebugOutput("g_bCancelled = TRUE;");
    }
    flags_.stop = 1;
    flags_.secondPass = 0;
}

void ConversionRun::HandleClose() {
    if (closed_) return;
    if (done_ != 1) {
        ReportMessage("Please click 'Cannel' button.");
        return;
    }
    // The encoder may still hold this run's buffers: the clean-up waits until
    // it has returned.
    if (encoding_ || (worker_ && worker_->isRunning())) {
        flags_.stop = 1;
        QTimer::singleShot(kCloseRetryMs, this, [this] { HandleClose(); });
        return;
    }
    CleanUp();
    loop_.quit();
}

void ConversionRun::CleanUp() {
    closed_ = 1;
    for (auto& [id, timer] : timers_) timer->stop();
    tickBusy_ = 0;
    flags_.secondPass = 0;
    StopInteractiveCapture();
    // A fast capture's device must be let go before the movie is dropped.
    if (supply_) supply_->EndFastCapture();
    frames_.Unload();
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
    workerScope_.reset();
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
    MakeBluRayFolder();
}

void ConversionRun::MakeBluRayFolder() {
    const std::string extension = UpperCase(ExtensionOf(outputPath_));
    if (!bluRay_ || FileNameOf(WithoutExtension(task_->profile.ProfileFile)) != "avchd" ||
        (extension != "TS" && extension != "M2TS"))
        return;
    bluRay_->Make(
        outputPath_,
        [this](int percent, const std::string& text) {
            observer_.RunBar(percent);
            SetStatus(text);
            QCoreApplication::processEvents();
        },
        [this] { return cancelled_ != 0; });
}

void ConversionRun::Fail(const std::string& why) {
    if (!failure_.empty()) return;
    failure_ = why;
    ReportMessage(why);
}

int64_t ConversionRun::HandleBusMessage(const BusMessage& message) {
    if (message.message == WM_COPYDATA && message.wParam == player_.Window() && message.wParam != 0 &&
        message.data.compare(0, 12, "Audio Closed") == 0)
        playerFinished_ = 1;
    return 1;
}

void ConversionRun::Notify(std::function<void()> notify) {
    if (thread() == QThread::currentThread())
        notify();
    else
        QMetaObject::invokeMethod(this, std::move(notify), Qt::QueuedConnection);
}

void ConversionRun::ShowProgress(int64_t movieFrame) {
    std::optional<int> percent;
    {
        std::lock_guard<std::mutex> lock(percentLock_);
        percent = percent_.Next(ProgressPercent(movieFrame, inFrame_, outFrame_));
    }
    if (!percent) return;
    const int p = *percent;
    Notify([this, p] { observer_.RunPercent(p); });
}

void ConversionRun::PumpMessages() { QCoreApplication::processEvents(); }

void ConversionRun::ShowPreview(const CxImage& image) {
    if (thread() == QThread::currentThread())
        observer_.RunPreview(image);
    else
        Notify([this, copy = image] { observer_.RunPreview(copy); });
}

bool ConversionRun::IsCaptureOver() {
    if (userStop_) return true;
    if (mode_ == kOutputAuto) return !context_.fast && (playerFinished_ || player_.HasEnded());
    return !interactive_ || interactive_->IsFinished();
}

void ConversionRun::ReportMessage(const std::string& text) {
    Notify([this, text] { observer_.RunMessage(text); });
}

void ConversionRun::SetStatus(const std::string& text) {
    Notify([this, text] { observer_.RunStatus(text); });
}

int ConversionRun::DeliverFrame(int request, FrameInfo* record) {
    return supply_ ? supply_->Deliver(request, record) : -1;
}

int ConversionRun::OnEncodeProgress(const char* text, double value, bool finalEncoding) {
    const std::string message = text ? text : "";
    if (value > -2 && value < 0) {
        encoderSaidError_ = true;
        ReportMessage(message);
    }
    const int64_t now = MonotonicMs();
    if (value > -0.0001 && (lastStatusMs_ < 0 || now - lastStatusMs_ >= kStatusIntervalMs)) {
        lastStatusMs_ = now;
        SetStatus(FillText(convertingFormat_, {inputPath_, outputPath_, message}));
        if (finalEncoding) ShowProgress(static_cast<int64_t>(frameRate_ * value));
        PumpMessages();
    }
    if (finalEncoding) return flags_.stop && !flags_.secondPass ? -1 : 0;
    if (mode_ != kOutputAuto && IsCaptureOver()) {
        flags_.stop = 1;
        return -1;
    }
    return flags_.stop ? -1 : 0;
}

}  // namespace kinolux
