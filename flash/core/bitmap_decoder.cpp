#include "flash/core/bitmap_decoder.h"

#include <zlib.h>

#include <QBuffer>
#include <QImageReader>
#include <algorithm>

#include "flash/core/bitmap_data.h"
#include "flash/swf/limits.h"

namespace flash {
namespace {

bool sizeAllowed(std::uint32_t w, std::uint32_t h) {
    return w > 0 && h > 0 && w <= swf::limits::kMaxBitmapSide && h <= swf::limits::kMaxBitmapSide &&
           std::uint64_t(w) * h <= swf::limits::kMaxBitmapPixels;
}

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

bool startsWith(swf::Bytes data, std::initializer_list<std::uint8_t> prefix) {
    if (data.size() < prefix.size()) return false;
    return std::equal(prefix.begin(), prefix.end(), data.begin());
}

// Flash JPEG data may carry a stray end-and-start marker pair at its head,
// and DefineBits keeps its tables in a separate tag; rebuild one stream.
std::vector<std::uint8_t> cleanJpeg(swf::Bytes data, swf::Bytes tables) {
    std::vector<std::uint8_t> out;
    auto strip = [](swf::Bytes b) {
        while (startsWith(b, {0xff, 0xd9, 0xff, 0xd8})) b = b.subspan(4);
        return b;
    };
    data = strip(data);
    tables = strip(tables);
    if (tables.size() > 4) {
        // tables: SOI ... EOI; image: SOI ... EOI. Join as SOI tables image.
        swf::Bytes t = tables;
        if (t.size() >= 2 && t[t.size() - 2] == 0xff && t[t.size() - 1] == 0xd9) t = t.subspan(0, t.size() - 2);
        out.assign(t.begin(), t.end());
        swf::Bytes d = data;
        if (startsWith(d, {0xff, 0xd8})) d = d.subspan(2);
        out.insert(out.end(), d.begin(), d.end());
        return out;
    }
    // Some writers put an EOI+SOI pair in the middle as well.
    out.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0 && i + 3 < data.size() && data[i] == 0xff && data[i + 1] == 0xd9 && data[i + 2] == 0xff &&
            data[i + 3] == 0xd8) {
            i += 3;
            continue;
        }
        out.push_back(data[i]);
    }
    return out;
}

QImage readImage(const std::vector<std::uint8_t>& bytes, std::string* error) {
    QByteArray array = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    QBuffer buffer(&array);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QSize size = reader.size();
    if (size.isValid() && !sizeAllowed(std::uint32_t(size.width()), std::uint32_t(size.height()))) {
        setError(error, "bitmap larger than the limit");
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        setError(error, "bitmap data could not be decoded: " + reader.errorString().toStdString());
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace

bool inflateExactly(swf::Bytes data, std::size_t expected, std::vector<std::uint8_t>& out) {
    out.assign(expected, 0);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(std::min<std::size_t>(data.size(), UINT32_MAX));
    z.next_out = out.data();
    z.avail_out = uInt(expected);
    int rc = inflate(&z, Z_FINISH);
    std::size_t got = expected - z.avail_out;
    inflateEnd(&z);
    return (rc == Z_STREAM_END || rc == Z_BUF_ERROR || rc == Z_OK) && got == expected;
}

QImage decodeJpegBitmap(const swf::DefineBitsJpeg& tag, swf::Bytes jpegTables, std::string* error) {
    swf::Bytes data = tag.data;
    bool isPng = startsWith(data, {0x89, 'P', 'N', 'G'});
    bool isGif = startsWith(data, {'G', 'I', 'F', '8'});
    std::vector<std::uint8_t> bytes;
    if (isPng || isGif)
        bytes.assign(data.begin(), data.end());
    else
        bytes = cleanJpeg(data, tag.version == 1 ? jpegTables : swf::Bytes{});
    QImage image = readImage(bytes, error);
    if (image.isNull() || tag.version < 3 || tag.alphaData.empty() || isPng || isGif) return image;
    std::vector<std::uint8_t> alpha;
    std::size_t n = std::size_t(image.width()) * std::size_t(image.height());
    if (!inflateExactly(tag.alphaData, n, alpha)) return image;  // the Flash player shows it opaque too
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            int a = alpha[std::size_t(y) * image.width() + x];
            QRgb p = row[x];
            // The colour data is already multiplied by alpha in these tags.
            row[x] = qRgba(std::min(qRed(p), a), std::min(qGreen(p), a), std::min(qBlue(p), a), a);
        }
    }
    return image;
}

