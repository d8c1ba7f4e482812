// How long the movie window lets a large picture settle after each step:
// the larger the frame, the longer the control may take to finish drawing
// the frame it has just moved to.
#pragma once

#include "platform/clock.h"

#include <chrono>
#include <functional>

namespace kinolux {

struct SettleDelay {
    int settleDelay = 0;  // 1 when each step waits settleMs after Play
    int settleMs = 0;
};

// 1920 x 1080 and more: 150 ms; 1440 x 1080 and more: 100 ms; 1280 x 720 and
// more: 50 ms; anything narrower than 1280 or lower than 720: no wait. The
// longer waits need the full height, so 1920 x 800 waits 50 ms.
SettleDelay SettleDelayForFrameSize(int width, int height);

// How often a step asks the engine whether its frame is drawn yet.
inline constexpr std::chrono::milliseconds kDrawingPollInterval{5};

// After a step: waits while `stillDrawing` says the frame is being drawn,
// never longer than the settle delay. A fixed wait would only stall an
// engine that has drawn its frame before the step returns.
void WaitWhileDrawing(Clock& clock, const SettleDelay& delay, const std::function<bool()>& stillDrawing);

}  // namespace kinolux
