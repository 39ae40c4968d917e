// Test stand-in for ffmpeg on Windows: keeps the raw frames it is fed on its
// standard input as the output file its last argument names (after "file:"), so
// that what the Windows recorder pipes can be compared byte for byte with what the
// Linux recorder pipes to a stand-in of its own.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    const char *target = argc > 1 ? argv[argc - 1] : "";
    if (strncmp(target, "file:", 5) != 0)
        return 2;
    _setmode(0, _O_BINARY);
    FILE *out = fopen(target + 5, "wb");
    if (!out)
        return 1;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, stdin)) > 0)
        if (fwrite(buffer, 1, n, out) != n)
            return 1;
    return fclose(out) == 0 ? 0 : 1;
}
