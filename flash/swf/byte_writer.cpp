#include "flash/swf/byte_writer.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace swf {

unsigned signedBits(std::int32_t v) {
    std::uint32_t m = v < 0 ? ~std::uint32_t(v) : std::uint32_t(v);
    return unsignedBits(m) + 1;
}

unsigned unsignedBits(std::uint32_t v) {
    unsigned n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

namespace {
unsigned signedBitsOf(std::initializer_list<std::int32_t> values) {
    unsigned n = 0;
    for (auto v : values) n = std::max(n, signedBits(v));
    return n;
}
}  // namespace

void ByteWriter::f32(float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    u32(u);
}

void ByteWriter::encodedU32(std::uint32_t v) {
    do {
        std::uint8_t b = v & 0x7f;
        v >>= 7;
        u8(v ? b | 0x80 : b);
    } while (v);
}

void ByteWriter::ubits(unsigned n, std::uint32_t v) {
    for (unsigned i = n; i-- > 0;) {
        bitBuffer_ = (bitBuffer_ << 1) | ((v >> i) & 1);
        if (++bitCount_ == 8) {
            out_.push_back(std::uint8_t(bitBuffer_));
            bitBuffer_ = 0;
            bitCount_ = 0;
        }
    }
}

void ByteWriter::flushBits() {
    if (bitCount_ == 0) return;
    out_.push_back(std::uint8_t(bitBuffer_ << (8 - bitCount_)));
    bitBuffer_ = 0;
    bitCount_ = 0;
}

void ByteWriter::rect(const Rect& r) {
    flushBits();
    unsigned n = signedBitsOf({r.xMin, r.xMax, r.yMin, r.yMax});
    ubits(5, n);
    sbits(n, r.xMin);
    sbits(n, r.xMax);
    sbits(n, r.yMin);
    sbits(n, r.yMax);
    flushBits();
}

void ByteWriter::matrix(const Matrix& m) {
    flushBits();
    // Each pair: its field width in 5 bits, then the two values.
    auto pair = [this](std::int32_t first, std::int32_t second, unsigned n) {
        ubits(5, n);
        sbits(n, first);
        sbits(n, second);
    };
    bool hasScale = m.a != kFixed16One || m.d != kFixed16One;
    bit(hasScale);
    if (hasScale) pair(m.a, m.d, signedBitsOf({m.a, m.d}));
    bool hasRotate = m.b != 0 || m.c != 0;
    bit(hasRotate);
    if (hasRotate) pair(m.b, m.c, signedBitsOf({m.b, m.c}));
    pair(m.tx, m.ty, m.tx == 0 && m.ty == 0 ? 0 : signedBitsOf({m.tx, m.ty}));
    flushBits();
}

void ByteWriter::colorTransform(const ColorTransform& t, bool withAlpha) {
    flushBits();
    bool hasMul = t.rMul != kFixed8One || t.gMul != kFixed8One || t.bMul != kFixed8One ||
                  (withAlpha && t.aMul != kFixed8One);
    bool hasAdd = t.rAdd || t.gAdd || t.bAdd || (withAlpha && t.aAdd);
    unsigned n = 1;
    if (hasMul) n = std::max({n, signedBits(t.rMul), signedBits(t.gMul), signedBits(t.bMul), withAlpha ? signedBits(t.aMul) : 1u});
    if (hasAdd) n = std::max({n, signedBits(t.rAdd), signedBits(t.gAdd), signedBits(t.bAdd), withAlpha ? signedBits(t.aAdd) : 1u});
    bit(hasAdd);
    bit(hasMul);
    ubits(4, n);
    if (hasMul) {
        sbits(n, t.rMul);
        sbits(n, t.gMul);
        sbits(n, t.bMul);
        if (withAlpha) sbits(n, t.aMul);
    }
    if (hasAdd) {
        sbits(n, t.rAdd);
        sbits(n, t.gAdd);
        sbits(n, t.bAdd);
        if (withAlpha) sbits(n, t.aAdd);
    }
    flushBits();
}

void ByteWriter::patchU16(std::size_t at, std::uint16_t v) {
    out_[at] = std::uint8_t(v);
    out_[at + 1] = std::uint8_t(v >> 8);
}

void ByteWriter::patchU32(std::size_t at, std::uint32_t v) {
    patchU16(at, std::uint16_t(v));
    patchU16(at + 2, std::uint16_t(v >> 16));
}

}  // namespace swf
