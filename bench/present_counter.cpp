// A preload library for measuring the window's pace without touching the toy:
// it counts the copies of a frame to the screen (blit with the screen as target),
// times them and the retrace waits before them, and prints the totals at exit with
// the process's CPU share (user + system time over its whole life, % of one core).
#include <allegro.h>

#include <dlfcn.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>

using blit_function = void (*)(BITMAP *, BITMAP *, int, int, int, int, int, int);
using vsync_function = void (*)();
using clock_type = std::chrono::steady_clock;

static long presented;
static clock_type::time_point first_present;
static double blit_seconds, vsync_seconds;
static int screen_depth;
static const clock_type::time_point process_start = clock_type::now();

static double since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

extern "C" void vsync()
{
    static const auto library_vsync = reinterpret_cast<vsync_function>(dlsym(RTLD_NEXT, "vsync"));
    const auto start = clock_type::now();
    library_vsync();
    vsync_seconds += since(start);
}

extern "C" void blit(BITMAP *source, BITMAP *dest, int source_x, int source_y, int dest_x,
                     int dest_y, int width, int height)
{
    static const auto library_blit = reinterpret_cast<blit_function>(dlsym(RTLD_NEXT, "blit"));
    const auto start = clock_type::now();
    if (dest == screen && presented++ == 0) {
        first_present = start;
        screen_depth = bitmap_color_depth(screen);
    }
    library_blit(source, dest, source_x, source_y, dest_x, dest_y, width, height);
    if (dest == screen)
        blit_seconds += since(start);
}

static double cpu_seconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](timeval t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

__attribute__((destructor)) static void report_presented()
{
    const double seconds = since(first_present);
    const double cpu_share = 100 * cpu_seconds() / since(process_start);
    if (presented > 1)
        fprintf(stderr,
                "presented %ld frames in %.2f s: %.1f frames per second; per frame %.2f ms "
                "in vsync, %.2f ms in the blit to the %d-bit window; %.1f %% of one core\n",
                presented, seconds, static_cast<double>(presented - 1) / seconds,
                1e3 * vsync_seconds / static_cast<double>(presented),
                1e3 * blit_seconds / static_cast<double>(presented), screen_depth, cpu_share);
}
