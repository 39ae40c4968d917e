// The library without a display, for programs and tests that draw only into
// memory: the recorder, the icon maker, the drawing tests and the benchmarks.
#pragma once

// Start the library, once however often it is called, with no system driver and 32-bit colour laid
// out as red << 16 | green << 8 | blue, as a display would usually have it.
void start_headless_allegro();
