// Checking comes first because the library's picture reader trusts its input: a
// header claiming a huge picture, too little data or a picture without glyphs
// can crash it or take gigabytes. The bytes checked are the bytes it parses.
#include "app/font.h"

#include <allegro.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "base/files.h"

const char caption_text[] = "lincell.example.org";

constexpr int header_bytes = 128;
constexpr int max_side = 1024; // widest and tallest picture of glyphs accepted, pixels
constexpr long max_file_bytes = header_bytes + 2L * max_side * max_side + 769;

// The file as read: at most max_file_bytes, kept for the library's reader.
static unsigned char font_bytes[max_file_bytes];
static long font_size;

// Read the whole of a regular file into font_bytes; false for anything else.
static bool read_font_file(const char *path)
{
    const int fd = open_for_reading(path);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > header_bytes &&
              st.st_size <= max_file_bytes;
    font_size = 0;
    while (ok && font_size < max_file_bytes) {
        const ssize_t n = read(fd, font_bytes + font_size, max_file_bytes - font_size);
        if (n < 0)
            ok = false;
        if (n <= 0)
            break;
        font_size += n;
    }
    close(fd);
    return ok && font_size > header_bytes;
}

static int word_at(int offset)
{
    return font_bytes[offset] | font_bytes[offset + 1] << 8;
}

// The header of a PCX picture as the toy's font is: run-length encoded, 8 bits in
// one plane, of a sane size, with every row's data present before the file ends.
static bool is_font_picture()
{
    if (font_bytes[0] != 10 || font_bytes[2] != 1 || font_bytes[3] != 8 || font_bytes[65] != 1)
        return false;
    const int width = word_at(8) - word_at(4) + 1;
    const int height = word_at(10) - word_at(6) + 1;
    const int bytes_per_line = word_at(66);
    if (width < 1 || width > max_side || height < 1 || height > max_side ||
        bytes_per_line < width || bytes_per_line > max_side)
        return false;
    long at = header_bytes;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < bytes_per_line;) {
            if (at >= font_size)
                return false;
            const int run = (font_bytes[at] & 0xC0) == 0xC0 ? font_bytes[at++] & 0x3F : 1;
            if (at >= font_size)
                return false;
            at++;
            x += run;
        }
    return true;
}

// A picture of glyphs has at least one glyph box: the top left corner of a box
// drawn in colour 255, as the library looks for it.
static bool has_glyph_box(BITMAP *picture)
{
    auto box = [picture](int x, int y) { return getpixel(picture, x, y) == 255; };
    for (int y = 0; y < picture->h; y++)
        for (int x = 0; x < picture->w; x++)
            if (box(x, y) && box(x + 1, y) && box(x, y + 1) && !box(x + 1, y + 1))
                return true;
    return false;
}

static bool has_caption_glyphs(FONT *f)
{
    const int first = get_font_range_begin(f, -1), last = get_font_range_end(f, -1);
    for (const char *c = caption_text; *c; c++)
        if (*c < first || *c > last)
            return false;
    return true;
}

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

std::string find_caption_font(bool working_folder_first)
{
    static const char name[] = "myfont.pcx";
    struct stat st;
    if (working_folder_first && stat(name, &st) == 0)
        return name;
    const std::string folder = executable_folder();
    for (const char *place : {"", "../share/lincell/"})
        if (!folder.empty() && stat((folder + place + name).c_str(), &st) == 0)
            return folder + place + name;
    return working_folder_first ? name : "";
}

FONT *load_caption_font(const char *path)
{
    if (!read_font_file(path) || !is_font_picture())
        return nullptr;
    BITMAP *picture = load_font_picture();
    if (!picture)
        return nullptr;
    FONT *f = has_glyph_box(picture) ? grab_font_from_bitmap(picture) : nullptr;
    destroy_bitmap(picture);
    if (f && !has_caption_glyphs(f)) {
        destroy_font(f);
        f = nullptr;
    }
    return f;
}
