// Numbers as text the same way whatever the user's locale: Qt sets the
// process locale from the environment, and a German one would otherwise
// turn "29.97" into 29 and write "29,970000" into profile files and
// encoder arguments.
#pragma once

#include <string>
#include <string_view>

namespace kinolux {

// Like printf's "%.Nf".
std::string FormatFixed(double value, int decimals);

// Like printf's "%f" of the shortest decimal that reads back as the same
// float, so a stored 29.97 is written as 29.970000 and reads back unchanged.
std::string FormatFloatSixDecimals(float value);

// Like the C library's atof in the "C" locale: leading blanks skipped, the
// longest number at the start converted, 0.0 when there is none.
double ParseLeadingDouble(std::string_view text);

}  // namespace kinolux
