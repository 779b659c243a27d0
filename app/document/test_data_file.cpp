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

    // Line 3 of a project of several points counts the points of each; a
    // point's block is its name line and its point lines. A project of one
    // point reads its one block, whatever else line 3 holds.
    std::vector<int32_t> counts{count};
    for (std::size_t w = 1; w < header.size() && w <= furtherPoints_.size(); ++w) {
        int32_t c = -1;
        if (!parseInteger(header[w], "", c) || c < 0 || c > kMaxTestDataPoints)
            return Status::failure(where + "3: the number of points \"" + header[w] + "\" of observation point " +
                                   std::to_string(w + 1) + " is not a whole number from 0 to 252");
        counts.push_back(c);
    }
    std::vector<std::vector<std::string>> times(counts.size()), values(counts.size());
    std::string problem;    // the first word that is not a number
    std::size_t index = 3;  // the name line of the first point
    for (std::size_t l = 0; l < counts.size(); ++l) {
        ++index;  // the name line (the names are kept in the project file)
        for (int i = 1; i <= counts[l]; ++i, ++index) {
            const std::string lineNo = std::to_string(index + 1);
            if (index >= lines.size())
                return Status::failure(where + lineNo + ": the file ends before point " + std::to_string(i) + " of " +
                                       std::to_string(counts[l]) +
                                       (counts.size() > 1 ? " of observation point " + std::to_string(l + 1) : ""));
            // The words are kept as text, as the data editor holds them: a missing
            // word is an empty text, and a word that is not a number stays for the
            // user to correct (the chart and the writing of the file name it).
            const std::vector<std::string> words = splitWords(lines[index]);
            times[l].push_back(words.size() > 0 ? words[0] : std::string());
            values[l].push_back(words.size() > 1 ? words[1] : std::string());
            double number = 0.0;
            for (const auto& [word, what] : {std::pair{times[l].back(), "time"}, std::pair{values[l].back(), "value"}})
                if (problem.empty() && !parseNumber(word, "", number).ok())
                    problem = where + lineNo + ": the " + what + " \"" + word + "\" is not a number";
        }
    }
    pointCount_ = count;
    testDataProblem_ = std::move(problem);
    times_ = std::move(times[0]);
    values_ = std::move(values[0]);
    // The further points' data; their settings come from the project file.
    for (std::size_t l = 1; l < counts.size() && l <= furtherPoints_.size(); ++l) {
        furtherPoints_[l - 1].times = std::move(times[l]);
        furtherPoints_[l - 1].values = std::move(values[l]);
    }
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

    // One block per observation point; a project of one point writes the
    // standard file (its name line empty), several write their names.
    struct Block {
        const std::string* name;
        const std::vector<std::string>* times;
        const std::vector<std::string>* values;
        std::size_t count;
    };
    std::vector<Block> blocks{{&firstPointName_, &times_, &values_, count}};
    for (const ObservationPoint& p : furtherPoints_) {
        if (p.times.size() > static_cast<std::size_t>(kMaxTestDataPoints) || p.values.size() != p.times.size())
            return Status::failure("Cannot write the test data file " + path.string() + ": observation point " +
                                   std::to_string(blocks.size() + 1) + " has " + std::to_string(p.times.size()) +
                                   " times and " + std::to_string(p.values.size()) + " values (at most 252)");
        blocks.push_back({&p.name, &p.times, &p.values, p.times.size()});
    }
    const bool several = blocks.size() > 1;
    std::string text;
    text += std::string(filename.projectName) + "\r\n";
    text += "\r\n";
    for (std::size_t l = 0; l < blocks.size(); ++l) text += (l ? " " : "") + std::to_string(blocks[l].count);
    text += "\r\n";
    for (std::size_t l = 0; l < blocks.size(); ++l) {
        text += (several ? blocks[l].name->substr(0, kMaxPointName) : std::string()) + "\r\n";
        for (std::size_t i = 0; i < blocks[l].count; ++i) {
            const std::string point = (several ? "Observation point " + std::to_string(l + 1) + ", point " : "Point ") +
                                      std::to_string(i + 1);
            double t = 0.0, v = 0.0;
            if (Status st = parseNumber((*blocks[l].times)[i], point + ", time", t); !st) return st;
            if (Status st = parseNumber((*blocks[l].values)[i], point + ", value", v); !st) return st;
            // A negative value gets a separating blank: its sign would otherwise run
            // into the time field and the line could not be read back.
            text += formatDataField(t) + (v < 0 ? " " : "") + formatDataField(v) + "\r\n";
        }
    }
    return replaceFile(path, text, "test data file");
}

} // namespace wf::doc
