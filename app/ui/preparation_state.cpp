#include "preparation_state.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "document/run_fingerprints.h"
#include "textio/side_file.h"

namespace wf::ui {

namespace {

bool olderThan(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ea, eb;
    const auto ta = std::filesystem::last_write_time(a, ea);
    const auto tb = std::filesystem::last_write_time(b, eb);
    return !ea && !eb && ta < tb;
}

bool fileExists(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::exists(p, ec);
}

} // namespace

QByteArray preparationInputs(const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder) {
    // The fingerprint the command-line runner compares too: the test data, the
    // pumping settings, the fine-model flag and the mesh the preparation reads.
    const std::string f = wf::doc::preparationFingerprint(doc, folder);
    return QByteArray(f.data(), static_cast<qsizetype>(f.size()));
}

void PreparationState::projectOpened(const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder) {
    opened_ = preparationInputs(doc, folder);
    prepared_.clear();
    preparedHere_ = false;
    lastFailed_ = false;
}

void PreparationState::preparationRan(bool succeeded, const wf::doc::ProjectDocument& doc,
                                      const std::filesystem::path& folder) {
    lastFailed_ = !succeeded;
    if (!succeeded) return;
    prepared_ = preparationInputs(doc, folder);
    preparedHere_ = true;
}

QString PreparationState::staleMessage(const wf::doc::ProjectDocument& doc, const std::filesystem::path& folder) const {
    const std::filesystem::path obs = wf::textio::sideFilePath(doc.filename.obsName, folder);
    const std::filesystem::path tim = wf::textio::sideFilePath(doc.filename.timName, folder);
    if (!fileExists(obs) || !fileExists(tim)) return QString();
    const QString files = QStringLiteral("The observation file %1 and the parameter file %2")
                              .arg(QString::fromLocal8Bit(doc.filename.obsName),
                                   QString::fromLocal8Bit(doc.filename.timName));
    const QString again = QStringLiteral(" Run Analysis / Parameters again before the analysis.");
    if (lastFailed_)
        return files + QStringLiteral(" are those of an earlier data preparation: the last one did not complete.") +
               again;
    const QByteArray now = preparationInputs(doc, folder);
    const std::filesystem::path dat = wf::textio::sideFilePath(doc.filename.datName, folder);
    // Prepared in this session: the inputs of that run. Otherwise the files of
    // an earlier session: the inputs as opened, and the files' age.
    const bool changed =
        preparedHere_ ? now != prepared_ : (now != opened_ || olderThan(obs, dat) || olderThan(tim, dat));
    if (!changed) return QString();
    return files + QStringLiteral(" are older than the last change of the test data or the parameters.") + again;
}

} // namespace wf::ui
