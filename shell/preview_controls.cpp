#include "shell/preview_controls.h"

#include "capture/call_interceptor.h"
#include "capture/dialog_units.h"
#include "capture/image_settings_dialog.h"
#include "capture/movie_window.h"
#include "capture/shockwave_flash.h"
#include "controlkit/artwork.h"
#include "controlkit/color_button.h"
#include "controlkit/skin_button.h"
#include "controlkit/skin_slider.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "shell/external_programs.h"
#include "shell/frame_snapshot.h"
#include "shell/task_list_model.h"
#include "shell/wait_cursor.h"

#include <QColorDialog>
#include <QDialog>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <array>

namespace kinolux {

namespace {

constexpr const char* kSection = "MAIN_DLG";

using P = PreviewControls;
constexpr std::array<DialogControl, 18> kRows{{
    {P::kBackground,
     ControlKind::ColorButton,
     "btnSwfBackgroundColorInfo",
     "btnSwfBackgroundColorTooltip",
     {201, 55, 63, 14}},
    {P::kZoomIn, ControlKind::PictureButton, nullptr, "btnZoomInTooltip", {264, 55, 20, 14}},
    {P::kZoomOut, ControlKind::PictureButton, nullptr, "btnZoomOutTooltip", {284, 55, 20, 14}},
    {P::kZoomReset, ControlKind::PictureButton, nullptr, "btnZoomResetTooltip", {304, 55, 20, 14}},
    {P::kShowAll, ControlKind::PictureButton, nullptr, "btnShowAllTooltip", {324, 55, 20, 14}},
    {P::kRealSize, ControlKind::PictureButton, nullptr, "btnRealSizeTooltip", {344, 55, 20, 14}},
    {P::kStretch, ControlKind::PictureButton, nullptr, "btnStretchTooltip", {364, 55, 20, 14}},
    {P::kSlider, ControlKind::Slider, "btnCurrentFrameTooltip", nullptr, {199, 211, 161, 11}},
    {P::kFrameDisplay, ControlKind::PictureButton, nullptr, "btnCurrentFrameTooltip", {362, 208, 20, 14}},
    {P::kPlay, ControlKind::PictureButton, nullptr, "btnPlayTooltip", {202, 224, 20, 14}},
    {P::kPause, ControlKind::PictureButton, nullptr, "btnPauseTooltip", {222, 224, 20, 14}},
    {P::kFirst, ControlKind::PictureButton, nullptr, "btnFristFrameTooltip", {242, 224, 20, 14}},
    {P::kPrevious, ControlKind::PictureButton, nullptr, "btnPreviousFrameTooltip", {262, 224, 20, 14}},
    {P::kNext, ControlKind::PictureButton, nullptr, "btnNextFrameTooltip", {282, 224, 20, 14}},
    {P::kLast, ControlKind::PictureButton, nullptr, "btnLastFrameTooltip", {302, 224, 20, 14}},
    {P::kCapture, ControlKind::PictureButton, nullptr, "btnSnapTooltip", {322, 224, 20, 14}},
    {P::kMarkIn, ControlKind::PictureButton, nullptr, "btnInFrameTooltip", {342, 224, 20, 14}},
    {P::kMarkOut, ControlKind::PictureButton, nullptr, "btnOutFrameTooltip", {362, 224, 20, 14}},
}};

struct ButtonIcon {
    int id;
    int icon;
};
constexpr std::array<ButtonIcon, 15> kIcons{{
    {P::kPlay, artwork::kIconPlay},
    {P::kPause, artwork::kIconPause},
    {P::kFirst, artwork::kIconFirst},
    {P::kPrevious, artwork::kIconPrevious},
    {P::kNext, artwork::kIconNext},
    {P::kLast, artwork::kIconLast},
    {P::kCapture, artwork::kIconCapture},
    {P::kMarkIn, artwork::kIconMarkIn},
    {P::kMarkOut, artwork::kIconMarkOut},
    {P::kZoomIn, artwork::kIconZoomIn},
    {P::kZoomOut, artwork::kIconZoomOut},
    {P::kZoomReset, artwork::kIconZoomReset},
    {P::kShowAll, artwork::kIconShowAll},
    {P::kRealSize, artwork::kIconRealSize},
    {P::kStretch, artwork::kIconStretch},
}};

const QColor kThumb(0, 50, 210);
const QColor kChannel(166, 179, 218);

constexpr int kZoomInPercent = 50;
constexpr int kZoomOutPercent = 200;
constexpr int kZoomResetPercent = 0;
constexpr long kShowAllMode = 0;
constexpr long kExactFitMode = 2;
constexpr long kNoScaleMode = 3;

QColor ColorOf(COLORREF ref) { return QColor(int(ref & 0xFF), int(ref >> 8 & 0xFF), int(ref >> 16 & 0xFF)); }

COLORREF ColorRefOf(const QColor& colour) {
    return COLORREF(colour.red()) | COLORREF(colour.green()) << 8 | COLORREF(colour.blue()) << 16;
}

// The button's text stays readable on whatever colour it shows.
QColor TextColourOn(const QColor& face) { return face.lightnessF() < 0.5 ? Qt::white : Qt::black; }

}  // namespace

PreviewControls::PreviewControls(QDialog& window, const QRect& previewUnits, TaskListModel& tasks,
                                 MovieWindow& movieWindow, std::function<int(bool)> selectedRow)
    : window_(window),
      tasks_(tasks),
      movieWindow_(movieWindow),
      selectedRow_(std::move(selectedRow)),
      openPicture_([](const std::string& path) { OpenWithDesktop(path); }),
      pacer_(*clock_) {
    BuildControls(window, previewUnits);
    Connect();
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setTimerType(Qt::PreciseTimer);
    connect(&refreshTimer_, &QTimer::timeout, this, [this] { OnRefreshTimer(); });
    refreshTimer_.start(0);
}

PreviewControls::~PreviewControls() {
    // The engine must not read a clock that may go with its owner.
    CallInterceptor& interceptor = CallInterceptor::Instance();
    if (clock_ != &realClock() && interceptor.UsedClock() == clock_) interceptor.UseClock(nullptr);
}

void PreviewControls::BuildControls(QDialog& window, const QRect& previewUnits) {
    flash_ = new CShockwaveFlash(&window, kPreview);
    flash_->setGeometry(DialogUnitsToPixels(window, previewUnits));
    flash_->SetScaleMode(kShowAllMode);
    flash_->LoadMovie(0, "");
    table_ = std::make_unique<DialogTable>(window, kSection, kRows);
    table_->SetAfterRelabel([this] { flash_->setAccessibleName(table_->Text("strPreviewInfo")); });
    flash_->setAccessibleName(table_->Text("strPreviewInfo"));
    for (const ButtonIcon& entry : kIcons) {
        auto* button = Get<SkinButton>(entry.id);
        button->SetBitmaps(artwork::kPreviewNormal, artwork::kPreviewPressed, artwork::kPreviewHover,
                           artwork::kPreviewDisabled, artwork::kPreviewFocus, artwork::kPreviewMask);
        button->SetIcon(entry.icon);
    }
    auto* display = Get<SkinButton>(kFrameDisplay);
    display->SetBitmaps(artwork::kPreviewNormal, artwork::kPreviewPressed, artwork::kPreviewHover,
                        artwork::kPreviewDisabled, artwork::kPreviewFocus, artwork::kPreviewMask);
    display->setEnabled(false);
    auto* slider = Get<SkinSlider>(kSlider);
    slider->SetThumbColor(kThumb);
    slider->SetChannelColor(kChannel);
    slider->setRange(0, 0);
    ShowBackground(0xFFFFFF);
}

void PreviewControls::Connect() {
    const auto on = [this](int id, auto action) { connect(Get<QPushButton>(id), &QPushButton::clicked, this, action); };
    on(kPlay, [this] { Play(); });
    on(kPause, [this] { Pause(); });
    on(kFirst, [this] { Step(FrameStep::First); });
    on(kPrevious, [this] { Step(FrameStep::Previous); });
    on(kNext, [this] { Step(FrameStep::Next); });
    on(kLast, [this] { Step(FrameStep::Last); });
    on(kMarkIn, [this] { MarkIn(); });
    on(kMarkOut, [this] { MarkOut(); });
    on(kCapture, [this] { CapturePicture(); });
    on(kZoomIn, [this] { Zoom(kZoomInPercent); });
    on(kZoomOut, [this] { Zoom(kZoomOutPercent); });
    on(kZoomReset, [this] { Zoom(kZoomResetPercent); });
    on(kShowAll, [this] { SetScaleMode(kShowAllMode); });
    on(kRealSize, [this] { SetScaleMode(kNoScaleMode); });
    on(kStretch, [this] { SetScaleMode(kExactFitMode); });
    on(kBackground, [this] { ChooseBackground(); });
    // Every move the user makes (drag, click beside the thumb, keys), not
    // the moves the display makes.
    connect(Get<SkinSlider>(kSlider), &QAbstractSlider::actionTriggered, this, [this] { OnSliderAction(); });
}

void PreviewControls::UseClock(Clock& clock) {
    clock_ = &clock;
    pacer_.UseClock(clock);
    CallInterceptor::Instance().UseClock(&clock);
    refreshTimer_.start(0);
}

void PreviewControls::ShowTask(const ConversionTask& task) {
    auto* slider = Get<SkinSlider>(kSlider);
    {
        const QSignalBlocker quiet(slider);
        slider->setRange(0, std::max(0, task.totalFrames - 1));
    }
    slider->SetSelection(int(task.inFrame), int(task.outFrame));
    ShowFrame(flash_->CurrentFrame());
    ShowBackground(task.backgroundColor);
}

void PreviewControls::ShowFrame(long frame) {
    pacer_.SetShown(frame);
    auto* slider = Get<SkinSlider>(kSlider);
    const QSignalBlocker quiet(slider);
    slider->setValue(int(frame));
    Get<QPushButton>(kFrameDisplay)->setText(QString::number(frame));
}

void PreviewControls::ShowBackground(COLORREF colour) {
    auto* button = Get<ColorButton>(kBackground);
    const QColor face = ColorOf(colour);
    for (int slot = 0; slot < ColorButton::kSlots; slot += 2) {
        button->SetColor(slot, face, false);
        button->SetColor(slot + 1, TextColourOn(face), false);
    }
    button->update();
    flash_->SetBackgroundColorRef(colour);
}

void PreviewControls::OnRefreshTimer() {
    if (pacer_.RefreshDue())
        if (const std::optional<long> frame = pacer_.FrameToShow(flash_->CurrentFrame())) ShowFrame(*frame);
    const auto wait = std::clamp(pacer_.UntilDue(), std::chrono::milliseconds(1), FrameDisplayPacer::kPeriod);
    refreshTimer_.start(wait);
}

void PreviewControls::OnSliderAction() {
    auto* slider = Get<SkinSlider>(kSlider);
    const int position = slider->sliderPosition();
    flash_->SetFrameNum(position);
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
}

ConversionTask* PreviewControls::SelectedTask(int* row) {
    const int selected = selectedRow_(true);
    if (row) *row = selected;
    return selected >= 0 ? &tasks_.Task(selected) : nullptr;
}

void PreviewControls::Play() { flash_->Play(); }

void PreviewControls::Pause() { flash_->StopPlay(); }

void PreviewControls::Step(FrameStep step) {
    flash_->StopPlay();
    flash_->SetFrameNum(FrameAfterStep(step, flash_->GetFrameNum(), flash_->GetTotalFrames()));
}

void PreviewControls::MarkIn() { MarkAtCurrentFrame(kinolux::MarkIn, "strInNextOutInfo"); }

void PreviewControls::MarkOut() { MarkAtCurrentFrame(kinolux::MarkOut, "strOutBeforeInInfo"); }

void PreviewControls::MarkAtCurrentFrame(MarkOutcome (*mark)(ConversionTask&, int64_t), const char* refusalKey) {
    const long frame = flash_->CurrentFrame();
    int row = -1;
    ConversionTask* task = SelectedTask(&row);
    if (!task) return;
    if (mark(*task, frame) == MarkOutcome::Refused) {
        ReportMessage(Text(kSection, refusalKey));
        return;
    }
    Get<SkinSlider>(kSlider)->SetSelection(int(task->inFrame), int(task->outFrame));
    tasks_.ShowFrameRange(row);
}

void PreviewControls::Zoom(int percent) { flash_->Zoom(percent); }

void PreviewControls::SetScaleMode(long mode) { flash_->SetScaleMode(mode); }

void PreviewControls::ChooseBackground() {
    ConversionTask* task = SelectedTask();
    if (!task) return;
    const QColor chosen = QColorDialog::getColor(ColorOf(task->backgroundColor), &window_);
    if (!chosen.isValid()) return;
    task->backgroundColor = ColorRefOf(chosen);
    ShowBackground(task->backgroundColor);
}

void PreviewControls::CapturePicture() {
    ConversionTask* task = SelectedTask();
    if (!task) return;
    ImageSettingsDialog dialog({task->sourceWidth, task->sourceHeight, 1}, &window_);
    if (dialog.exec() != QDialog::Accepted) return;
    // The preview may have dropped its movie meanwhile (a conversion does):
    // an empty stage gives no picture.
    const std::string movie = flash_->GetMovie();
    if (movie.empty() || flash_->GetTotalFrames() <= 0) return;
    const ImageSettings& chosen = dialog.Settings();
    SnapshotRequest request;
    request.moviePath = movie;
    request.background = task->backgroundColor;
    request.frame = flash_->GetFrameNum();
    request.width = chosen.width;
    request.height = chosen.height;
    request.alpha = chosen.alpha == 1;
    request.folder = CurrentAppSettings().convertDir;
    std::string error;
    std::optional<SnapshotFiles> files;
    {
        WaitCursor wait;
        files = SaveFrameSnapshot(movieWindow_, request, error);
    }
    if (!files) {
        ReportMessage(error);
        return;
    }
    openPicture_(files->bmp);
}

}  // namespace kinolux
