// A dynamic or input text field: the text it shows (plain, or HTML source
// when html is set), its box and the settings scripts may change.
#pragma once

#include <QColor>
#include <QString>
#include <algorithm>
#include <optional>

#include "flash/core/display_object.h"
#include "flash/core/html_text.h"
#include "flash/core/text_layout.h"

namespace flash {

enum class AutoSize : std::uint8_t { None, Left, Center, Right };

// Where typing goes: the fixed end of the selection and the caret, which
// moves with the keys; equal when nothing is selected.
struct TextSelection {
    int anchor = 0, caret = 0;
    int begin() const { return std::min(anchor, caret); }
    int end() const { return std::max(anchor, caret); }
    bool operator==(const TextSelection&) const = default;
};

class EditText : public DisplayObject {
public:
    // A field the timeline places, set up from its definition.
    EditText(const Character* c, Player& player);
    // A field a script creates (createTextField), at a box in pixels.
    EditText(Player& player, QRectF boxPixels);

    // The definition the field was placed from; null for script-made ones.
    const swf::DefineEditText* definition() const { return character_ ? character_->as<swf::DefineEditText>() : nullptr; }
    // The embedded font the definition names, if any.
    const Character* definedFont() const;
    // The library the field's font names are looked up in.
    const Library& library() const;

    // The text and the format of each character.
    RichText content;
    // Whether scripts may set the text as HTML (htmlText).
    bool html = false;
    QRectF box;  // twips, in the field's own coordinates
    // The format text that scripts add takes (TextField's new text format).
    TextStyle style;
    bool border = false, background = false;
    QColor borderColor = Qt::black, backgroundColor = Qt::white;
    bool multiline = false, wordWrap = false, password = false, selectable = true;
    bool editable = false, embedFonts = false, condenseWhite = false;
    // Whether the wheel may scroll the field; scripts read back what they set.
    bool mouseWheelEnabled = true;
    AutoSize autoSize = AutoSize::None;
    int maxChars = 0;  // 0: no limit
    QString restrict;  // empty: anything may be typed
    bool hasRestrict = false;
    kinolux::script::String variable;
    // The variable's value as the field last took or gave it.
    QString variableValue;
    int scroll = 1, hscroll = 0;

    // The text without markup, as scripts read .text.
    const QString& plainText() const { return content.text(); }
    // New text in the new text format.
    void setPlainText(const QString& text);
    // Text read as HTML when the field is an HTML one, else taken as it is.
    void setHtmlText(const QString& html);
    // The text as HTML; a field that is no HTML one gives its plain text,
    // one with a style sheet the HTML as it was set.
    QString htmlText() const;
    // A style sheet styles the HTML set from now on, and the HTML last set
    // under a sheet is read again with it; an empty one takes the sheet
    // away and reads that HTML without it. The user cannot edit a field
    // with a style sheet.
    void setStyleSheet(HtmlStyleSheet sheet);
    // Takes the sheet away, the text keeping the formats it gave.
    void dropStyleSheet();
    bool hasStyleSheet() const { return bool(styleSheet_); }
    // Whether typing, pasting and erasing change the text.
    bool userEditable() const { return editable && !styleSheet_; }

    // The selection, kept within the text; none until the field first takes
    // the focus or a script selects in it.
    std::optional<TextSelection> selection() const;
    void select(int anchor, int caret) { selection_ = TextSelection{anchor, caret}; }
    void selectAll() { select(0, content.size()); }
    void clearSelection() { selection_.reset(); }

    // ---- layout, as scripts read it ----
    // The text laid out in the player's system fonts.
    TextLayout layout() const;
    // Lines the box shows, counted from 1: the first may be moved to any
    // line up to maxScroll.
    int maxScroll() const;
    int bottomScroll() const;
    int visibleScroll() const;
    // Pixels the text may be moved left by (hscroll).
    int maxHScroll() const;
    int visibleHScroll() const;
    // The character drawn at a point of the field's own twips, scrolling
    // counted; -1 where there is none.
    int characterAt(QPointF local) const;
    // The caret place nearest a point of the field's own twips: the nearest
    // glyph edge of the line there (the first or last line above or below
    // the text).
    int caretIndexAt(QPointF local) const;
    // Fits the box to the text where autoSize asks for it: its width (unless
    // the text wraps) and height grow or shrink, the edge autoSize names
    // staying where it is.
    void fitToText();

    QRectF localBounds() const override { return box; }
    // A field takes a new size by resizing its box, not by scaling.
    void setWidth(double pixels) override;
    void setHeight(double pixels) override;

private:
    std::optional<TextSelection> selection_;
    HtmlStyleSheet styleSheet_;
    QString htmlSource_;  // as last set under a sheet, until plain text replaces it
};

// Text as stored in the file: UTF-8 from SWF 6 on, the Windows code page
// (taken as Latin-1) before.
QString decodeSwfString(const std::string& s, std::uint8_t swfVersion);

}  // namespace flash
