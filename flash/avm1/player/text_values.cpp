#include "flash/avm1/player/text_values.h"

namespace flash {

QString fromScriptValue(const kinolux::avm1::Value& v) {
    if (v.isString()) return fromScriptString(v.string());
    return fromScriptString(kinolux::avm1::primitiveToString(v, 10));
}

}  // namespace flash
