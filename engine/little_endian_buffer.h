// A byte buffer that file headers are written into, numbers little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kinolux {

class LittleEndianBuffer {
public:
    void U8(uint8_t value) { text_ += static_cast<char>(value); }
    void U16(uint16_t value) {
        U8(static_cast<uint8_t>(value));
        U8(static_cast<uint8_t>(value >> 8));
    }
    void U32(uint32_t value) {
        U16(static_cast<uint16_t>(value));
        U16(static_cast<uint16_t>(value >> 16));
    }
    void Bytes(const void* data, size_t size) { text_.append(static_cast<const char*>(data), size); }
    void Reserve(size_t size) { text_.reserve(size); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

}  // namespace kinolux
