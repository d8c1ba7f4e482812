// The caller's progress callback: errors and notices as texts with a value
// between -2 and 0, the encoded position in seconds as it advances, and
// the caller's wish to stop (-1).
#pragma once

#include <string>

#include "bindings/castor.h"

namespace castor {

class Progress {
public:
    explicit Progress(CS_ProgressCallback callback) : callback_(callback) {}

    static constexpr double kErrorValue = -1.0;

    void Error(const std::string& text) const;
    // Reports the position; false once the caller has asked to stop.
    bool Position(double seconds, const std::string& status);

private:
    CS_ProgressCallback callback_;
    bool stopAsked_ = false;
};

// "frame=  120 size=    512kB time=00:00:04.80"
std::string StatusText(int64_t frames, int64_t bytes, double seconds);

}  // namespace castor
