// The multimedia timer entries on the monotonic clock. Linux timers are fine
// grained already, so the period requests only check their argument.
#include "platform/winmm/winmm.h"

#include <chrono>

namespace {

// Windows allows periods up to this many milliseconds.
constexpr UINT kLongestPeriod = 1'000'000;

}  // namespace

extern "C" {

DWORD timeGetTime(void)
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

MMRESULT timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc)
{
    if (!ptc || cbtc < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    ptc->wPeriodMin = 1;
    ptc->wPeriodMax = kLongestPeriod;
    return TIMERR_NOERROR;
}

MMRESULT timeBeginPeriod(UINT uPeriod)
{
    return uPeriod >= 1 && uPeriod <= kLongestPeriod ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT timeEndPeriod(UINT uPeriod)
{
    return timeBeginPeriod(uPeriod);
}

}  // extern "C"
