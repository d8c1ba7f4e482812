#include "castor/libav_handles.h"

#include "castor/failure.h"

namespace castor {

FramePtr NewFrame() {
    FramePtr frame(av_frame_alloc());
    if (!frame) {
        Fail("Out of memory");
    }
    return frame;
}

PacketPtr NewPacket() {
    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        Fail("Out of memory");
    }
    return packet;
}

}  // namespace castor
