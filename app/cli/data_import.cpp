#include "data_import.h"

#include <fstream>
#include <system_error>
#include <sstream>

#include "document/fields.h"

namespace wf::cli {

wf::doc::Status importPoints(const std::filesystem::path& file, ImportedPoints& out) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        return wf::doc::Status::failure("Cannot read the data file " + file.string() + ": it is a folder");
    std::ifstream in(file);
    if (!in) return wf::doc::Status::failure("Cannot read the data file " + file.string());
    ImportedPoints points;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        std::string time, value;
        if (!(words >> time) || time.front() == '#') continue;
        const std::string where = "Data file " + file.string() + ", line " + std::to_string(lineNo);
        if (!(words >> value)) return wf::doc::Status::failure(where + ": the value is missing");
        double ignored = 0.0;
        if (!wf::doc::parseNumber(time, "", ignored))
            return wf::doc::Status::failure(where + ": the time \"" + time + "\" is not a number");
        if (!wf::doc::parseNumber(value, "", ignored))
            return wf::doc::Status::failure(where + ": the value \"" + value + "\" is not a number");
        points.times.push_back(time);
        points.values.push_back(value);
    }
    if (in.bad()) return wf::doc::Status::failure("Cannot read the data file " + file.string());
    // An empty import would replace the project's test data with none.
    if (points.times.empty())
        return wf::doc::Status::failure("Data file " + file.string() + " holds no data points");
    out = std::move(points);
    return wf::doc::Status::success();
}

} // namespace wf::cli
