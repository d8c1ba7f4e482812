// A dialog given as data: one row per control (id, kind, language keys and
// rectangle in dialog units), read by one builder that makes the widgets,
// places them, sets their texts, tooltips and accessible names from the
// current language pack, and sets them again when the language changes.
// Adding a control to a window is adding a row.
#pragma once

#include <QRect>
#include <functional>
#include <QString>
#include <map>
#include <span>
#include <string>

class QWidget;

namespace kinolux {

enum class ControlKind {
    Static,         // a label
    Frame,          // a grey frame drawn around a group of controls
    Button,         // a push button with a text, on the common button faces
    PictureButton,  // a push button without a text and without faces (the window gives them): named by its tooltip
    Edit,           // a read-only line edit: named by its text key
    Radio,
    CheckBox,
    SkinCheckBox,  // a kit check box: the common button faces, pressed while checked
    ComboBox,      // a drop-down list: named by its text key
    Table,         // a table view: named by its text key
    Picture,       // an area that shows a picture: named by its tooltip key
    ProgressBar,   // a bar from 0 to 100: named by its text key
    GroupBox,      // a titled frame drawn around a group of controls
    Input,         // a line edit the user types in: named by its text key
    SpinBox,       // a number with up and down arrows: named by its text key
    ColorButton,   // a button that shows a colour, with a text
    Slider,        // a horizontal track bar: named by its text key
};

struct DialogControl {
    int id;                  // the control's item id (0 for frames)
    ControlKind kind;
    const char* textKey;     // text, or for controls without a text of their own their accessible name;
                             // null leaves a shown text to the window
    const char* tooltipKey;  // may be null
    QRect units;             // x, y, width, height in dialog units
};

class DialogTable {
public:
    // Makes a child of `dialog` for every row, in row order (the tab
    // order), with its "itemId" property set. Texts come from `section`.
    DialogTable(QWidget& dialog, std::string section, std::span<const DialogControl> rows);
    ~DialogTable();
    DialogTable(const DialogTable&) = delete;
    DialogTable& operator=(const DialogTable&) = delete;

    // The widget of item `id`, or null.
    QWidget* Widget(int id) const;
    template <class T> T* Get(int id) const { return dynamic_cast<T*>(Widget(id)); }

    // The text of `key` in this table's section.
    QString Text(const char* key) const;
    // Sets every text, tooltip and accessible name again from the current
    // language pack; `then` is called afterwards for what is not a row.
    void Relabel();
    void SetAfterRelabel(std::function<void()> then) { afterRelabel_ = std::move(then); }

private:
    QWidget& dialog_;
    std::string section_;
    std::span<const DialogControl> rows_;
    std::map<int, QWidget*> widgets_;
    std::function<void()> afterRelabel_;
};

// Relabels every dialog table that exists: the language menu's choice
// reaches all open windows at once.
void RelabelAllDialogs();

// Gives a control whose text is wider than it a smaller font (down to three
// quarters of the dialog's), so the text is read whole.
void FitTextToWidth(QWidget& widget);

// A button text without its accelerator mark: "&Add" gives "Add".
QString WithoutMnemonic(const QString& text);

}  // namespace kinolux
