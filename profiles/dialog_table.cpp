#include "profiles/dialog_table.h"

#include "capture/dialog_units.h"
#include "controlkit/artwork.h"
#include "controlkit/color_button.h"
#include "controlkit/skin_button.h"
#include "controlkit/skin_slider.h"
#include "profiles/language_manager.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <algorithm>
#include <vector>

namespace kinolux {

namespace {

std::vector<DialogTable*>& LiveTables() {
    static std::vector<DialogTable*> tables;
    return tables;
}

// The dark red of button texts on the common faces.
const QColor kButtonText(125, 0, 0);

QWidget* MakeControl(ControlKind kind, QWidget& parent) {
    switch (kind) {
    case ControlKind::Static: return new QLabel(&parent);
    case ControlKind::Frame: {
        auto* frame = new QFrame(&parent);
        frame->setFrameShape(QFrame::Box);
        frame->setFrameShadow(QFrame::Sunken);
        return frame;
    }
    case ControlKind::Button:
    case ControlKind::SkinCheckBox: {
        auto* button = new SkinButton(QString(), &parent,
                                      kind == ControlKind::Button ? SkinButton::kPushButton : SkinButton::kCheckBox);
        button->SetBitmaps(artwork::kButtonNormal, artwork::kButtonPressed, artwork::kButtonHover, 0, 0,
                           artwork::kButtonMask);
        button->SetTextColor(kButtonText);
        return button;
    }
    case ControlKind::PictureButton: return new SkinButton(QString(), &parent);
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(&parent);
        edit->setReadOnly(true);
        return edit;
    }
    case ControlKind::Radio: return new QRadioButton(&parent);
    case ControlKind::CheckBox: return new QCheckBox(&parent);
    case ControlKind::ComboBox: return new QComboBox(&parent);
    case ControlKind::Table: return new QTableView(&parent);
    case ControlKind::Picture: {
        auto* picture = new QLabel(&parent);
        picture->setAlignment(Qt::AlignCenter);
        return picture;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(&parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        return bar;
    }
    case ControlKind::ColorButton: return new ColorButton(QString(), &parent);
    case ControlKind::Slider: return new SkinSlider(&parent);
    case ControlKind::GroupBox: return new QGroupBox(&parent);
    case ControlKind::Input: return new QLineEdit(&parent);
    case ControlKind::SpinBox: return new QSpinBox(&parent);
    }
    return nullptr;
}

// Controls whose text is shown carry it; the others are named by it.
bool ShowsText(ControlKind kind) {
    return kind == ControlKind::Static || kind == ControlKind::Button || kind == ControlKind::Radio ||
           kind == ControlKind::CheckBox || kind == ControlKind::SkinCheckBox || kind == ControlKind::GroupBox ||
           kind == ControlKind::ColorButton;
}

// The smallest share of the dialog's font a text may shrink to.
constexpr double kSmallestFontShare = 0.75;

}  // namespace

void FitTextToWidth(QWidget& widget) {
    // Dialog units were made for a narrower font than the desktop's: a text
    // that does not fit its rectangle gets a smaller font rather than being
    // cut off.
    const QWidget* parent = widget.parentWidget();
    QFont font = parent ? parent->font() : widget.font();
    const double full = font.pointSizeF();
    widget.setFont(font);
    if (full <= 0) return;
    const int room = widget.width();
    for (double size = full; size >= full * kSmallestFontShare; size -= 0.5) {
        font.setPointSizeF(size);
        widget.setFont(font);
        int needed = widget.sizeHint().width();
        if (auto* edit = dynamic_cast<QLineEdit*>(&widget))
            needed = edit->fontMetrics().horizontalAdvance(edit->text()) + 10;
        if (needed <= room) return;
    }
}

QString WithoutMnemonic(const QString& text) {
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

DialogTable::DialogTable(QWidget& dialog, std::string section, std::span<const DialogControl> rows)
    : dialog_(dialog), section_(std::move(section)), rows_(rows) {
    for (const DialogControl& row : rows_) {
        QWidget* widget = MakeControl(row.kind, dialog_);
        widget->setProperty("itemId", row.id);
        widget->setGeometry(DialogUnitsToPixels(dialog_, row.units));
        if (row.kind == ControlKind::Frame || row.kind == ControlKind::GroupBox) widget->lower();
        if (row.id != 0) widgets_[row.id] = widget;
    }
    LiveTables().push_back(this);
    Relabel();
}

DialogTable::~DialogTable() { std::erase(LiveTables(), this); }

QWidget* DialogTable::Widget(int id) const {
    const auto found = widgets_.find(id);
    return found == widgets_.end() ? nullptr : found->second;
}

QString DialogTable::Text(const char* key) const { return QString::fromStdString(kinolux::Text(section_, key)); }

void DialogTable::Relabel() {
    for (const DialogControl& row : rows_) {
        QWidget* widget = Widget(row.id);
        if (!widget) continue;
        const QString text = row.textKey ? Text(row.textKey) : QString();
        const QString tooltip = row.tooltipKey ? Text(row.tooltipKey) : QString();
        if (ShowsText(row.kind) && row.textKey) {
            if (auto* label = dynamic_cast<QLabel*>(widget)) label->setText(text);
            if (auto* button = dynamic_cast<QAbstractButton*>(widget)) button->setText(text);
            // A label that wraps has the room it needs; a box's title has its whole width.
            if (auto* box = dynamic_cast<QGroupBox*>(widget)) box->setTitle(text);
            auto* label = dynamic_cast<QLabel*>(widget);
            if ((!label || !label->wordWrap()) && row.kind != ControlKind::GroupBox) FitTextToWidth(*widget);
        }
        widget->setToolTip(tooltip);
        // A picture, or a text of signs only ("..."), says nothing to a
        // screen reader: the tooltip does.
        const bool textSpeaks = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
        const bool byTooltip = row.kind == ControlKind::PictureButton || row.kind == ControlKind::Picture ||
                               (!textSpeaks && !tooltip.isEmpty());
        const QString name = byTooltip ? tooltip : WithoutMnemonic(text);
        widget->setAccessibleName(name);
    }
    if (afterRelabel_) afterRelabel_();
}

void RelabelAllDialogs() {
    // A relabel may open nothing and close nothing, but copy the list all the same.
    const std::vector<DialogTable*> tables = LiveTables();
    for (DialogTable* table : tables) table->Relabel();
}

}  // namespace kinolux
