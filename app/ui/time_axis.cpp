#include "time_axis.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "number_text.h"

namespace wf::ui {

namespace {

constexpr std::array<double, 37> kLabelTable = {
    10,    20,    30,    40,    50,    60,    70,    80,    90,    100,   200,   300,   400,
    500,   600,   700,   800,   900,   1000,  2000,  3000,  4000,  5000,  6000,  7000,  8000,
    9000,  10000, 20000, 30000, 40000, 50000, 60000, 70000, 80000, 90000, 100000};

} // namespace

double timeAxisMaximum(float tmax) {
    if (tmax >= 10000.0f) return 100000.0;
    if (tmax >= 1000.0f) return 10000.0;
    if (tmax >= 100.0f) return 1000.0;
    if (tmax >= 10.0f) return 100.0;
    return 10.0;
}

namespace {

// 10 to the power of the decade of t (t > 0), robust against log10 landing
// just below a whole number.
double decadeOf(double t) { return std::pow(10.0, std::floor(std::log10(t) + 1e-9)); }

} // namespace

double timeAxisLower(double tmin) {
    if (!(tmin > 0.0) || tmin >= 1.0) return 1.0;
    return decadeOf(tmin);
}

double timeAxisUpper(double tmax) {
    if (tmax >= 100000.0) return decadeOf(tmax) * 10.0;
    return timeAxisMaximum(static_cast<float>(tmax));
}

bool Chart1GetNextAxisLabel(int index, double& labelValue) {
    if (index >= 0 && index < static_cast<int>(kLabelTable.size()))
        labelValue = std::max(kLabelTable[static_cast<std::size_t>(index)], labelValue);
    return false;
}

QString Chart1GetAxisLabel(const QString& text) {
    for (double decade : {10.0, 100.0, 1000.0, 10000.0, 100000.0})
        if (text == formatAxisLabel(decade)) return text;
    return QString();
}

QVector<AxisLabel> timeAxisLabels(double minimum, double maximum) {
    QVector<AxisLabel> labels;
    if (minimum > 0.0 && (minimum < 1.0 || maximum > 100000.0)) {
        for (double decade = decadeOf(minimum); decade <= maximum * (1.0 + 1e-9); decade *= 10.0)
            for (int k = 1; k <= 9; ++k) {
                const double value = decade * k;
                if (value > maximum * (1.0 + 1e-9)) break;
                if (value < minimum * (1.0 - 1e-9)) continue;
                const QString text = decade >= 0.001 ? formatAxisLabel(decade) : QString::number(decade, 'g', 3);
                labels.append({value, k == 1 ? text : QString()});
            }
        return labels;
    }
    // The axis proposes its minimum; the label rule lifts it onto the table.
    // Past the table the proposal no longer grows, so the series ends there.
    for (int i = 0; i < static_cast<int>(kLabelTable.size()); ++i) {
        double value = minimum;
        const bool stop = Chart1GetNextAxisLabel(i, value);
        if (value > maximum * (1.0 + 1e-9)) break;
        if (value >= minimum) labels.append({value, Chart1GetAxisLabel(formatAxisLabel(value))});
        if (stop) break;
    }
    return labels;
}

} // namespace wf::ui
