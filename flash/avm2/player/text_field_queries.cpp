// What a TextField tells scripts about its laid-out text: its lines, where
// a character is drawn, the character at a point, and the selection.
#include <cmath>

#include "flash/avm1/player/text_values.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/geom_values.h"
#include "flash/avm2/player/natives.h"
#include "flash/core/edit_text.h"
#include "flash/core/text_layout.h"

namespace flash {
namespace {

using namespace as3;

constexpr double kTwips = 20;

EditText* editTextOf(const Value& t) {
    DisplayObject* d = DisplayBridge::displayOf(t);
    return d && d->kind() == ObjectKind::EditText ? static_cast<EditText*>(d) : nullptr;
}

EditText& fieldOf(Vm& vm, const Value& t) {
    EditText* field = editTextOf(t);
    if (!field) throwNullObject(vm);
    return *field;
}

// An index argument within [0, size); -1 when it is not one.
int indexWithin(Vm& vm, Args a, std::size_t i, int size) {
    const double n = vm.toNumber(arg(a, i));
    return std::isfinite(n) && n >= 0 && n < size ? int(n) : -1;
}

const LayoutLine& lineArgument(Vm& vm, const TextLayout& layout, Args a) {
    const int line = indexWithin(vm, a, 0, int(layout.lines.size()));
    if (line < 0) throwOutOfBounds(vm);
    return layout.lines[std::size_t(line)];
}

// The line holding a character; a character past the text is on the last.
int lineOfCharacter(const TextLayout& layout, int index) {
    for (std::size_t i = 0; i < layout.lines.size(); ++i)
        if (index < layout.lines[i].end) return int(i);
    return int(layout.lines.size()) - 1;
}

Value numLines(Vm& vm, const Value& t, Args) { return Value(double(fieldOf(vm, t).layout().lines.size())); }

Value getLineLength(Vm& vm, const Value& t, Args a) {
    const TextLayout layout = fieldOf(vm, t).layout();
    const LayoutLine& line = lineArgument(vm, layout, a);
    return Value(double(line.end - line.begin));
}

Value getLineOffset(Vm& vm, const Value& t, Args a) {
    const TextLayout layout = fieldOf(vm, t).layout();
    return Value(double(lineArgument(vm, layout, a).begin));
}

Value getLineText(Vm& vm, const Value& t, Args a) {
    const EditText& field = fieldOf(vm, t);
    const TextLayout layout = field.layout();
    const LayoutLine& line = lineArgument(vm, layout, a);
    return Value(toScriptString(field.plainText().mid(line.begin, line.end - line.begin)));
}

Value getLineIndexOfChar(Vm& vm, const Value& t, Args a) {
    const EditText& field = fieldOf(vm, t);
    const int index = indexWithin(vm, a, 0, field.content.size());
    return Value(index < 0 ? -1.0 : double(lineOfCharacter(field.layout(), index)));
}

Value getFirstCharInParagraph(Vm& vm, const Value& t, Args a) {
    const EditText& field = fieldOf(vm, t);
    const int index = indexWithin(vm, a, 0, field.content.size());
    return Value(index < 0 ? -1.0 : double(field.content.paragraphStart(index)));
}

Value getParagraphLength(Vm& vm, const Value& t, Args a) {
    const EditText& field = fieldOf(vm, t);
    const int index = indexWithin(vm, a, 0, field.content.size());
    if (index < 0) return Value(-1.0);
    const int begin = field.content.paragraphStart(index);
    return Value(double(field.content.paragraphEnd(begin) - begin));
}

// Where a character is drawn, in the field's pixels: lines scrolled out
// above have none, and neither have line breaks.
Value getCharBoundaries(Vm& vm, const Value& t, Args a) {
    const EditText& field = fieldOf(vm, t);
    const int index = indexWithin(vm, a, 0, field.content.size());
    if (index < 0) return Value::null();
    const TextLayout layout = field.layout();
    const int line = lineOfCharacter(layout, index);
    const int first = field.visibleScroll() - 1;
    if (line < first) return Value::null();
    const LayoutLine& l = layout.lines[std::size_t(line)];
    for (const LayoutGlyph& g : l.glyphs) {
        if (g.index != index) continue;
        const double height = l.height() - l.leading;
        const QRectF bounds(field.box.left() + kTextGutter + l.left + g.x,
                            field.box.top() + kTextGutter + l.top - layout.lines[std::size_t(first)].top, g.advance,
                            height);
        return Value(newRectangle(vm, QRectF(bounds.topLeft() / kTwips, bounds.size() / kTwips)));
    }
    return Value::null();
}

QPointF pointArguments(Vm& vm, Args a) { return QPointF(vm.toNumber(arg(a, 0)), vm.toNumber(arg(a, 1))) * kTwips; }

Value getCharIndexAtPoint(Vm& vm, const Value& t, Args a) {
    return Value(double(fieldOf(vm, t).characterAt(pointArguments(vm, a))));
}

// The line at a point, counting the lines scrolled out; -1 off the text.
Value getLineIndexAtPoint(Vm& vm, const Value& t, Args a) {
    const EditText& field = fieldOf(vm, t);
    const QPointF p = pointArguments(vm, a);
    const TextLayout layout = field.layout();
    const int first = field.visibleScroll() - 1;
    const double y = p.y() - field.box.top() - kTextGutter + layout.lines[std::size_t(first)].top;
    if (p.x() < field.box.left() || p.x() >= field.box.right()) return Value(-1.0);
    for (std::size_t i = std::size_t(first); i < layout.lines.size(); ++i)
        if (y >= layout.lines[i].top && y < layout.lines[i].top + layout.lines[i].height()) return Value(double(i));
    return Value(-1.0);
}

// ---- the selection: none yet reads as the caret at the start ----

TextSelection selectionOf(const EditText& field) { return field.selection().value_or(TextSelection{}); }

Value selectionBeginIndex(Vm& vm, const Value& t, Args) { return Value(double(selectionOf(fieldOf(vm, t)).begin())); }
Value selectionEndIndex(Vm& vm, const Value& t, Args) { return Value(double(selectionOf(fieldOf(vm, t)).end())); }
Value caretIndex(Vm& vm, const Value& t, Args) { return Value(double(selectionOf(fieldOf(vm, t)).caret)); }

Value selectedText(Vm& vm, const Value& t, Args) {
    const EditText& field = fieldOf(vm, t);
    const TextSelection s = selectionOf(field);
    return Value(toScriptString(field.plainText().mid(s.begin(), s.end() - s.begin())));
}

// Indexes past the text select up to its end; negative ones count as 0.
Value setSelection(Vm& vm, const Value& t, Args a) {
    EditText& field = fieldOf(vm, t);
    auto position = [&](std::size_t i) {
        const double n = vm.toNumber(arg(a, i));
        return std::isnan(n) || n < 0 ? 0 : int(std::min<double>(n, field.content.size()));
    };
    field.select(position(0), position(1));
    return Value();
}

}  // namespace

void installTextFieldQueries(Vm& vm, Class* textField) {
    vm.defineGetter(textField, u"numLines", numLines);
    vm.defineTraitMethod(textField, u"getLineLength", getLineLength);
    vm.defineTraitMethod(textField, u"getLineOffset", getLineOffset);
    vm.defineTraitMethod(textField, u"getLineText", getLineText);
    vm.defineTraitMethod(textField, u"getLineIndexOfChar", getLineIndexOfChar);
    vm.defineTraitMethod(textField, u"getFirstCharInParagraph", getFirstCharInParagraph);
    vm.defineTraitMethod(textField, u"getParagraphLength", getParagraphLength);
    vm.defineTraitMethod(textField, u"getCharBoundaries", getCharBoundaries);
    vm.defineTraitMethod(textField, u"getCharIndexAtPoint", getCharIndexAtPoint);
    vm.defineTraitMethod(textField, u"getLineIndexAtPoint", getLineIndexAtPoint);
    vm.defineGetter(textField, u"selectionBeginIndex", selectionBeginIndex);
    vm.defineGetter(textField, u"selectionEndIndex", selectionEndIndex);
    vm.defineGetter(textField, u"caretIndex", caretIndex);
    vm.defineGetter(textField, u"selectedText", selectedText);
    vm.defineTraitMethod(textField, u"setSelection", setSelection);
}

}  // namespace flash
