// Little-endian byte and bit writer, the mirror of ByteReader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "flash/swf/types.h"

namespace swf {

class ByteWriter {
public:
    std::vector<std::uint8_t>& data() { flushBits(); return out_; }
    std::size_t size() const { return out_.size(); }

    void u8(std::uint8_t v) { flushBits(); out_.push_back(v); }
    void u16(std::uint16_t v) { u8(std::uint8_t(v)); u8(std::uint8_t(v >> 8)); }
    void i16(std::int16_t v) { u16(std::uint16_t(v)); }
    void u32(std::uint32_t v) { u16(std::uint16_t(v)); u16(std::uint16_t(v >> 16)); }
    void i32(std::int32_t v) { u32(std::uint32_t(v)); }
    void f32(float v);
    void encodedU32(std::uint32_t v);
    void bytes(Bytes b) { flushBits(); out_.insert(out_.end(), b.begin(), b.end()); }
    void string(const std::string& s) { bytes(Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size())); u8(0); }

    void ubits(unsigned n, std::uint32_t v);
    void sbits(unsigned n, std::int32_t v) { ubits(n, std::uint32_t(v)); }
    void bit(bool v) { ubits(1, v ? 1 : 0); }
    void flushBits();

    void rect(const Rect& r);
    void matrix(const Matrix& m);
    void rgb(const Color& c) { u8(c.r); u8(c.g); u8(c.b); }
    void rgba(const Color& c) { rgb(c); u8(c.a); }
    void colorTransform(const ColorTransform& t, bool withAlpha);

    // Patches a u16 / u32 written earlier at byte offset at.
    void patchU16(std::size_t at, std::uint16_t v);
    void patchU32(std::size_t at, std::uint32_t v);

private:
    std::vector<std::uint8_t> out_;
    std::uint32_t bitBuffer_ = 0;
    unsigned bitCount_ = 0;
};

// Bits needed to hold v as a signed / unsigned bit field.
unsigned signedBits(std::int32_t v);
unsigned unsignedBits(std::uint32_t v);

}  // namespace swf
