#include "profiles/options_sheet.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"
#include "controlkit/skin_tabs.h"
#include "platform/report.h"
#include "profiles/new_profile_dialog.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace kinolux {

namespace {

constexpr const char* kSection = "OPTION_DLG";
constexpr const char* kTabKeys[] = {"tabAudioPageInfo", "tabVideoPageInfo", "tabResizePageInfo", "tabCropPadPageInfo"};

// The sheet's own buttons below the pages: OK and Cancel keep their
// standard texts; "Save&Apply" and "Default" stand where a property sheet
// has Apply and Help.
constexpr DialogControl kRows[] = {
    {OptionsSheet::kOk, ControlKind::Button, nullptr, nullptr, {54, 214, 50, 15}},
    {OptionsSheet::kCancel, ControlKind::Button, nullptr, nullptr, {108, 214, 50, 15}},
    {OptionsSheet::kSave, ControlKind::Button, "btnSaveApplyInfo", nullptr, {162, 214, 74, 15}},
    {OptionsSheet::kDefault, ControlKind::Button, "btnDefaultInfo", nullptr, {240, 214, 54, 15}},
};
const QRect kTabsUnits(4, 4, 290, 204);
const QRect kSheetUnits(0, 0, 298, 234);

}  // namespace

OptionsSheet::OptionsSheet(const ProfileSettings& profile, QWidget* parent) : QDialog(parent), edited_(profile) {
    setModal(true);
    QVS_AddFilterHook(this);
    setFixedSize(DialogUnitsToPixels(*this, kSheetUnits).size());
    tabs_ = new SkinTabs(this);
    tabs_->setGeometry(DialogUnitsToPixels(*this, kTabsUnits));
    tabs_->setUsesScrollButtons(false);
    audio_ = new AudioOptionsPage(tabs_);
    video_ = new VideoOptionsPage(tabs_);
    resize_ = new ResizeOptionsPage(tabs_);
    cropPad_ = new CropPadOptionsPage(tabs_);
    pages_ = {audio_, video_, resize_, cropPad_};
    for (OptionsPage* page : pages_) {
        page->Show(edited_);
        tabs_->addTab(page, QString());
    }
    shown_[kAudioPage] = true;
    table_ = std::make_unique<DialogTable>(*this, kSection, kRows);
    table_->SetAfterRelabel([this] { Relabel(); });
    Relabel();

    Button(kOk)->setDefault(true);
    // Nothing is asked of it: the button only stands where the design has it.
    Button(kDefault)->setEnabled(false);
    connect(Button(kOk), &QPushButton::clicked, this, &OptionsSheet::accept);
    connect(Button(kCancel), &QPushButton::clicked, this, &QDialog::reject);
    connect(Button(kSave), &QPushButton::clicked, this, &OptionsSheet::OpenSaveMenu);
    connect(tabs_, &QTabWidget::currentChanged, this, &OptionsSheet::TabChosen);
    for (int id : video_->LevelItems())
        connect(video_->Get<QLineEdit>(id), &QLineEdit::textChanged, this, &OptionsSheet::RefreshDefaultBitRate);
}

OptionsSheet::~OptionsSheet() = default;

QPushButton* OptionsSheet::Button(int id) const { return table_->Get<QPushButton>(id); }

void OptionsSheet::Relabel() {
    setWindowTitle(QString::fromStdString(edited_.ProfileName) + " - Options");
    // A tab's text has no accelerator: "Crop & Pad" shows its "&".
    for (int i = 0; i < 4; ++i) tabs_->setTabText(i, table_->Text(kTabKeys[i]).replace('&', "&&"));
    for (auto [id, text] : {std::pair{kOk, "OK"}, std::pair{kCancel, "Cancel"}}) {
        Button(id)->setText(text);
        Button(id)->setAccessibleName(text);
    }
}

void OptionsSheet::OpenSaveMenu() {
    auto* menu = new QMenu(this);
    const std::pair<const char*, Close> items[] = {{"strSaveInfo", Close::SaveAndApply},
                                                   {"strSaveAsInfo", Close::SaveAsAndApply}};
    for (const auto& [key, mode] : items) {
        connect(menu->addAction(table_->Text(key)), &QAction::triggered, this, [this, mode = mode] {
            closeMode_ = mode;
            accept();
        });
    }
    saveMenu_ = menu;
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
        if (saveMenu_ == menu) saveMenu_ = nullptr;
        menu->deleteLater();
    });
    QPushButton* button = Button(kSave);
    menu->popup(button->mapToGlobal(button->rect().bottomLeft()));
}

void OptionsSheet::GoTo(OptionPage page, int item) {
    goingBack_ = true;
    tabs_->setCurrentIndex(page);
    goingBack_ = false;
    current_ = page;
    if (QWidget* control = pages_[page]->Widget(item)) control->setFocus();
}

void OptionsSheet::TabChosen(int index) {
    if (goingBack_ || index < 0) return;
    // A page is left only with values that read as numbers.
    if (const std::optional<OptionRefusal> refusal = pages_[current_]->Take(edited_)) {
        ReportMessage(refusal->message);
        GoTo(refusal->page, refusal->item);
        return;
    }
    current_ = index;
    // The first look shows the task's own default bit rate; later ones the
    // rate for the other pages' present choices.
    if (index == kVideoPage && shown_[kVideoPage]) RefreshDefaultBitRate();
    shown_[index] = true;
}

void OptionsSheet::RefreshDefaultBitRate() {
    ProfileSettings now = edited_;
    for (OptionsPage* page : pages_) page->Take(now);
    video_->ShowDefaultBitRate(LiveDefaultVideoBitRate(now));
}

void OptionsSheet::accept() {
    const Close chosen = closeMode_;
    closeMode_ = Close::Ok;
    ProfileSettings taken = edited_;
    std::optional<OptionRefusal> refusal;
    for (OptionsPage* page : pages_)
        if (std::optional<OptionRefusal> found = page->Take(taken); found && !refusal) refusal = found;
    // A codec list that was never shown has not shown the profile's own
    // name either (one the list lacks shows as "auto"), so it keeps it.
    if (!shown_[kAudioPage]) taken.cAudioCodec = edited_.cAudioCodec;
    if (!shown_[kVideoPage]) taken.cVideoCodec = edited_.cVideoCodec;
    if (!refusal) refusal = FindRefusedValue(taken);
    edited_ = taken;
    if (refusal) {
        ReportMessage(refusal->message);
        GoTo(refusal->page, refusal->item);
        return;
    }
    closeMode_ = chosen;
    QDialog::accept();
}

OptionsSheet::Close RunOptionsSheet(QWidget* parent, ProfileSettings& profile, int sourceWidth, int sourceHeight) {
    OptionsSheet sheet(profile, parent);
    if (sheet.exec() != QDialog::Accepted) return OptionsSheet::Close::Cancelled;
    ApplyEditedProfile(sheet.Edited(), profile, sourceWidth, sourceHeight);
    const OptionsSheet::Close mode = sheet.CloseMode();
    if (mode == OptionsSheet::Close::SaveAndApply) SaveOverCurrentProfile(profile);
    if (mode == OptionsSheet::Close::SaveAsAndApply)
        SaveAsNewProfile(profile,
                         [parent](const std::string& proposed) { return AskNewProfileName(parent, proposed); });
    return mode;
}

}  // namespace kinolux
