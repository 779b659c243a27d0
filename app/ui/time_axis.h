// The label and range rules of the chart's logarithmic time axis.
#pragma once

#include <QString>
#include <QVector>

namespace wf::ui {

// Upper end of the time axis for the largest time drawn: 10, 100, ..., 100000
// (10 below 10, 100 from 10, 1000 from 100, 10000 from 1000, 100000 from 10000).
// The lower end is always 1.
double timeAxisMaximum(float tmax);

// The time axis of the drawn readings: from the decade at or below the
// smallest positive time (1 when every time is at least 1, as the standard
// range) to timeAxisMaximum, continued past 100000 by the decade above the
// largest time, so that no reading falls off either end.
double timeAxisLower(double tmin);
double timeAxisUpper(double tmax);

// Chart1GetNextAxisLabel: the value of label number index, given the value the
// axis proposes; the labels follow 10, 20, ..., 90, 100, 200, ..., 100000.
// Always asks for a further label (returns false = do not stop).
bool Chart1GetNextAxisLabel(int index, double& labelValue);

// Chart1GetAxisLabel: a time-axis label keeps its text only at the decades
// 10, 100, 1000, 10000 and 100000; every other label becomes empty.
QString Chart1GetAxisLabel(const QString& text);

struct AxisLabel {
    double value;   // where the tick sits
    QString text;   // what is written under it (empty: tick only)
};

// All labels of a time axis from minimum to maximum, as the two rules give
// them. A range reaching below 1 or beyond 100000 carries a number at every
// decade and ticks at 2 to 9 of each.
QVector<AxisLabel> timeAxisLabels(double minimum, double maximum);

} // namespace wf::ui
