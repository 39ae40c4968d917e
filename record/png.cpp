// libpng with zlib level 3 and no row filters: the toy's pictures are large flat
// squares, and of the settings compared in docs/performance.md this is both the
// fastest and the smallest.
#include "record/png.h"

#include <png.h>

#include "platform/whole_file.h"

constexpr int png_level = 3;

// libpng's own errors and warnings are not printed: a failure is the caller's to report.
[[noreturn]] static void quiet_error(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
static void quiet_warning(png_structp, png_const_charp) {}

bool encode_png(FILE *stream, const unsigned *pixels, int width, int height, int pitch)
{
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, png_level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    // In memory a pixel is the bytes blue, green, red and an unused one.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; y++)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + y * pitch));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool write_png_file(const std::string &path, const unsigned *pixels, int width, int height)
{
    whole_file file;
    if (!open_whole_file(path, &file))
        return false;
    if (!encode_png(file.stream, pixels, width, height, width)) {
        drop_whole_file(&file);
        return false;
    }
    return commit_whole_file(&file);
}
