// flash.filters for scripts (SWF 8 on): the filter classes, their values
// as the file's filter records, and the `filters` property of display
// objects built on them.
#pragma once

#include <QRect>
#include <optional>
#include <vector>

#include "flash/avm1/value.h"
#include "flash/swf/types.h"

namespace kinolux::avm1 {
class Vm;
}

namespace flash {

void installFilterClasses(kinolux::avm1::Vm& vm);

// The filter a script object stands for; nullopt for anything else.
std::optional<swf::Filter> filterOf(const kinolux::avm1::Value& v);
// An array of filter objects as records (what is not a filter is left out).
std::vector<swf::Filter> filtersOf(kinolux::avm1::Vm& vm, const kinolux::avm1::Value& list);
// A new array of filter objects for records.
kinolux::avm1::Value filterArray(kinolux::avm1::Vm& vm, const std::vector<swf::Filter>& filters);
// The area a filter can reach from a rectangle (generateFilterRect).
QRect filterBounds(QRect r, const swf::Filter& f);

}  // namespace flash
