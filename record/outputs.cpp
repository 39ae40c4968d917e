// The kinds of output, listed once. A new kind is a new file with its output
// and one line here.
#include "record/output.h"

extern const output grid_output, frame_output, video_output, log_output;

const output *const outputs[] = {
    &video_output, // the whole run as one video, made by ffmpeg
    &frame_output, // the picture as PNG frames
    &grid_output,  // the world as PGM grids
    &log_output,   // one JSON line per frame on standard output
};
const int output_count = sizeof outputs / sizeof outputs[0];

bool choose_outputs(const options &o, std::vector<const output *> *wanted, std::string *error)
{
    for (const output *kind : outputs)
        if (kind->is_wanted(o)) {
            wanted->push_back(kind);
            if (kind->check && !kind->check(o, error))
                return false;
        }
    return true;
}
