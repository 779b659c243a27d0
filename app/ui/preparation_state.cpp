#include "preparation_state.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "textio/side_file.h"

namespace wf::ui {

namespace {

template <class T>
void append(QByteArray& bytes, const T& value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

QByteArray fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return QByteArray("(missing)");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

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
    QByteArray bytes;
    bytes.append(doc.filename.projectName, static_cast<qsizetype>(qstrnlen(doc.filename.projectName, 20)));
    append(bytes, doc.mesh);
    append(bytes, doc.obsv.THICK);
    append(bytes, doc.obsv.RATIO);
    append(bytes, doc.obsv.NOBS);
    append(bytes, doc.obsv.ROBS);
    append(bytes, doc.obsv.IPOS);
    append(bytes, doc.obsv.NODOBS);
    append(bytes, doc.pump.IWLO);
    append(bytes, doc.pump.NQ);
    append(bytes, doc.pump.Q);
    append(bytes, doc.pump.TQ);
    append(bytes, doc.pump.IPUMP);
    append(bytes, doc.pump.IOPP);
    // The fine model prepares other files from the same data.
    append(bytes, doc.analysisOptions.fineModel);
    bytes.append(fileBytes(wf::textio::sideFilePath(doc.filename.datName, folder)));
    return bytes;
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
