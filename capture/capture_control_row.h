// The row of controls below the movie while interactive capture runs: the
// progress bar over the frame range, "Auto hide play window" on the left,
// "Auto stop" and "Stop" on the right, all of the control kit but the bar.
// It keeps itself at the bottom of its window, 40 pixels high and as wide
// as the window, and lays its controls out again whenever the window's size
// changes. Its texts, and the window's title, follow the language.
#pragma once

#include "controlkit/skin_button.h"
#include "profiles/dialog_table.h"

#include <QWidget>

class QProgressBar;

namespace kinolux {

class CaptureControlRow : public QWidget {
public:
    static constexpr int kHeight = 40;

    // A child of `window`, placed along its bottom edge, texts from the
    // language pack's "CAPTURECTRL_DLG" section.
    explicit CaptureControlRow(QWidget* window);

    QProgressBar& Progress() const;
    SkinButton& AutoStop() const;
    SkinButton& AutoHide() const;
    SkinButton& StopButton() const;

protected:
    // Follows the window's resizes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowWindow();
    void LayOut();

    DialogTable table_;
};

}  // namespace kinolux
