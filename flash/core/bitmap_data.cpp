#include "flash/core/bitmap_data.h"

#include <algorithm>
#include <cmath>

#include "flash/swf/limits.h"

namespace flash {
// The player premultiplies with rounding and divides back by multiplying
// with a whole-number reciprocal of the alpha (in 1/256ths), so a colour
// read back from a translucent pixel may come out a step off either way.
std::uint32_t BitmapData::premultiply(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    auto ch = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | ch((argb >> 16) & 0xFF) << 16 | ch((argb >> 8) & 0xFF) << 8 | ch(argb & 0xFF);
}

std::uint32_t BitmapData::unpremultiply(std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    if (a == 0) return 0;
    const std::uint32_t reciprocal = 0xFF00 / a;
    auto ch = [reciprocal](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * reciprocal + 127) >> 8); };
    return a << 24 | ch((p >> 16) & 0xFF) << 16 | ch((p >> 8) & 0xFF) << 8 | ch(p & 0xFF);
}

BitmapData::BitmapData(int width, int height, bool transparent, std::uint32_t argb) : transparent_(transparent) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide || std::int64_t(width) * height > kMaxPixels)
        return;
    image_ = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (!transparent) argb |= 0xFF000000u;
    image_.fill(premultiply(argb));
}

BitmapData::BitmapData(QImage image) : image_(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)) {
    transparent_ = image.hasAlphaChannel();
}

std::shared_ptr<BitmapData> BitmapData::decode(const std::vector<std::uint8_t>& bytes, std::string* error) {
    QImage image;
    if (!image.loadFromData(bytes.data(), int(std::min<std::size_t>(bytes.size(), INT32_MAX)))) {
        if (error) *error = "not a PNG, JPEG or GIF picture";
        return nullptr;
    }
    if (std::uint64_t(image.width()) * std::uint64_t(image.height()) > swf::limits::kMaxBitmapPixels) {
        if (error) *error = "the picture is larger than the player allows";
        return nullptr;
    }
    return std::make_shared<BitmapData>(std::move(image));
}

std::uint32_t BitmapData::pixel32(int x, int y) const {
    if (image_.isNull() || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    const std::uint32_t stored = reinterpret_cast<const QRgb*>(image_.constScanLine(y))[x];
    // An opaque bitmap is read as it is stored: the player assumes its
    // pixels opaque, even those a raw copy made translucent.
    return transparent_ ? unpremultiply(stored) : stored;
}

void BitmapData::setPixel32(int x, int y, std::uint32_t argb) {
    if (image_.isNull() || x < 0 || y < 0 || x >= width() || y >= height()) return;
    if (!transparent_) argb |= 0xFF000000u;
    reinterpret_cast<QRgb*>(image().scanLine(y))[x] = premultiply(argb);
}

}  // namespace flash
