// A temporary name is hidden, beside its final name, and marked with the process
// and a count, so that no two writers, in one process or several, share one.
#include "files/whole_file.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "base/platform.h"

bool open_whole_file(const std::string &path, whole_file *file)
{
    const size_t slash = path.find_last_of(folder_separators);
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = path.substr(folder.size());
    static std::atomic<unsigned> made;
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[32];
        snprintf(suffix, sizeof suffix, ".%d-%u", process_id(), made++);
        file->temporary = folder + "." + name + suffix;
        const int fd = create_new_file(file->temporary.c_str());
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return false;
        file->path = path;
        file->stream = fdopen(fd, "wb");
        if (!file->stream) {
            close(fd);
            unlink(file->temporary.c_str());
            return false;
        }
        return true;
    }
    return false;
}

bool commit_whole_file(whole_file *file)
{
    const bool written = !ferror(file->stream);
    if (fclose(file->stream) != 0 || !written || !replace_file(file->temporary, file->path)) {
        unlink(file->temporary.c_str());
        return false;
    }
    return true;
}

void drop_whole_file(whole_file *file)
{
    fclose(file->stream);
    unlink(file->temporary.c_str());
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
