// Reading and writing the display properties (_x ... _ymouse), shared by
// the named form (clip._x) and the indexed one (GetProperty / SetProperty).
#pragma once

#include "flash/avm1/host.h"
#include "flash/avm1/value.h"

namespace kinolux::avm1 {

class Vm;

Value getDisplayProperty(Vm& vm, DisplayObjectBinding& object, DisplayProperty p);
// Coerces the value as the player does for each property; values that do
// not convert (undefined, NaN) leave the property unchanged.
void setDisplayProperty(Vm& vm, DisplayObjectBinding& object, DisplayProperty p, const Value& value);
// What setting the property converts the value to, when there is no object.
void convertForProperty(Vm& vm, DisplayProperty p, const Value& value);
bool isReadOnly(DisplayProperty p);

}  // namespace kinolux::avm1
