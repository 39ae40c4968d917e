// The world as PGM grids: grid-00000.pgm holds the seeded world, then one grid
// for every frame written, one row of 256 cells per line of the picture, each
// cell a byte.
#include <cstdio>
#include <cstring>

#include "automaton/grid.h"
#include "platform/files.h"
#include "platform/whole_file.h"
#include "record/output.h"

#include <string>

// The folder the grids go into.
static std::string out_folder;

static bool is_wanted(const options &o)
{
    return writes_files(o);
}

static bool is_mine(const options &o, const std::string &folder, const char *name)
{
    return is_output_name(name, "grid", "pgm") && same_folder(folder, o.out);
}

// current_grid as a binary PGM, its rows y = 0..191, when the frame is kept.
static bool take_frame(const recorded_frame &frame, std::string *error)
{
    if (!frame.kept)
        return true;
    static char header[32];
    static unsigned char pgm[sizeof header + world_cells];
    const size_t header_size = static_cast<size_t>(
        snprintf(header, sizeof header, "P5\n%d %d\n255\n", world_width, world_height));
    memcpy(pgm, header, header_size);
    unsigned char *rows = pgm + header_size;
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            rows[y * world_width + x] = static_cast<unsigned char>(current_grid[cell_index(x, y)]);
    const std::string path = out_folder + "/grid-" + frame.file_number + ".pgm";
    if (write_whole_file(path, pgm, header_size + world_cells))
        return true;
    *error = "cannot write " + path;
    return false;
}

// The seeded world is grid 0.
static bool begin(const options &o, const recorded_frame &seeded, std::string *error)
{
    out_folder = o.out;
    return take_frame(seeded, error);
}

extern const output grid_output = {
    is_wanted, nullptr,                      /* check */
    is_mine,   begin,   take_frame, nullptr, /* finish */
    nullptr,                                 /* abandon */
};
