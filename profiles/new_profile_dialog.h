// The name dialog of "Save as and Apply": one edit for the new profile's
// name, OK and Cancel.
#pragma once

#include "profiles/dialog_table.h"

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace kinolux {

class NewProfileDialog : public QDialog {
public:
    enum Item { kOk = 1, kCancel = 2, kName = 1054, kLabel = 1281 };

    NewProfileDialog(const std::string& proposed, QWidget* parent);
    ~NewProfileDialog() override;

    QLineEdit& NameEdit() const;
    QPushButton* Button(int id) const;
    std::string Name() const;

private:
    std::unique_ptr<DialogTable> table_;
};

// The typed name, or nothing when the dialog was cancelled.
std::optional<std::string> AskNewProfileName(QWidget* parent, const std::string& proposed);

}  // namespace kinolux
