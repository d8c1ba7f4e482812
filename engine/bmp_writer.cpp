#include <cstdint>

#include "engine/image_writers.h"
#include "engine/little_endian_buffer.h"
#include "platform/file_io.h"

namespace kinolux {

bool WriteBmp(const CxImage& image, int fd, std::string& error) {
    constexpr uint32_t kFileHeaderSize = 14;
    constexpr uint32_t kInfoHeaderSize = 40;
    const uint32_t paletteBytes = static_cast<uint32_t>(image.GetPalette().size() * 4);
    const uint32_t pixelBytes = image.GetEffWidth() * image.GetHeight();
    const uint32_t offset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;

    LittleEndianBuffer out;
    out.Bytes("BM", 2);
    out.U32(offset + pixelBytes);
    out.U32(0);  // reserved
    out.U32(offset);
    out.U32(kInfoHeaderSize);
    out.U32(image.GetWidth());
    out.U32(image.GetHeight());  // positive: bottom-up rows, as stored
    out.U16(1);                  // planes
    out.U16(static_cast<uint16_t>(image.GetBpp()));
    out.U32(0);  // BI_RGB
    out.U32(pixelBytes);
    out.U32(0);  // horizontal resolution: unspecified
    out.U32(0);  // vertical resolution
    out.U32(static_cast<uint32_t>(image.GetPalette().size()));
    out.U32(0);  // every colour is important
    for (const RGBQUAD& color : image.GetPalette()) {
        out.U8(color.rgbBlue);
        out.U8(color.rgbGreen);
        out.U8(color.rgbRed);
        out.U8(0);
    }
    if (!WriteAllToFd(fd, out.Text()) ||
        !WriteAllToFd(fd, std::string_view(reinterpret_cast<const char*>(image.GetBits(0)), pixelBytes))) {
        error = "Cannot write the BMP file";
        return false;
    }
    return true;
}

}  // namespace kinolux
