// AMR narrow-band (8 kHz, libopencore-amrnb) and wide-band (16 kHz,
// libvo-amrwbenc) speech encoders: Debian's libavcodec has neither, so
// castor drives the two libraries itself. Each packet is one 20 ms frame
// in the AMR storage format (a header byte, then the speech bits), which is
// what both the "#!AMR" files and the 3GP family's samples hold.
#pragma once

#include <memory>

#include "castor/encoder.h"

namespace castor {

// id is AV_CODEC_ID_AMR_NB or AV_CODEC_ID_AMR_WB; the mode is the highest
// bit rate not above bitRate (bits per second; 0: the highest of all).
AudioEncoder OpenAmrEncoder(AVCodecID id, double bitRate);

}  // namespace castor
