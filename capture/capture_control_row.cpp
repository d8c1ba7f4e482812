#include "capture/capture_control_row.h"

#include "controlkit/artwork.h"
#include "profiles/language_manager.h"

#include <QCheckBox>
#include <QEvent>
#include <QProgressBar>
#include <algorithm>

namespace kinolux {

namespace {

constexpr const char* kSection = "CAPTURECTRL_DLG";
constexpr int kMargin = 4;
constexpr int kProgressHeight = 10;
constexpr int kButtonWidth = 64;
constexpr int kButtonHeight = 22;
// The text colour of the kit's buttons in the capture dialogs.
constexpr QRgb kButtonTextColor = qRgb(0x7D, 0x00, 0x00);

QString Translated(const char* key)
{
    return QString::fromStdString(Text(kSection, key));
}

}  // namespace

CaptureControlRow::CaptureControlRow(QWidget* window)
    : QWidget(window),
      progress_(new QProgressBar(this)),
      autoStop_(new QCheckBox(Translated("btnAutoStopInfo"), this)),
      autoHide_(new QCheckBox(Translated("btnHidePlayBackWindowInfo"), this)),
      stop_(new SkinButton(Translated("btnStopInfo"), this))
{
    progress_->setTextVisible(false);
    progress_->setProperty("itemId", 1296);
    autoStop_->setProperty("itemId", 1294);
    autoHide_->setProperty("itemId", 1317);
    stop_->setProperty("itemId", 1295);
    stop_->SetBitmaps(artwork::kButtonNormal, artwork::kButtonPressed, artwork::kButtonHover, 0, 0, artwork::kButtonMask);
    stop_->SetTextColor(QColor(kButtonTextColor));
    stop_->SetTooltipText(Translated("btnStopTooltip"));
    autoHide_->setChecked(true);
    window->installEventFilter(this);
    FollowWindow();
}

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
    // The progress bar stretches along the top; the check boxes and the
    // button keep their sizes, at the left and at the right.
    const int w = width();
    const int lower = kHeight - kMargin - kButtonHeight;
    progress_->setGeometry(kMargin, kMargin, std::max(0, w - 2 * kMargin), kProgressHeight);
    stop_->setGeometry(w - kMargin - kButtonWidth, lower, kButtonWidth, kButtonHeight);
    const QSize stopBox = autoStop_->sizeHint();
    autoStop_->setGeometry(stop_->x() - kMargin - stopBox.width(), lower, stopBox.width(), kButtonHeight);
    autoHide_->setGeometry(kMargin, lower, autoHide_->sizeHint().width(), kButtonHeight);
}

}  // namespace kinolux
