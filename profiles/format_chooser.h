// The format chooser: the whole catalogue as rows of buttons under group
// labels. A button that names a profile file picks it at once; one with
// variants opens their menu, and a chosen variant picks its file. A pick
// loads the file's remembered profile and closes the chooser with OK. The
// check box above says whether the chooser opens by itself when movies are
// added, and is stored at every click.
#pragma once

#include "profiles/dialog_table.h"
#include "profiles/profile_settings.h"

#include <QDialog>
#include <memory>
#include <optional>

class QCheckBox;
class QMenu;
class QPushButton;

namespace kinolux {

class FormatChooser : public QDialog {
public:
    // `aspectFitIndex` is the task's; a pick sets it to -1.
    explicit FormatChooser(int aspectFitIndex, QWidget* parent = nullptr);
    ~FormatChooser() override;

    // Valid after OK.
    const ProfileSettings& Profile() const { return profile_; }
    int AspectFitIndex() const { return aspectFitIndex_; }

    QPushButton* Button(int id) const;
    QCheckBox& ShowBox() const;
    // The variants' menu while it is open, else null.
    QMenu* OpenMenu() const { return openMenu_; }

    // Loads the remembered (or first) profile of `fileName` and closes with OK.
    void Pick(const char* fileName);

private:
    void OpenVariants(QPushButton* button, int menu);

    std::unique_ptr<DialogTable> table_;
    ProfileSettings profile_;
    int aspectFitIndex_;
    QMenu* openMenu_ = nullptr;
};

// What a pick hands its caller.
struct FormatChoice {
    ProfileSettings profile;
    int aspectFitIndex = -1;
};
// Runs the chooser modally; nothing when it was cancelled.
std::optional<FormatChoice> RunFormatChooser(QWidget* parent, int aspectFitIndex);

}  // namespace kinolux
