// flash.display's IGraphicsData classes, which Graphics.drawGraphicsData
// draws from.
#pragma once

#include "flash/avm2/vm.h"

namespace flash {

void installGraphicsDataClasses(kinolux::avm2::Vm& vm);

}  // namespace flash
