// The system's time zone, for scripts' dates when the player is given none.
#pragma once

namespace kinolux::script {

// Local time minus UTC in minutes at a UTC time (milliseconds since 1970).
double systemTimeOffsetMinutes(double utcMilliseconds);

}  // namespace kinolux::script
