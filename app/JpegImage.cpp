#include "app/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    bool warned = false;
};

[[noreturn]] void onError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// libjpeg reports a truncated or damaged stream as a warning and carries on with
// grey filler; for a picture we would rather show none.
void onMessage(j_common_ptr info, int level)
{
    if (level < 0)
        reinterpret_cast<ErrorManager*>(info->err)->warned = true;
}

// Decodes into pixels; false on any error or warning. Kept free of objects with
// destructors created after setjmp, which longjmp would skip.
bool decodeInto(const QByteArray& jpeg, std::vector<unsigned char>& pixels, int& width, int& height)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const size_t stride = static_cast<size_t>(width) * 3;
    pixels.resize(stride * static_cast<size_t>(height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return !errors.warned;
}

} // namespace

QImage DecodeJpeg(const QByteArray& jpeg)
{
    if (jpeg.isEmpty())
        return {};
    std::vector<unsigned char> pixels;
    int width = 0;
    int height = 0;
    if (!decodeInto(jpeg, pixels, width, height) || width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels.data() + static_cast<size_t>(y) * width * 3, width * 3, image.scanLine(y));
    return image;
}
