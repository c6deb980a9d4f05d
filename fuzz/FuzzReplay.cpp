// Every fuzz target once over its stored inputs, without libFuzzer: run
// under Wine, this covers the build that ships (16-bit wchar_t, MinGW's
// standard library), which the clang fuzz build never sees. A broken
// property aborts; the input being run is named first.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#define FUZZ_TARGET(name) extern "C" int KadrixFuzz_##name(const std::uint8_t*, std::size_t);
#include "FuzzTargets.inc"
#undef FUZZ_TARGET

namespace {
namespace fs = std::filesystem;

struct TTarget {
    const char* Name;
    int (*Run)(const std::uint8_t*, std::size_t);
};
constexpr TTarget Targets[] = {
#define FUZZ_TARGET(name) {#name, KadrixFuzz_##name},
#include "FuzzTargets.inc"
#undef FUZZ_TARGET
};

std::string Current;

extern "C" void OnAbort(int) {
    std::fprintf(stderr, "fuzz replay: broken on %s\n", Current.c_str());
    std::fflush(stderr);
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kadrix_fuzz_replay CORPUS_FOLDER\n");
        return 2;
    }
    std::signal(SIGABRT, OnAbort);
    const fs::path corpus = argv[1];
    int failed = 0;
    for (const TTarget& target : Targets) {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(corpus / target.Name, ec))
            if (entry.is_regular_file()) files.push_back(entry.path());
        if (files.empty()) {
            std::fprintf(stderr, "fuzz replay: no stored inputs for %s\n", target.Name);
            failed = 1;
            continue;
        }
        Current = std::string(target.Name) + " (empty input)";
        target.Run(nullptr, 0);
        for (const fs::path& file : files) {
            Current = std::string(target.Name) + "/" + file.filename().string();
            std::ifstream in(file, std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
            target.Run(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
        std::printf("%-10s %zu inputs\n", target.Name, files.size());
    }
    return failed;
}
