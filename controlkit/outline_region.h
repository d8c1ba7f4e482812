// The outline of a shaped button: every pixel of its mask picture that is
// not pure white belongs to the button, so clicks on the white corners fall
// through to the window behind.
#pragma once

#include <QImage>
#include <QRegion>

namespace kinolux {

// The mask's non-white pixels as a region, in the mask's own pixels.
QRegion OutlineRegion(const QImage& mask);

}  // namespace kinolux
