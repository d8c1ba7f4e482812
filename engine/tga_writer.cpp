#include <vector>

#include "engine/image_writers.h"
#include "engine/little_endian_buffer.h"
#include "platform/file_io.h"

namespace kinolux {

bool WriteTga(const CxImage& image, int fd, std::string& error) {
    const bool colourMapped = image.GetBpp() == 8;
    if (!colourMapped && image.GetBpp() != 24) {
        error = "TGA images must be 8 or 24 bits per pixel";
        return false;
    }
    if (image.GetWidth() > 0xFFFF || image.GetHeight() > 0xFFFF) {
        error = "TGA images are at most 65535 pixels wide and high";
        return false;
    }
    const bool withAlpha = !colourMapped && image.AlphaIsValid();
    const uint8_t pixelDepth = colourMapped ? 8 : withAlpha ? 32 : 24;
    const size_t rowBytes = size_t(image.GetWidth()) * (pixelDepth / 8);

    LittleEndianBuffer out;
    out.Reserve(18 + 768 + rowBytes * image.GetHeight());
    out.U8(0);                        // no image id
    out.U8(colourMapped ? 1 : 0);     // colour map present
    out.U8(colourMapped ? 1 : 2);     // uncompressed colour-mapped / true-colour
    out.U16(0);                       // first colour map entry
    out.U16(colourMapped ? 256 : 0);  // colour map length
    out.U8(colourMapped ? 24 : 0);    // bits per colour map entry
    out.U16(0);                       // x origin
    out.U16(0);                       // y origin
    out.U16(static_cast<uint16_t>(image.GetWidth()));
    out.U16(static_cast<uint16_t>(image.GetHeight()));
    out.U8(pixelDepth);
    out.U8(withAlpha ? 8 : 0);  // alpha bits; origin bottom-left
    if (colourMapped) {
        for (const RGBQUAD& color : image.GetPalette()) {
            out.U8(color.rgbBlue);
            out.U8(color.rgbGreen);
            out.U8(color.rgbRed);
        }
    }
    // TGA rows are unpadded and, with the bottom-left origin, in the order
    // the buffer holds them.
    std::vector<uint8_t> row(rowBytes);
    for (uint32_t y = 0; y < image.GetHeight(); ++y) {
        if (withAlpha) ExpandRowBgr(image, image.GetHeight() - 1 - y, true, row.data());
        out.Bytes(withAlpha ? row.data() : image.GetBits(y), rowBytes);
    }
    if (!WriteAllToFd(fd, out.Text())) {
        error = "Cannot write the TGA file";
        return false;
    }
    return true;
}

}  // namespace kinolux
