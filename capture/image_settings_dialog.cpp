#include "capture/image_settings_dialog.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"
#include "controlkit/artwork.h"
#include "controlkit/skin_button.h"
#include "profiles/language_manager.h"

#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

namespace kinolux {

namespace {

// The section's name ends in a blank, unlike the template's.
constexpr const char* kSection = "CAPTURE_IMAGE_DLG ";
// A picture of this many pixels a side still fits in memory.
constexpr int kLargestSide = 16384;
constexpr const char* kSizeErrorDefault = "Please enter a whole number from 1 to 16384.";

const QRgb kStaticTextColor = qRgb(93, 121, 161);
const QRgb kButtonTextColor = qRgb(0x7D, 0x00, 0x00);

QString Translated(const char* key)
{
    return QString::fromStdString(Text(kSection, key));
}

void Colour(QWidget& widget, QPalette::ColorRole role, QRgb colour)
{
    QPalette palette = widget.palette();
    palette.setColor(role, QColor(colour));
    widget.setPalette(palette);
}

SkinButton* KitButton(QDialog* dialog, const char* textKey, const char* tooltipKey, int itemId)
{
    auto* button = new SkinButton(Translated(textKey), dialog);
    button->SetBitmaps(artwork::kButtonNormal, artwork::kButtonPressed, artwork::kButtonHover, 0, 0, artwork::kButtonMask);
    button->SetTextColor(QColor(kButtonTextColor));
    button->SetTooltipText(Translated(tooltipKey));
    button->setProperty("itemId", itemId);
    return button;
}

QLabel* StaticText(QDialog* dialog, const char* key, int itemId)
{
    auto* label = new QLabel(Translated(key), dialog);
    label->setProperty("itemId", itemId);
    Colour(*label, QPalette::WindowText, kStaticTextColor);
    return label;
}

QLineEdit* SideEdit(QDialog* dialog, int value, int itemId)
{
    auto* edit = new QLineEdit(QString::number(value), dialog);
    edit->setValidator(new QIntValidator(1, kLargestSide, edit));
    edit->setProperty("itemId", itemId);
    return edit;
}

// The side an edit holds, or 0 when it is not a whole number in range.
int SideOf(const QLineEdit& edit)
{
    bool ok = false;
    const int value = edit.text().trimmed().toInt(&ok);
    return ok && value >= 1 && value <= kLargestSide ? value : 0;
}

}  // namespace

ImageSettingsDialog::ImageSettingsDialog(const ImageSettings& initial, QWidget* parent)
    : QDialog(parent), settings_(initial)
{
    setWindowTitle(Translated("strTitleInfo"));
    setModal(true);
    // Wears the program's skin like its other windows.
    QVS_AddFilterHook(this);
    resize(DialogUnitsToPixels(*this, QRect(0, 0, 130, 88)).size());
    const auto place = [this](QWidget* widget, int x, int y, int w, int h) {
        widget->setGeometry(DialogUnitsToPixels(*this, QRect(x, y, w, h)));
    };
    place(StaticText(this, "strWidthInfo", 1301), 7, 9, 40, 8);
    place(width_ = SideEdit(this, initial.width, 1054), 50, 7, 70, 12);
    place(StaticText(this, "strHeightInfo", 1302), 7, 27, 40, 8);
    place(height_ = SideEdit(this, initial.height, 1062), 50, 25, 70, 12);
    alpha_ = new QCheckBox(Translated("strAlphaChannelInfo"), this);
    alpha_->setProperty("itemId", 1303);
    alpha_->setChecked(true);
    place(alpha_, 7, 43, 116, 10);
    error_ = new QLabel(QString::fromStdString(Languages().GetText(kSection, "strSizeErrorInfo", kSizeErrorDefault)), this);
    error_->setWordWrap(true);
    error_->hide();
    place(error_, 7, 54, 116, 12);
    SkinButton* ok = KitButton(this, "btnOkInfo", "btnOkTooltip", 1);
    ok->setDefault(true);
    place(ok, 17, 68, 45, 14);
    SkinButton* cancel = KitButton(this, "btnCannelInfo", "btnCannelTooltip", 2);
    place(cancel, 68, 68, 45, 14);
    connect(ok, &QPushButton::clicked, this, &ImageSettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ImageSettingsDialog::reject);
}

void ImageSettingsDialog::accept()
{
    const int width = SideOf(*width_);
    const int height = SideOf(*height_);
    if (width == 0 || height == 0) {
        // The dialog stays open with the field to mend selected.
        error_->show();
        QLineEdit* wrong = width == 0 ? width_ : height_;
        wrong->setFocus();
        wrong->selectAll();
        return;
    }
    settings_ = {width, height, alpha_->isChecked() ? 1 : 0};
    QDialog::accept();
}

}  // namespace kinolux
