#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <vector>

#include "engine/image_writers.h"

namespace kinolux {

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    std::string* text;
};

void JpegErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    *errors->text = std::string("JPEG: ") + message;
    std::longjmp(errors->jump, 1);
}

void JpegQuiet(j_common_ptr) {}

// libjpeg reports failures by longjmp: everything with a destructor is made
// by the caller, so the jump skips none.
bool Encode(const CxImage& image, FILE* file, std::vector<uint8_t>& row, std::string& error) {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    errors.text = &error;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegErrorExit;
    errors.manager.output_message = JpegQuiet;
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = image.GetWidth();
    info.image_height = image.GetHeight();
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    const uint32_t height = image.GetHeight();
    while (info.next_scanline < height) {
        const uint32_t top = info.next_scanline;
        JSAMPROW line = row.data();
        if (image.GetBpp() == 24)
            line = const_cast<JSAMPROW>(image.GetBits(height - 1 - top));  // libjpeg only reads it
        else
            ExpandRowBgr(image, top, false, row.data());
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool WriteJpeg(const CxImage& image, int fd, std::string& error) {
    std::vector<uint8_t> row(size_t(image.GetWidth()) * 3);
    return EncodeThroughStdio(fd, "JPEG", error, [&](FILE* file) { return Encode(image, file, row, error); });
}

}  // namespace kinolux
