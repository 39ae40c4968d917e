// Checking comes first because the library's picture reader trusts its input: a
// header claiming a huge picture, too little data or a picture without glyphs
// can crash it or take gigabytes. The bytes checked are the bytes it parses.
#include "allegro4/font.h"

#include <allegro.h>

#include <cstring>

#include "core/glyphs.h"
#include "platform/files.h"

// A picture of the largest size, each pixel a run of its own, and a palette.
constexpr long max_file_bytes = 128 + 2L * glyph_sheet_side * glyph_sheet_side + 769;

// The file as read: at most max_file_bytes, kept for the library's reader.
static unsigned char font_bytes[max_file_bytes];
static long font_size;

// The font as our own reader sees it; the library reads only what this accepted.
static glyph_font checked_font;

// The checked bytes as a read-only packfile for the library's PCX reader.
static long packed_at;
static int memory_getc(void *)
{
    return packed_at < font_size ? font_bytes[packed_at++] : EOF;
}
static int memory_ungetc(int c, void *) // a step back; the checked bytes stay as they are
{
    if (packed_at == 0)
        return EOF;
    packed_at--;
    return c;
}
static long memory_fread(void *p, long n, void *)
{
    const long count = n < font_size - packed_at ? n : font_size - packed_at;
    memcpy(p, font_bytes + packed_at, static_cast<size_t>(count));
    packed_at += count;
    return count;
}
static int memory_fseek(void *, int offset)
{
    packed_at = offset < font_size - packed_at ? packed_at + offset : font_size;
    return 0;
}
static int memory_feof(void *)
{
    return packed_at >= font_size;
}
static int memory_fclose(void *)
{
    return 0;
}
static int memory_putc(int, void *)
{
    return EOF;
}
static long memory_fwrite(const void *, long, void *)
{
    return 0;
}
static int memory_ferror(void *)
{
    return 0;
}
static PACKFILE_VTABLE memory_file = {memory_fclose, memory_getc, memory_ungetc,
                                      memory_fread,  memory_putc, memory_fwrite,
                                      memory_fseek,  memory_feof, memory_ferror};

// What the library's load_font does for a .pcx file, on the checked bytes.
static BITMAP *load_font_picture()
{
    packed_at = 0;
    PACKFILE *file = pack_fopen_vtable(&memory_file, nullptr);
    if (!file)
        return nullptr;
    const int conversion = get_color_conversion();
    set_color_conversion(COLORCONV_MOST | COLORCONV_KEEP_TRANS);
    BITMAP *picture = load_pcx_pf(file, nullptr);
    set_color_conversion(conversion);
    pack_fclose(file);
    return picture;
}

// The font in font_bytes, checked by our own reader before the library reads it.
static FONT *load_checked_font()
{
    if (!read_caption_glyphs(font_bytes, font_size, &checked_font))
        return nullptr;
    BITMAP *picture = load_font_picture();
    if (!picture)
        return nullptr;
    FONT *f = grab_font_from_bitmap(picture);
    destroy_bitmap(picture);
    return f;
}

std::string find_caption_font(font_places places)
{
    static const char name[] = "myfont.pcx";
    const bool working_folder = places == working_folder_first;
    if (working_folder && path_exists(name))
        return name;
    const std::string folder = executable_folder();
    for (const char *place : {"", "../share/lincell/"})
        if (!folder.empty() && path_exists(folder + place + name))
            return folder + place + name;
    return working_folder ? name : "";
}

FONT *load_caption_font(const char *path)
{
    return read_small_file(path, font_bytes, max_file_bytes, &font_size) ? load_checked_font()
                                                                         : nullptr;
}

FONT *load_caption_font_from(const unsigned char *bytes, long size)
{
    if (size < 0 || size > max_file_bytes)
        return nullptr;
    if (size > 0)
        memcpy(font_bytes, bytes, static_cast<size_t>(size));
    font_size = size;
    return load_checked_font();
}
