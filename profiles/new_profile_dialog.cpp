#include "profiles/new_profile_dialog.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"

#include <QLineEdit>
#include <QPushButton>

namespace kinolux {

namespace {

// Profile names are held in 200-character buffers where the program shows them.
constexpr int kMaxNameLength = 200;

constexpr DialogControl kRows[] = {
    {NewProfileDialog::kLabel, ControlKind::Static, "strNewprofileInfo", nullptr, {7, 8, 255, 8}},
    {NewProfileDialog::kName, ControlKind::Input, "strNewprofileInfo", nullptr, {7, 22, 255, 14}},
    {NewProfileDialog::kOk, ControlKind::Button, "btnOKInfo", "btnOKTooltip", {150, 52, 54, 16}},
    {NewProfileDialog::kCancel, ControlKind::Button, "btnCancelInfo", "btnCancelTooltip", {208, 52, 54, 16}},
};

}  // namespace

NewProfileDialog::NewProfileDialog(const std::string& proposed, QWidget* parent) : QDialog(parent) {
    setModal(true);
    QVS_AddFilterHook(this);
    setFixedSize(DialogUnitsToPixels(*this, QRect(0, 0, 269, 75)).size());
    table_ = std::make_unique<DialogTable>(*this, "NEWPROFILE_DLG", kRows);
    table_->SetAfterRelabel([this] { setWindowTitle(table_->Text("strTitleInfo")); });
    setWindowTitle(table_->Text("strTitleInfo"));
    NameEdit().setMaxLength(kMaxNameLength);
    NameEdit().setText(QString::fromStdString(proposed));
    NameEdit().selectAll();
    Button(kOk)->setDefault(true);
    connect(Button(kOk), &QPushButton::clicked, this, &QDialog::accept);
    connect(Button(kCancel), &QPushButton::clicked, this, &QDialog::reject);
}

NewProfileDialog::~NewProfileDialog() = default;

QLineEdit& NewProfileDialog::NameEdit() const { return *table_->Get<QLineEdit>(kName); }

QPushButton* NewProfileDialog::Button(int id) const { return table_->Get<QPushButton>(id); }

std::string NewProfileDialog::Name() const { return NameEdit().text().toStdString(); }

std::optional<std::string> AskNewProfileName(QWidget* parent, const std::string& proposed) {
    NewProfileDialog dialog(proposed, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Name();
}

}  // namespace kinolux
