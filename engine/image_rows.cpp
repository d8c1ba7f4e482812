#include <cstring>
#include <unistd.h>

#include "engine/image_writers.h"

namespace kinolux {

void ExpandRowBgr(const CxImage& image, uint32_t topRow, bool withAlpha, uint8_t* out) {
    const uint32_t row = image.GetHeight() - 1 - topRow;
    const uint8_t* bits = image.GetBits(row);
    const uint8_t* alpha = image.AlphaGetPointer(0, row);
    const uint32_t width = image.GetWidth();
    const size_t step = withAlpha ? 4 : 3;
    if (image.GetBpp() == 24 && !withAlpha) {
        std::memcpy(out, bits, size_t(width) * 3);
        return;
    }
    for (uint32_t x = 0; x < width; ++x, out += step) {
        if (image.GetBpp() == 24) {
            std::memcpy(out, bits + size_t(x) * 3, 3);
        } else {
            RGBQUAD color = image.GetPixelColor(static_cast<int32_t>(x), static_cast<int32_t>(row), false);
            out[0] = color.rgbBlue;
            out[1] = color.rgbGreen;
            out[2] = color.rgbRed;
        }
        if (withAlpha) out[3] = alpha ? alpha[x] : 255;
    }
}

bool EncodeThroughStdio(int fd, const char* kind, std::string& error, const std::function<bool(FILE*)>& encode) {
    int own = ::dup(fd);
    FILE* file = own >= 0 ? ::fdopen(own, "wb") : nullptr;
    if (!file) {
        if (own >= 0) ::close(own);
        error = std::string("Cannot write the ") + kind + " file";
        return false;
    }
    bool ok = encode(file);
    ok = std::fflush(file) == 0 && !std::ferror(file) && ok;
    ok = std::fclose(file) == 0 && ok;
    if (!ok && error.empty()) error = std::string("Cannot write the ") + kind + " file";
    return ok;
}

}  // namespace kinolux
