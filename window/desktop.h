// What the window program asks of the desktop around the library: how the window
// is known and what it shows, and what happens when the desktop fails under it.
// desktop_x11.cpp and desktop_windows.cpp hold each system's way.
#pragma once

// Before the library makes its window: the desktop knows the window by its class
// "lincell", as the desktop entry names it, and shows the toy's own icon.
void name_window();

// Once the library is running: a lost display or a window destroyed under the
// toy ends it at once with a message, rather than a hang or an abort.
void handle_lost_desktop();
