#include "replace_file.h"

#include "textio/side_file.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#endif

namespace wf::doc {

namespace {

// Forces the finished temporary file to the disk before it replaces the old
// file, so that a crash after the rename cannot leave an empty project file.
std::string syncToDisk(const std::filesystem::path& temp) {
#if defined(__unix__) || defined(__APPLE__)
    const int fd = ::open(temp.c_str(), O_RDONLY);
    if (fd < 0) return std::generic_category().message(errno);
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0) return std::generic_category().message(err);
#else
    (void)temp;
#endif
    return {};
}

} // namespace

Status replaceFile(const std::filesystem::path& target, const std::string& bytes, std::string_view what) {
    const std::string why = wf::textio::replaceFileContents(target, bytes, syncToDisk);
    if (why.empty()) return Status::success();
    return Status::failure("Cannot write the " + std::string(what) + " " + target.string() + " (" + why +
                           "); the file on disk is unchanged");
}

} // namespace wf::doc
