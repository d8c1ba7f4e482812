#include "engine/cx_image.h"

#include <QImage>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

#include "engine/image_writers.h"
#include "platform/file_io.h"

namespace kinolux {

namespace {

uint32_t RoundedDepth(uint32_t bpp) {
    if (bpp <= 1) return 1;
    if (bpp <= 4) return 4;
    if (bpp <= 8) return 8;
    return 24;
}

uint32_t PaletteIndexAt(const uint8_t* row, uint32_t x, uint32_t bpp) {
    if (bpp == 8) return row[x];
    if (bpp == 4) return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

void SetPaletteIndexAt(uint8_t* row, uint32_t x, uint32_t bpp, uint32_t index) {
    if (bpp == 8) {
        row[x] = static_cast<uint8_t>(index);
    } else if (bpp == 4) {
        int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<uint8_t>((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
    } else {
        int shift = 7 - static_cast<int>(x & 7);
        row[x >> 3] = static_cast<uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
    }
}

uint32_t NearestPaletteIndex(const std::vector<RGBQUAD>& palette, RGBQUAD color) {
    uint32_t best = 0;
    long bestDistance = -1;
    for (uint32_t i = 0; i < palette.size(); ++i) {
        long db = long(palette[i].rgbBlue) - color.rgbBlue;
        long dg = long(palette[i].rgbGreen) - color.rgbGreen;
        long dr = long(palette[i].rgbRed) - color.rgbRed;
        long distance = db * db + dg * dg + dr * dr;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// The conversion of every grabbed frame is a hot loop. Four bytes at a
// time, the fourth overwritten by the next pixel.
void DropAlpha(const uint8_t* in, uint8_t* out, uint32_t width) {
    uint32_t x = 0;
    for (; x + 1 < width; ++x, in += 4, out += 3) std::memcpy(out, in, 4);
    for (; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels a shuffle, about twice as fast; each store of 16 bytes is
// overwritten past its 12 by the next, and stops 4 short of the row's end.
__attribute__((target("ssse3"))) void DropAlphaShuffled(const uint8_t* in, uint8_t* out, uint32_t width) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    uint32_t x = 0;
    for (; x + 6 <= width; x += 4, in += 16, out += 12)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in)), order));
    DropAlpha(in, out, width - x);
}

bool HasByteShuffles() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#else
constexpr auto DropAlphaShuffled = DropAlpha;
bool HasByteShuffles() { return false; }
#endif

}  // namespace

RGBQUAD RGBtoRGBQUAD(uint32_t colorRef) {
    return RGBQUAD{static_cast<uint8_t>(colorRef >> 16), static_cast<uint8_t>(colorRef >> 8),
                   static_cast<uint8_t>(colorRef), 0};
}

CxImage::CxImage(uint32_t imageType) : type_(imageType) {}

CxImage::CxImage(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType) {
    Create(width, height, bpp, imageType);
}

uint8_t* CxImage::Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType) {
    pixels_.clear();
    palette_.clear();
    alpha_.clear();
    width_ = height_ = bpp_ = stride_ = 0;
    type_ = imageType;
    if (width == 0 || height == 0) {
        lastError_ = "CxImage::Create: width and height must be greater than zero";
        return nullptr;
    }
    uint32_t depth = RoundedDepth(bpp);
    uint64_t stride = (uint64_t(width) * depth + 31) / 32 * 4;
    if (stride * height > kMaxPixelBytes) {
        lastError_ = "CxImage::Create: the image is too large";
        return nullptr;
    }
    width_ = width;
    height_ = height;
    bpp_ = depth;
    stride_ = static_cast<uint32_t>(stride);
    pixels_.assign(static_cast<size_t>(stride * height), 0);
    if (depth <= 8) palette_.assign(size_t(1) << depth, RGBQUAD{});
    return pixels_.data();
}

bool CxImage::CreateFromHBITMAP(const QImage* bitmap) {
    if (!bitmap || bitmap->isNull()) {
        Create(0, 0, 24, type_);
        return false;
    }
    const bool fourBytes = bitmap->format() == QImage::Format_RGB32 || bitmap->format() == QImage::Format_ARGB32 ||
                           bitmap->format() == QImage::Format_ARGB32_Premultiplied;
    const QImage source = fourBytes ? *bitmap : bitmap->convertToFormat(QImage::Format_RGB32);
    if (source.isNull() || !Create(static_cast<uint32_t>(source.width()), static_cast<uint32_t>(source.height()), 32, type_)) {
        lastError_ = "GetDIBits failed";
        return false;
    }
    // Each 32-bit pixel is 0xAARRGGBB, so its bytes in memory are blue,
    // green, red, alpha: the first three are the DIB's bytes.
    const auto convertRow = HasByteShuffles() ? DropAlphaShuffled : DropAlpha;
    for (uint32_t y = 0; y < height_; ++y)
        convertRow(source.constScanLine(static_cast<int>(height_ - 1 - y)), GetBits(y), width_);
    return true;
}

uint8_t* CxImage::GetBits(uint32_t row) {
    return IsValid() && row < height_ ? pixels_.data() + size_t(row) * stride_ : nullptr;
}

const uint8_t* CxImage::GetBits(uint32_t row) const {
    return IsValid() && row < height_ ? pixels_.data() + size_t(row) * stride_ : nullptr;
}

bool CxImage::AlphaCreate() {
    if (!IsValid() || bpp_ != 24) return false;
    if (alpha_.empty()) alpha_.assign(size_t(width_) * height_, 255);
    return true;
}

uint8_t* CxImage::AlphaGetPointer(uint32_t x, uint32_t y) {
    return AlphaIsValid() && x < width_ && y < height_ ? alpha_.data() + size_t(y) * width_ + x : nullptr;
}

const uint8_t* CxImage::AlphaGetPointer(uint32_t x, uint32_t y) const {
    return AlphaIsValid() && x < width_ && y < height_ ? alpha_.data() + size_t(y) * width_ + x : nullptr;
}

RGBQUAD CxImage::GetPixelColor(int32_t x, int32_t y, bool getAlpha) const {
    if (!IsValid() || x < 0 || y < 0 || uint32_t(x) >= width_ || uint32_t(y) >= height_) return RGBQUAD{};
    const uint8_t* row = GetBits(static_cast<uint32_t>(y));
    RGBQUAD color;
    if (bpp_ == 24) {
        const uint8_t* pixel = row + size_t(x) * 3;
        color = RGBQUAD{pixel[0], pixel[1], pixel[2], 0};
    } else {
        color = palette_[PaletteIndexAt(row, static_cast<uint32_t>(x), bpp_)];
        color.rgbReserved = 0;
    }
    if (getAlpha && AlphaIsValid()) color.rgbReserved = *AlphaGetPointer(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    return color;
}

void CxImage::SetPixelColor(int32_t x, int32_t y, RGBQUAD color, bool setAlpha) {
    if (!IsValid() || x < 0 || y < 0 || uint32_t(x) >= width_ || uint32_t(y) >= height_) return;
    uint8_t* row = GetBits(static_cast<uint32_t>(y));
    if (bpp_ == 24) {
        uint8_t* pixel = row + size_t(x) * 3;
        pixel[0] = color.rgbBlue;
        pixel[1] = color.rgbGreen;
        pixel[2] = color.rgbRed;
    } else {
        SetPaletteIndexAt(row, static_cast<uint32_t>(x), bpp_, NearestPaletteIndex(palette_, color));
    }
    if (setAlpha && AlphaIsValid()) *AlphaGetPointer(static_cast<uint32_t>(x), static_cast<uint32_t>(y)) = color.rgbReserved;
}

void CxImage::Clear(uint8_t level) { std::memset(pixels_.data(), level, pixels_.size()); }

QImage CxImage::ToQImage() const {
    if (!IsValid()) return QImage();
    QImage picture(static_cast<int>(width_), static_cast<int>(height_),
                   AlphaIsValid() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    std::vector<uint8_t> row(size_t(width_) * 4);
    for (uint32_t top = 0; top < height_; ++top) {
        ExpandRowBgr(*this, top, true, row.data());
        std::memcpy(picture.scanLine(static_cast<int>(top)), row.data(), row.size());
    }
    return picture;
}

bool CxImage::Save(const std::string& fileName, uint32_t imageType) {
    if (!IsValid()) {
        lastError_ = "The image is empty";
        return false;
    }
    bool (*writer)(const CxImage&, int, std::string&) = nullptr;
    switch (imageType) {
        case CXIMAGE_FORMAT_BMP: writer = WriteBmp; break;
        case CXIMAGE_FORMAT_JPG: writer = WriteJpeg; break;
        case CXIMAGE_FORMAT_PNG: writer = WritePng; break;
        case CXIMAGE_FORMAT_TIF: writer = WriteTiff; break;
        case CXIMAGE_FORMAT_TGA: writer = WriteTga; break;
        default:
            lastError_ = "Unsupported image format " + std::to_string(imageType);
            return false;
    }
    std::string error;
    // Image sequences write many files a second: they are put in place
    // whole, but not forced to the disk one by one.
    bool written = ReplaceFileWith(
        fileName, [&](int fd) { return writer(*this, fd, error); }, 0644, false);
    if (!written) lastError_ = error.empty() ? "Cannot write " + fileName : error;
    return written;
}

}  // namespace kinolux
