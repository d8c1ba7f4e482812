#include "shell/about_dialog.h"

#include "bindings/veneer.h"
#include "capture/dialog_units.h"
#include "profiles/dialog_table.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <array>

namespace kinolux {

namespace {

constexpr std::array<DialogControl, 3> kRows{{
    {1001, ControlKind::Static, "strTitleInfo", nullptr, {10, 8, 180, 12}},
    {1002, ControlKind::Static, "strDescriptionInfo", nullptr, {10, 24, 180, 30}},
    {1, ControlKind::Button, "btnOKInfo", nullptr, {75, 60, 50, 14}},
}};

}  // namespace

void RunAboutDialog(QWidget* parent) {
    QDialog about(parent);
    QVS_AddFilterHook(&about);
    about.setFixedSize(DialogUnitsToPixels(about, QRect(0, 0, 200, 82)).size());
    DialogTable table(about, "ABOUT_DLG", kRows);
    about.setWindowTitle(table.Text("strTitleInfo"));
    auto* title = table.Get<QLabel>(1001);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    table.Get<QLabel>(1002)->setWordWrap(true);
    table.Get<QLabel>(1002)->setFont(about.font());
    auto* ok = table.Get<QPushButton>(1);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &about, &QDialog::accept);
    about.exec();
}

}  // namespace kinolux
