// The window program: bring up the library and an 800 x 600 window, run frames
// until Esc is down at the top of the loop (or a stop signal has come), and tear
// down in order. On Windows the process enters through WinMain, which the
// library's END_OF_MAIN bridges.
#include <allegro.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "allegro4/font.h"
#include "allegro4/toy.h"
#include "platform/console.h"
#include "platform/signals.h"
#include "window/desktop.h"
#include "window/present.h"

// Does nothing: its only work is to wake the library's timer thread on time.
static void pace_retrace() {}

// Start the library, the window and the input devices; exit with status -1
// when the library or the graphics mode cannot start.
static void init_system()
{
    name_window();
    if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
        allegro_message("%s\n", allegro_error[0] ? allegro_error
                                                 : "lincell: the graphics library could not "
                                                   "start; it needs a display to open a window.");
        exit(-1);
    }
    catch_stop_signals(); // in place of the library's own, which cannot end the toy cleanly
    handle_lost_desktop();
    const int depth = desktop_color_depth();
    set_color_depth(depth != 0 ? depth : 32);
    if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, screen_width, screen_height, 0, 0) != 0) {
        allegro_message("%s\n", allegro_error);
        exit(-1);
    }
    install_timer();
    // Under X the library emulates the retrace with a counter that advances only
    // when its timer thread wakes, which with no timer installed is every 27.5 ms
    // (36 frames a second). A 60 Hz timer wakes it at the desktop's pace (see
    // docs/performance.md). On Windows vsync() waits for the real retrace.
    install_int_ex(pace_retrace, BPS_TO_TIMER(60));
    install_keyboard();
    install_mouse();
    // Without a sound card, the sound system's start fills the terminal with lines
    // about what it did not find; they say nothing about the toy.
    const int error_output = hide_error_output();
    install_sound(DIGI_AUTODETECT, MIDI_AUTODETECT, nullptr);
    restore_error_output(error_output);
}

// Drop keystrokes still queued in the library's keyboard buffer.
static void shutdown_system()
{
    clear_keybuf();
}

int main()
{
    note_ignored_signals();
    open_standard_streams(); // so that no connection or library message takes 0, 1 or 2
    init_system();
    start_world(static_cast<uint32_t>(time(nullptr)));
    BITMAP *back_buffer = start_toy(find_caption_font(working_folder_first).c_str());
    if (!back_buffer) {
        allegro_message("lincell: not enough memory for the %d x %d back buffer.\n", screen_width,
                        screen_height);
        exit(-1);
    }
    run_frames(back_buffer);
    destroy_back_buffer(back_buffer);
    shutdown_system();
    return stop_signal ? 128 + stop_signal : 0;
}
END_OF_MAIN()
