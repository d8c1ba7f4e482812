// How the library's steps give up: a failure carries the status the C
// entries return (an NX_ERROR_ code) and the sentence the caller shows.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace joiner {

class Failure : public std::runtime_error {
public:
    Failure(int32_t status, const std::string& message) : std::runtime_error(message), status_(status) {}
    int32_t Status() const { return status_; }

private:
    int32_t status_;
};

}  // namespace joiner
