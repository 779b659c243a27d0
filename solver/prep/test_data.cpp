#include "prep/test_data.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

#include "prep/time_fields.h"
#include "prep/value_text.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf::prep {

namespace {

// A read value as the file gives it.
std::string readValueText(double v) { return valueText(v, 17); }

// The largest time the observation file's "(I6,F15.3,1P,E18.6)" records can
// hold: eleven digits before the decimal point.
constexpr double kLargestTime = 99999999999.999;

// One point (time, value) read from line `line`: both finite, the time not
// negative, not before the previous time of its observation point, and 0 or
// within the times that the observation and simulation files hold. Refused with the file, line and value named.
bool checkPoint(RunState& rs, const std::string& name, int line, double t, double h, const double* previous) {
    const std::string where = "Test data file " + name + ", line " + std::to_string(line) + ": ";
    if (!std::isfinite(t)) {
        rs.error(where + "the time " + readValueText(t) + " is not a finite number");
        return false;
    }
    if (!std::isfinite(h)) {
        rs.error(where + "the value " + readValueText(h) + " is not a finite number");
        return false;
    }
    if (t < 0.0) {
        rs.error(where + "the time " + readValueText(t) + " is negative");
        return false;
    }
    if (previous && t < *previous) {
        rs.error(where + "the time " + readValueText(t) + " is earlier than the time " + readValueText(*previous) +
                 " of the line before; times must not decrease");
        return false;
    }
    if (t > kLargestTime) {
        rs.error(where + "the time " + readValueText(t) +
                 " is too large for the observation file (at most 99999999999.999)");
        return false;
    }
    // Three decimals would write 0.000; from 1e9 on the simulation file's
    // time field runs into the node number.
    if (t > 0.0 && t < kSmallestFileTime) {
        rs.error(where + "the time " + readValueText(t) + " is below " + valueText(kSmallestFileTime) + " " +
                 timeUnitName(rs.in) + ", the smallest time after 0 that the observation file holds (3 decimals): " +
                 timeUnitAdvice(rs.in, t, true));
        return false;
    }
    if (t > kLargestFileTime) {
        rs.error(where + "the time " + readValueText(t) + " is above " + valueText(kLargestFileTime, 12) + " " +
                 timeUnitName(rs.in) + ", the largest time that the simulation file holds: " +
                 timeUnitAdvice(rs.in, t, false));
        return false;
    }
    return true;
}

} // namespace

ReadOutcome readTestData(RunState& rs, TestData& d) {
    Inputs& in = rs.in;
    const std::string name = rs.file(".dat");
    auto ioFailure = [&](int status) {
        rs.IOS = status;
        rs.INNAME = name;
        return ReadOutcome::ioError;
    };

    std::ifstream file;
    if (!textio::openSideRead(file, name)) return ioFailure(textio::kIosEndOfFile);
    textio::RecordReader reader(file);

    if (int ios = reader.skip(2); ios != 0) return ioFailure(ios);
    {
        textio::ListRead counts = reader.begin();
        for (int j = 1; j <= in.NOBS; ++j) counts.get(d.NPJ[j]);
        if (counts.status() != 0) return ioFailure(counts.status());
    }
    long long total = 0;
    for (int j = 1; j <= in.NOBS; ++j) {
        if (d.NPJ[j] < 0) {
            rs.error("Number of data points " + valueText(d.NPJ[j]) + " of observation point " + valueText(j) +
                     " in " + name + " must not be negative");
            return ReadOutcome::refused;
        }
        // Without a point there is no observation to fit and no time to run to.
        if (d.NPJ[j] == 0) {
            rs.error("Test data file " + name + ", line 3: observation point " + valueText(j) +
                     " has no data points (the number of points is 0)");
            return ReadOutcome::refused;
        }
        total += d.NPJ[j];
    }
    // The run driver sized the arrays from the count of the first observation
    // point (NOBS times it); points may differ in their counts, so arrays too
    // small for all of them are enlarged.
    if (rs.prep.T.size() < total || rs.prep.H.size() < total) {
        try {
            rs.prep.T.allocate(total);
            rs.prep.H.allocate(total);
        } catch (const std::exception&) {
            rs.error(" Dimension to small for pumptest data");
            return ReadOutcome::refused;
        }
    }

    Vec1<double>& T = rs.prep.T;
    Vec1<double>& H = rs.prep.H;
    d.TMAX = 0.0;
    int n = 0;
    for (int j = 1; j <= in.NOBS; ++j) {
        std::string pointName;
        if (int ios = reader.readA(pointName, 20); ios != 0) return ioFailure(ios);
        d.FLAG[j] = 0;
        for (int m = 1; m <= d.NPJ[j]; ++m) {
            ++n;
            textio::ListRead point = reader.begin();
            point.get(T(n));
            point.get(H(n));
            if (point.status() != 0) return ioFailure(point.status());
            if (!checkPoint(rs, name, reader.recordNumber(), T(n), H(n), m == 1 ? nullptr : &T(n - 1)))
                return ReadOutcome::refused;
            if (m == 1 && T(n) != 0.0) d.FLAG[j] = 1;
        }
        if (d.NPJ[j] > 0 && T(n) > d.TMAX) d.TMAX = T(n);
    }
    return ReadOutcome::ok;
}

} // namespace wf::prep
