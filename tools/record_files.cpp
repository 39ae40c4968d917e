// Whole files and the PNG encoders. A frame's pixels are copied out of the back
// buffer into one of a few slots, so the run goes on while another core
// compresses the copy; the bytes are the same as encoding it on the spot.
#include "tools/record_files.h"

#include <allegro.h>
#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>
#ifdef _GLIBCXX_HAS_GTHREADS
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif
#ifdef _WIN32
#include <winalleg.h>
#endif

#include "app/frame.h"

#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif
#ifndef O_BINARY
#define O_BINARY 0
#endif

bool open_whole_file(const std::string &path, whole_file *file)
{
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    static std::atomic<unsigned> made;
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[32];
        snprintf(suffix, sizeof suffix, ".%d-%u", static_cast<int>(getpid()), made++);
        file->temporary = folder + "." + name + suffix;
        const int fd = open(file->temporary.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_BINARY, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        file->path = path;
        file->stream = fdopen(fd, "wb");
        if (!file->stream) {
            close(fd);
            unlink(file->temporary.c_str());
            return false;
        }
        return true;
    }
    return false;
}

// Put a file in place of another, atomically; Windows's rename will not replace one.
static bool replace_file(const std::string &from, const std::string &to)
{
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool commit_whole_file(whole_file *file)
{
    const bool written = !ferror(file->stream);
    if (fclose(file->stream) != 0 || !written || !replace_file(file->temporary, file->path)) {
        unlink(file->temporary.c_str());
        return false;
    }
    return true;
}

void drop_whole_file(whole_file *file)
{
    fclose(file->stream);
    unlink(file->temporary.c_str());
}

bool write_whole_file(const std::string &path, const void *data, size_t size)
{
    whole_file file;
    if (!open_whole_file(path, &file))
        return false;
    if (fwrite(data, size, 1, file.stream) != 1) {
        drop_whole_file(&file);
        return false;
    }
    return commit_whole_file(&file);
}

// zlib level 3 without row filters: measured as fast as level 1 and smaller than
// the loadpng library's level 9 with every filter (see docs/performance.md).
constexpr int png_level = 3;

bool encode_png(FILE *stream, const unsigned *pixels, int width, int height, int pitch)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, png_level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_write_info(png, info);
    // In memory a pixel is the bytes blue, green, red and an unused one.
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < height; y++)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + y * pitch));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool write_png_file(const std::string &path, const unsigned *pixels, int width, int height)
{
    whole_file file;
    if (!open_whole_file(path, &file))
        return false;
    if (!encode_png(file.stream, pixels, width, height, width)) {
        drop_whole_file(&file);
        return false;
    }
    return commit_whole_file(&file);
}

// The back buffer's pixels, row after row.
static void copy_frame(unsigned *pixels, BITMAP *back_buffer)
{
    for (int y = 0; y < screen_height; y++)
        memcpy(pixels + y * screen_width, back_buffer->line[y], screen_width * 4);
}

// The first frame that could not be written, or "".
static std::string first_failure;

#ifdef _GLIBCXX_HAS_GTHREADS
// One copy of a frame waiting for, or under, encoding.
struct frame_slot {
    unsigned *pixels;
    std::string path;
    bool queued;
};

static std::vector<frame_slot> slots;
static std::vector<std::thread> encoders;
static std::mutex slots_lock;
static std::condition_variable slots_changed;
static bool stopping;

// An encoder: take the oldest queued copy, write it, free its slot; until stopped.
static void run_encoder(size_t first)
{
    std::unique_lock<std::mutex> lock(slots_lock);
    for (size_t next = first;;) {
        slots_changed.wait(lock, [&] { return slots[next].queued || stopping; });
        if (!slots[next].queued)
            return;
        lock.unlock();
        const bool written =
            write_png_file(slots[next].path, slots[next].pixels, screen_width, screen_height);
        lock.lock();
        if (!written && first_failure.empty())
            first_failure = slots[next].path;
        slots[next].queued = false;
        slots_changed.notify_all();
        next = (next + encoders.size()) % slots.size();
    }
}

// Slots are handed out in turn, so encoder i takes slots i, i + n, i + 2n and so on.
static size_t next_slot;

bool start_encoders()
{
    const unsigned cores = std::thread::hardware_concurrency();
    const size_t count = cores > 1 ? cores : 1;
    slots.resize(2 * count, frame_slot{nullptr, "", false});
    for (frame_slot &slot : slots) {
        slot.pixels = new (std::nothrow) unsigned[screen_width * screen_height];
        if (!slot.pixels)
            return false;
    }
    try {
        for (size_t i = 0; i < count; i++)
            encoders.emplace_back(run_encoder, i);
    } catch (const std::system_error &) { // no thread to be had: stop those that started
        std::string ignored;
        finish_encoders(&ignored);
        return false;
    }
    return true;
}

bool queue_frame(const std::string &path, BITMAP *back_buffer)
{
    std::unique_lock<std::mutex> lock(slots_lock);
    frame_slot &slot = slots[next_slot];
    slots_changed.wait(lock, [&] { return !slot.queued; });
    if (!first_failure.empty())
        return false;
    lock.unlock();
    copy_frame(slot.pixels, back_buffer);
    slot.path = path;
    lock.lock();
    slot.queued = true;
    next_slot = (next_slot + 1) % slots.size();
    slots_changed.notify_all();
    return true;
}

bool finish_encoders(std::string *failed)
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
    *failed = first_failure;
    return first_failure.empty();
}
#else
// Without threads (the Windows build) each frame is encoded as it is queued.
static unsigned frame_copy[screen_width * screen_height];

bool start_encoders()
{
    return true;
}

bool queue_frame(const std::string &path, BITMAP *back_buffer)
{
    copy_frame(frame_copy, back_buffer);
    if (first_failure.empty() && !write_png_file(path, frame_copy, screen_width, screen_height))
        first_failure = path;
    return first_failure.empty();
}

bool finish_encoders(std::string *failed)
{
    *failed = first_failure;
    return first_failure.empty();
}
#endif
