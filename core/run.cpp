// The run's list of holds and its frames. Live keys join the last hold when it
// has the same keys and ended on the frame before, so a key held down for a
// minute is one hold, not 3,600.
#include "core/run.h"

#include <cstring>

static uint32_t seed;
static uint64_t frames; // frames run, 0..most_frames
static int keys_given;  // key_* bits the last generation was given
static hold holds[most_holds];
static int hold_count; // 0..most_holds
static bool recorded;  // every live key so far is in holds[]

void start_run(uint32_t run_seed_value)
{
    seed = run_seed_value;
    frames = 0;
    keys_given = 0;
    hold_count = 0;
    recorded = true;
    start_world(seed);
}

uint32_t run_seed()
{
    return seed;
}

uint64_t run_frames()
{
    return frames;
}

int run_hold_count()
{
    return hold_count;
}

bool run_is_recorded()
{
    return recorded;
}

const char *read_run_holds(const char *text, size_t length)
{
    static hold read[most_holds];
    int count = 0;
    char item[64];
    for (size_t at = 0; at < length;) {
        size_t end = at;
        while (end < length && text[end] != ',')
            end++;
        if (count == most_holds)
            return "more holds than a run can keep";
        if (end - at >= sizeof item)
            return "a hold is too long to be KEYS@A or KEYS@A-B";
        for (size_t i = at; i < end; i++)
            if (text[i] == '\0')
                return "a hold holds a NUL byte";
        memcpy(item, text + at, end - at);
        item[end - at] = '\0';
        if (const char *fault = parse_hold(item, &read[count++]); *fault)
            return fault;
        at = end + 1;
    }
    memcpy(holds, read, sizeof(hold) * static_cast<size_t>(count));
    hold_count = count;
    return "";
}

const hold *run_holds()
{
    return holds;
}

bool replace_run_holds(const hold *others, int count)
{
    if (count < 0 || count > most_holds)
        return false;
    memcpy(holds, others, sizeof(hold) * static_cast<size_t>(count));
    hold_count = count;
    return true;
}

bool add_run_hold(const hold &h)
{
    if (hold_count == most_holds)
        return false;
    holds[hold_count++] = h;
    return true;
}

int write_run_holds(char *text, int size)
{
    int length = 0;
    if (size < 1)
        return -1;
    text[0] = '\0';
    for (int i = 0; i < hold_count; i++) {
        if (i > 0) {
            if (length + 1 >= size)
                return -1;
            text[length++] = ',';
        }
        const int n = write_hold(holds[i], text + length, size - length);
        if (n == 0)
            return -1;
        length += n;
    }
    text[length] = '\0';
    return length;
}

int run_keys_at(uint64_t k)
{
    return keys_at(holds, hold_count, k);
}

uint64_t last_run_frame(uint64_t count)
{
    uint64_t last = count;
    for (int i = 0; i < hold_count; i++)
        if ((holds[i].keys & key_esc) && holds[i].first <= last)
            last = holds[i].first - 1;
    return last;
}

// Note that `keys` were held live at frame k.
static void record_keys(int keys, uint64_t k)
{
    hold &last = holds[hold_count > 0 ? hold_count - 1 : 0];
    if (hold_count > 0 && last.keys == keys && last.last + 1 == k)
        last.last = k;
    else if (!add_run_hold({keys, k, k}))
        recorded = false;
}

int advance_run(int live)
{
    const uint64_t k = frames + 1;
    const int linked = run_keys_at(k);
    if (linked & key_esc || k > most_frames)
        return run_ended;
    live &= frame_keys;
    if (live)
        record_keys(live, k);
    keys_given = (linked | live) & frame_keys;
    frames = k;
    return advance_frame(keys_given);
}

int run_keys()
{
    return keys_given;
}
