// Shared pieces of the fuzz harnesses: a scratch folder per process, whole-file
// reads and writes, and the check that ends a run when an invariant breaks.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace wf::fuzz {

// Stops the process with the broken invariant named, so libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "Invariant broken: %s\n%.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

#define WF_FUZZ_CHECK(condition, detail) \
    do {                                 \
        if (!(condition)) ::wf::fuzz::broken(#condition, (detail)); \
    } while (0)

// A folder of its own under the temporary directory, made once per process
// and removed at exit.
inline const std::filesystem::path& scratchFolder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "wf-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) broken("mkdtemp", pattern);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchFolder(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) broken("cannot write a scratch file", path.string());
}

} // namespace wf::fuzz
