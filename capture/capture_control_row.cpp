#include "capture/capture_control_row.h"

#include <QEvent>
#include <QProgressBar>
#include <algorithm>

namespace kinolux {

namespace {

constexpr int kProgressId = 1296;
constexpr int kAutoStopId = 1294;
constexpr int kAutoHideId = 1317;
constexpr int kStopId = 1295;

// The sizes of the controls, in dialog units of the row; where they sit is
// worked out from the row's edges (LayOut).
constexpr DialogControl kRows[] = {
    {kProgressId, ControlKind::ProgressBar, "strTitleInfo", nullptr, {0, 0, 200, 5}},
    {kAutoHideId, ControlKind::SkinCheckBox, "btnHidePlayBackWindowInfo", nullptr, {0, 0, 96, 11}},
    {kAutoStopId, ControlKind::SkinCheckBox, "btnAutoStopInfo", nullptr, {0, 0, 56, 11}},
    {kStopId, ControlKind::Button, "btnStopInfo", "btnStopTooltip", {0, 0, 40, 11}},
};

constexpr int kMargin = 4;
constexpr int kProgressHeight = 10;
constexpr int kButtonHeight = 22;

}  // namespace

CaptureControlRow::CaptureControlRow(QWidget* window) : QWidget(window), table_(*this, "CAPTURECTRL_DLG", kRows) {
    Progress().setTextVisible(false);
    AutoHide().setChecked(true);
    table_.SetAfterRelabel([this] {
        parentWidget()->setWindowTitle(table_.Text("strTitleInfo"));
        LayOut();
    });
    table_.Relabel();
    window->installEventFilter(this);
    FollowWindow();
}

QProgressBar& CaptureControlRow::Progress() const { return *table_.Get<QProgressBar>(kProgressId); }

SkinButton& CaptureControlRow::AutoStop() const { return *table_.Get<SkinButton>(kAutoStopId); }

SkinButton& CaptureControlRow::AutoHide() const { return *table_.Get<SkinButton>(kAutoHideId); }

SkinButton& CaptureControlRow::StopButton() const { return *table_.Get<SkinButton>(kStopId); }

bool CaptureControlRow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize) FollowWindow();
    return QWidget::eventFilter(watched, event);
}

void CaptureControlRow::FollowWindow()
{
    const QWidget* window = parentWidget();
    setGeometry(0, window->height() - kHeight, window->width(), kHeight);
    LayOut();
}

void CaptureControlRow::LayOut()
{
    // The progress bar stretches along the top; the buttons keep their
    // widths, at the left and at the right.
    const int w = width();
    const int lower = kHeight - kMargin - kButtonHeight;
    Progress().setGeometry(kMargin, kMargin, std::max(0, w - 2 * kMargin), kProgressHeight);
    SkinButton& stop = StopButton();
    stop.setGeometry(w - kMargin - stop.width(), lower, stop.width(), kButtonHeight);
    SkinButton& autoStop = AutoStop();
    autoStop.setGeometry(stop.x() - kMargin - autoStop.width(), lower, autoStop.width(), kButtonHeight);
    AutoHide().setGeometry(kMargin, lower, AutoHide().width(), kButtonHeight);
}

}  // namespace kinolux
