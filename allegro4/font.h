// The caption font, read safely: the file is read once into memory, checked as a
// small 8-bit PCX picture of glyphs before the library parses it, and the font
// must hold every glyph the caption needs. Anything else is a failed load.
#pragma once

#include <string>

struct FONT;

// Where the caption font is looked for: "myfont.pcx" in the working folder (the
// window only, and first), then beside the executable, then in ../share/lincell/
// from the executable's folder, as an installed or unpacked package has it. The
// first that exists is the one; when none does, the working folder's name for
// the window and "" (no font file) for the others.
enum font_places { working_folder_first, program_folders_only };
std::string find_caption_font(font_places places);

// The font in the file at `path`, or nullptr when it is missing, unreadable, not a
// regular file, or not a font picture the toy can trust. Never blocks, never
// reads more than a few megabytes.
FONT *load_caption_font(const char *path);

// The same from `size` bytes already read.
FONT *load_caption_font_from(const unsigned char *bytes, long size);
