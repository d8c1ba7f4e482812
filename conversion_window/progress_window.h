// The window that shows one conversion run: its percentage in the title and
// the bar, the picture of the current frame (Auto) or a status text
// (interactive), the note on alpha output, the Cancel button, and every
// message of the run. In console mode it is never shown and prints the
// percentages and messages instead.
// The run itself (engine/conversion_run.h) needs no window.
#pragma once

#include "conversion_window/blu_ray_folder_step.h"
#include "conversion_window/movie_window_frame_source.h"
#include "engine/conversion_run.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;

namespace kinolux {

class DialogTable;
class InteractiveCapture;
class MovieWindow;
class PreviewPicture;

// The one place where the shell's current task, settings and console mode
// become a run's context.
RunContext CurrentRunContext();

class ProgressWindow : public QDialog, private ConversionRunObserver {
public:
    static constexpr int kAutoStartTimer = ConversionRun::kAutoStartTimer;
    static constexpr int kInteractiveStartTimer = ConversionRun::kInteractiveStartTimer;
    static constexpr int kStillImageTimer = ConversionRun::kStillImageTimer;
    static constexpr int kTwoPassStartTimer = ConversionRun::kTwoPassStartTimer;

    // Runs the current task (SetCurrentTask) with the default output folder
    // and the process's console mode as they are when Run is called.
    // Console mode goes back to 0 here; the command line sets it again.
    // Without an interactive capture, the interactive modes are refused.
    ProgressWindow(MovieWindow& movieWindow, InteractiveCapture* interactive, QWidget* parent = nullptr);
    // Runs the task the context names.
    ProgressWindow(RunContext context, MovieWindow& movieWindow, InteractiveCapture* interactive,
                   QWidget* parent = nullptr);
    ~ProgressWindow() override;

    // Opens the run and handles events until the run has closed.
    RunOutcome Run();
    // The Cancel button.
    void Cancel();

    // The run, once Run has been called.
    const ConversionRun* Conversion() const { return run_.get(); }
    // The temporary files of the run (empty until chosen).
    const std::string& WavPath() const;
    const std::string& SyncPath() const;
    const std::string& IntermediatePath() const;
    int32_t OutputMode() const { return run_ ? run_->OutputMode() : 0; }
    int32_t StreamKind() const { return run_ ? run_->StreamKind() : 0; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    // ConversionRunObserver
    void RunOpened(bool interactive, bool alphaNote) override;
    void RunPercent(int percent) override;
    void RunBar(int value) override;
    void RunStatus(const std::string& text) override;
    void RunPreview(const CxImage& image) override;
    void RunMessage(const std::string& text) override;
    void RunWaiting(bool waiting) override;

    MovieWindowFrameSource frames_;
    InteractiveCapture* interactive_;
    BluRayFolderStep bluRay_;
    std::optional<RunContext> context_;
    std::unique_ptr<ConversionRun> run_;
    bool console_ = false;
    std::string titleFormat_;

    std::unique_ptr<DialogTable> table_;
    QPushButton* cancelButton_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    PreviewPicture* preview_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* note_ = nullptr;
};

}  // namespace kinolux
