#include "conversion_window/progress_window.h"

#include "conversion_window/preview_picture.h"
#include "platform/integer_format.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kinolux {

namespace {

constexpr const char* kSection = "RENDER_DLG";

// The one place where the shell's current task, settings and console mode
// become a run's context.
RunContext CurrentRunContext() {
    RunContext context;
    context.task = CurrentTask();
    context.temporaryFolder = CurrentAppSettings().convertDir;
    context.consoleMode = ConsoleMode() != 0;
    return context;
}

const std::string kNoPath;

}  // namespace

ProgressWindow::ProgressWindow(MovieWindow& movieWindow, InteractiveCapture* interactive, QWidget* parent)
    : ProgressWindow(RunContext{}, movieWindow, interactive, parent) {
    context_.reset();
    SetConsoleMode(0);
}

ProgressWindow::ProgressWindow(RunContext context, MovieWindow& movieWindow, InteractiveCapture* interactive,
                               QWidget* parent)
    : QDialog(parent), frames_(movieWindow), interactive_(interactive), context_(std::move(context)) {
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
}

ProgressWindow::~ProgressWindow() = default;

RunOutcome ProgressWindow::Run() {
    RunContext context = context_ ? *context_ : CurrentRunContext();
    console_ = context.consoleMode;
    titleFormat_ = Text(kSection, "strTitleInfo2");
    run_ = std::make_unique<ConversionRun>(std::move(context), frames_, interactive_,
                                           static_cast<ConversionRunObserver&>(*this), &bluRay_);
    const RunOutcome outcome = run_->Run();
    hide();
    return outcome;
}

void ProgressWindow::Cancel() {
    if (run_) run_->Cancel();
}

const std::string& ProgressWindow::WavPath() const { return run_ ? run_->WavPath() : kNoPath; }
const std::string& ProgressWindow::SyncPath() const { return run_ ? run_->SyncPath() : kNoPath; }
const std::string& ProgressWindow::IntermediatePath() const { return run_ ? run_->IntermediatePath() : kNoPath; }

// Closing from outside is the run's own close: refused until the run is done.
void ProgressWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (run_) run_->RequestClose();
}

void ProgressWindow::reject() { Cancel(); }

void ProgressWindow::RunOpened(bool interactive, bool alphaNote) {
    preview_->setVisible(!interactive);
    status_->setVisible(interactive);
    note_->setVisible(alphaNote);
    if (alphaNote) note_->setText(QString::fromStdString(Text(kSection, "strImageNoteInfo")));
    progressBar_->setRange(0, 100);
    if (!console_) {
        setModal(true);
        show();
    }
}

void ProgressWindow::RunPercent(int percent) {
    if (console_) WriteConsoleLine(std::to_string(percent) + "% completed");
    setWindowTitle(QString::fromStdString(FormatIntegers(titleFormat_, {percent})));
    progressBar_->setValue(percent);
}

void ProgressWindow::RunBar(int value) { progressBar_->setValue(value); }

void ProgressWindow::RunStatus(const std::string& text) { status_->setText(QString::fromStdString(text)); }

void ProgressWindow::RunPreview(const CxImage& image) {
    if (!console_ && !preview_->isHidden()) preview_->Show(image);
}

void ProgressWindow::RunMessage(const std::string& text) {
    if (console_)
        WriteConsoleLine(text);
    else
        ReportMessage(text);
}

void ProgressWindow::RunWaiting(bool waiting) {
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace kinolux
