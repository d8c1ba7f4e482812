#include "profiles/format_chooser.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"
#include "controlkit/skin_button.h"
#include "profiles/app_settings.h"
#include "profiles/format_catalogue.h"
#include "profiles/profile_store.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <array>
#include <vector>

namespace kinolux {

namespace {

constexpr const char* kSection = "FORMAT_DLG";
constexpr int kShowBoxId = 1320;
constexpr int kSpecLineId = 1280;

// Where each group's rows of buttons stand, and how many buttons its first
// row holds (five, except the "Other" group's three).
struct GroupPlace {
    std::array<int, 2> rowY;
    size_t firstRowCount;
};
constexpr std::array<GroupPlace, 7> kGroupPlaces{{
    {{47, 69}, 5}, {{95, 116}, 5}, {{141, 0}, 5}, {{166, 0}, 5}, {{192, 0}, 5}, {{217, 237}, 3}, {{262, 283}, 5},
}};
constexpr std::array<int, 5> kColumns{55, 119, 183, 246, 309};
constexpr std::array<int, 5> kHdColumns{55, 118, 182, 245, 308};
constexpr std::array<int, 8> kSeparatorY{43, 90, 137, 161, 187, 213, 258, 305};

const std::vector<DialogControl>& ChooserRows() {
    static const std::vector<DialogControl> rows = [] {
        std::vector<DialogControl> made;
        made.push_back({kShowBoxId, ControlKind::CheckBox, "btnCBShowInfo", nullptr, {6, 7, 365, 22}});
        made.push_back({kSpecLineId, ControlKind::Static, "strSpecInfo", nullptr, {9, 33, 360, 8}});
        const auto groups = FormatGroups();
        for (size_t g = 0; g < groups.size(); ++g) {
            const GroupPlace& place = kGroupPlaces[g];
            made.push_back({groups[g].labelId, ControlKind::Static, groups[g].labelKey, nullptr,
                            {9, place.rowY[0] + 4, 41, 8}});
            const auto& columns = g == 0 ? kHdColumns : kColumns;
            for (size_t b = 0; b < groups[g].buttons.size(); ++b) {
                const bool firstRow = b < place.firstRowCount;
                const size_t column = firstRow ? b : b - place.firstRowCount;
                const FormatButton& button = groups[g].buttons[b];
                made.push_back({button.id, ControlKind::Button, button.labelKey, button.tooltipKey,
                                {columns[column], firstRow ? place.rowY[0] : place.rowY[1], 60, 18}});
            }
        }
        for (int y : kSeparatorY) made.push_back({0, ControlKind::Frame, nullptr, nullptr, {8, y, 361, 1}});
        return made;
    }();
    return rows;
}

// The HD group's buttons stand out in blue from the others' dark red.
const QColor kHdButtonText(0, 0, 125);
const QColor kStaticText(93, 121, 161);

void Colour(QWidget& widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(role, colour);
    widget.setPalette(palette);
}

}  // namespace

FormatChooser::FormatChooser(int aspectFitIndex, QWidget* parent)
    : QDialog(parent), aspectFitIndex_(aspectFitIndex) {
    setModal(true);
    QVS_AddFilterHook(this);
    setFixedSize(DialogUnitsToPixels(*this, QRect(0, 0, 378, 313)).size());
    table_ = std::make_unique<DialogTable>(*this, kSection, ChooserRows());
    table_->SetAfterRelabel([this] { setWindowTitle(table_->Text("strTitleInfo")); });
    setWindowTitle(table_->Text("strTitleInfo"));

    QCheckBox& box = ShowBox();
    box.setChecked(CurrentAppSettings().autoShowFormatDialog != 0);
    connect(&box, &QCheckBox::toggled, this, [](bool ticked) {
        CurrentAppSettings().autoShowFormatDialog = ticked ? 1 : 0;
        WriteAutoShowFormatDialog(ticked ? 1 : 0);
    });
    for (const FormatGroup& group : FormatGroups()) {
        if (auto* label = table_->Get<QLabel>(group.labelId)) Colour(*label, QPalette::WindowText, kStaticText);
        for (const FormatButton& entry : group.buttons) {
            QPushButton* button = Button(entry.id);
            // Enter picks only the button that has the focus.
            button->setAutoDefault(false);
            if (group.labelId == 1199) static_cast<SkinButton*>(button)->SetTextColor(kHdButtonText);
            if (entry.fileName)
                connect(button, &QPushButton::clicked, this, [this, file = entry.fileName] { Pick(file); });
            else
                connect(button, &QPushButton::clicked, this, [this, button, menu = entry.menu] {
                    OpenVariants(button, menu);
                });
        }
    }
    if (auto* line = table_->Get<QLabel>(kSpecLineId)) Colour(*line, QPalette::WindowText, kStaticText);
}

FormatChooser::~FormatChooser() = default;

QPushButton* FormatChooser::Button(int id) const { return table_->Get<QPushButton>(id); }

QCheckBox& FormatChooser::ShowBox() const { return *table_->Get<QCheckBox>(kShowBoxId); }

void FormatChooser::Pick(const char* fileName) {
    LoadDefaultProfile(fileName, profile_);
    aspectFitIndex_ = -1;
    accept();
}

void FormatChooser::OpenVariants(QPushButton* button, int menu) {
    auto* popup = new QMenu(this);
    popup->setAccessibleName(button->accessibleName());
    for (const FormatVariant& variant : FormatVariants(menu)) {
        QAction* action = popup->addAction(QString::fromUtf8(variant.text));
        connect(action, &QAction::triggered, this, [this, file = variant.fileName] { Pick(file); });
        if (variant.separatorAfter) popup->addSeparator();
    }
    openMenu_ = popup;
    connect(popup, &QMenu::aboutToHide, this, [this, popup] {
        if (openMenu_ == popup) openMenu_ = nullptr;
        popup->deleteLater();
    });
    popup->popup(button->mapToGlobal(button->rect().bottomLeft()));
}

std::optional<FormatChoice> RunFormatChooser(QWidget* parent, int aspectFitIndex) {
    FormatChooser chooser(aspectFitIndex, parent);
    if (chooser.exec() != QDialog::Accepted) return std::nullopt;
    return FormatChoice{chooser.Profile(), chooser.AspectFitIndex()};
}

}  // namespace kinolux
