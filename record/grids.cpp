// The world as PGM grids: grid-00000.pgm holds the seeded world, then one grid
// for every frame written, one row of 256 cells per line of the picture, each
// cell a byte.
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "platform/whole_file.h"
#include "record/output.h"

#include <string>
#include <vector>

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

// The world as a binary PGM, its rows y = 0..191, when the frame is kept.
static bool take_frame(const recorded_frame &frame, std::string *error)
{
    if (!frame.kept)
        return true;
    const world_view &world = frame.world;
    static std::vector<unsigned char> pgm;
    char header[32];
    const size_t header_size = static_cast<size_t>(
        snprintf(header, sizeof header, "P5\n%d %d\n255\n", world.width, world.height));
    const size_t cells = static_cast<size_t>(world.width * world.height);
    pgm.assign(header, header + header_size);
    pgm.resize(header_size + cells);
    unsigned char *rows = pgm.data() + header_size;
    for (int x = 0; x < world.width; x++)
        for (int y = 0; y < world.height; y++)
            rows[y * world.width + x] =
                static_cast<unsigned char>(world.cells[x * world.height + y]);
    const std::string path = out_folder + "/grid-" + frame.file_number + ".pgm";
    if (write_whole_file(path, pgm.data(), pgm.size()))
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
