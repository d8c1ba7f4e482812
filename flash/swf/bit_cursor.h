// Bit fields read most significant bit first from a byte span, without
// bounds checks of its own: codec packets and headers whose callers check
// has() or bitsLeft() before each read (the tag reader, ByteReader, checks
// every read itself).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace swf {

class BitCursor {
public:
    explicit BitCursor(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t bitsLeft() const { return data_.size() * 8 - position_; }
    bool has(std::size_t bits) const { return bits <= bitsLeft(); }
    unsigned read(unsigned count)  // count <= 32, and has(count)
    {
        unsigned value = 0;
        for (unsigned i = 0; i < count; ++i, ++position_)
            value = value << 1 | (data_[position_ >> 3] >> (7 - (position_ & 7)) & 1);
        return value;
    }

private:
    std::span<const std::uint8_t> data_;
    std::size_t position_ = 0;
};

}  // namespace swf
