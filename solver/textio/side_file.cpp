#include "textio/side_file.h"

#include <cctype>
#include <system_error>

namespace wf::textio {
namespace {

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::filesystem::path sideFilePath(std::string_view name, const std::filesystem::path& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path exact = dir / fs::path(std::string(name));
    if (fs::exists(exact, ec)) return exact;

    // The desktop program's "TEST.DAT" and the solver's "TEST.dat" are one file.
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (sameIgnoringCase(it->path().filename().string(), name)) return it->path();
    }

    // A new side file gets the solver's lower-case extension.
    std::string fresh(name);
    const auto dot = fresh.rfind('.');
    if (dot != std::string::npos)
        for (std::size_t i = dot + 1; i < fresh.size(); ++i)
            fresh[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(fresh[i])));
    return dir / fs::path(fresh);
}

bool openSideRead(std::ifstream& in, std::string_view name, const std::filesystem::path& dir) {
    const auto path = sideFilePath(name, dir);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    in.close();
    in.clear();
    in.open(path, std::ios::in);
    return in.is_open();
}

bool openSideWrite(std::ofstream& out, std::string_view name, const std::filesystem::path& dir) {
    const auto path = sideFilePath(name, dir);
    out.close();
    out.clear();
    out.open(path, std::ios::out | std::ios::trunc);
    return out.is_open();
}

} // namespace wf::textio
