// Test helper: the library started once per test process without a display,
// drawing in 32-bit colour (red << 16 | green << 8 | blue), with the cell size
// set as the toy sets it.
#pragma once

#include "app/headless.h"
#include "display/lattice.h"

inline void start_headless()
{
    static bool started = false;
    if (!started) {
        started = true;
        size_cells();
        start_headless_library();
    }
}
