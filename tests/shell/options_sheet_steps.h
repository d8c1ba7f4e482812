// What a person does on the options sheet, for the window tests: find a
// control of a page, type into an edit (which takes the focus first, as a
// click does), choose an item of the save menu.
#pragma once

#include "controlkit/color_button.h"
#include "controlkit/skin_tabs.h"
#include "profiles/options_sheet.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace kinolux::testing {

template <class T>
inline T* Control(OptionsSheet& sheet, OptionPage page, int id) {
    T* control = sheet.Page(page).Get<T>(id);
    EXPECT_NE(control, nullptr) << id;
    return control;
}

inline void Type(OptionsSheet& sheet, OptionPage page, int id, const QString& text) {
    QLineEdit* edit = Control<QLineEdit>(sheet, page, id);
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &focus);
    edit->setText(text);
}

inline void ChooseSave(OptionsSheet& sheet, const QString& item) {
    sheet.Button(OptionsSheet::kSave)->click();
    QMenu* menu = sheet.SaveMenu();
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions())
        if (action->text() == item) {
            menu->hide();
            action->trigger();
            return;
        }
    FAIL() << "no item " << item.toStdString();
}

}  // namespace kinolux::testing
