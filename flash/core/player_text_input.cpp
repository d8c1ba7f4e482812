// Typing into the text field that has the focus: characters, the editing
// keys and the clipboard, and what the field's listeners hear of it.
#include "flash/core/edit_text.h"
#include "flash/core/player.h"
#include "flash/core/text_editing.h"

namespace flash {

EditText* Player::focusedTextField() {
    auto focused = input_.focus.lock();
    if (!focused || !focused->onStage() || focused->kind() != ObjectKind::EditText) return nullptr;
    return static_cast<EditText*>(focused.get());
}

void Player::textChangedByUser(EditText& field) {
    storeTextVariable(field);
    if (scriptsEnabled_) timelineScripts_->textChanged(field);
}

void Player::textInput(char32_t codepoint) {
    EditText* field = focusedTextField();
    if (!field || !field->userEditable()) return;
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
    if (!field->userEditable() && !field->selectable) return;
    bool changed = false;
    switch (control) {
    case TextControl::MoveLeft: stepCaret(*field, false, false, extend); break;
    case TextControl::MoveRight: stepCaret(*field, true, false, extend); break;
    case TextControl::MoveLeftLine: stepCaret(*field, false, true, extend); break;
    case TextControl::MoveRightLine: stepCaret(*field, true, true, extend); break;
    case TextControl::MoveLeftDocument: moveCaret(*field, 0, extend); break;
    case TextControl::MoveRightDocument: moveCaret(*field, field->content.size(), extend); break;
    case TextControl::SelectLeft: stepCaret(*field, false, false, true); break;
    case TextControl::SelectRight: stepCaret(*field, true, false, true); break;
    case TextControl::SelectAll: field->selectAll(); break;
    case TextControl::Copy:
        if (!field->password) input_.clipboard = selectedText(*field);
        break;
    case TextControl::Cut:
        if (field->password || !field->userEditable()) break;
        if (const QString cut = selectedText(*field); !cut.isEmpty()) {
            input_.clipboard = cut;
            changed = eraseAtCaret(*field, true);
        }
        break;
    case TextControl::Paste:
        if (field->userEditable()) changed = typeText(*field, input_.clipboard);
        break;
    case TextControl::Backspace:
    case TextControl::Delete:
        if (field->userEditable()) changed = eraseAtCaret(*field, control == TextControl::Delete);
        break;
    case TextControl::Enter:
        if (field->userEditable()) changed = typeText(*field, QStringLiteral("\r"));
        break;
    }
    if (changed) textChangedByUser(*field);
    runQueue();
}

}  // namespace flash
