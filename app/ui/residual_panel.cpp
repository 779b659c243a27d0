#include "residual_panel.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include "point_style.h"

namespace wf::ui {

QVector<QPointF> drawdownResiduals(const QVector<QPointF>& measured, const QVector<QPointF>& model) {
    QVector<QPointF> out;
    QVector<QPointF> curve;
    for (const QPointF& p : model)
        if (p.x() > 0.0 && (curve.isEmpty() || p.x() > curve.back().x())) curve.append(p);
    if (curve.isEmpty()) return out;
    int k = 0;
    for (const QPointF& m : measured) {
        const double t = m.x();
        if (!(t > 0.0) || t < curve.front().x() || t > curve.back().x()) continue;
        while (k + 1 < curve.size() && curve[k + 1].x() < t) ++k;
        double simulated = curve[k].y();
        if (k + 1 < curve.size() && curve[k].x() < t) {
            const double a = std::log(curve[k].x()), b = std::log(curve[k + 1].x());
            const double w = (std::log(t) - a) / (b - a);
            simulated = curve[k].y() + w * (curve[k + 1].y() - curve[k].y());
        }
        out.append(QPointF(t, m.y() - simulated));
    }
    return out;
}

ResidualPanel::ResidualPanel(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("ResidualPanel"));
    chart_ = new QChart;
    setChart(chart_);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);
    chart_->setBackgroundBrush(Qt::white);
    chart_->setBackgroundRoundness(0);
    chart_->setBackgroundPen(QPen(Qt::black, 2));
    chart_->setPlotAreaBackgroundBrush(QColor(255, 255, 128));
    chart_->setPlotAreaBackgroundVisible(true);
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);

    points_ = new QScatterSeries;
    points_->setObjectName(QStringLiteral("Residuals"));
    points_->setName(QStringLiteral("Residuals"));
    points_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    points_->setMarkerSize(6);
    zero_ = new QLineSeries;
    zero_->setName(QStringLiteral("Zero"));
    chart_->addSeries(zero_);
    chart_->addSeries(points_);
    points_->setColor(Qt::red);
    points_->setBorderColor(Qt::red);
    zero_->setPen(QPen(Qt::black, 1.0));

    QFont labels(QStringLiteral("Arial"));
    labels.setPixelSize(10);
    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(11);
    title.setBold(true);
    timeAxis_ = new QLogValueAxis;
    timeAxis_->setBase(10.0);
    timeAxis_->setMinorTickCount(-1);
    timeAxis_->setLabelFormat(QStringLiteral("%g"));
    timeAxis_->setLabelsFont(labels);
    timeAxis_->setLabelsColor(Qt::black);
    timeAxis_->setLinePenColor(Qt::black);
    timeAxis_->setGridLineColor(QColor(160, 160, 160));
    timeAxis_->setMinorGridLineColor(QColor(210, 210, 170));
    timeAxis_->setRange(1.0, 10.0);
    valueAxis_ = new QValueAxis;
    valueAxis_->setObjectName(QStringLiteral("ResidualAxis"));
    valueAxis_->setLabelFormat(QStringLiteral("%.3g"));
    valueAxis_->setLabelsFont(labels);
    valueAxis_->setLabelsColor(Qt::black);
    valueAxis_->setTitleText(QStringLiteral("meas. - sim."));
    valueAxis_->setTitleFont(title);
    valueAxis_->setTitleBrush(Qt::black);
    valueAxis_->setLinePenColor(Qt::black);
    valueAxis_->setGridLineColor(QColor(160, 160, 160));
    valueAxis_->setRange(-1.0, 1.0);
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(zero_), static_cast<QAbstractSeries*>(points_)}) {
        s->attachAxis(timeAxis_);
        s->attachAxis(valueAxis_);
    }
    chart_->setMargins(QMargins(8, 4, 8, 4));
    connect(chart_, &QChart::plotAreaChanged, this, [this] { placePlot(); });
}

void ResidualPanel::setResiduals(const QVector<QPointF>& residuals, const std::vector<QVector<QPointF>>& further) {
    while (further_.size() > further.size()) {
        chart_->removeSeries(further_.back());
        delete further_.back();
        further_.pop_back();
    }
    while (further_.size() < further.size()) {
        const int k = static_cast<int>(further_.size()) + 2;
        const PointStyle style = pointStyle(k);
        auto* s = new QScatterSeries;
        s->setObjectName(QStringLiteral("Residuals_%1").arg(k));
        s->setName(QStringLiteral("Residuals %1").arg(k));
        s->setMarkerShape(style.marker);
        s->setMarkerSize(7);
        chart_->addSeries(s);
        // After addSeries, which colours it by the chart's theme.
        s->setColor(style.colour);
        s->setBorderColor(style.colour);
        s->attachAxis(timeAxis_);
        s->attachAxis(valueAxis_);
        further_.push_back(s);
    }
    points_->replace(residuals);
    double extent = 0.0;
    for (const QPointF& p : residuals) extent = std::max(extent, std::fabs(p.y()));
    for (std::size_t i = 0; i < further.size(); ++i) {
        further_[i]->replace(further[i]);
        for (const QPointF& p : further[i]) extent = std::max(extent, std::fabs(p.y()));
    }
    if (!(extent > 0.0)) extent = 0.01;
    valueAxis_->setRange(-extent * 1.1, extent * 1.1);
    valueAxis_->setTickCount(5);
    valueAxis_->applyNiceNumbers();
}

QScatterSeries* ResidualPanel::pointResiduals(int k) const { return furtherPointSeries(further_, k); }

void ResidualPanel::alignTo(double timeMin, double timeMax, double plotLeft, double plotRight) {
    if (timeMax > timeMin && timeMin > 0.0) timeAxis_->setRange(timeMin, timeMax);
    zero_->replace(QVector<QPointF>{QPointF(timeAxis_->min(), 0.0), QPointF(timeAxis_->max(), 0.0)});
    plotLeft_ = plotLeft;
    plotRight_ = plotRight;
    placePlot();
}

void ResidualPanel::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    placePlot();
}

// The plot spans the same width as the chart's above, so that a time sits at
// the same place in both: the margins are corrected by what the last layout
// missed (the axis labels' room stays the same, so one correction settles it).
void ResidualPanel::placePlot() {
    if (plotRight_ <= plotLeft_) return;
    const QRectF plot = chart_->plotArea();
    // Only a layout of the chart at the view's width tells what to correct.
    if (plot.isEmpty() || std::fabs(chart_->size().width() - width()) > 0.5) return;
    const QMargins m = chart_->margins();
    const int left = std::clamp(m.left() + static_cast<int>(std::lround(plotLeft_ - plot.left())), 0,
                                static_cast<int>(plotLeft_));
    const int right = std::clamp(m.right() + static_cast<int>(std::lround(plot.right() - plotRight_)), 0,
                                 std::max(0, width() - static_cast<int>(plotRight_)));
    if (left != m.left() || right != m.right()) chart_->setMargins(QMargins(left, m.top(), right, m.bottom()));
}

} // namespace wf::ui
