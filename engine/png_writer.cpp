#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "engine/image_writers.h"

namespace kinolux {

namespace {

void PngError(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = std::string("PNG: ") + message;
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

// libpng reports failures by longjmp: everything with a destructor is made
// by the caller, so the jump skips none.
bool Encode(const CxImage& image, FILE* file, std::vector<uint8_t>& row, std::vector<png_color>& palette,
            std::string& error) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, PngError, PngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    const uint32_t width = image.GetWidth();
    const uint32_t height = image.GetHeight();
    const bool trueColour = image.GetBpp() == 24;
    const bool withAlpha = trueColour && image.AlphaIsValid();
    if (trueColour) {
        png_set_IHDR(png, info, width, height, 8, withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    } else {
        png_set_IHDR(png, info, width, height, static_cast<int>(image.GetBpp()), PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    png_write_info(png, info);
    if (trueColour) png_set_bgr(png);
    for (uint32_t top = 0; top < height; ++top) {
        if (withAlpha) {
            ExpandRowBgr(image, top, true, row.data());
            png_write_row(png, row.data());
        } else {
            png_write_row(png, image.GetBits(height - 1 - top));
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePng(const CxImage& image, int fd, std::string& error) {
    std::vector<uint8_t> row(size_t(image.GetWidth()) * 4);
    std::vector<png_color> palette;
    for (const RGBQUAD& color : image.GetPalette()) palette.push_back({color.rgbRed, color.rgbGreen, color.rgbBlue});
    return EncodeThroughStdio(fd, "PNG", error, [&](FILE* file) { return Encode(image, file, row, palette, error); });
}

}  // namespace kinolux
