#include "JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace orvane {

namespace {
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}
} // namespace

bool WriteJpeg(const QImage& image, const std::string& path, int quality, std::string& error) {
    if (image.isNull()) {
        error = "no image";
        return false;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    jpeg_compress_struct info;
    ErrorManager err;
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&info);
        std::fclose(file);
        std::remove(path.c_str());
        error = err.message;
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(rgb.width());
    info.image_height = static_cast<JDIMENSION>(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fclose(file) != 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace orvane
