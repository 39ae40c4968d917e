// Keys and holds in text. Every number is checked in full, so "5x", "" and a
// number past the range are faults, never a silent cut.
#include "core/keys.h"

#include <cstdio>
#include <cstring>

bool parse_whole_number(const char *text, uint64_t most, uint64_t *value)
{
    if (!*text)
        return false;
    uint64_t n = 0;
    for (const char *p = text; *p; p++) {
        if (*p < '0' || *p > '9')
            return false;
        n = n * 10 + static_cast<uint64_t>(*p - '0');
        if (n > most)
            return false;
    }
    *value = n;
    return true;
}

int parse_keys(const char *word, int length)
{
    static const char letters[] = "cnmCNM";
    if (length == 3 && strchr("eE", word[0]) && strchr("sS", word[1]) && strchr("cC", word[2]))
        return key_esc;
    int keys = 0;
    for (int i = 0; i < length; i++) {
        const char *at = word[i] ? strchr(letters, word[i]) : nullptr;
        if (!at)
            return 0;
        keys |= key_c << ((at - letters) % 3);
    }
    return keys;
}

void write_keys(int keys, char *text)
{
    if (keys & key_esc) {
        strcpy(text, "esc");
        return;
    }
    char *at = text;
    for (const char *c = "CNM"; *c; c++)
        if (keys & key_c << (c - "CNM"))
            *at++ = *c;
    *at = '\0';
}

const char *parse_hold(const char *text, hold *h)
{
    const char *at = strchr(text, '@');
    if (!at)
        return "wants KEYS@A or KEYS@A-B";
    *h = {parse_keys(text, static_cast<int>(at - text)), 0, 0};
    if (!h->keys)
        return "keys are C, N, M or esc";
    char first[24] = "", last[24] = "";
    const char *range = at + 1, *dash = strchr(range, '-');
    const size_t first_length = dash ? static_cast<size_t>(dash - range) : strlen(range);
    const char *last_text = dash ? dash + 1 : range;
    const char *fault = "frames are whole numbers 1..10000000";
    if (first_length >= sizeof first || strlen(last_text) >= sizeof last)
        return fault;
    memcpy(first, range, first_length);
    strcpy(last, dash ? last_text : first);
    if (!parse_whole_number(first, most_frames, &h->first) || h->first < 1 ||
        !parse_whole_number(last, most_frames, &h->last))
        return fault;
    if (h->last < h->first)
        return "range ends before it starts";
    return "";
}

int write_hold(const hold &h, char *text, int size)
{
    char keys[4];
    write_keys(h.keys, keys);
    const unsigned long long first = h.first, last = h.last;
    const int n =
        h.first == h.last
            ? snprintf(text, static_cast<size_t>(size), "%s@%llu", keys, first)
            : snprintf(text, static_cast<size_t>(size), "%s@%llu-%llu", keys, first, last);
    return n > 0 && n < size ? n : 0;
}

int keys_at(const hold *holds, int count, uint64_t k)
{
    int keys = 0;
    for (int i = 0; i < count; i++)
        if (holds[i].first <= k && k <= holds[i].last)
            keys |= holds[i].keys;
    return keys;
}
