// Colour and marker of each observation point, shared by the drawdown chart,
// its derivative view and the residual panel: point 1 red circles (its model
// curve black), points 2..4 blue squares, green triangles and purple pentagons
// (model curves in the point's colour).
#pragma once

#include <algorithm>

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

// The colour of point k's model curve (point 1: black).
inline QColor pointModelColour(int k) { return k <= 1 ? QColor(Qt::black) : pointStyle(k).colour; }

} // namespace wf::ui
