// The window on X11. Xlib's default handlers would exit through the library's
// shutdown, which talks to the lost display from two threads or waits forever
// on the lost window; these end the toy at once instead.
#include "window/desktop.h"

#include <X11/Xlib.h>
#include <allegro.h>
#include <unistd.h>
#include <xalleg.h>

#include <cstdio>
#include <cstring>

#include "lincell_icon.xpm"

// The library's window icon, as XPM data; it shows its own unless told otherwise.
extern "C" void *allegro_icon;

[[noreturn]] static void end_at_once(const char *message)
{
    (void)!write(2, message, strlen(message));
    _exit(1);
}

static int report_lost_display(Display *)
{
    end_at_once("lincell: the connection to the display was lost.\n");
}

// An X request failed: the window was destroyed under the toy (the library makes
// no failing requests of its own).
static int report_lost_window(Display *, XErrorEvent *event)
{
    char message[96];
    snprintf(message, sizeof message, "lincell: the window was lost (X error %d, request %d).\n",
             event->error_code, event->request_code);
    end_at_once(message);
}

void name_window()
{
    xwin_set_window_name("lincell", "lincell");
    allegro_icon = const_cast<char **>(lincell_icon);
}

void handle_lost_desktop()
{
    XSetIOErrorHandler(report_lost_display);
    XSetErrorHandler(report_lost_window);
}
