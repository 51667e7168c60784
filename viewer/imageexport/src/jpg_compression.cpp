// BMP to JPEG through libjpeg. libjpeg reports fatal errors by calling its
// error_exit hook, which by default ends the process; ours jumps back here
// so a failure becomes a 0 result.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

#include "imageexport/dib_image.h"
#include "imageexport/image_export.h"

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void Silent(j_common_ptr) {}

} // namespace

int JPGCompression(const char* bmpPath, const char* jpegPath) {
    if (!bmpPath || !jpegPath)
        return 0;
    DibImage dib;
    if (dib.ReadBmp(bmpPath) == 0 || dib.Header().biCompression != 0)
        return 0;
    const int w = dib.Header().biWidth, h = dib.Header().biHeight;
    std::vector<JSAMPLE> row(static_cast<std::size_t>(w) * 3);

    std::FILE* out = std::fopen(jpegPath, "wb");
    if (!out)
        return 0;
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = OnError;
    err.base.output_message = Silent;
    if (setjmp(err.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::fclose(out);
        std::remove(jpegPath);
        return 0;
    }
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = static_cast<JDIMENSION>(w);
    cinfo.image_height = static_cast<JDIMENSION>(h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 92, TRUE);
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    const int xd = static_cast<int>(dib.Header().biXPelsPerMeter / 39.37007874 + 0.5);
    if (xd > 0 && xd < 65536) {
        cinfo.density_unit = 1;
        cinfo.X_density = cinfo.Y_density = static_cast<UINT16>(xd);
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < w; ++x) {
            const uint32_t rgb = dib.PixelRgb(x, y);
            row[3 * x] = static_cast<JSAMPLE>((rgb >> 16) & 0xff);
            row[3 * x + 1] = static_cast<JSAMPLE>((rgb >> 8) & 0xff);
            row[3 * x + 2] = static_cast<JSAMPLE>(rgb & 0xff);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const bool ok = std::ferror(out) == 0;
    if (std::fclose(out) != 0 || !ok) {
        std::remove(jpegPath);
        return 0;
    }
    return 1;
}
