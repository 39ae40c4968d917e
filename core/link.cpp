// The compact code: the hold count, then for each hold by first frame the frames
// since the previous hold's first, its keys (two bits for C, N or M alone, six
// for any other set) and the frames it lasts beyond its first, each number an
// exponential-Golomb code whose order suits lively steering: presses about two
// seconds apart, most held a fraction of a second.
#include "core/link.h"

#include <algorithm>
#include <cstring>

#include "core/run.h"

static const char digits64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int count_order = 4, gap_order = 6, span_order = 3;

// Bits into base64url text, six to a character, the last padded with zeros.
struct bit_writer {
    char *text;
    int size, length;
    unsigned pending, pending_bits;
    bool full;
};

static void put_bits(bit_writer *w, uint64_t value, int bits)
{
    for (int i = bits - 1; i >= 0; i--) {
        w->pending = w->pending << 1 | static_cast<unsigned>(value >> i & 1);
        if (++w->pending_bits == 6) {
            if (w->length + 1 >= w->size)
                w->full = true;
            else
                w->text[w->length++] = digits64[w->pending];
            w->pending = w->pending_bits = 0;
        }
    }
}

static int bit_length(uint64_t v)
{
    int n = 0;
    for (; v; v >>= 1)
        n++;
    return n;
}

// v as an exponential-Golomb code of order k: the length of v + 2^k in zeros
// beyond k + 1, then v + 2^k itself.
static void put_number(bit_writer *w, uint64_t v, int k)
{
    const uint64_t shifted = v + (uint64_t{1} << k);
    const int n = bit_length(shifted);
    put_bits(w, 0, n - k - 1);
    put_bits(w, shifted, n);
}

static bool by_first(const hold &a, const hold &b)
{
    if (a.first != b.first)
        return a.first < b.first;
    return a.last != b.last ? a.last < b.last : a.keys < b.keys;
}

int write_compact_holds(const hold *holds, int count, char *text, int size)
{
    static hold sorted[most_holds];
    if (count < 0 || count > most_holds || size < 1)
        return -1;
    std::copy(holds, holds + count, sorted);
    std::sort(sorted, sorted + count, by_first);
    bit_writer w = {text, size, 0, 0, 0, false};
    put_number(&w, static_cast<uint64_t>(count), count_order);
    uint64_t previous = 0;
    for (int i = 0; i < count; i++) {
        const hold &h = sorted[i];
        put_number(&w, h.first - previous, gap_order);
        const int single = h.keys == key_c ? 0 : h.keys == key_n ? 1 : h.keys == key_m ? 2 : 3;
        put_bits(&w, static_cast<uint64_t>(single), 2);
        if (single == 3)
            put_bits(&w, static_cast<uint64_t>(h.keys), 4);
        put_number(&w, h.last - h.first, span_order);
        previous = h.first;
    }
    if (w.pending_bits > 0)
        put_bits(&w, 0, 6 - static_cast<int>(w.pending_bits));
    if (w.full)
        return -1;
    text[w.length] = '\0';
    return w.length;
}

// Bits from base64url text; `bad` once anything could not be read.
struct bit_reader {
    const char *text;
    size_t length, at; // characters
    unsigned pending, pending_bits;
    bool bad;
};

static uint64_t get_bits(bit_reader *r, int bits)
{
    uint64_t value = 0;
    for (int i = 0; i < bits; i++) {
        if (r->pending_bits == 0) {
            const char *digit =
                r->at < r->length && r->text[r->at] ? strchr(digits64, r->text[r->at]) : nullptr;
            if (!digit) {
                r->bad = true;
                return 0;
            }
            r->pending = static_cast<unsigned>(digit - digits64);
            r->pending_bits = 6;
            r->at++;
        }
        value = value << 1 | (r->pending >> --r->pending_bits & 1);
    }
    return value;
}

static uint64_t get_number(bit_reader *r, int k)
{
    int zeros = 0;
    while (!r->bad && get_bits(r, 1) == 0)
        if (++zeros > 40)
            r->bad = true;
    if (r->bad)
        return 0;
    const uint64_t shifted = uint64_t{1} << (zeros + k) | get_bits(r, zeros + k);
    return shifted - (uint64_t{1} << k);
}

