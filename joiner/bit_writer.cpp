#include "joiner/bit_writer.h"

#include <cassert>

namespace joiner {

void BitWriter::Put(int bits, uint32_t value) {
    assert(bits >= 0 && bits <= 32);
    for (int bit = bits - 1; bit >= 0; --bit) {
        if (bitsUsed_ == 0) bytes_.push_back(0);
        if ((value >> bit) & 1u) bytes_.back() |= static_cast<uint8_t>(0x80u >> bitsUsed_);
        bitsUsed_ = (bitsUsed_ + 1) % 8;
    }
}

void BitWriter::PutBytes(std::string_view bytes) {
    for (char c : bytes) Put(8, static_cast<uint8_t>(c));
}

void BitWriter::PutZeroBytes(size_t count) {
    assert(Aligned());
    bytes_.insert(bytes_.end(), count, 0);
}

size_t BitWriter::BeginLength(int bits) {
    assert(Aligned());
    const size_t field = bytes_.size();
    Put(bits, 0);
    return field;
}

void BitWriter::EndLength(size_t field, int bits) {
    assert(Aligned());
    const size_t width = static_cast<size_t>(bits / 8);
    const uint64_t length = bytes_.size() - field - width;
    assert(length < (uint64_t{1} << bits));
    for (size_t i = 0; i < width; ++i)
        bytes_[field + i] = static_cast<uint8_t>(length >> (8 * (width - 1 - i)));
}

void BitWriter::Patch32(size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

}  // namespace joiner
