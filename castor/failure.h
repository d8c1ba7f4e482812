// Inside castor a failure is an exception carrying the message the user
// sees; ffmain catches it at the C boundary and hands the text to the
// progress callback. Nothing throws past the library's entries.
#pragma once

#include <stdexcept>
#include <string>

namespace castor {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& message);

// libav's text for an error code, followed by the last error libav logged
// on this thread during the call, when there was one: "Invalid argument
// (width not divisible by 2)".
std::string LibavErrorText(int code);

// Throws "<what>: <LibavErrorText>" when code is negative; returns it
// otherwise.
int Check(int code, const std::string& what);

}  // namespace castor
