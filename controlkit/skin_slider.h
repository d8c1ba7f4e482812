// A horizontal track bar drawn by the program: a shaded thumb in its own
// colour over a rounded channel, and a selection band that marks a range of
// the channel (the in and out frames of the main window's frame slider).
#pragma once

#include <QColor>
#include <QSlider>

namespace kinolux {

class SkinSlider : public QSlider {
public:
    explicit SkinSlider(QWidget* parent);

    // Recomputes the shades of the thumb and redraws.
    void SetThumbColor(const QColor& colour);
    void SetChannelColor(const QColor& colour);
    // The band from `start` to `end` (values of the range); an empty range
    // (end before start) shows none.
    void SetSelection(int start, int end);
    void ClearSelection() { SetSelection(0, -1); }
    int SelectionStart() const { return selectionStart_; }
    int SelectionEnd() const { return selectionEnd_; }

    // Where things are drawn, in the widget's pixels.
    QRect ChannelRect() const;
    QRect ThumbRect() const;
    // Empty when there is no selection.
    QRect SelectionRect() const;

    struct Shades {
        QColor face, light1, light2, dark1, dark2, shadowMid, darkShadowMid;
    };
    const Shades& ThumbShades() const { return shades_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ComputeShades();
    int PositionOf(int value) const;
    int ValueAt(int x) const;
    void DrawChannel(QPainter& painter) const;
    void DrawThumb(QPainter& painter) const;
    void DrawGrips(QPainter& painter, const QRect& thumb) const;

    QColor thumbColour_;
    QColor channelColour_;
    Shades shades_;
    int selectionStart_ = 0;
    int selectionEnd_ = -1;
    int dragOffset_ = 0;
};

}  // namespace kinolux
