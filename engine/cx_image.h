// The image buffer for grabbed frames and still images: a device-independent
// picture of 1, 4, 8 or 24 bits per pixel with bottom-up rows (the first row
// in memory is the bottom line), each padded to a multiple of 4 bytes,
// 24-bit pixels stored blue, green, red; a palette for 8 bits or fewer; and
// an optional alpha plane (one byte per pixel, 255 opaque) for 24-bit
// images. Coordinates are (x, y) with y counted from the bottom row.
//
// A plain value: copying copies the pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class QImage;

namespace kinolux {

struct RGBQUAD {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;  // alpha where an operation reads or sets it

    bool operator==(const RGBQUAD&) const = default;
};

// A colour reference 0x00BBGGRR as an RGBQUAD (fourth byte 0).
RGBQUAD RGBtoRGBQUAD(uint32_t colorRef);

// Format codes of Save.
enum ImageFormat : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_TIF = 6,
    CXIMAGE_FORMAT_TGA = 7,
};

class CxImage {
public:
    // The most pixel memory one image may take; larger requests fail.
    static constexpr uint64_t kMaxPixelBytes = 512ull << 20;

    explicit CxImage(uint32_t imageType = 0);
    CxImage(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType = 0);

    // A zeroed buffer (and zeroed palette) of the rounded depth: 2-4 -> 4,
    // 5-8 -> 8, above 8 -> 24 (and 0 -> 1). Drops the alpha plane. The first
    // row, or null (and an empty image) when the size is 0 or too large.
    uint8_t* Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType = 0);

    // Reads a grabbed picture as GetDIBits reads a bitmap into a 24-bit
    // buffer: its blue, green and red bytes, bottom row first. The caller
    // keeps the picture. A null or empty picture leaves an empty image.
    bool CreateFromHBITMAP(const QImage* bitmap);

    bool IsValid() const { return !pixels_.empty(); }
    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }
    uint32_t GetBpp() const { return bpp_; }
    // Bytes per row: ((width x bpp + 31) / 32) x 4.
    uint32_t GetEffWidth() const { return stride_; }
    uint32_t GetType() const { return type_; }
    const std::string& GetLastError() const { return lastError_; }

    // Row `row` (0 = bottom); null for an empty image or a row out of range.
    uint8_t* GetBits(uint32_t row = 0);
    const uint8_t* GetBits(uint32_t row = 0) const;

    // 2^bpp entries for 8 bits or fewer, none for 24.
    std::vector<RGBQUAD>& GetPalette() { return palette_; }
    const std::vector<RGBQUAD>& GetPalette() const { return palette_; }

    // Adds an all-opaque alpha plane to a 24-bit image (keeps one that is
    // there); false for other depths and empty images.
    bool AlphaCreate();
    bool AlphaIsValid() const { return !alpha_.empty(); }
    // The alpha byte of (x, y) and those after it in its row; null without
    // an alpha plane or out of range.
    uint8_t* AlphaGetPointer(uint32_t x = 0, uint32_t y = 0);
    const uint8_t* AlphaGetPointer(uint32_t x = 0, uint32_t y = 0) const;

    // Out of range: all zero. The fourth byte is the alpha when there is a
    // plane and `getAlpha` is set, else 0.
    RGBQUAD GetPixelColor(int32_t x, int32_t y, bool getAlpha = true) const;
    // Out of range: nothing. Palette images take the nearest entry. With
    // `setAlpha` the fourth byte goes into the alpha plane.
    void SetPixelColor(int32_t x, int32_t y, RGBQUAD color, bool setAlpha = false);

    // Every pixel byte set to `level`.
    void Clear(uint8_t level = 0);

    // The picture as Qt draws it (top row first; ARGB32 with an alpha plane,
    // RGB32 without), for the windows that draw images.
    QImage ToQImage() const;

    // Encodes in the given format and writes the file. The file appears
    // under its name only when complete; a failure leaves no file behind
    // (and an existing file untouched) and says why in GetLastError.
    bool Save(const std::string& fileName, uint32_t imageType);

private:
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t bpp_ = 0;
    uint32_t stride_ = 0;
    uint32_t type_ = 0;
    std::vector<uint8_t> pixels_;
    std::vector<RGBQUAD> palette_;
    std::vector<uint8_t> alpha_;
    std::string lastError_;
};

}  // namespace kinolux
