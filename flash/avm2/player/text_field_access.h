// What the TextField and StyleSheet classes share: a field's binding, the
// TextFormat objects scripts see, and the field's style sheet.
#pragma once

#include "flash/avm1/host.h"
#include "flash/avm2/player/natives.h"

namespace flash::as3 {

// The field's binding, or null when the value is no TextField.
kinolux::avm1::TextFieldBinding* textFieldOf(const Value& field);
// A new TextFormat object holding a format's fields (null where unset).
Value formatValue(Vm& vm, const kinolux::avm1::TextFormat& format);
// Reads the formats of the field's style sheet again, as the sheet's styles
// may have changed since it was set; false when the field has none.
bool restyleFromSheet(Vm& vm, const Value& field);
// StyleSheet, and TextField's styleSheet property.
void installStyleSheet(Vm& vm, Class* textField);

}  // namespace flash::as3
