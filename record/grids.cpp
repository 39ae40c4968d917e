// The world as PGM grids: grid-00000.pgm holds the seeded world, then one grid
// for every frame written, one row of 256 cells per line of the picture, each
// cell a byte.
#include <cstring>

#include "automaton/grid.h"
#include "files/whole_file.h"
#include "record/output.h"

static const options *run;
static uint64_t last; // the run's last frame
static int digits;

static bool is_wanted(const options &o)
{
    return writes_files(o);
}

static bool check(const options &, std::string *)
{
    return true;
}

static bool is_mine(const options &o, const std::string &folder, const char *name)
{
    return folder == o.out && is_output_name(name, "grid", "pgm");
}

// current_grid as a binary PGM, its rows y = 0..191.
static bool write_grid(uint64_t k, std::string *error)
{
    static const char header[] = "P5\n256 192\n255\n";
    static unsigned char pgm[sizeof header - 1 + world_cells];
    memcpy(pgm, header, sizeof header - 1);
    unsigned char *rows = pgm + sizeof header - 1;
    for (int x = 0; x < world_width; x++)
        for (int y = 0; y < world_height; y++)
            rows[y * world_width + x] = static_cast<unsigned char>(current_grid[cell_index(x, y)]);
    const std::string path = run->out + "/" + output_name("grid", k, "pgm", digits);
    if (write_whole_file(path, pgm, sizeof pgm))
        return true;
    *error = "cannot write " + path;
    return false;
}

static bool begin(const options &o, std::string *error)
{
    run = &o;
    last = last_frame(o);
    digits = name_digits(last);
    return write_grid(0, error);
}

static bool take_frame(const recorded_frame &frame, std::string *error)
{
    return !is_written_frame(*run, frame.number, last) || write_grid(frame.number, error);
}

static bool finish(std::string *)
{
    return true;
}

static void abandon() {}

extern const output grid_output = {is_wanted, check, is_mine, begin, take_frame, finish, abandon};
