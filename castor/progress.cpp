#include "castor/progress.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace castor {

void Progress::Error(const std::string& text) const {
    if (callback_ != nullptr) {
        callback_(text.c_str(), kErrorValue);
    }
}

bool Progress::Position(double seconds, const std::string& status) {
    if (callback_ != nullptr && !stopAsked_ && callback_(status.c_str(), seconds) < 0) {
        stopAsked_ = true;
    }
    return !stopAsked_;
}

std::string StatusText(int64_t frames, int64_t bytes, double seconds) {
    const int64_t hundredths = std::llround(std::max(seconds, 0.0) * 100);
    char text[128];
    std::snprintf(text, sizeof text, "frame=%5lld size=%8lldkB time=%02lld:%02lld:%02lld.%02lld",
                  static_cast<long long>(frames), static_cast<long long>(bytes / 1024),
                  static_cast<long long>(hundredths / 360000), static_cast<long long>(hundredths / 6000 % 60),
                  static_cast<long long>(hundredths / 100 % 60), static_cast<long long>(hundredths % 100));
    return text;
}

}  // namespace castor
