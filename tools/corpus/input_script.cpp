#include "tools/corpus/input_script.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "flash/core/player.h"

namespace corpus {
namespace {

struct NamedKey {
    const char* name;
    int keyCode, charCode;
};

constexpr NamedKey kNamedKeys[] = {
    {"Backspace", 8, 8},   {"Tab", 9, 9},        {"Enter", 13, 13},    {"Shift", 16, 0},     {"Control", 17, 0},
    {"Alt", 18, 0},        {"CapsLock", 20, 0},  {"Escape", 27, 27},   {"Space", 32, 32},    {"PageUp", 33, 0},
    {"PageDown", 34, 0},   {"End", 35, 0},       {"Home", 36, 0},      {"ArrowLeft", 37, 0}, {"ArrowUp", 38, 0},
    {"ArrowRight", 39, 0}, {"ArrowDown", 40, 0}, {"Insert", 45, 0},    {"Delete", 46, 127},
};

// "key" is a name ("Tab") or {"Char": "a"}: letters take the code of their
// capital, as the keyboard reports them.
bool readKey(const QJsonValue& key, InputEvent& e) {
    if (key.isObject()) {
        const QString c = key.toObject().value("Char").toString();
        if (c.size() != 1) return false;
        const QChar ch = c.at(0);
        e.keyCode = ch.toUpper().unicode();
        e.charCode = ch.unicode();
        return true;
    }
    const QString name = key.toString();
    for (const NamedKey& k : kNamedKeys) {
        if (name == k.name) {
            e.keyCode = k.keyCode;
            e.charCode = k.charCode;
            return true;
        }
    }
    return false;
}

InputEvent readEvent(const QJsonObject& o) {
    using Kind = InputEvent::Kind;
    InputEvent e;
    const QString type = o.value("type").toString();
    const QJsonArray pos = o.value("pos").toArray();
    e.x = pos.size() == 2 ? pos.at(0).toDouble() : 0;
    e.y = pos.size() == 2 ? pos.at(1).toDouble() : 0;
    if (type == "Wait") e.kind = Kind::Wait;
    else if (type == "MouseMove") e.kind = Kind::MouseMove;
    else if (type == "MouseDown" && o.value("btn").toString() == "Left") e.kind = Kind::MouseDown;
    else if (type == "MouseUp" && o.value("btn").toString() == "Left") e.kind = Kind::MouseUp;
    else if ((type == "KeyDown" || type == "KeyUp") && readKey(o.value("key"), e))
        e.kind = type == "KeyDown" ? Kind::KeyDown : Kind::KeyUp;
    return e;
}

}  // namespace

InputScript InputScript::fromJson(const std::string& json, std::string* error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    InputScript script;
    if (!doc.isArray()) {
        if (error) *error = "not a list of input events: " + parseError.errorString().toStdString();
        return script;
    }
    for (const QJsonValue& v : doc.array()) script.events_.push_back(readEvent(v.toObject()));
    return script;
}

InputScript InputScript::fromFile(const std::string& path, std::string* error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = "cannot read " + path;
        return {};
    }
    return fromJson(file.readAll().toStdString(), error);
}

void InputScript::feedUntilWait(flash::Player& player) {
    using Kind = InputEvent::Kind;
    while (next_ < events_.size()) {
        const InputEvent& e = events_[next_++];
        switch (e.kind) {
        case Kind::Wait: return;
        case Kind::MouseMove: player.mouseMove(e.x, e.y); break;
        case Kind::MouseDown:
            player.mouseMove(e.x, e.y);
            player.mouseDown();
            break;
        case Kind::MouseUp:
            player.mouseMove(e.x, e.y);
            player.mouseUp();
            break;
        case Kind::KeyDown: player.keyDown(e.keyCode, e.charCode); break;
        case Kind::KeyUp: player.keyUp(e.keyCode, e.charCode); break;
        case Kind::Unsupported: break;
        }
    }
}

}  // namespace corpus
