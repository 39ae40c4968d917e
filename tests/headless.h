// Test helper: the library started without a display, drawing in 32-bit colour
// (red << 16 | green << 8 | blue), with the cell size set as the toy sets it.
#pragma once

struct BITMAP;

// Start the library once per process; safe to call from every test.
void start_headless();

// Colour of pixel (x, y) of a 32-bit memory bitmap.
int pixel_at(BITMAP *bitmap, int x, int y);
