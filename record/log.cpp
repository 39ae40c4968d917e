// The log: one JSON object per frame on standard output, written whole with one
// call where it can be, so that a reader never sees half a line of a frame that
// ran. A log that cannot be written is a failure, never a silent loss.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/console.h"
#include "platform/signals.h"
#include "record/output.h"

static bool is_wanted(const options &o)
{
    return o.log;
}

// Standard output as the recorder was started with it: closed, there is nowhere
// for the log to go.
static bool check(const options &, std::string *error)
{
    if (is_open(1))
        return true;
    *error = "cannot write the log: standard output is closed";
    return false;
}

static bool write_line(const char *line, size_t size, std::string *error)
{
    for (size_t done = 0; done < size;) {
        const long n = write_descriptor(1, line + done, size - done);
        if (n < 0 && errno == EINTR && stop_signal)
            return true; // the run ends here: a reader that takes nothing cannot hold it
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error =
                std::string("cannot write the log: ") + (n < 0 ? strerror(errno) : "nothing taken");
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

static bool take_frame(const recorded_frame &frame, std::string *error)
{
    char keys[4];
    write_keys(frame.keys & frame_keys, keys);
    const auto yes_no = [&frame](int did) { return frame.done & did ? "true" : "false"; };
    char line[512];
    int n = snprintf(line, sizeof line,
                     "{\"frame\":%llu,\"keys\":\"%s\",\"reseeded\":%s,\"mutated\":%s,"
                     "\"recolored\":%s,\"still_count\":%d,\"reseed_flag\":%d,\"weights\":[",
                     static_cast<unsigned long long>(frame.number), keys, yes_no(did_reseed),
                     yes_no(did_mutate), yes_no(did_recolor), frame.world.still_count,
                     frame.world.reseed_flag);
    for (int i = 0; i < frame.world.weight_count; i++)
        n += snprintf(line + n, sizeof line - static_cast<size_t>(n), "%s%.9g", i ? "," : "",
                      static_cast<double>(frame.world.weights[i]));
    n += snprintf(line + n, sizeof line - static_cast<size_t>(n), "],\"gain\":%.9g}\n",
                  static_cast<double>(frame.world.gain));
    return write_line(line, static_cast<size_t>(n), error);
}

extern const output log_output = {
    is_wanted,  check,   nullptr, /* is_mine */
    nullptr,                      /* begin */
    take_frame, nullptr,          /* finish */
    nullptr,                      /* abandon */
};
