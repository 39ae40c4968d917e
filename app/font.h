// The caption font, read safely: the file is read once into memory, checked as a
// small 8-bit PCX picture of glyphs before the library parses it, and the font
// must hold every glyph the caption needs. Anything else is a failed load.
#pragma once

struct FONT;

// The font in the file at `path`, or nullptr when it is missing, unreadable, not a
// regular file, or not a font picture the toy can trust. Never blocks, never
// reads more than a few megabytes.
FONT *load_caption_font(const char *path);
