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

FramePtr NewPicture(AVPixelFormat format, int width, int height) {
    FramePtr picture = NewFrame();
    picture->format = format;
    picture->width = width;
    picture->height = height;
    Check(av_frame_get_buffer(picture.get(), 0), "Could not allocate a picture");
    return picture;
}

PacketPtr NewPacket() {
    PacketPtr packet(av_packet_alloc());
    if (!packet) {
        Fail("Out of memory");
    }
    return packet;
}

}  // namespace castor
