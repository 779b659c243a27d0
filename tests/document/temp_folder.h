// A fresh folder under the system's temporary directory, removed afterwards.
#pragma once

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace wf::doc::testing {

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("wf-doc-" + std::to_string(rd()) + "-" + std::to_string(++counter()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    static std::atomic<int>& counter() {
        static std::atomic<int> c{0};
        return c;
    }
    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The file in folder whose name matches `name` apart from letter case (the
// program's "X.DAT" and the solver's "x.dat" are one file); `name` itself when none exists.
inline std::filesystem::path sideFile(const std::filesystem::path& folder, const std::string& name) {
    const auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (lower(entry.path().filename().string()) == lower(name)) return entry.path();
    return folder / name;
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace wf::doc::testing
