// The small modal dialog in which the user chooses the size of a picture
// saved from a movie and whether it keeps an alpha channel. The caller reads
// the values after the dialog was accepted.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kinolux {

struct ImageSettings {
    int width = 0;
    int height = 0;
    int alpha = 1;  // 1 when "With alpha channel" is checked
};

class ImageSettingsDialog : public QDialog {
public:
    // Opens with `initial` in the fields; the alpha box starts checked.
    explicit ImageSettingsDialog(const ImageSettings& initial, QWidget* parent = nullptr);

    // What OK accepted (the initial values until then).
    const ImageSettings& Settings() const { return settings_; }

    QLineEdit& WidthEdit() const { return *width_; }
    QLineEdit& HeightEdit() const { return *height_; }
    QCheckBox& AlphaBox() const { return *alpha_; }
    // Shown while a side is not a whole number from 1 to 16384.
    const QLabel& SizeError() const { return *error_; }

    // Keeps the dialog open while a side is not a whole number in range.
    void accept() override;

private:
    QLineEdit* width_;
    QLineEdit* height_;
    QCheckBox* alpha_;
    QLabel* error_;
    ImageSettings settings_;
};

}  // namespace kinolux
