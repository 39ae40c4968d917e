// The fuzz targets without libFuzzer: each file named on the command line is
// handed to the target once, so that CTest replays the corpora with any compiler
// (and under the sanitizers). A crash or a sanitizer's report fails the run.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; i++) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), {});
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    printf("%d inputs replayed\n", argc - 1);
    return 0;
}
