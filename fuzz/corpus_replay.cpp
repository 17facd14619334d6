// Runs every file of a target's corpus once through the target and its checks, without a fuzzer: the
// test suite's guard that the inputs kept (the seeds and every fault found) still pass.
//   trazel_fuzz_replay TARGET FOLDER

#include "targets.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    const trazel::fuzz::Target* target = argc == 3 ? trazel::fuzz::targetNamed(argv[1]) : nullptr;
    if (!target) {
        std::fprintf(stderr, "usage: %s read_bin|read_prn|number_rules|open_command FOLDER\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(argv[2])) {
        files.push_back(entry.path());
    }
    std::ranges::sort(files);
    for (const std::filesystem::path& file : files) {
        std::printf("%s\n", file.filename().c_str());
        std::fflush(stdout); // named before a failed check stops the program
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                              std::istreambuf_iterator<char>()};
        target->run(bytes);
    }
    std::printf("%zu inputs of %s passed\n", files.size(), argv[1]);
    return files.empty() ? 1 : 0;
}
