#include "capture/flash_pane.h"

#include "capture/dialog_units.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOption>
#include <algorithm>

namespace kinolux {

namespace {

constexpr int kUnitWidth = 8;
constexpr int kUnitHeight = 4;
constexpr int kHorizontalPageUnits = 8;

// The pane's template: 211 x 158 dialog units, the control at the origin,
// 211 x 157.
const QRect kPaneUnits(0, 0, 211, 158);
const QRect kControlUnits(0, 0, 211, 157);

}  // namespace

int HorizontalScrollRange(int contentWidth, int clientWidth)
{
    return std::max(0, (contentWidth - clientWidth) / kUnitWidth);
}

int VerticalScrollRange(int contentHeight, int clientHeight)
{
    return std::max(0, (contentHeight - clientHeight) / kUnitHeight);
}

// The grip in the bottom-right corner; dragging it resizes the pane.
class FlashPane::SizeBox : public QWidget {
public:
    explicit SizeBox(FlashPane* pane) : QWidget(pane), pane_(pane) { setCursor(Qt::SizeFDiagCursor); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        style()->drawControl(QStyle::CE_SizeGrip, &option, &painter, this);
    }
    void mousePressEvent(QMouseEvent* event) override { pane_->StartResizeDrag(event->globalPosition().toPoint()); }
    void mouseMoveEvent(QMouseEvent* event) override { pane_->DragResize(event->globalPosition().toPoint()); }
    void mouseReleaseEvent(QMouseEvent*) override { pane_->dragging_ = false; }

private:
    FlashPane* pane_;
};

FlashPane::FlashPane(QWidget* parent)
    : QWidget(parent),
      viewport_(new QWidget(this)),
      flash_(new CShockwaveFlash(viewport_, kFlashPaneItemId)),
      horizontal_(new QScrollBar(Qt::Horizontal, this)),
      vertical_(new QScrollBar(Qt::Vertical, this)),
      sizeBox_(new SizeBox(this))
{
    resize(DialogUnitsToPixels(*this, kPaneUnits).size());
    flash_->setGeometry(DialogUnitsToPixels(*this, kControlUnits));
    content_ = size();
    flash_->SetReadyStateHandler([this](int state) {
        if (state == FLASH_READYSTATE_COMPLETE) movieReady = 1;
    });
    horizontal_->setSingleStep(1);
    horizontal_->setPageStep(kHorizontalPageUnits);
    vertical_->setSingleStep(1);
    QObject::connect(horizontal_, &QScrollBar::valueChanged, this,
                     [this](int x) { ScrollContentTo({x, vertical_->value()}); });
    QObject::connect(vertical_, &QScrollBar::valueChanged, this,
                     [this](int y) { ScrollContentTo({horizontal_->value(), y}); });
    LayOut();
}

void FlashPane::SetContentSize(int width, int height)
{
    content_ = QSize(std::max(0, width), std::max(0, height));
    LayOut();
}

QPoint FlashPane::ScrollPosition() const
{
    return {horizontal_->value(), vertical_->value()};
}

int FlashPane::HorizontalRange() const
{
    return horizontal_->maximum();
}

int FlashPane::VerticalRange() const
{
    return vertical_->maximum();
}

QSize FlashPane::ClientSize() const
{
    return viewport_->size();
}

void FlashPane::resizeEvent(QResizeEvent*)
{
    LayOut();
}

void FlashPane::LayOut()
{
    // Back to the origin first, so the content sits where it was placed.
    ScrollContentTo({0, 0});
    const int barWidth = vertical_->sizeHint().width();
    const int barHeight = horizontal_->sizeHint().height();
    bool across = false, down = false;
    QSize client = size();
    // Each bar takes room that may make the other one needed.
    for (int pass = 0; pass < 2; ++pass) {
        across = HorizontalScrollRange(content_.width(), client.width()) > 0;
        down = VerticalScrollRange(content_.height(), client.height()) > 0;
        client = QSize(width() - (down ? barWidth : 0), height() - (across ? barHeight : 0));
    }
    viewport_->setGeometry(0, 0, std::max(0, client.width()), std::max(0, client.height()));

    const int horizontalRange = HorizontalScrollRange(content_.width(), client.width());
    const int verticalRange = VerticalScrollRange(content_.height(), client.height());
    const QSignalBlocker quietAcross(horizontal_), quietDown(vertical_);
    horizontal_->setRange(0, horizontalRange);
    horizontal_->setValue(0);
    vertical_->setRange(0, verticalRange);
    vertical_->setPageStep(std::max(1, verticalRange));
    vertical_->setValue(0);
    horizontal_->setVisible(across);
    vertical_->setVisible(down);
    horizontal_->setGeometry(0, client.height(), client.width(), barHeight);
    vertical_->setGeometry(client.width(), 0, barWidth, client.height());

    const bool maximised = window() && window()->isMaximized();
    sizeBox_->setVisible(!maximised);
    sizeBox_->setGeometry(width() - barWidth, height() - barHeight, barWidth, barHeight);
    sizeBox_->raise();
}

void FlashPane::ScrollContentTo(QPoint unitPosition)
{
    const QPoint target(unitPosition.x() * kUnitWidth, unitPosition.y() * kUnitHeight);
    const QPoint by = scrolledPixels_ - target;
    if (by.isNull()) return;
    // The children are moved one by one: QWidget::scroll leaves them be while
    // the pane is hidden, and the capture window keeps it hidden.
    for (QWidget* child : viewport_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->move(child->pos() + by);
    scrolledPixels_ = target;
}

void FlashPane::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) StartResizeDrag(event->globalPosition().toPoint());
}

void FlashPane::mouseMoveEvent(QMouseEvent* event)
{
    DragResize(event->globalPosition().toPoint());
}

void FlashPane::mouseReleaseEvent(QMouseEvent*)
{
    dragging_ = false;
}

void FlashPane::StartResizeDrag(QPoint globalPosition)
{
    dragging_ = true;
    dragStart_ = globalPosition;
    dragStartSize_ = size();
}

void FlashPane::DragResize(QPoint globalPosition)
{
    if (!dragging_) return;
    const QPoint by = globalPosition - dragStart_;
    resize(std::max(1, dragStartSize_.width() + by.x()), std::max(1, dragStartSize_.height() + by.y()));
}

}  // namespace kinolux
