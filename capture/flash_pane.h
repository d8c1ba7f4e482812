// The borderless child pane that carries the Flash control inside the
// capture window: it notes when the loaded movie is ready, and scrolls its
// content when that is larger than the pane (in normal use the pane is
// sized to its content, so nothing scrolls).
//
// Scrolling goes by units of 8 pixels across and 4 down: the ranges are
// (content - client) / 8 and / 4, never below 0. Across, a line is one unit
// and a page eight; down, a line is one unit and a page the whole range.
// Every resize scrolls back to the origin and recomputes both ranges.
#pragma once

#include "capture/shockwave_flash.h"

#include <QPoint>
#include <QSize>
#include <QWidget>

class QScrollBar;

namespace kinolux {

// The scroll ranges for a content size seen through a client size.
int HorizontalScrollRange(int contentWidth, int clientWidth);
int VerticalScrollRange(int contentHeight, int clientHeight);

inline constexpr int kFlashPaneItemId = 1025;

class FlashPane : public QWidget {
public:
    explicit FlashPane(QWidget* parent = nullptr);

    CShockwaveFlash& flash() { return *flash_; }

    // 0 after construction and before each load (the capture window clears
    // it); 1 once the control reports its movie ready.
    int movieReady = 0;

    void SetContentSize(int width, int height);
    QSize ContentSize() const { return content_; }

    // Where the content is scrolled to, in units, and how far it can go.
    QPoint ScrollPosition() const;
    int HorizontalRange() const;
    int VerticalRange() const;
    // The area the content shows through, inside the scroll bars.
    QSize ClientSize() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // The pane's own exposed area acts as its size box: dragging it resizes.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class SizeBox;

    void LayOut();
    void ScrollContentTo(QPoint unitPosition);
    void StartResizeDrag(QPoint globalPosition);
    void DragResize(QPoint globalPosition);

    QWidget* viewport_;  // the content moves inside it
    CShockwaveFlash* flash_;
    QScrollBar* horizontal_;
    QScrollBar* vertical_;
    SizeBox* sizeBox_;
    QSize content_;
    QPoint scrolledPixels_;
    QPoint dragStart_;
    QSize dragStartSize_;
    bool dragging_ = false;
};

}  // namespace kinolux
