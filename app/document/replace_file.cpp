#include "replace_file.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace wf::doc {

namespace {

Status cannotWrite(const std::filesystem::path& target, std::string_view what, const std::string& reason) {
    return Status::failure("Cannot write the " + std::string(what) + " " + target.string() + " (" + reason +
                           "); the file on disk is unchanged");
}

std::string errnoText(int err) {
    return err != 0 ? std::generic_category().message(err) : std::string("write error");
}

} // namespace

Status replaceFile(const std::filesystem::path& target, const std::string& bytes, std::string_view what) {
    std::filesystem::path temp = target;
    temp += ".saving";
    std::error_code ignored;
    {
        errno = 0;
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return cannotWrite(target, what, errnoText(errno));
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        const int err = errno;
        if (!out) {
            out.close();
            std::filesystem::remove(temp, ignored);
            return cannotWrite(target, what, errnoText(err));
        }
        out.close();
        if (out.fail()) {
            std::filesystem::remove(temp, ignored);
            return cannotWrite(target, what, errnoText(errno));
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::filesystem::remove(temp, ignored);
        return cannotWrite(target, what, ec.message());
    }
    return Status::success();
}

} // namespace wf::doc
