// What the recorder makes, one kind of output at a time: PGM grids, PNG frames,
// a video, a log. Every kind is a file of its own that fills in one of these,
// and outputs.cpp lists them; the recorder's main knows no kind by name. Calls
// that can fail return false with a message for the user in *error.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/frame.h"
#include "record/options.h"

// One frame as the outputs see it, after the toy has built it. The recorder's
// main decides, once for every kind, which frames are kept and under what number.
struct recorded_frame {
    uint64_t number;             // 0 for the seeded world, then 1 up to the run's last frame
    int keys;                    // the keys held during it (key_* bits)
    int done;                    // what its controls did (did_* bits)
    bool kept;                   // whether grids and pictures keep this frame
    std::string file_number;     // its number as the run's file names write it, e.g. "00042"
    const uint32_t *const *rows; // its picture: screen_height rows of screen_width 32-bit
                                 // pixels, red << 16 | green << 8 | blue; none for the seeded world
    world_view world;            // the world, rule and watch as the frame left them
};

// A kind leaves a stage it does not need empty (nullptr), all but is_wanted and take_frame.
struct output {
    // Whether this run makes this kind at all.
    bool (*is_wanted)(const options &o);
    // Before the recorder touches anything, its standard streams included: false
    // for a run this kind cannot make (a bad argument: the recorder exits with status 2).
    bool (*check)(const options &o, std::string *error);
    // Whether the file `name` in `folder` is one this kind writes, and so one an
    // earlier recording may have left, for --overwrite to replace.
    bool (*is_mine)(const options &o, const std::string &folder, const char *name);
    // Start: the world is seeded (`seeded`, frame 0, kept) and nothing has run yet.
    bool (*begin)(const options &o, const recorded_frame &seeded, std::string *error);
    // Take one frame of the run, in order.
    bool (*take_frame)(const recorded_frame &frame, std::string *error);
    // The run is over: make everything whole and in place.
    bool (*finish)(std::string *error);
    // The run failed: stop, and leave no part of a file behind.
    void (*abandon)();
};

// Every kind the recorder can make, in the order they take each frame.
extern const output *const outputs[];
extern const int output_count;

// The kinds this run makes, into *wanted, each checked: false, with the message,
// for a run one of them cannot make. Nothing is written.
bool choose_outputs(const options &o, std::vector<const output *> *wanted, std::string *error);
