#include "tools/corpus/input_script.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <span>

namespace corpus {
namespace {

struct NamedKey {
    const char* name;
    int keyCode, charCode;
    int location = 0;  // 1 and 2: the left and right one of a pair, 3: the number pad
};

// The short names of the arrows are kept beside the ones input.json uses.
constexpr NamedKey kNamedKeys[] = {
    {"Tab", 9, 9},           {"Escape", 27, 27},           {"Enter", 13, 13},          {"Backspace", 8, 8},
    {"Delete", 46, 127},     {"Space", 32, 32},            {"Shift", 16, 0},           {"Control", 17, 0},
    {"Alt", 18, 0},          {"CapsLock", 20, 0},          {"NumLock", 144, 0},        {"ScrollLock", 145, 0},
    {"Pause", 19, 0},        {"ArrowLeft", 37, 0},         {"ArrowUp", 38, 0},         {"ArrowRight", 39, 0},
    {"ArrowDown", 40, 0},    {"Left", 37, 0},              {"Up", 38, 0},              {"Right", 39, 0},
    {"Down", 40, 0},         {"Home", 36, 0},              {"End", 35, 0},             {"PageUp", 33, 0},
    {"PageDown", 34, 0},     {"Insert", 45, 0},            {"LeftShift", 16, 0, 1},    {"RightShift", 16, 0, 2},
    {"LeftControl", 17, 0, 1}, {"RightControl", 17, 0, 2}, {"LeftAlt", 18, 0, 1},      {"RightAlt", 18, 0, 2},
    {"NumpadHome", 36, 0, 3}, {"NumpadEnd", 35, 0, 3},     {"NumpadUp", 38, 0, 3},     {"NumpadDown", 40, 0, 3},
    {"NumpadLeft", 37, 0, 3}, {"NumpadRight", 39, 0, 3},   {"NumpadPageUp", 33, 0, 3}, {"NumpadPageDown", 34, 0, 3},
    {"NumpadInsert", 45, 0, 3}, {"NumpadDelete", 46, 127, 3},
};

// The number pad's own characters (with Num Lock on).
constexpr NamedKey kNumpadKeys[] = {
    {"0", 96, '0', 3},  {"1", 97, '1', 3},  {"2", 98, '2', 3},  {"3", 99, '3', 3},   {"4", 100, '4', 3},
    {"5", 101, '5', 3}, {"6", 102, '6', 3}, {"7", 103, '7', 3}, {"8", 104, '8', 3},  {"9", 105, '9', 3},
    {"*", 106, '*', 3}, {"+", 107, '+', 3}, {"-", 109, '-', 3}, {".", 110, '.', 3},  {"/", 111, '/', 3},
};

bool readNamedKey(const QString& name, std::span<const NamedKey> keys, InputEvent& e) {
    for (const auto& k : keys) {
        if (name == QLatin1String(k.name)) {
            e.keyCode = k.keyCode;
            e.charCode = k.charCode;
            e.location = k.location;
            return true;
        }
    }
    return false;
}

struct NamedControl {
    const char* name;
    flash::TextControl control;
};

constexpr NamedControl kNamedControls[] = {
    {"MoveLeft", flash::TextControl::MoveLeft},
    {"MoveRight", flash::TextControl::MoveRight},
    {"MoveLeftLine", flash::TextControl::MoveLeftLine},
    {"MoveRightLine", flash::TextControl::MoveRightLine},
    {"MoveLeftDocument", flash::TextControl::MoveLeftDocument},
    {"MoveRightDocument", flash::TextControl::MoveRightDocument},
    {"SelectLeft", flash::TextControl::SelectLeft},
    {"SelectRight", flash::TextControl::SelectRight},
    {"SelectAll", flash::TextControl::SelectAll},
    {"Copy", flash::TextControl::Copy},
    {"Cut", flash::TextControl::Cut},
    {"Paste", flash::TextControl::Paste},
    {"Backspace", flash::TextControl::Backspace},
    {"Delete", flash::TextControl::Delete},
    {"Enter", flash::TextControl::Enter},
};

bool readControl(const QString& name, InputEvent& e) {
    for (const auto& c : kNamedControls) {
        if (name == QLatin1String(c.name)) {
            e.control = c.control;
            return true;
        }
    }
    return false;
}

// One character, which may take two UTF-16 units.
bool readCodepoint(const QString& text, InputEvent& e) {
    const std::u32string chars = text.toStdU32String();
    if (chars.size() != 1) return false;
    e.codepoint = chars.front();
    return true;
}

// The key a character other than a letter is typed with on a US keyboard.
int keyOfCharacter(char16_t c) {
    static const std::u16string_view unshifted = u"0123456789`-=[]\\;',./";
    static const std::u16string_view shifted = u")!@#$%^&*(~_+{}|:\"<>?";
    static constexpr int keys[] = {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 192,
                                   189, 187, 219, 221, 220, 186, 222, 188, 190, 191};
    for (auto row : {unshifted, shifted})
        if (auto at = row.find(c); at != std::u16string_view::npos) return keys[at];
    return c;
}

// A key is a name ("Tab") or a character ({"Char": "a"}); letters press
// the key of their capital.
bool readKey(const QJsonValue& key, InputEvent& e) {
    if (key.isString()) {
        if (readNamedKey(key.toString(), kNamedKeys, e)) return true;
        // F1 to F12.
        const QString name = key.toString();
        const int number = name.startsWith('F') ? name.mid(1).toInt() : 0;
        if (number < 1 || number > 12) return false;
        e.keyCode = 111 + number;
        return true;
    }
    if (key.toObject().contains("Numpad")) return readNamedKey(key.toObject().value("Numpad").toString(), kNumpadKeys, e);
    const QString text = key.toObject().value("Char").toString();
    if (text.size() != 1) return false;
    const QChar c = text.at(0);
    e.charCode = c.unicode();
    e.keyCode = c.isLetter() ? c.toUpper().unicode() : keyOfCharacter(c.unicode());
    return true;
}

flash::Player::MouseButton buttonOf(const QString& name) {
    if (name == "Right") return flash::Player::MouseButton::Right;
    if (name == "Middle") return flash::Player::MouseButton::Middle;
    return flash::Player::MouseButton::Left;
}

}  // namespace

std::vector<InputEvent> readInputScript(const std::string& path) {
    std::vector<InputEvent> events;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return events;
    const QJsonArray entries = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue& entry : entries) {
        const QJsonObject o = entry.toObject();
        const QString type = o.value("type").toString();
        InputEvent e;
        const QJsonArray pos = o.value("pos").toArray();
        if (pos.size() == 2) e.position = QPointF(pos[0].toDouble(), pos[1].toDouble());
        e.button = buttonOf(o.value("btn").toString());
        // "index" counts the presses of one run of quick clicks from 0.
        e.doubleClick = o.value("index").toInt() == 1;
        if (type == "Wait") e.kind = InputEvent::Kind::Wait;
        else if (type == "MouseMove") e.kind = InputEvent::Kind::MouseMove;
        else if (type == "MouseDown") e.kind = InputEvent::Kind::MouseDown;
        else if (type == "MouseUp") e.kind = InputEvent::Kind::MouseUp;
        else if (type == "KeyDown" || type == "KeyUp") {
            e.kind = type == "KeyDown" ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
            if (!readKey(o.value("key"), e)) continue;
        } else if (type == "TextInput") {
            e.kind = InputEvent::Kind::TextInput;
            if (!readCodepoint(o.value("codepoint").toString(), e)) continue;
        } else if (type == "TextControl") {
            e.kind = InputEvent::Kind::TextControl;
            if (!readControl(o.value("code").toString(), e)) continue;
        } else if (type == "FocusLost") {
            e.kind = InputEvent::Kind::FocusLost;
        } else if (type == "SetClipboardText") {
            e.kind = InputEvent::Kind::SetClipboard;
            e.text = o.value("text").toString();
        } else {
            continue;
        }
        events.push_back(e);
    }
    return events;
}

std::size_t feedFrameInput(flash::Player& player, const std::vector<InputEvent>& events, std::size_t next) {
    using Kind = InputEvent::Kind;
    for (; next < events.size(); ++next) {
        const InputEvent& e = events[next];
        switch (e.kind) {
        case Kind::Wait: return next + 1;
        case Kind::KeyDown: player.keyDown(e.keyCode, e.charCode, e.location); break;
        case Kind::KeyUp: player.keyUp(e.keyCode, e.charCode, e.location); break;
        case Kind::TextInput: player.textInput(e.codepoint); break;
        case Kind::TextControl: player.textControl(e.control); break;
        case Kind::SetClipboard: player.setClipboardText(e.text); break;
        case Kind::FocusLost: player.windowFocusLost(); break;
        case Kind::MouseMove: player.mouseMove(e.position.x(), e.position.y()); break;
        case Kind::MouseDown:
        case Kind::MouseUp:
            // A press elsewhere brings the pointer there first.
            if (e.position != player.input().mouse) player.mouseMove(e.position.x(), e.position.y());
            if (e.kind == Kind::MouseDown) player.mouseDown(e.button, e.doubleClick);
            else player.mouseUp(e.button);
            break;
        }
    }
    return next;
}

}  // namespace corpus
