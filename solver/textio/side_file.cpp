#include "textio/side_file.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
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
    const fs::path listed = dir.empty() ? fs::path(".") : dir;
    for (fs::directory_iterator it(listed, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (sameIgnoringCase(it->path().filename().string(), name)) return dir / it->path().filename();
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

namespace {

std::string reasonOf(int err, const char* fallback) {
    return err != 0 ? std::generic_category().message(err) : std::string(fallback);
}

// The file a path finally names: symbolic links followed (relative links from
// the folder of the link). A chain that does not end is refused.
bool finalTarget(std::filesystem::path path, std::filesystem::path& out, std::string& reason) {
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(path, ec))) {
            out = path;
            return true;
        }
        fs::path next = fs::read_symlink(path, ec);
        if (ec) {
            reason = ec.message();
            return false;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    reason = "too many levels of symbolic links";
    return false;
}

// A temporary name beside the target that no other file has: created
// exclusively, so an existing file of that name is never touched.
std::FILE* createTemporary(const std::filesystem::path& target, std::filesystem::path& temp, std::string& reason) {
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    std::mt19937_64 random(static_cast<std::uint64_t>(device()) ^
                           static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                           (static_cast<std::uint64_t>(counter.fetch_add(1)) << 40));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
        temp = target.parent_path() / ("." + target.filename().string() + suffix);
        errno = 0;
        if (std::FILE* f = std::fopen(temp.string().c_str(), "wbx")) return f;
        const int err = errno;
        std::error_code ec;
        // Only a name that is taken is worth another try.
        if (!std::filesystem::exists(std::filesystem::symlink_status(temp, ec))) {
            reason = reasonOf(err, "cannot create a temporary file");
            return nullptr;
        }
    }
    reason = "no free temporary file name";
    return nullptr;
}

} // namespace

namespace {

// One replacement in progress: the finished temporary file and the file it replaces.
struct Staged {
    std::filesystem::path temp, file;
};

void discard(const Staged& s) {
    std::error_code ignored;
    std::filesystem::remove(s.temp, ignored);
}

// Writes the bytes to a temporary file beside the target's final file, with
// the old file's permission bits; the target itself is not touched yet.
std::string stage(const std::filesystem::path& target, std::string_view bytes, const BeforeReplace& beforeReplace,
                  Staged& out) {
    namespace fs = std::filesystem;
    std::string reason;
    fs::path file;
    if (!finalTarget(target, file, reason)) return reason;

    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    const bool exists = fs::exists(st);
    if (exists) {
        if (!fs::is_regular_file(st)) return fs::is_directory(st) ? "it is a folder" : "it is not a regular file";
        // Not writable: no write permission at all, or an open for writing is refused.
        constexpr fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if ((st.permissions() & anyWrite) == fs::perms::none) return "the file is read-only";
        errno = 0;
        std::FILE* probe = std::fopen(file.string().c_str(), "ab");
        if (!probe) return reasonOf(errno, "the file is not writable");
        std::fclose(probe);
    }

    Staged s;
    s.file = file;
    std::FILE* f = createTemporary(file, s.temp, reason);
    if (!f) return reason;
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    const int writeErr = errno;
    errno = 0;
    const bool closed = std::fclose(f) == 0;
    std::string why;
    if (!written) why = reasonOf(writeErr, "write error");
    else if (!closed) why = reasonOf(errno, "write error");
    else if (exists) {
        fs::permissions(s.temp, st.permissions(), fs::perm_options::replace, ec);
        if (ec) why = ec.message();
    }
    if (why.empty() && beforeReplace) why = beforeReplace(s.temp);
    if (!why.empty()) {
        discard(s);
        return why;
    }
    out = s;
    return {};
}

} // namespace

std::string replaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                                const BeforeReplace& beforeReplace) {
    Staged s;
    if (std::string why = stage(target, bytes, beforeReplace, s); !why.empty()) return why;
    std::error_code ec;
    std::filesystem::rename(s.temp, s.file, ec);
    if (ec) {
        discard(s);
        return ec.message();
    }
    return {};
}

std::string writeSideFileText(std::string_view name, std::string_view text, const std::filesystem::path& dir) {
    return replaceFileContents(sideFilePath(name, dir), text);
}

std::string writeSideFileTexts(const std::vector<std::pair<std::string, std::string>>& files,
                               std::string& failedName, const std::filesystem::path& dir) {
    std::vector<Staged> staged;
    auto discardAll = [&] {
        for (const Staged& s : staged) discard(s);
    };
    for (const auto& [name, text] : files) {
        Staged s;
        if (std::string why = stage(sideFilePath(name, dir), text, {}, s); !why.empty()) {
            discardAll();
            failedName = name;
            return why;
        }
        staged.push_back(s);
    }
    for (std::size_t i = 0; i < staged.size(); ++i) {
        std::error_code ec;
        std::filesystem::rename(staged[i].temp, staged[i].file, ec);
        if (ec) {
            for (std::size_t j = i; j < staged.size(); ++j) discard(staged[j]);
            failedName = files[i].first;
            return ec.message();
        }
    }
    return {};
}

} // namespace wf::textio
