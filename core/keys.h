// The keys, spelled once: the bits a frame is handed and the text that names
// them, KEYS@A[-B], which the recorder's --hold, its log and the web page's link
// all read and write. Whole numbers in text are read here too, digits only.
#pragma once

#include <cstdint>

// The keys, one bit each: C new colours, N new world and rule, M mutate the rule,
// Esc end the run (before its frame: the frame itself never sees it).
enum : int { key_c = 1, key_n = 2, key_m = 4, key_esc = 8 };
constexpr int frame_keys = key_c | key_n | key_m; // the keys a frame acts on

constexpr uint64_t most_frames = 10000000; // the longest run that can be named, in frames

// Keys held during frames first..last inclusive, 1..most_frames.
struct hold {
    int keys;
    uint64_t first, last;
};

// A whole decimal number of at most `most`, digits only, into *value; false for
// anything else, empty text included.
bool parse_whole_number(const char *text, uint64_t most, uint64_t *value);

// The keys named by `word`: any of C, N and M in either case, or "esc"; 0 for
// anything else.
int parse_keys(const char *word, int length);

// The keys' names into text (at least 4 bytes): "esc", or C, N and M in that order.
void write_keys(int keys, char *text);

// KEYS@A or KEYS@A-B into *h: "" when it is good, else what is wrong with it.
const char *parse_hold(const char *text, hold *h);

// The hold as parse_hold reads it ("CN@5-9", "M@3") into text of `size` bytes;
// the length written, or 0 when it does not fit.
int write_hold(const hold &h, char *text, int size);

// Keys held at frame k: every hold that covers it adds its keys.
int keys_at(const hold *holds, int count, uint64_t k);
