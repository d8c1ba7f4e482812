// One conversion of a task from start to clean-up, with no window: it
// describes the streams, starts the sound player (Auto) or the interactive
// capture, drives the encoder or writes still images itself, takes Cancel,
// and at the end removes every temporary file and hands AVCHD outputs to
// the Blu-ray step. What it does is seen through an observer (the progress
// window, a console, a test), always on the thread that runs it.
//
// A run that is cancelled or fails removes the output it created (the
// encoder finishes a stopped output as if complete), so nothing that looks
// complete is left behind.
#pragma once

#include "engine/conversion_run_observer.h"
#include "engine/frame_supply.h"
#include "engine/player_process.h"
#include "engine/progress_percent.h"
#include "engine/run_context.h"
#include "engine/run_flags.h"
#include "engine/still_image_sequence.h"
#include "platform/window_bus.h"

#include <QEventLoop>
#include <QObject>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class QThread;
class QTimer;

namespace kinolux {

class ActiveRunScope;
class BluRayStep;
class EncoderArguments;
class InteractiveCapture;

enum class RunOutcome { Completed, Cancelled, Failed };

class ConversionRun : public QObject, private FrameSupplyHost {
public:
    // Timer ids, as the other windows of the program know them.
    static constexpr int kAutoStartTimer = 131;
    static constexpr int kInteractiveStartTimer = 133;
    static constexpr int kStillImageTimer = 135;
    static constexpr int kTwoPassStartTimer = 136;

    // Without an interactive capture the interactive modes are refused;
    // without a Blu-ray step AVCHD outputs stay as they are.
    ConversionRun(RunContext context, FrameSource& frames, InteractiveCapture* interactive,
                  ConversionRunObserver& observer, BluRayStep* bluRay = nullptr);
    ~ConversionRun() override;

    // Opens the run and handles events until it has closed.
    RunOutcome Run();
    // The Cancel button: the first press stops the run; once stopped, a
    // press marks the player finished, and the next closes.
    void Cancel();
    // Closing from outside: refused, with a message, until the run is done.
    void RequestClose();

    // The temporary files of the run (empty until chosen).
    const std::string& WavPath() const { return wavPath_; }
    const std::string& SyncPath() const { return syncPath_; }
    const std::string& IntermediatePath() const { return intermediatePath_; }
    int32_t OutputMode() const { return mode_; }
    int32_t StreamKind() const { return streamKind_; }
    const RunFlags& Flags() const { return flags_; }
    bool ConsoleMode() const { return context_.consoleMode; }

    // ---- the encoder's callbacks (encoder_callbacks.cpp) ----
    int DeliverFrame(int request, FrameInfo* record);
    int OnEncodeProgress(const char* text, double value, bool finalEncoding);

private:
    bool Open();
    // The supply of frames and sound to the encoder, from the player's sync
    // and WAV files (either empty where the mode has none).
    void MakeSupply(const std::string& syncPath, const std::string& wavPath);
    bool StartPlayer();
    // ---- conversion_run_interactive.cpp ----
    bool StartInteractiveCapture();
    void StopInteractiveCapture();
    // The encoding of the interactive modes on a worker thread at the
    // lowest priority; two passes then run the final encoding here.
    void StartWorker();
    void WorkerDone(int result, const std::string& error, bool twoPasses);
    // ---- conversion_run.cpp ----
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    void OnTimer(int id);
    void RunFrameEncoding();
    // An encoding on the run's thread, the run being the encoder's callbacks'
    // while it lasts; the encoder's result.
    int EncodeHere(EncoderArguments& arguments, CS_ProgressCallback progress);
    bool PlayerDiedEarly();
    void RunSecondPass();
    // After an encoding: the failure it ended with, if any.
    void JudgeEncoding(int result, const std::string& output);
    void StillImageTick();
    bool WriteStillImage(CxImage& image);
    int64_t HandleBusMessage(const BusMessage& message);
    // Ends the run: the done flag and a posted close.
    void Finish();
    void PostClose();
    // The close: refused while the run goes on, else the clean-up.
    void HandleClose();
    void CleanUp();
    void MakeBluRayFolder();
    void Fail(const std::string& why);
    void SetStatus(const std::string& text);
    // Runs `notify` on the run's thread: at once there, else queued to it.
    void Notify(std::function<void()> notify);

    // FrameSupplyHost
    void ShowProgress(int64_t movieFrame) override;
    void PumpMessages() override;
    void ShowPreview(const CxImage& image) override;
    bool IsCaptureOver() override;
    void ReportMessage(const std::string& text) override;

    RunContext context_;
    FrameSource& frames_;
    InteractiveCapture* interactive_;
    ConversionRunObserver& observer_;
    BluRayStep* bluRay_;
    RunFlags flags_;
    std::map<int, QTimer*> timers_;
    QEventLoop loop_;
    BusWindow bus_;

    std::string convertingFormat_;
    std::string imageConvertingFormat_;

    ConversionTask* task_ = nullptr;
    float frameRate_ = 0;
    int32_t inFrame_ = 0;
    int32_t outFrame_ = 0;
    int32_t totalFrames_ = 0;
    int32_t mode_ = 0;
    int32_t streamKind_ = 0;
    FrameInfo description_{};
    std::string inputPath_;
    std::string outputPath_;
    bool outputExisted_ = false;
    std::string encoderSequenceFolder_;  // the folder of numbered pictures the encoder writes, if any
    bool encoderSequenceFolderExisted_ = false;
    std::string wavPath_;
    std::string syncPath_;
    std::string intermediatePath_;

    std::unique_ptr<FrameSupply> supply_;
    std::unique_ptr<StillImageSequence> images_;
    PlayerProcess player_;
    std::mutex percentLock_;  // the percentage is worked out on the encoding thread
    PercentTracker percent_;
    QThread* worker_ = nullptr;
    // Held while the worker thread encodes: its callbacks reach this run.
    std::unique_ptr<ActiveRunScope> workerScope_;

    int64_t imagesWritten_ = 0;
    int32_t lastMovieFrame_ = 0;
    // Read by the encoding thread, written here.
    std::atomic<int> playerFinished_{0};
    std::atomic<int> userStop_{0};
    std::atomic<int> cancelled_{0};
    int done_ = 0;
    int tickBusy_ = 0;
    int encoding_ = 0;  // ffmain runs on this thread: closing waits for it
    int closed_ = 0;
    // The encoding thread's own: when the status text last changed, and
    // whether the encoder has told the user of an error already.
    int64_t lastStatusMs_ = -1;
    std::atomic<bool> encoderSaidError_{false};
    std::string failure_;
};

}  // namespace kinolux
