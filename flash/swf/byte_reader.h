// Bounds-checked little-endian byte and bit reader over a byte range. Every
// read past the end throws swf::Error; nothing reads outside the range.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "flash/swf/error.h"
#include "flash/swf/types.h"

namespace swf {

class ByteReader {
public:
    explicit ByteReader(Bytes data) : data_(data) {}

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }
    Bytes whole() const { return data_; }

    std::uint8_t u8() { need(1); bitCount_ = 0; return data_[pos_++]; }
    std::uint16_t u16() { auto b = take(2); return std::uint16_t(b[0] | b[1] << 8); }
    std::int16_t i16() { return std::int16_t(u16()); }
    std::uint32_t u32() {
        auto b = take(4);
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
               std::uint32_t(b[3]) << 24;
    }
    std::int32_t i32() { return std::int32_t(u32()); }
    float f32() { std::uint32_t v = u32(); float f; std::memcpy(&f, &v, 4); return f; }
    std::uint32_t encodedU32();

    Bytes bytes(std::size_t n) { return take(n); }
    Bytes rest() { return take(remaining()); }
    void skip(std::size_t n) { take(n); }
    // Zero-terminated text; a missing terminator ends the text at the range end.
    std::string string();

    // Bit fields, most significant bit first; any byte read realigns.
    std::uint32_t ubits(unsigned n);
    std::int32_t sbits(unsigned n);
    bool bit() { return ubits(1) != 0; }
    void align() { bitCount_ = 0; }

    Rect rect();
    Matrix matrix();
    Color rgb();
    Color rgba();
    ColorTransform colorTransform(bool withAlpha);

    // Counts parsed structure against a per-movie allowance, so that a small
    // hostile file cannot make the reader allocate gigabytes of records.
    void setBudget(std::size_t* budget) { budget_ = budget; }
    std::size_t* budget() const { return budget_; }
    void charge(std::size_t bytes) {
        if (!budget_) return;
        if (*budget_ < bytes) {
            *budget_ = 0;
            fail("the movie holds more structure than the reader allows");
        }
        *budget_ -= bytes;
    }

    [[noreturn]] void fail(const std::string& what) const;

private:
    void need(std::size_t n) const {
        if (n > remaining()) fail("unexpected end of data");
    }
    Bytes take(std::size_t n) {
        need(n);
        bitCount_ = 0;
        Bytes b = data_.subspan(pos_, n);
        pos_ += n;
        return b;
    }

    Bytes data_;
    std::size_t pos_ = 0;
    std::uint8_t bitBuffer_ = 0;
    unsigned bitCount_ = 0;  // bits left in bitBuffer_
    std::size_t* budget_ = nullptr;
};

}  // namespace swf
