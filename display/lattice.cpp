// The cell size, program-wide so that drawing and tests share one lattice.
#include "display/lattice.h"

float cell_width;
float cell_height;

void size_cells()
{
    cell_width = 3.125f;
    cell_height = 3.125f;
}
