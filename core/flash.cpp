// Twelve overlapping 341 x 256 rectangles cover the picture; each is sampled at
// every fourth pixel across and down. A rectangle's change is counted when its
// average luminance has moved 0.1 or more against the way it last moved (or at
// all, at first) from the extreme it reached; moving on the same way only moves
// the extreme. Consecutive changes are opposing, so two make a flash.
#include "core/flash.h"

#include <algorithm>
#include <cmath>

#include "core/frame.h"

constexpr int rect_width = 341, rect_height = 256, sample_step = 4;
constexpr int rects_across = 4, rects_down = 3, rect_count = rects_across * rects_down;
constexpr int most_changes = 64; // kept per rectangle: more than a window can count

struct rect_state {
    double extreme; // the luminance the last change reached, moved on by motion the same way
    int direction;  // +1 after a rise, -1 after a fall, 0 before any change
    uint64_t changes[most_changes]; // frames of the latest changes, a ring
    int change_count;               // changes noted, 0 and up
};

static rect_state rects[rect_count];
static uint64_t frame;     // pictures taken since the last clear
static double linear[256]; // a channel's byte as linear light, 0..1

void clear_flashes()
{
    frame = 0;
    for (rect_state &r : rects)
        r = {};
}

// Relative luminance of a pixel in the canvas's byte order.
static double luminance(uint32_t pixel)
{
    if (linear[255] == 0)
        for (int i = 0; i < 256; i++) {
            const double c = i / 255.0;
            linear[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
    return 0.2126 * linear[pixel & 0xFF] + 0.7152 * linear[pixel >> 8 & 0xFF] +
           0.0722 * linear[pixel >> 16 & 0xFF];
}

static double average_luminance(const uint32_t *pixels, int left, int top)
{
    double sum = 0;
    int n = 0;
    for (int y = top; y < top + rect_height; y += sample_step)
        for (int x = left; x < left + rect_width; x += sample_step, n++)
            sum += luminance(pixels[y * screen_width + x]);
    return sum / n;
}

// Note the rectangle's luminance this frame; returns its flashes in the last window.
static int follow(rect_state &r, double now)
{
    if (frame == 1) {
        r.extreme = now;
        return 0;
    }
    const double moved = now - r.extreme;
    const int way = moved > 0 ? 1 : -1;
    if (r.direction == way) {
        r.extreme = now;
    } else if (std::fabs(moved) >= 0.1 && std::fmin(now, r.extreme) < 0.8) {
        r.changes[r.change_count++ % most_changes] = frame;
        r.direction = way;
        r.extreme = now;
    }
    int recent = 0;
    for (int i = 0; i < most_changes && i < r.change_count; i++)
        recent += r.changes[i] + flash_window > frame;
    return recent / 2;
}

int note_flashes(const uint32_t *pixels)
{
    frame++;
    int most = 0;
    for (int i = 0; i < rect_count; i++) {
        const int left = (i % rects_across) * (screen_width - rect_width) / (rects_across - 1);
        const int top = (i / rects_across) * (screen_height - rect_height) / (rects_down - 1);
        const int flashes = follow(rects[i], average_luminance(pixels, left, top));
        most = flashes > most ? flashes : most;
    }
    return most;
}

bool holds_flash(const hold *holds, int count)
{
    static hold flashy[1 << 14];
    int n = 0;
    for (int i = 0; i < count && n < static_cast<int>(sizeof flashy / sizeof flashy[0]); i++)
        if (holds[i].keys & (key_c | key_n)) {
            if (holds[i].last > holds[i].first)
                return true; // on consecutive frames
            flashy[n++] = holds[i];
        }
    std::sort(flashy, flashy + n, [](const hold &a, const hold &b) { return a.first < b.first; });
    for (int i = 1; i < n; i++)
        if (flashy[i].first - flashy[i - 1].first < guarded_gap)
            return true;
    return false;
}
