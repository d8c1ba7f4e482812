// Typing into the text field that has the focus: characters, the editing
// keys and the clipboard, and what the field's listeners hear of it.
#include "flash/avm1/vm.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "flash/core/text_editing.h"
#include "flash/core/text_values.h"

namespace flash {

EditText* Player::focusedTextField() {
    auto focused = input_.focus.lock();
    if (!focused || !focused->onStage() || focused->kind() != ObjectKind::EditText) return nullptr;
    return static_cast<EditText*>(focused.get());
}

void Player::textChangedByUser(EditText& field) {
    storeTextVariable(field);
    if (scriptsEnabled_) vm_->notifyTextChanged(field.binding());
}

void Player::textInput(char32_t codepoint) {
    EditText* field = focusedTextField();
    if (!field || !field->editable) return;
    // Held while the handlers run: they may take it off the stage.
    auto kept = field->shared_from_this();
    if (typeText(*field, QString::fromUcs4(&codepoint, 1))) textChangedByUser(*field);
    runQueue();
}

void Player::textControl(TextControl control) {
    EditText* field = focusedTextField();
    if (!field) return;
    auto kept = field->shared_from_this();
    const bool extend = input_.isKeyDown(16);
    // A field that is neither editable nor selectable still holds the focus,
    // but the keys do nothing in it.
    if (!field->editable && !field->selectable) return;
    bool changed = false;
    switch (control) {
    case TextControl::MoveLeft: stepCaret(*field, false, false, extend); break;
    case TextControl::MoveRight: stepCaret(*field, true, false, extend); break;
    case TextControl::MoveLeftLine: stepCaret(*field, false, true, extend); break;
    case TextControl::MoveRightLine: stepCaret(*field, true, true, extend); break;
    case TextControl::SelectAll: field->selectAll(); break;
    case TextControl::Copy:
        if (!field->password) input_.clipboard = selectedText(*field);
        break;
    case TextControl::Cut:
        if (field->password || !field->editable) break;
        if (const QString cut = selectedText(*field); !cut.isEmpty()) {
            input_.clipboard = cut;
            changed = eraseAtCaret(*field, true);
        }
        break;
    case TextControl::Paste:
        if (field->editable) changed = typeText(*field, input_.clipboard);
        break;
    case TextControl::Backspace:
    case TextControl::Delete:
        if (field->editable) changed = eraseAtCaret(*field, control == TextControl::Delete);
        break;
    case TextControl::Enter:
        if (field->editable) changed = typeText(*field, QStringLiteral("\r"));
        break;
    }
    if (changed) textChangedByUser(*field);
    runQueue();
}

void Player::followLinkAtMouse() {
    DisplayObject* hit = nullptr;
    for (auto it = levels_.rbegin(); it != levels_.rend() && !hit; ++it)
        hit = textFieldAt(*it->second, input_.mouse * 20.0, false);
    if (!hit || !scriptsEnabled_) return;
    auto& field = static_cast<EditText&>(*hit);
    const QPointF local = field.worldMatrix().inverted().map(input_.mouse * 20.0) / 20.0;
    const std::optional<int> at = characterAt(field, local);
    if (!at) return;
    const TextStyle& style = field.content.styleAt(*at);
    if (style.url.isEmpty()) return;
    static const QString kScheme = QStringLiteral("asfunction:");
    if (!style.url.startsWith(kScheme, Qt::CaseInsensitive)) {
        getUrl(toScriptString(style.url), toScriptString(style.target), kinolux::avm1::HttpMethod::None, {});
        return;
    }
    // The function's name, then what follows the first comma as its one argument.
    const QString call = style.url.mid(kScheme.size());
    const qsizetype comma = call.indexOf(u',');
    const QString name = comma < 0 ? call : call.left(comma);
    if (name.isEmpty() || !field.parent()) return;
    std::optional<kinolux::avm1::String> arg;
    if (comma >= 0) arg = toScriptString(call.mid(comma + 1));
    vm_->callLinkFunction(field.parent()->binding(), toScriptString(name), arg);
}

}  // namespace flash
