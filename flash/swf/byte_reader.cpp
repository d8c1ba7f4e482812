#include "flash/swf/byte_reader.h"

namespace swf {

void ByteReader::fail(const std::string& what) const {
    throw Error(what + " at byte " + std::to_string(pos_));
}

std::uint32_t ByteReader::encodedU32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 5; ++i) {
        std::uint8_t b = u8();
        value |= std::uint32_t(b & 0x7f) << (7 * i);
        if (!(b & 0x80)) break;
    }
    return value;
}

std::string ByteReader::string() {
    bitCount_ = 0;
    const std::uint8_t* start = data_.data() + pos_;
    const void* zero = std::memchr(start, 0, remaining());
    std::size_t len = zero ? std::size_t(static_cast<const std::uint8_t*>(zero) - start) : remaining();
    std::string s(reinterpret_cast<const char*>(start), len);
    pos_ += zero ? len + 1 : len;
    return s;
}

std::uint32_t ByteReader::ubits(unsigned n) {
    if (n > 32) fail("bit field wider than 32 bits");
    std::uint32_t value = 0;
    while (n > 0) {
        if (bitCount_ == 0) {
            need(1);
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        unsigned take = n < bitCount_ ? n : bitCount_;
        unsigned shift = bitCount_ - take;
        std::uint32_t bits = (bitBuffer_ >> shift) & ((1u << take) - 1);
        value = (value << take) | bits;
        bitCount_ -= take;
        n -= take;
    }
    return value;
}

std::int32_t ByteReader::sbits(unsigned n) {
    if (n == 0) return 0;
    std::uint32_t v = ubits(n);
    if (n < 32 && (v & (1u << (n - 1)))) v |= ~0u << n;
    return std::int32_t(v);
}

Rect ByteReader::rect() {
    align();
    unsigned n = ubits(5);
    Rect r;
    r.xMin = sbits(n);
    r.xMax = sbits(n);
    r.yMin = sbits(n);
    r.yMax = sbits(n);
    align();
    return r;
}

Matrix ByteReader::matrix() {
    align();
    Matrix m;
    if (bit()) {
        unsigned n = ubits(5);
        m.a = sbits(n);
        m.d = sbits(n);
    }
    if (bit()) {
        unsigned n = ubits(5);
        m.b = sbits(n);
        m.c = sbits(n);
    }
    unsigned n = ubits(5);
    m.tx = sbits(n);
    m.ty = sbits(n);
    align();
    return m;
}

Color ByteReader::rgb() {
    auto b = bytes(3);
    return Color{b[0], b[1], b[2], 255};
}

Color ByteReader::rgba() {
    auto b = bytes(4);
    return Color{b[0], b[1], b[2], b[3]};
}

ColorTransform ByteReader::colorTransform(bool withAlpha) {
    align();
    ColorTransform t;
    bool hasAdd = bit();
    bool hasMul = bit();
    unsigned n = ubits(4);
    if (hasMul) {
        t.rMul = Fixed8(sbits(n));
        t.gMul = Fixed8(sbits(n));
        t.bMul = Fixed8(sbits(n));
        if (withAlpha) t.aMul = Fixed8(sbits(n));
    }
    if (hasAdd) {
        t.rAdd = std::int16_t(sbits(n));
        t.gAdd = std::int16_t(sbits(n));
        t.bAdd = std::int16_t(sbits(n));
        if (withAlpha) t.aAdd = std::int16_t(sbits(n));
    }
    align();
    return t;
}

}  // namespace swf
