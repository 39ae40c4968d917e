// Flashes in the picture, by the general flash threshold: a flash is a pair of
// opposing changes of at least 0.1 in relative luminance where the darker side is
// below 0.8, over a quarter or more of a 341 x 256 rectangle of the picture. Each
// rectangle's average luminance is followed from frame to frame, as flash
// analysis treats a picture of fine texture: cells that twinkle on their own
// average out, a picture that changes as a whole does not.
#pragma once

#include <cstdint>

#include "core/keys.h"

constexpr int flash_window = 60; // frames in the second flashes are counted over
constexpr int most_flashes_a_second = 3;

// Forget every picture seen: the next one starts the count afresh.
void clear_flashes();

// Take the next frame's picture (screen_width x screen_height pixels, bytes red,
// green, blue, alpha in memory order, as the page's canvas holds them). Returns
// the most flashes any rectangle shows over the last flash_window frames.
int note_flashes(const uint32_t *pixels);

// The frames, one 60th of a second each, a key that changes the whole picture
// must leave between two actions so as never to pass most_flashes_a_second.
constexpr int guarded_gap = 20;

// Whether holds give C or N more often than every guarded_gap frames: a replay
// of them may flash past the threshold.
bool holds_flash(const hold *holds, int count);
