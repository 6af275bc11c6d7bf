// Replays fuzz inputs without libFuzzer: runs LLVMFuzzerTestOneInput over
// every file named on the command line, and every file in every folder
// named there (not recursively), in name order. Exit status 0 when all ran;
// a fault aborts the program as it would abort the fuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool readWhole(const std::filesystem::path& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path named(argv[i]);
        std::error_code error;
        if (fs::is_directory(named, error)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(named, error)) {
                if (entry.is_regular_file()) files.push_back(entry.path());
            }
            if (error) {
                std::fprintf(stderr, "replay: cannot list %s\n", argv[i]);
                return 2;
            }
        } else {
            files.push_back(named);
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "usage: %s FILE|FOLDER...\n(nothing to replay)\n", argv[0]);
        return 2;
    }
    std::vector<uint8_t> bytes;
    for (const fs::path& file : files) {
        if (!readWhole(file, bytes)) {
            std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
            return 2;
        }
        std::fprintf(stderr, "replay: %s (%zu bytes)\n", file.filename().c_str(), bytes.size());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::printf("replayed %zu inputs\n", files.size());
    return 0;
}
