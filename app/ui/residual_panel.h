// The residuals panel below the drawdown chart: measured - simulated drawdown
// at each measured time within the model curve, against logarithmic time, on
// the same time range and plot width as the chart above it; with several
// observation points every point's residuals against its own model curve.
#pragma once

#include <QChartView>
#include <QPointF>
#include <QVector>

#include <vector>

class QChart;
class QLineSeries;
class QLogValueAxis;
class QScatterSeries;
class QValueAxis;

namespace wf::ui {

// Residuals of the measured points (positive times) against the model curve,
// the model interpolated linearly in log time; points outside the curve's
// time span have none. Both lists in ascending time.
QVector<QPointF> drawdownResiduals(const QVector<QPointF>& measured, const QVector<QPointF>& model);

class ResidualPanel : public QChartView {
    Q_OBJECT
public:
    explicit ResidualPanel(QWidget* parent = nullptr);

    // The first point's residuals and those of the further points 2, 3, ...
    // (one series each, in the point's colour and marker; none without
    // further points); the value axis covers them all.
    void setResiduals(const QVector<QPointF>& residuals, const std::vector<QVector<QPointF>>& further = {});
    // The time range and the horizontal extent of the plot of the chart above.
    void alignTo(double timeMin, double timeMax, double plotLeft, double plotRight);

    QChart* chartObject() const { return chart_; }
    QLogValueAxis* timeAxis() const { return timeAxis_; }
    QScatterSeries* residuals() const { return points_; }
    // Residuals of further point k = 2..4; null when there is no such series.
    QScatterSeries* pointResiduals(int k) const;
    QValueAxis* residualAxis() const { return valueAxis_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void placePlot();

    QChart* chart_;
    QScatterSeries* points_;
    std::vector<QScatterSeries*> further_;  // points 2..4
    QLineSeries* zero_;
    QLogValueAxis* timeAxis_;
    QValueAxis* valueAxis_;
    double plotLeft_ = -1.0, plotRight_ = -1.0;
};

} // namespace wf::ui
