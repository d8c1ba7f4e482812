// The encoders behind CxImage::Save. Each writes a whole valid image to the
// descriptor of a fresh file (and leaves it open), or returns false with
// `error` saying why; the caller puts the file in place only on success.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "engine/cx_image.h"

namespace kinolux {

// 24-bit or palette BMP, rows as stored; an alpha plane is not written.
bool WriteBmp(const CxImage& image, int fd, std::string& error);
// 8-bit colour-mapped or 24-bit TGA; with an alpha plane 32-bit pixels.
bool WriteTga(const CxImage& image, int fd, std::string& error);
// Through libpng: RGB, RGBA with an alpha plane, or a palette.
bool WritePng(const CxImage& image, int fd, std::string& error);
// Through libjpeg with its default quality; palette images as colour.
bool WriteJpeg(const CxImage& image, int fd, std::string& error);
// Through libtiff: RGB, RGBA (unassociated alpha) or a palette.
bool WriteTiff(const CxImage& image, int fd, std::string& error);

// Scratch row helpers shared by the encoders, top row first.
// Row `topRow` counted from the top as blue-green-red(-alpha) bytes; palette
// images are looked up.
void ExpandRowBgr(const CxImage& image, uint32_t topRow, bool withAlpha, uint8_t* out);

// For the libraries that write through stdio: runs `encode` on a stream over
// a duplicate of `fd` (so closing the stream leaves the caller's descriptor
// open) and counts a failed flush or close as a failed write. `error` says
// "Cannot write the <kind> file" when `encode` left it empty.
bool EncodeThroughStdio(int fd, const char* kind, std::string& error, const std::function<bool(FILE*)>& encode);

}  // namespace kinolux
