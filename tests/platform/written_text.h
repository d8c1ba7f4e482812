// What a function that prints to a C stream (a usage or help text) writes,
// caught in memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kinolux::testing {

template <class Write>
std::string WrittenText(Write write) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = ::open_memstream(&buffer, &size);
    write(out);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

}  // namespace kinolux::testing
