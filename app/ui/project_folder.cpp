#include "project_folder.h"

#include <system_error>

#include <QDir>

namespace wf::ui {

namespace {

QString& rememberedFolder() {
    static QString folder;
    return folder;
}

} // namespace

std::optional<std::filesystem::path> workingFolder() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::current_path(ec);
    if (ec) return std::nullopt;
    return folder;
}

void rememberProjectFolder(const QString& folder) { rememberedFolder() = QDir::cleanPath(folder); }

QString folderGoneMessage(const QString& action, const QString& file) {
    const QString folder = rememberedFolder().isEmpty() ? QStringLiteral("(the working directory)")
                                                        : QDir::toNativeSeparators(rememberedFolder());
    return QStringLiteral("Cannot %1 %2: the project's folder %3 no longer exists; nothing was written")
        .arg(action, file, folder);
}

} // namespace wf::ui
