// Preloaded into the recorder by a recorder test: the C library's allocator
// refuses every block of 1 MiB or more, as a machine short of memory would.
#include <cstddef>

extern "C" void *__libc_malloc(size_t);
extern "C" void *__libc_calloc(size_t, size_t);
extern "C" void *__libc_realloc(void *, size_t);

constexpr size_t refuse_from = 1 << 20;

extern "C" void *malloc(size_t size)
{
    return size >= refuse_from ? nullptr : __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size)
{
    return size != 0 && count >= refuse_from / size ? nullptr : __libc_calloc(count, size);
}

extern "C" void *realloc(void *block, size_t size)
{
    return size >= refuse_from ? nullptr : __libc_realloc(block, size);
}
