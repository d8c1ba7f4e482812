// Text crossing between the core (QString) and scripts (UTF-16 String).
#pragma once

#include <QString>

#include "flash/avm1/value.h"

namespace flash {

inline kinolux::avm1::String toScriptString(const QString& s) {
    return kinolux::avm1::String(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size())));
}

inline QString fromScriptString(const kinolux::avm1::String& s) {
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

// A script value the machine has already made a string (or left a number
// or boolean), as text.
QString fromScriptValue(const kinolux::avm1::Value& v);

}  // namespace flash