QImage decodeLosslessBitmap(const swf::DefineBitsLossless& tag, std::string* error) {
    const std::uint32_t w = tag.width, h = tag.height;
    if (!sizeAllowed(w, h)) {
        setError(error, "lossless bitmap of " + std::to_string(w) + "x" + std::to_string(h) + " is outside the limits");
        return {};
    }
    const bool alpha = tag.version >= 2;
    std::size_t tableBytes = 0, rowBytes = 0;
    switch (tag.format) {
    case swf::LosslessFormat::ColorMap8:
        tableBytes = std::size_t(tag.colorTableSize) * (alpha ? 4 : 3);
        rowBytes = (w + 3) & ~3u;
        break;
    case swf::LosslessFormat::Rgb15: rowBytes = (w * 2 + 3) & ~3u; break;
    case swf::LosslessFormat::Rgb32: rowBytes = w * 4; break;
    }
    std::vector<std::uint8_t> data;
    if (!inflateExactly(tag.zlibData, tableBytes + rowBytes * h, data)) {
        setError(error, "lossless bitmap data is damaged or short");
        return {};
    }
    QImage image(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        setError(error, "not enough memory for a bitmap");
        return {};
    }
    std::vector<QRgb> palette;
    for (std::size_t i = 0; i < tag.colorTableSize && tag.format == swf::LosslessFormat::ColorMap8; ++i) {
        const std::uint8_t* c = &data[i * (alpha ? 4 : 3)];
        int a = alpha ? c[3] : 255;
        palette.push_back(qRgba(std::min<int>(c[0], a), std::min<int>(c[1], a), std::min<int>(c[2], a), a));
    }
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::uint8_t* src = data.data() + tableBytes + std::size_t(y) * rowBytes;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (std::uint32_t x = 0; x < w; ++x) {
            switch (tag.format) {
            case swf::LosslessFormat::ColorMap8:
                row[x] = src[x] < palette.size() ? palette[src[x]] : qRgba(0, 0, 0, 0);
                break;
            case swf::LosslessFormat::Rgb15: {
                int v = src[2 * x] << 8 | src[2 * x + 1];
                int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                row[x] = qRgb(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
                break;
            }
            case swf::LosslessFormat::Rgb32: {
                const std::uint8_t* p = src + 4 * x;
                int a = alpha ? p[0] : 255;
                row[x] = qRgba(std::min<int>(p[1], a), std::min<int>(p[2], a), std::min<int>(p[3], a), a);
                break;
            }
            }
        }
    }
    return image;
}

QImage decodeBitmapCharacter(const Character& c, std::string* error) {
    if (const auto* jpeg = c.as<swf::DefineBitsJpeg>())
        return decodeJpegBitmap(*jpeg, c.owner ? c.owner->jpegTables() : swf::Bytes(), error);
    if (const auto* lossless = c.as<swf::DefineBitsLossless>()) return decodeLosslessBitmap(*lossless, error);
    return {};
}

std::shared_ptr<BitmapData> bitmapDataOfCharacter(const Character& c) {
    if (c.kind != CharacterKind::Bitmap) return nullptr;
    QImage image = decodeBitmapCharacter(c);
    if (image.isNull()) return nullptr;
    auto pixels = std::make_shared<BitmapData>(std::move(image));
    pixels->setTransparent(c.as<swf::DefineBitsLossless>() ? c.as<swf::DefineBitsLossless>()->version == 2
                                                           : !c.as<swf::DefineBitsJpeg>()->alphaData.empty());
    return pixels;
}

}  // namespace flash
