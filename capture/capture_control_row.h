// The row of controls below the movie while interactive capture runs: the
// progress bar over the frame range, "Auto hide play window" on the left,
// "Auto stop" and "Stop" on the right. It keeps itself at the bottom of its
// window, 40 pixels high and as wide as the window, and lays its controls
// out again whenever the window's size changes.
#pragma once

#include "controlkit/skin_button.h"

#include <QWidget>

class QCheckBox;
class QProgressBar;

namespace kinolux {

class CaptureControlRow : public QWidget {
public:
    static constexpr int kHeight = 40;

    // A child of `window`, placed along its bottom edge, texts from the
    // language pack's "CAPTURECTRL_DLG" section.
    explicit CaptureControlRow(QWidget* window);

    QProgressBar& Progress() const { return *progress_; }
    QCheckBox& AutoStop() const { return *autoStop_; }
    QCheckBox& AutoHide() const { return *autoHide_; }
    SkinButton& StopButton() const { return *stop_; }

protected:
    // Follows the window's resizes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowWindow();
    void LayOut();

    QProgressBar* progress_;
    QCheckBox* autoStop_;
    QCheckBox* autoHide_;
    SkinButton* stop_;
};

}  // namespace kinolux