const char *read_compact_holds(const char *text, size_t length, hold *holds, int most, int *count)
{
    bit_reader r = {text, length, 0, 0, 0, false};
    const uint64_t n = get_number(&r, count_order);
    if (r.bad)
        return "the code is cut short or holds a character it does not use";
    if (n > static_cast<uint64_t>(most))
        return "more holds than a run can keep";
    uint64_t previous = 0;
    for (uint64_t i = 0; i < n; i++) {
        hold &h = holds[i];
        h.first = previous + get_number(&r, gap_order);
        const int single = static_cast<int>(get_bits(&r, 2));
        h.keys = single == 0 ? key_c : single == 1 ? key_n : single == 2 ? key_m : 0;
        if (single == 3)
            h.keys = static_cast<int>(get_bits(&r, 4));
        h.last = h.first + get_number(&r, span_order);
        if (r.bad)
            return "the code is cut short or holds a character it does not use";
        if (h.keys == 0 || h.first < 1 || h.last > most_frames)
            return "the code names frames or keys no run has";
        previous = h.first;
    }
    if (r.at != length || (r.pending & ((1u << r.pending_bits) - 1)) != 0)
        return "the code goes on past its last hold";
    *count = static_cast<int>(n);
    return "";
}

// `length` bytes with their %-escapes undone into `out` (at least length + 1
// bytes); false for a bad escape or one that makes a NUL.
static bool undo_escapes(const char *text, size_t length, char *out, size_t *out_length)
{
    size_t n = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] != '%') {
            out[n++] = text[i];
            continue;
        }
        int value = 0;
        for (size_t j = i + 1; j <= i + 2; j++) {
            const char *hex = j < length && text[j]
                                  ? strchr("0123456789abcdef0123456789ABCDEF", text[j])
                                  : nullptr;
            if (!hex)
                return false;
            value = value * 16 + static_cast<int>(hex - "0123456789abcdef0123456789ABCDEF") % 16;
        }
        if (value == 0)
            return false;
        out[n++] = static_cast<char>(value);
        i += 2;
    }
    out[n] = '\0';
    *out_length = n;
    return true;
}

const char *read_run_link(const char *text, size_t length, hold *holds, int most, run_link *link)
{
    static char value[1 << 20];
    const char *hash = static_cast<const char *>(memchr(text, '#', length));
    const char *at = hash ? hash + 1 : text, *end = text + length;
    run_link read = {0, 0, false, 0};
    bool has_seed = false, has_holds = false;
    while (at < end) {
        const char *amp = static_cast<const char *>(memchr(at, '&', static_cast<size_t>(end - at)));
        const char *part_end = amp ? amp : end;
        const char *equals =
            static_cast<const char *>(memchr(at, '=', static_cast<size_t>(part_end - at)));
        const size_t name_length = equals ? static_cast<size_t>(equals - at) : 0;
        const auto is = [&](const char *name) {
            return name_length == strlen(name) && memcmp(at, name, name_length) == 0;
        };
        size_t value_length = 0;
        if (!equals)
            return "a link's parts are NAME=VALUE";
        if (static_cast<size_t>(part_end - equals - 1) >= sizeof value ||
            !undo_escapes(equals + 1, static_cast<size_t>(part_end - equals - 1), value,
                          &value_length))
            return "a link holds a bad %-escape, a NUL or too much";
        uint64_t number;
        if (is("seed")) {
            if (has_seed)
                return "a link names its seed twice";
            if (!parse_whole_number(value, 4294967295u, &number))
                return "a link's seed is a whole number 0..4294967295";
            read.seed = static_cast<uint32_t>(number);
            has_seed = true;
        } else if (is("frames")) {
            if (read.has_frames)
                return "a link names its frame twice";
            if (!parse_whole_number(value, most_frames, &read.frames))
                return "a link's frames are a whole number 0..10000000";
            read.has_frames = true;
        } else if (is("run") || is("hold")) {
            if (has_holds)
                return "a link gives its holds twice";
            has_holds = true;
            const char *fault =
                is("run") ? read_compact_holds(value, value_length, holds, most, &read.hold_count)
                          : nullptr;
            if (fault && *fault)
                return fault;
            if (!fault) {
                int count = 0;
                for (char *item = value; *item && count <= most;) {
                    char *comma = strchr(item, ',');
                    if (comma)
                        *comma = '\0';
                    if (count == most)
                        return "more holds than a run can keep";
                    if (const char *bad = parse_hold(item, &holds[count++]); *bad)
                        return bad;
                    item = comma ? comma + 1 : item + strlen(item);
                }
                read.hold_count = count;
            }
        } else {
            return "a link's parts are seed=, run= or hold=, and frames=";
        }
        at = part_end + 1;
    }
    if (!has_seed)
        return "a link names its seed";
    *link = read;
    return "";
}
