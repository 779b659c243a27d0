// The test-data file (stem + ".DAT"): the measured points of the observation
// borehole as the data preparation reads them.
//
//   line 1   the project file name
//   line 2   empty (second title)
//   line 3   the point count
//   line 4   empty (name line of the observation point)
//   line 4+i time and value of point i, two 23-character fields
//
// Times are in the input-time unit, values are drawdowns (positive downward)
// or water levels in metres above sea level, as the project's IWLO says.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "data_field.h"
#include "fields.h"
#include "project_document.h"
#include "replace_file.h"
#include "textio/side_file.h"

namespace wf::doc {

std::string formatDataField(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14E", value < 0 ? -value : value);
    const std::string text(buf);
    const std::size_t e = text.find('E');
    const int exponent = std::atoi(text.c_str() + e + 1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%04d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return std::string(value < 0 ? "-" : " ") + text.substr(0, e) + exp;
}

namespace {

std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

} // namespace

Status ProjectDocument::readTestData(const std::filesystem::path& folder) {
    const std::string name(filename.datName);
    if (name.empty()) return Status::failure("The project has no file name yet, so it has no test data file");
    const std::filesystem::path path = wf::textio::sideFilePath(name, folder);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        pointCount_ = 0;
        return Status::success();
    }
    std::ifstream in;
    if (!wf::textio::openSideRead(in, name, folder)) return Status::failure("Cannot read the test data file " + path.string());

    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    const std::string where = "Test data file " + path.string() + ", line ";

    const std::vector<std::string> header = lines.size() > 2 ? splitWords(lines[2]) : std::vector<std::string>{};
    const std::string countWord = header.empty() ? std::string() : header.front();
    int32_t count = -1;
    if (!parseInteger(countWord, "", count) || count < 0 || count > kMaxTestDataPoints)
        return Status::failure(where + "3: the number of points \"" + countWord +
                               "\" is not a whole number from 0 to 252");

    std::vector<std::string> times, values;
    for (int i = 1; i <= count; ++i) {
        const std::size_t index = static_cast<std::size_t>(i) + 3;
        const std::string lineNo = std::to_string(index + 1);
        if (index >= lines.size())
            return Status::failure(where + lineNo + ": the file ends before point " + std::to_string(i) + " of " +
                                   std::to_string(count));
        // The words are kept as text, as the data editor holds them: a missing
        // word is an empty text, and a word that is not a number stays for the
        // user to correct (the chart and the writing of the file name it).
        const std::vector<std::string> words = splitWords(lines[index]);
        times.push_back(words.size() > 0 ? words[0] : std::string());
        values.push_back(words.size() > 1 ? words[1] : std::string());
    }
    pointCount_ = count;
    times_ = std::move(times);
    values_ = std::move(values);
    return Status::success();
}

Status ProjectDocument::writeTestData(const std::filesystem::path& folder) const {
    const std::string name(filename.datName);
    if (name.empty()) return Status::failure("The project has no file name yet, so its test data cannot be written");
    const std::filesystem::path path = wf::textio::sideFilePath(name, folder);
    if (pointCount_ > kMaxTestDataPoints)
        return Status::failure("Cannot write the test data file " + path.string() + ": " + std::to_string(pointCount_) +
                               " points are more than the 252 it can hold");
    const std::size_t count = static_cast<std::size_t>(pointCount_ > 0 ? pointCount_ : 0);
    if (times_.size() < count || values_.size() < count)
        return Status::failure("Cannot write the test data file " + path.string() + ": the point lists hold fewer than " +
                               std::to_string(count) + " points");

    std::string text;
    text += std::string(filename.projectName) + "\r\n";
    text += "\r\n";
    text += std::to_string(count) + "\r\n";
    text += "\r\n";
    for (std::size_t i = 0; i < count; ++i) {
        const std::string point = "Point " + std::to_string(i + 1);
        double t = 0.0, v = 0.0;
        if (Status st = parseNumber(times_[i], point + ", time", t); !st) return st;
        if (Status st = parseNumber(values_[i], point + ", value", v); !st) return st;
        // A negative value gets a separating blank: its sign would otherwise run
        // into the time field and the line could not be read back.
        text += formatDataField(t) + (v < 0 ? " " : "") + formatDataField(v) + "\r\n";
    }
    return replaceFile(path, text, "test data file");
}

} // namespace wf::doc
