#pragma once

#include <functional>

namespace flash::render {

// Runs `paint` on a thread of Qt's global pool and waits for it.
//
// Qt's raster engine hands every fill of more than a few dozen spans to
// that pool in slices and waits for them, unless the painting thread is one
// of the pool's own. A movie frame is many such fills, so painting from the
// caller's thread costs thousands of hand-offs a second, which on a machine
// whose other cores are busy encoding is mostly waiting and waking. From a
// pool thread the fills run inline; the pixels are the same either way.
// An exception thrown by `paint` is thrown again here.
void paintWithInlineFills(const std::function<void()>& paint);

}  // namespace flash::render
