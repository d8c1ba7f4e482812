// The window that runs one conversion of the current task, from opening to
// closing: it describes the streams, starts the sound player (Auto) or the
// interactive capture, drives the encoder or writes still images itself,
// shows progress, takes Cancel, and on closing removes every temporary file.
// In console mode it is never shown and writes its percentages instead.
//
// A run that is cancelled or fails removes the output it created (the
// encoder finishes a stopped output as if complete), so nothing that looks
// complete is left behind.
#pragma once

#include "engine/frame_supply.h"
#include "engine/player_process.h"
#include "engine/progress_percent.h"
#include "engine/still_image_sequence.h"
#include "platform/window_bus.h"

#include <QDialog>
#include <QEventLoop>
#include <map>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class QThread;
class QTimer;

namespace kinolux {

class InteractiveCapture;
class MovieWindow;
class PreviewPicture;

enum class RunOutcome { Completed, Cancelled, Failed };

class ProgressWindow : public QDialog, public FrameSupplyHost {
public:
    // Timer ids, as the other windows of the program know them.
    static constexpr int kAutoStartTimer = 131;
    static constexpr int kInteractiveStartTimer = 133;
    static constexpr int kStillImageTimer = 135;
    static constexpr int kTwoPassStartTimer = 136;

    // Console mode goes back to 0 here; the command line sets it again.
    // Without an interactive capture, the interactive modes are refused.
    ProgressWindow(MovieWindow& movieWindow, InteractiveCapture* interactive, QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Opens the run for the current task and handles events until the run
    // has closed.
    RunOutcome Run();
    // The Cancel button.
    void Cancel();

    // FrameSupplyHost
    void ShowProgress(int64_t movieFrame) override;
    void PumpMessages() override;
    void ShowPreview(const CxImage& image) override;
    bool IsCaptureOver() override;

    // The temporary files of the run (empty until chosen).
    const std::string& WavPath() const { return wavPath_; }
    const std::string& SyncPath() const { return syncPath_; }
    const std::string& IntermediatePath() const { return intermediatePath_; }
    int32_t OutputMode() const { return mode_; }
    int32_t StreamKind() const { return streamKind_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool Open();
    bool StartPlayer();
    // ---- progress_window_interactive.cpp ----
    bool StartInteractiveCapture();
    void StopInteractiveCapture();
    // The encoding of the interactive modes on a worker thread at the
    // lowest priority; two passes then run the final encoding here.
    void StartWorker();
    // ---- progress_window.cpp ----
    void SetTimer(int id, int ms);
    void KillTimer(int id);
    void OnTimer(int id);
    void RunFrameEncoding();
    bool PlayerDiedEarly();
    void RunSecondPass();
    void StillImageTick();
    bool WriteStillImage(CxImage& image);
    int64_t HandleBusMessage(const BusMessage& message);
    // Ends the run: the done flag and a posted close.
    void Finish();
    void PostClose();
    // The close: refused while the run goes on, else the clean-up.
    void HandleClose();
    void CleanUp();
    void Fail(const std::string& why);
    void SetStatus(const std::string& text);

    static int EncodeProgress(const char* text, double value);
    static int FileEncodeProgress(const char* text, double value);
    int OnEncodeProgress(const char* text, double value, bool finalEncoding);

    MovieWindow& movieWindow_;
    InteractiveCapture* interactive_;
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    PreviewPicture* preview_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* note_ = nullptr;
    std::map<int, QTimer*> timers_;
    QEventLoop loop_;
    BusWindow bus_;

    std::string titleFormat_;
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
    PercentTracker percent_;
    QThread* worker_ = nullptr;

    int64_t imagesWritten_ = 0;
    int32_t lastMovieFrame_ = 0;
    int playerFinished_ = 0;
    int userStop_ = 0;
    int cancelled_ = 0;
    int done_ = 0;
    int tickBusy_ = 0;
    int encoding_ = 0;        // ffmain runs on this thread: closing waits for it
    int closed_ = 0;
    int64_t lastStatusMs_ = -1;
    std::string failure_;
};

}  // namespace kinolux
