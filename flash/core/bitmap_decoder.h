// Bitmap characters decoded into premultiplied 32-bit pictures: JPEG (with
// the movie's shared tables), PNG and GIF through Qt's readers, zlib alpha
// planes, and the lossless formats.
#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "flash/core/library.h"
#include "flash/swf/types.h"

namespace flash {

class BitmapData;

// A null image, and a message in *error, when the data cannot be decoded.
QImage decodeJpegBitmap(const swf::DefineBitsJpeg& tag, swf::Bytes jpegTables, std::string* error = nullptr);
QImage decodeLosslessBitmap(const swf::DefineBitsLossless& tag, std::string* error = nullptr);
// A bitmap character of either kind (with its movie's JPEG tables).
QImage decodeBitmapCharacter(const Character& c, std::string* error = nullptr);
// The pixels scripts get for a bitmap character (transparent when its
// format has alpha); null when it cannot be decoded.
std::shared_ptr<BitmapData> bitmapDataOfCharacter(const Character& c);

// Inflates zlib data of exactly `expected` bytes (false when it is shorter
// or damaged); never allocates more than expected.
bool inflateExactly(swf::Bytes data, std::size_t expected, std::vector<std::uint8_t>& out);

}  // namespace flash
