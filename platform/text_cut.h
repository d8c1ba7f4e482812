// Cutting a text to what a fixed-width field of the design holds (the width
// less one, for the terminating zero of the original records), without
// splitting a UTF-8 character.
#pragma once

#include <string>
#include <string_view>

namespace kinolux {

std::string CutToWidth(std::string_view text, size_t width);

}  // namespace kinolux
