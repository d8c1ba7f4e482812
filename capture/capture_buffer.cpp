#include "capture/capture_buffer.h"

#include <cstring>

namespace kinolux {

bool CaptureBuffer::Append(const void* bytes, uint32_t byteLength) {
    const uint64_t count = byteLength / 2;
    if (uint64_t(readPos_) + available_ + count >= kCapacity) {
        if (uint64_t(available_) + count >= kCapacity) return false;
        std::memmove(values_, values_ + readPos_, size_t(available_) * 2);
        readPos_ = 0;
    }
    std::memcpy(values_ + readPos_ + available_, bytes, count * 2);
    available_ += static_cast<uint32_t>(count);
    return true;
}

const int16_t* CaptureBuffer::Take(uint32_t count) {
    if (available_ < count) return nullptr;
    const int16_t* taken = values_ + readPos_;
    readPos_ += count;
    available_ -= count;
    return taken;
}

void CaptureBuffer::Clear() {
    readPos_ = 0;
    available_ = 0;
}

}  // namespace kinolux
