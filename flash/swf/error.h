// The one failure the SWF reader and writer report: a message that says what
// was wrong with the file and where.
#pragma once

#include <stdexcept>
#include <string>

namespace swf {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace swf
