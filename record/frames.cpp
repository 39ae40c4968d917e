// The picture as PNG frames, compressed on the machine's other cores while the
// run goes on: a frame's pixels are copied into one of a few slots, and an
// encoder thread writes the copy; the bytes are those of encoding on the spot.
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/console.h"
#include "platform/files.h"
#include "record/output.h"
#include "record/png.h"

// The folder the frames go into.
static std::string out_folder;

// The first frame that could not be written, or "".
static std::string first_failure;

static bool is_wanted(const options &o)
{
    return writes_files(o);
}

static bool is_mine(const options &o, const std::string &folder, const char *name)
{
    return is_output_name(name, "frame", "png") && same_folder(folder, o.out);
}

// One copy of a frame waiting for, or under, encoding.
struct frame_slot {
    unsigned *pixels;
    int width, height;
    std::string path;
    bool queued;
};

static void copy_frame(frame_slot &slot, const recorded_frame &frame)
{
    for (int y = 0; y < screen_height; y++)
        memcpy(slot.pixels + y * screen_width, frame.rows[y], screen_width * 4);
    slot.width = screen_width, slot.height = screen_height;
}

static bool write_slot(const frame_slot &slot)
{
    return write_png_file(slot.path, slot.pixels, slot.width, slot.height);
}

constexpr int most_pixels = screen_width * screen_height;
constexpr int most_encoders = 8; // more cores than this wait on the run itself

static std::vector<frame_slot> slots;
static std::vector<std::thread> encoders;
static std::mutex slots_lock;
static std::condition_variable slots_changed;
static bool stopping;

// Slots are handed out in turn, so encoder i takes slots i, i + n, i + 2n and so on.
static size_t next_slot;

// An encoder: take the oldest queued copy, write it, free its slot; until stopped.
static void run_encoder(size_t first)
{
    std::unique_lock<std::mutex> lock(slots_lock);
    for (size_t next = first;;) {
        slots_changed.wait(lock, [&] { return slots[next].queued || stopping; });
        if (!slots[next].queued)
            return;
        lock.unlock();
        const bool written = write_slot(slots[next]);
        lock.lock();
        if (!written && first_failure.empty())
            first_failure = slots[next].path;
        slots[next].queued = false;
        slots_changed.notify_all();
        next = (next + encoders.size()) % slots.size();
    }
}

// Wait for every queued frame, stop the encoders and free their copies.
static void stop_encoders()
{
    {
        std::lock_guard<std::mutex> lock(slots_lock);
        stopping = true;
    }
    slots_changed.notify_all();
    for (std::thread &encoder : encoders)
        encoder.join();
    encoders.clear();
    for (frame_slot &slot : slots)
        delete[] slot.pixels;
    slots.clear();
}

static bool start_encoders()
{
    const size_t count = static_cast<size_t>(std::min(usable_cores(), most_encoders));
    slots.resize(2 * count, frame_slot{nullptr, 0, 0, "", false});
    for (frame_slot &slot : slots) {
        slot.pixels = new (std::nothrow) unsigned[most_pixels];
        if (!slot.pixels)
            return false;
    }
    try {
        for (size_t i = 0; i < count; i++)
            encoders.emplace_back(run_encoder, i);
    } catch (const std::system_error &) { // no thread to be had: stop those that started
        stop_encoders();
        return false;
    }
    return true;
}

// Copy the frame and have it written as `path`; waits while every copy is still
// being encoded. False once any frame has failed to be written.
static bool queue_frame(const std::string &path, const recorded_frame &frame)
{
    std::unique_lock<std::mutex> lock(slots_lock);
    frame_slot &slot = slots[next_slot];
    slots_changed.wait(lock, [&] { return !slot.queued; });
    if (!first_failure.empty())
        return false;
    lock.unlock();
    copy_frame(slot, frame);
    slot.path = path;
    lock.lock();
    slot.queued = true;
    next_slot = (next_slot + 1) % slots.size();
    slots_changed.notify_all();
    return true;
}

static bool begin(const options &o, const recorded_frame &, std::string *error)
{
    out_folder = o.out;
    if (start_encoders())
        return true;
    *error = "not enough memory for the frames being written";
    return false;
}

static bool take_frame(const recorded_frame &frame, std::string *error)
{
    if (!frame.kept || queue_frame(out_folder + "/frame-" + frame.file_number + ".png", frame))
        return true;
    *error = "cannot write " + first_failure;
    return false;
}

static bool finish(std::string *error)
{
    stop_encoders();
    if (first_failure.empty())
        return true;
    *error = "cannot write " + first_failure;
    return false;
}

// The frames already queued are finished, so that each stays whole.
static void abandon()
{
    stop_encoders();
}

extern const output frame_output = {
    is_wanted, nullptr, /* check */
    is_mine,   begin,   take_frame, finish, abandon,
};
