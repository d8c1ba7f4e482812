#include "flash/core/text_values.h"

namespace flash {

QString fromScriptValue(const kinolux::avm1::Value& v) {
    if (v.isString()) return fromScriptString(v.string());
    return fromScriptString(kinolux::avm1::primitiveToString(v, 10));
}

QString escapeHtml(const QString& plain) {
    QString out;
    out.reserve(plain.size());
    for (QChar c : plain) {
        if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '&') out += "&amp;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

}  // namespace flash
