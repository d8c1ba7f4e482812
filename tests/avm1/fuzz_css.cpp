// Fuzz target: arbitrary bytes, read as UTF-8, parsed as a style sheet a
// movie loaded; every rule found must have a selector.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "flash/avm1/builtins/css_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kinolux::avm1;
    const String text = String::fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    if (auto rules = builtins::parseCss(text.view()))
        for (const builtins::CssRule& rule : *rules)
            if (rule.selectors.empty()) std::abort();
    return 0;
}
