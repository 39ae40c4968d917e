// The window's side of a frame: showing it, and the loop that builds and shows
// frames until the toy is told to stop.
#pragma once

struct BITMAP;

// Wait for the retrace and copy the back buffer to the screen.
void present_frame(BITMAP *back_buffer);

// Build and present frames until Esc is down at the top of an iteration or a
// stop signal has come; a frame once begun is always finished.
void run_frames(BITMAP *back_buffer);
