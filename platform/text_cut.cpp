#include "platform/text_cut.h"

namespace kinolux {

std::string CutToWidth(std::string_view text, size_t width) {
    size_t limit = width == 0 ? 0 : width - 1;
    if (text.size() <= limit) return std::string(text);
    size_t end = limit;
    // Back off continuation bytes (10xxxxxx) so the cut lands between characters.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

}  // namespace kinolux
