// Reading one switch's value text into Options, by the kind the switch's
// row of the option table names.
#pragma once

#include <string>

#include "castor/options.h"

namespace castor {

// Empty on success, else why the value was refused ("must be between 1 and
// 8"); the caller names the switch.
std::string ParseOptionValue(const OptionDef& option, const std::string& text, Options& options);

}  // namespace castor
