#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "shell/about_dialog.h"
#include "shell/browser_caches.h"
#include "shell/external_programs.h"
#include "shell/main_window.h"
#include "capture/shockwave_flash.h"
#include "shell/task_list_model.h"

#include <QTableView>

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

namespace kinolux {

namespace {

constexpr const char* kSection = "MAIN_DLG";

struct MenuItem {
    const char* key;
    const char* shortcut;  // appended to the text after a tab, or null
};

QString ItemText(const MenuItem& item) {
    QString text = QString::fromStdString(Text(kSection, item.key));
    if (item.shortcut) text += QStringLiteral("\t") + QString::fromLatin1(item.shortcut);
    return text;
}

}  // namespace

QMenu* MainWindow::NewMenu() {
    // Each menu is made when it opens, so its texts are the current language's.
    // The one before goes only now, not when it hides: an item may open a
    // dialog (Add files), whose event loop would otherwise delete the menu
    // while it is still handling the click or key that chose the item.
    if (lastMenu_) lastMenu_->deleteLater();
    lastMenu_ = new QMenu(this);
    return lastMenu_;
}

void MainWindow::OpenAddMenu(const QPoint& at) {
    if (converting_) return;
    QMenu* menu = NewMenu();
    menu->setAccessibleName(WithoutMnemonic(table_->Text("btnAddInfo")));
    menu->addAction(ItemText({"strAddFileInfo", nullptr}), this, &MainWindow::AddFiles);
    menu->addAction(ItemText({"strAddFolderInfo", nullptr}), this, &MainWindow::AddFolder);
    for (const auto& [key, command] : {std::pair{"strAddIECacheInfo", kAddIECache},
                                       std::pair{"strAddFirefoxCacheInfo", kAddFirefoxCache},
                                       std::pair{"strAddOperaCacheInfo", kAddOperaCache}})
        menu->addAction(ItemText({key, nullptr}), this, [this, command = command] { AddBrowserCache(command); });
    menu->popup(at);
}

void MainWindow::OpenRemoveMenu() {
    QMenu* menu = NewMenu();
    menu->setAccessibleName(WithoutMnemonic(table_->Text("btnRemoveInfo")));
    menu->addAction(ItemText({"strRemoveSelectedInfo", nullptr}), this, &MainWindow::RemoveSelected);
    menu->addAction(ItemText({"strRemoveAllUncheckedInfo", nullptr}), this, &MainWindow::RemoveUnchecked);
    menu->addAction(ItemText({"strRemoveAllInfo", nullptr}), this, &MainWindow::ClearList);
    auto* remove = Get<QPushButton>(kRemove);
    menu->popup(remove->mapToGlobal(remove->rect().bottomLeft()));
}

void MainWindow::OpenContextMenu(const QPoint& at) {
    QMenu* menu = NewMenu();
    auto setSelected = [this](bool checked) {
        for (int row : SelectedRows()) Tasks().SetChecked(row, checked);
    };
    menu->addAction(ItemText({"strSWFListPlayInfo", nullptr}), this, [this] {
        if (SingleSelectedRow(true) >= 0) preview_->Play();
    });
    menu->addAction(ItemText({"strSWFListCheckInfo", nullptr}), this, [setSelected] { setSelected(true); });
    menu->addAction(ItemText({"strSWFListUncheckedInfo", nullptr}), this, [setSelected] { setSelected(false); });
    menu->addAction(ItemText({"strSWFListCheckAllInfo", nullptr}), this, [this] { Tasks().SetAllChecked(true); });
    menu->addAction(ItemText({"strSWFListUncheckInfo", nullptr}), this, [this] { Tasks().SetAllChecked(false); });
    menu->addAction(ItemText({"strSWFListChangeFormatInfo", nullptr}), this, &MainWindow::ChangeFormat);
    menu->addAction(ItemText({"strSWFListProfileInfo", nullptr}), this, &MainWindow::ShowOptions);
    menu->popup(at);
}

void MainWindow::OpenSettingsMenu() {
    QMenu* menu = NewMenu();
    menu->setAccessibleName(table_->Text("btnSettingsTooltip"));
    menu->addAction(ItemText({"strHelpInfo", "F1"}), this, [] { OpenHelpPage(); });
    menu->addSeparator();
    QMenu* languages = menu->addMenu(QString::fromStdString(Text(kSection, "strLanguageInfo")));
    const std::vector<LanguagePack> packs = Languages().Packs();
    auto* group = new QActionGroup(languages);
    for (size_t index = 0; index < packs.size(); ++index) {
        QAction* choice = languages->addAction(QString::fromStdString(packs[index].name), this,
                                               [this, index] { ChooseLanguage(index); });
        choice->setCheckable(true);
        choice->setChecked(packs[index].name == Languages().CurrentLanguageName());
        group->addAction(choice);
    }
    menu->addAction(ItemText({"strDiscForgeInfo", "Ctrl+B"}), this, [] { StartDiscBurner(); });
    menu->addAction(ItemText({"strMediaplayerInfo", "Ctrl+E"}), this, [] { StartMediaPlayer(); });
    menu->addSeparator();
    menu->addAction(ItemText({"strAboutInfo", "Ctrl+A"}), this, &MainWindow::ShowAbout);
    menu->addSeparator();
    menu->addAction(ItemText({"strExitInfo", "Alt+F4"}), this, &MainWindow::close);
    auto* settings = Get<QPushButton>(kSettings);
    const QPoint corner = settings->mapToGlobal(settings->rect().bottomRight());
    menu->popup(QPoint(corner.x() - menu->sizeHint().width(), corner.y()));
}

void MainWindow::ChooseLanguage(size_t index) {
    Languages().SelectLanguageByIndex(index);
    WriteLanguage(Languages().CurrentLanguageName());
    RelabelAllDialogs();
}

void MainWindow::ShowAbout() { RunAboutDialog(this); }

void MainWindow::AddAccelerators() {
    const auto bind = [this](QKeySequence keys, auto handler) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, handler);
        addAction(action);
    };
    bind(QKeySequence(Qt::Key_F1), [] { OpenHelpPage(); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_B), [] { StartDiscBurner(); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_E), [] { StartMediaPlayer(); });
    bind(QKeySequence(Qt::CTRL | Qt::Key_A), [this] { ShowAbout(); });
    bind(QKeySequence(Qt::ALT | Qt::Key_F4), [this] { close(); });
    // The list's own keys: Delete removes the selected movies, Insert adds,
    // the menu key opens the selected movie's menu.
    bind(QKeySequence(Qt::Key_Delete), [this] {
        if (!converting_ && List().hasFocus()) RemoveSelected();
    });
    bind(QKeySequence(Qt::Key_Insert), [this] {
        if (List().hasFocus()) OpenAddMenu(List().mapToGlobal(QPoint(0, 0)));
    });
    bind(QKeySequence(Qt::Key_Menu), [this] {
        if (List().hasFocus() && SelectedRows().size() == 1)
            OpenContextMenu(List().mapToGlobal(List().visualRect(List().currentIndex()).center()));
    });
}

}  // namespace kinolux
