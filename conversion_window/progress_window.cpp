#include "conversion_window/progress_window.h"

#include "capture/dialog_units.h"
#include "conversion_window/preview_picture.h"
#include "platform/integer_format.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/dialog_table.h"
#include "profiles/language_manager.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <array>

namespace kinolux {

namespace {

constexpr const char* kSection = "RENDER_DLG";

enum ControlId { kCancel = 1310, kBar = 1097, kStatus = 1311, kNote = 1316 };

// The status text of the interactive modes takes the place of the picture
// of Auto, which also has the room of the note (only the interactive modes
// have one).
constexpr QRect kPictureUnits(7, 7, 214, 143);
constexpr QRect kStatusUnits(7, 7, 214, 122);
constexpr QRect kWindowUnits(0, 0, 228, 174);
constexpr std::array<DialogControl, 4> kRows{{
    {kStatus, ControlKind::Static, nullptr, nullptr, kStatusUnits},
    {kNote, ControlKind::Static, nullptr, nullptr, {7, 132, 214, 18}},
    {kBar, ControlKind::ProgressBar, "strTitleInfo", nullptr, {7, 155, 156, 12}},
    {kCancel, ControlKind::Button, "btnCancelInfo", "btnCancelTooltip", {171, 153, 50, 16}},
}};

const std::string kNoPath;

}  // namespace

RunContext CurrentRunContext() {
    RunContext context;
    context.task = CurrentTask();
    context.temporaryFolder = CurrentAppSettings().convertDir;
    context.consoleMode = ConsoleMode() != 0;
    context.fast = CurrentAppSettings().fastConversion != 0;
    return context;
}

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
    setFixedSize(DialogUnitsToPixels(*this, kWindowUnits).size());
    preview_ = new PreviewPicture(this);
    preview_->setGeometry(DialogUnitsToPixels(*this, kPictureUnits));
    table_ = std::make_unique<DialogTable>(*this, kSection, kRows);
    status_ = table_->Get<QLabel>(kStatus);
    note_ = table_->Get<QLabel>(kNote);
    progressBar_ = table_->Get<QProgressBar>(kBar);
    cancelButton_ = table_->Get<QPushButton>(kCancel);
    // Paths come from the user's files: shown as they are, never as markup.
    for (QLabel* label : {status_, note_}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    status_->hide();
    note_->hide();
    cancelButton_->setDefault(true);
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
    progressBar_->setValue(0);
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

void ProgressWindow::RunStatus(const std::string& text) {
    // A long path has no blanks to wrap at: it may break after any folder
    // rather than run out of the window.
    QString shown = QString::fromStdString(text);
    shown.replace(u'/', QStringLiteral("/\u200B"));
    status_->setText(shown);
}

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
