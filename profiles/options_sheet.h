// The options sheet: the profile of one task on four tabbed pages (audio,
// video, resize, crop and pad). OK applies the edited values to the task;
// "Save&Apply" opens a menu that also saves them over the current profile
// or as a new one. Values the encoder cannot take are refused, page by
// page, and never leave the sheet.
#pragma once

#include "profiles/dialog_table.h"
#include "profiles/options_sheet_pages.h"
#include "profiles/options_sheet_values.h"

#include <QDialog>
#include <array>
#include <memory>

class QMenu;
class QPushButton;

namespace kinolux {

class SkinTabs;

class OptionsSheet : public QDialog {
public:
    // How the sheet closed.
    enum class Close { Cancelled, Ok, SaveAndApply, SaveAsAndApply };
    enum Item { kOk = 1, kCancel = 2, kSave = 999, kDefault = 1000 };

    explicit OptionsSheet(const ProfileSettings& profile, QWidget* parent = nullptr);
    ~OptionsSheet() override;

    SkinTabs& Tabs() const { return *tabs_; }
    OptionsPage& Page(OptionPage page) const { return *pages_[page]; }
    VideoOptionsPage& Video() const { return *video_; }
    CropPadOptionsPage& CropPad() const { return *cropPad_; }
    QPushButton* Button(int id) const;
    // The save menu while it is open, else null.
    QMenu* SaveMenu() const { return saveMenu_; }

    // Valid after the sheet was accepted.
    Close CloseMode() const { return closeMode_; }
    const ProfileSettings& Edited() const { return edited_; }

    // Takes every page's values; a refused value is said, its page and
    // control are shown, and the sheet stays open.
    void accept() override;

private:
    void Relabel();
    void OpenSaveMenu();
    void TabChosen(int index);
    void RefreshDefaultBitRate();
    // Shows `page` without taking the values of the page left.
    void GoTo(OptionPage page, int item);

    std::unique_ptr<DialogTable> table_;
    SkinTabs* tabs_;
    AudioOptionsPage* audio_;
    VideoOptionsPage* video_;
    ResizeOptionsPage* resize_;
    CropPadOptionsPage* cropPad_;
    std::array<OptionsPage*, 4> pages_{};
    std::array<bool, 4> shown_{};
    ProfileSettings edited_;
    Close closeMode_ = Close::Ok;
    int current_ = 0;
    bool goingBack_ = false;
    QMenu* saveMenu_ = nullptr;
};

// Runs the sheet for a task's profile. Unless it was cancelled the edited
// values become the profile (with its source fields and default bit rate
// set again) and the chosen save is made, asking a new profile's name in
// the name dialog.
OptionsSheet::Close RunOptionsSheet(QWidget* parent, ProfileSettings& profile, int sourceWidth, int sourceHeight);

}  // namespace kinolux
