// A temporary name is hidden, beside its final name, and marked with the process
// and a count, so that no two writers, in one process or several, share one:
// ".NAME.PROCESS-COUNT", NAME cut short where the whole would pass 255 bytes.
#include "platform/whole_file.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "platform/programs.h"

constexpr size_t longest_name = 255; // bytes in one name of a path, on every system here

// The process number and the suffix's length of a temporary name: '.', digits
// within an int's range (a process number), '-', digits, the end. False for
// anything else, which is no temporary of ours.
static bool read_suffix(const char *name, long *id, size_t *suffix_size)
{
    const char *dot = strrchr(name, '.');
    if (name[0] != '.' || !dot || dot == name || !isdigit(static_cast<unsigned char>(dot[1])))
        return false;
    const char *p = dot + 1;
    long value = 0;
    for (; isdigit(static_cast<unsigned char>(*p)); p++) {
        value = value * 10 + (*p - '0');
        if (value > INT_MAX)
            return false;
    }
    if (*p++ != '-' || !isdigit(static_cast<unsigned char>(*p)))
        return false;
    while (isdigit(static_cast<unsigned char>(*p)))
        p++;
    if (*p != '\0')
        return false;
    *id = value;
    *suffix_size = strlen(dot);
    return true;
}

// The part of `name` a temporary with a suffix of this size keeps.
static std::string kept_part(const std::string &name, size_t suffix_size)
{
    return name.substr(0, longest_name - 1 - suffix_size);
}

bool is_abandoned_temporary(const char *name, std::string *final_name)
{
    long id;
    size_t suffix_size;
    if (!read_suffix(name, &id, &suffix_size) || is_running(id))
        return false;
    *final_name = std::string(name + 1, strlen(name) - 1 - suffix_size);
    return true;
}

bool is_temporary_of(const char *name, const std::string &final_name)
{
    long id;
    size_t suffix_size;
    return read_suffix(name, &id, &suffix_size) &&
           std::string(name + 1, strlen(name) - 1 - suffix_size) ==
               kept_part(final_name, suffix_size);
}

bool open_whole_file(const std::string &path, whole_file *file)
{
    const std::string name = name_of(path);
    const std::string folder = path.substr(0, path.size() - name.size());
    static std::atomic<unsigned> made;
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[32];
        snprintf(suffix, sizeof suffix, ".%d-%u", process_id(), made++);
        file->temporary = folder + "." + kept_part(name, strlen(suffix)) + suffix;
        file->stream = create_new_file(file->temporary.c_str());
        if (!file->stream && errno == EEXIST)
            continue;
        if (!file->stream)
            return false;
        file->path = path;
        setvbuf(file->stream, nullptr, _IOFBF, 1 << 16); // a frame in a few writes, not hundreds
        return true;
    }
    return false;
}

bool reserve_whole_file(const std::string &path, whole_file *file)
{
    if (!open_whole_file(path, file))
        return false;
    const bool closed = fclose(file->stream) == 0;
    file->stream = nullptr;
    if (!closed)
        remove_file(file->temporary);
    return closed;
}

bool commit_whole_file(whole_file *file)
{
    bool written = true;
    if (file->stream) {
        written = !ferror(file->stream);
        written = fclose(file->stream) == 0 && written;
    }
    if (!written || !replace_file(file->temporary, file->path)) {
        remove_file(file->temporary);
        return false;
    }
    return true;
}

void drop_whole_file(whole_file *file)
{
    if (file->stream)
        fclose(file->stream);
    remove_file(file->temporary);
}

bool write_whole_file(const std::string &path, const void *data, size_t size)
{
    whole_file file;
    if (!open_whole_file(path, &file))
        return false;
    if (fwrite(data, size, 1, file.stream) != 1) {
        drop_whole_file(&file);
        return false;
    }
    return commit_whole_file(&file);
}
