#include "prep/test_data.h"

#include <fstream>
#include <string>

#include "prep/value_text.h"
#include "textio/list_directed.h"
#include "textio/side_file.h"

namespace wf::prep {

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
        total += d.NPJ[j];
    }
    // The arrays hold NOBS times the count of the first observation point.
    const long long capacity = static_cast<long long>(in.NOBS) * d.NPJ[1];
    if (capacity < total || rs.prep.T.size() < total || rs.prep.H.size() < total) {
        rs.error(" Dimension to small for pumptest data");
        return ReadOutcome::refused;
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
            if (m == 1 && T(n) != 0.0) d.FLAG[j] = 1;
        }
        if (d.NPJ[j] > 0 && T(n) > d.TMAX) d.TMAX = T(n);
    }
    return ReadOutcome::ok;
}

} // namespace wf::prep
