// A run as a link: its seed, its holds and the frame it opens on, in a page's
// address (#seed=S&run=CODE&frames=K). CODE is the holds packed as bits into
// base64url, about three characters a press; the older hold=KEYS@A[-B],... form
// is read too. Plain text functions: nothing here touches a run.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/keys.h"

// The holds in the compact code, into `size` bytes of text (with its NUL): the
// length, or -1 when it does not fit. Their order does not matter to a run, so
// the code keeps them by first frame.
int write_compact_holds(const hold *holds, int count, char *text, int size);

// `length` bytes of the compact code into holds[most] and *count: "" when it is
// good, else what is wrong with it (and nothing is written to *count).
const char *read_compact_holds(const char *text, size_t length, hold *holds, int most, int *count);

// What a link says.
struct run_link {
    uint32_t seed;
    uint64_t frames; // the frame it opens on, when has_frames
    bool has_frames;
    int hold_count; // holds in the caller's array
};

// Read a link (anything up to a '#', then seed=, run= or hold=, and frames=,
// parted by '&', %-escapes undone) into *link and holds[most]: "" when it is
// good, else what is wrong with it. A name it does not know, or one given
// twice, is a fault: a link is taken whole or not at all.
const char *read_run_link(const char *text, size_t length, hold *holds, int most, run_link *link);
