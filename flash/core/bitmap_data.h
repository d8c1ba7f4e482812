// The pixels of a BitmapData: premultiplied 32-bit ARGB as the Flash player
// keeps them (so colours of translucent pixels lose precision the same
// way), with the size and transparency it was made with.
#pragma once

#include <QImage>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace flash {

class BitmapData {
public:
    // The largest side and area a script may ask for.
    static constexpr int kMaxSide = 8191;
    static constexpr int kMaxPixels = 16777215;

    // Null image when the size is out of range.
    BitmapData(int width, int height, bool transparent, std::uint32_t argb);
    explicit BitmapData(QImage image);
    // A PNG, JPEG or GIF file; null with a reason when it is not one.
    static std::shared_ptr<BitmapData> decode(const std::vector<std::uint8_t>& bytes, std::string* error);

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    bool transparent() const { return transparent_; }
    void setTransparent(bool on) { transparent_ = on; }
    bool valid() const { return !image_.isNull(); }
    // Premultiplied ARGB32.
    const QImage& image() const { return image_; }
    QImage& image() { ++revision_; return image_; }
    // Changes with every write, for caches of the drawn picture.
    std::uint64_t revision() const { return revision_; }
    void dispose() { image_ = QImage(); ++revision_; }

    // Straight (not premultiplied) ARGB of one pixel, 0 outside.
    std::uint32_t pixel32(int x, int y) const;
    // Stores a straight ARGB colour; alpha is forced opaque when the
    // bitmap is not transparent.
    void setPixel32(int x, int y, std::uint32_t argb);

    static std::uint32_t premultiply(std::uint32_t argb);
    static std::uint32_t unpremultiply(std::uint32_t premultiplied);

private:
    QImage image_;
    bool transparent_ = true;
    std::uint64_t revision_ = 0;
};

}  // namespace flash
