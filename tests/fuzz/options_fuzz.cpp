// The recorder's command line under libFuzzer: bytes split at newlines into
// arguments, read by the option parser and, when it accepts them, checked by every
// kind of output the run would make, as the recorder does before it writes
// anything. The checks only look: nothing is written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "record/options.h"
#include "record/output.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<std::string> words = {"lincell-record"};
    std::string word;
    for (size_t i = 0; i < size; i++)
        if (data[i] == '\n') {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    words.push_back(word);
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(&w[0]);
    argv.push_back(nullptr);
    options o;
    std::string error;
    if (!parse_options(static_cast<int>(words.size()), argv.data(), &o, &error))
        return 0;
    std::vector<const output *> wanted;
    choose_outputs(o, &wanted, &error);
    keys_at(o.holds.data(), static_cast<int>(o.holds.size()), o.frames);
    return 0;
}
