// Colour and marker of each observation point, shared by the drawdown chart,
// its derivative view and the residual panel: point 1 red circles (its model
// curve black), points 2..4 blue squares, green triangles and purple pentagons
// (model curves in the point's colour).
#pragma once

#include <algorithm>
#include <vector>

#include <QColor>
#include <QScatterSeries>

namespace wf::ui {

struct PointStyle {
    QColor colour;
    QScatterSeries::MarkerShape marker;
};

// k = 1..4 (outside: the nearest of them).
inline PointStyle pointStyle(int k) {
    static const PointStyle styles[4] = {{QColor(Qt::red), QScatterSeries::MarkerShapeCircle},
                                         {QColor(0, 70, 220), QScatterSeries::MarkerShapeRectangle},
                                         {QColor(0, 140, 60), QScatterSeries::MarkerShapeTriangle},
                                         {QColor(170, 0, 170), QScatterSeries::MarkerShapePentagon}};
    return styles[std::clamp(k - 1, 0, 3)];
}

// The series of further point k = 2..4 in a list of points 2, 3, ...; null
// when there is none.
template <class Series>
Series* furtherPointSeries(const std::vector<Series*>& series, int k) {
    const auto i = static_cast<std::size_t>(k - 2);
    return k >= 2 && i < series.size() ? series[i] : nullptr;
}

// The colour of point k's model curve (point 1: black).
inline QColor pointModelColour(int k) { return k <= 1 ? QColor(Qt::black) : pointStyle(k).colour; }

} // namespace wf::ui
