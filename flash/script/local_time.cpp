#include "flash/script/local_time.h"

#include <cmath>
#include <ctime>

namespace kinolux::script {

double systemTimeOffsetMinutes(double utcMilliseconds) {
    if (!std::isfinite(utcMilliseconds)) return 0;
    std::time_t t = static_cast<std::time_t>(std::floor(utcMilliseconds / 1000));
    std::tm local{};
    if (!localtime_r(&t, &local)) return 0;
    return static_cast<double>(local.tm_gmtoff) / 60.0;
}

}  // namespace kinolux::script
