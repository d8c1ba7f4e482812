// GIF holds at most 256 colours per picture. Each picture gets a palette of
// its own, made by median cut over its colours, so that the flat colours of
// a Flash movie come out exactly and gradients come out close.
#pragma once

#include "castor/libav_handles.h"

namespace castor {

// An RGB24 picture as a PAL8 picture (palette in data[1]) of the same size.
FramePtr QuantizeToPalette(const AVFrame& rgb);

}  // namespace castor
