#include "shell/placeholder_window.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "bindings/veneer.h"
#include "profiles/language_manager.h"

namespace kinolux {

void RunPlaceholderWindow() {
    QDialog window;
    window.setWindowTitle(QStringLiteral("Kinolux"));
    QVS_AddFilterHook(&window);
    auto* layout = new QVBoxLayout(&window);
    auto* title = new QLabel(QStringLiteral("<h2>Kinolux</h2>"), &window);
    auto* text = new QLabel(QString::fromStdString(Text("ABOUT_DLG", "strDescriptionInfo")), &window);
    text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QDialog::reject);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(buttons);
    window.exec();
}

}  // namespace kinolux
