#include "capture/capture_pacing.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kinolux {

namespace {

constexpr float kFallbackFrameRate = 12;
constexpr double kMinIntervalMs = 10;
constexpr double kMaxIntervalMs = 30000;
constexpr uint64_t kSampleRate = 44100;
constexpr uint64_t kChannels = 2;
constexpr uint32_t kMinStallMarginMs = 1000;
// Ranges shorter than this are the ones that cannot be stepped frame by
// frame and are captured interactively for that reason.
constexpr int64_t kShortestPlayedRange = 5;

}  // namespace

uint32_t CaptureTickCount(const Clock& clock)
{
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(clock.now().time_since_epoch()).count());
}

uint32_t CaptureTickIntervalMs(float frameRate)
{
    const float rate = std::isfinite(frameRate) && frameRate > 0 ? frameRate : kFallbackFrameRate;
    return static_cast<uint32_t>(std::clamp(std::trunc(3000.0 / rate), kMinIntervalMs, kMaxIntervalMs));
}

uint64_t SoundValuesIn(uint64_t ms)
{
    return ms * kSampleRate / 1000 * kChannels;
}

uint32_t ConsoleStallLimitMs(int32_t idleLimitSeconds, uint32_t tickIntervalMs)
{
    const uint64_t idleMs = static_cast<uint64_t>(std::max(idleLimitSeconds, 1)) * 1000;
    const uint64_t margin = std::max<uint64_t>(kMinStallMarginMs, 2ull * tickIntervalMs);
    return static_cast<uint32_t>(std::min<uint64_t>(idleMs + margin, UINT32_MAX));
}

bool ConsoleRangeStopsAtItsEnd(int32_t startFrame, int32_t endFrame)
{
    return static_cast<int64_t>(endFrame) - startFrame >= kShortestPlayedRange;
}

}  // namespace kinolux
