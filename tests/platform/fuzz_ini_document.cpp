// Any bytes parse into a document whose lookups, listing and rewrite work.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    kinolux::IniDocument doc = kinolux::IniDocument::Parse(text);
    for (const std::string& name : doc.SectionNames()) (void)doc.Get(name, "FormatName");
    doc.Set("Fuzz Section", "Key", "Value");
    kinolux::IniDocument again = kinolux::IniDocument::Parse(doc.Serialize());
    if (again.Get("fuzz section", "key").value_or("") != "Value") __builtin_trap();
    return 0;
}
