// A frame's picture in memory, drawn with no library: screen_width x screen_height
// 32-bit pixels in the byte order a browser's canvas takes (red, green, blue,
// alpha), the caption drawn by the glyph reader. The web page shows it as it is.
#pragma once

#include <cstdint>

#include "core/frame.h"

// The pixel of a colour: its bytes red, green, blue and 255 in memory order.
uint32_t canvas_pixel(int red, int green, int blue);

// Set the canvas up and read its caption font from `size` bytes: false when the
// font is refused (the canvas then draws no caption). Start the world apart.
bool start_canvas(const unsigned char *font_bytes, long size);

// The frame's canvas over the picture: cleared, painted and captioned here.
frame_canvas pixel_canvas();

// The picture, row after row: screen_width x screen_height pixels.
const uint32_t *canvas_pixels();
