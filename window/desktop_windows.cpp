// The window on Windows: the icon comes from the program's resources, and the
// library's window thread already ends the toy when its window goes.
#include "window/desktop.h"

void name_window() {}

void handle_lost_desktop() {}
