#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include "engine/image_writers.h"

namespace kinolux {

namespace {

int CollectTiffError(TIFF*, void* userData, const char* module, const char* format, va_list arguments) {
    char message[512];
    std::vsnprintf(message, sizeof message, format, arguments);
    auto* error = static_cast<std::string*>(userData);
    if (error->empty()) *error = std::string("TIFF: ") + (module ? module : "") + ": " + message;
    return 1;  // handled: nothing on standard error
}

int IgnoreTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

bool SetFields(TIFF* tiff, const CxImage& image, std::vector<uint16_t>& colourMap) {
    const bool trueColour = image.GetBpp() == 24;
    const bool withAlpha = trueColour && image.AlphaIsValid();
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, image.GetWidth()) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, image.GetHeight()) &&
              TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, trueColour ? 8 : image.GetBpp()) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, withAlpha ? 4 : trueColour ? 3 : 1) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, trueColour ? PHOTOMETRIC_RGB : PHOTOMETRIC_PALETTE);
    if (ok && withAlpha) {
        uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        ok = TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (ok && !trueColour) {
        const std::vector<RGBQUAD>& palette = image.GetPalette();
        const size_t n = palette.size();
        colourMap.resize(3 * n);
        for (size_t i = 0; i < n; ++i) {
            colourMap[i] = static_cast<uint16_t>(palette[i].rgbRed * 257);
            colourMap[n + i] = static_cast<uint16_t>(palette[i].rgbGreen * 257);
            colourMap[2 * n + i] = static_cast<uint16_t>(palette[i].rgbBlue * 257);
        }
        ok = TIFFSetField(tiff, TIFFTAG_COLORMAP, colourMap.data(), colourMap.data() + n, colourMap.data() + 2 * n);
    }
    return ok && TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
}

bool WriteRows(TIFF* tiff, const CxImage& image) {
    const uint32_t height = image.GetHeight();
    const bool trueColour = image.GetBpp() == 24;
    const bool withAlpha = trueColour && image.AlphaIsValid();
    const size_t step = withAlpha ? 4 : 3;
    std::vector<uint8_t> row(trueColour ? size_t(image.GetWidth()) * step : image.GetEffWidth());
    for (uint32_t top = 0; top < height; ++top) {
        if (trueColour) {
            ExpandRowBgr(image, top, withAlpha, row.data());
            for (size_t i = 0; i + 2 < row.size(); i += step) std::swap(row[i], row[i + 2]);  // to red first
        } else {
            const uint8_t* bits = image.GetBits(height - 1 - top);
            row.assign(bits, bits + image.GetEffWidth());
        }
        if (TIFFWriteScanline(tiff, row.data(), top, 0) < 0) return false;
    }
    return true;
}

}  // namespace

bool WriteTiff(const CxImage& image, int fd, std::string& error) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, CollectTiffError, &error);
    TIFFOpenOptionsSetWarningHandlerExtR(options, IgnoreTiffWarning, nullptr);
    // libtiff closes the descriptor it is given; the caller keeps its own.
    int own = ::dup(fd);
    TIFF* tiff = own >= 0 ? TIFFFdOpenExt(own, "image.tif", "w", options) : nullptr;
    TIFFOpenOptionsFree(options);
    if (!tiff) {
        if (own >= 0) ::close(own);
        if (error.empty()) error = "Cannot write the TIFF file";
        return false;
    }
    std::vector<uint16_t> colourMap;
    bool ok = SetFields(tiff, image, colourMap) && WriteRows(tiff, image) && TIFFFlush(tiff) == 1;
    TIFFClose(tiff);
    if (!ok && error.empty()) error = "Cannot write the TIFF file";
    return ok;
}

}  // namespace kinolux
