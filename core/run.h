// A run of the toy: a seed, the keys held over its frames, and the frames run so
// far. The recorder and the web page each start one and advance it a generation
// at a time, handing in the keys held live; the run adds them to its list of
// holds, so the list, written as text, replays the run exactly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/frame.h"
#include "core/keys.h"

constexpr int most_holds = 16384; // holds a run keeps

// advance_run's answer when the run's holds end it (Esc) before the next frame.
constexpr int run_ended = -1;

// Start a run from `seed` with no holds, at frame 0: the world as start_world leaves it.
void start_run(uint32_t seed);

// The run's seed, and the frames run so far (0 until the first generation).
uint32_t run_seed();
uint64_t run_frames();

// Read `length` bytes of text as the run's holds, KEYS@A[-B] parted by commas, in
// place of any it had. "" when it is good; otherwise what is wrong with it, in
// words that name no option, and the holds stay as they were: a list is taken
// whole or not at all.
const char *read_run_holds(const char *text, size_t length);

// Add one hold to the run's list; false when the list is full.
bool add_run_hold(const hold &h);

// The run's holds, run_hold_count() of them, to be read; and all of them
// replaced by `count` others (false, and none replaced, when they are too many).
const hold *run_holds();
bool replace_run_holds(const hold *others, int count);

// The run's holds as text, as read_run_holds reads them, into `size` bytes.
// Returns the length, or -1 when they do not fit.
int write_run_holds(char *text, int size);

// How many holds the run has, and whether every key held live so far is among
// them (false once one found the list full: the list no longer replays the run).
int run_hold_count();
bool run_is_recorded();

// The keys the run's holds give frame k, Esc included.
int run_keys_at(uint64_t k);

// The last frame a run of `frames` frames reaches: Esc held at frame A ends the
// run before frame A runs.
uint64_t last_run_frame(uint64_t frames);

// Run the next generation with the holds' keys and `live` keys held now (C, N
// and M; the front end ends a run itself on a live Esc), adding the live ones to
// the holds; nothing is painted. Returns what the controls did (did_* bits), or
// run_ended, with nothing run, when the holds end the run at this frame.
int advance_run(int live);

// The keys the last generation was given (key_* bits), holds and live together.
int run_keys();
