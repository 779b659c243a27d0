// The diagnostic plots of the drawdown chart: the Bourdet derivative on a
// right-hand axis and the residual panel below the chart, and the printing
// and picture export of the chart together with that panel.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <QAction>
#include <QChart>
#include <QContextMenuEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include "drawdown_chart.h"
#include "point_style.h"
#include "residual_panel.h"

namespace wf::ui {

namespace {

// Share of the view's height given to the residual panel.
constexpr double kResidualShare = 0.3;

const QColor kDerivativeColour(0, 70, 200);

QVector<QPointF> derivativeOf(const QVector<QPointF>& points, double distance) {
    std::vector<double> t, s;
    t.reserve(static_cast<std::size_t>(points.size()));
    s.reserve(static_cast<std::size_t>(points.size()));
    for (const QPointF& p : points) {
        t.push_back(p.x());
        s.push_back(p.y());
    }
    QVector<QPointF> out;
    for (const DerivativePoint& d : bourdetDerivative(t, s, distance)) out.append(QPointF(d.time, d.derivative));
    return out;
}

} // namespace

void DrawdownChart::createDiagnostics() {
    // The scene keeps to the top left when the residual panel takes the bottom.
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    derivativeAction_ = new QAction(QStringLiteral("Derivative"), this);
    derivativeAction_->setObjectName(QStringLiteral("Derivative1"));
    derivativeAction_->setCheckable(true);
    residualsAction_ = new QAction(QStringLiteral("Residuals"), this);
    residualsAction_->setObjectName(QStringLiteral("Residuals1"));
    residualsAction_->setCheckable(true);
    connect(derivativeAction_, &QAction::toggled, this, &DrawdownChart::setDerivativeShown);
    connect(residualsAction_, &QAction::toggled, this, &DrawdownChart::setResidualsShown);
    contextMenu_ = new QMenu(this);
    contextMenu_->setObjectName(QStringLiteral("ChartMenu"));
    contextMenu_->addAction(derivativeAction_);
    contextMenu_->addAction(residualsAction_);
}

bool DrawdownChart::derivativeShown() const { return derivativeAxis_ != nullptr; }

bool DrawdownChart::residualsShown() const { return residuals_ != nullptr; }

void DrawdownChart::setDerivativeDistance(double logCycles) {
    derivativeDistance_ = logCycles;
    refreshDiagnostics();
}

void DrawdownChart::setDerivativeShown(bool on) {
    if (derivativeAction_->isChecked() != on) derivativeAction_->setChecked(on);  // calls back
    if (on == derivativeShown()) return;
    if (on) {
        derivativeAxis_ = new QValueAxis;
        derivativeAxis_->setObjectName(QStringLiteral("RightAxis"));
        derivativeAxis_->setLabelFormat(QStringLiteral("%.3g"));
        QFont labels(QStringLiteral("Arial"));
        labels.setPixelSize(11);
        derivativeAxis_->setLabelsFont(labels);
        derivativeAxis_->setLabelsColor(kDerivativeColour);
        derivativeAxis_->setTitleText(QStringLiteral("ds/d ln t"));
        derivativeAxis_->setTitleFont(axisTitleFont());
        derivativeAxis_->setTitleBrush(kDerivativeColour);
        derivativeAxis_->setLinePenColor(kDerivativeColour);
        derivativeAxis_->setGridLineVisible(false);
        derivativeAxis_->setMinorTickCount(0);
        series3_ = new QScatterSeries;
        series3_->setObjectName(QStringLiteral("Series3"));
        series3_->setName(QStringLiteral("dS/dln t"));
        series3_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        series3_->setMarkerSize(6);
        series4_ = new QLineSeries;
        series4_->setObjectName(QStringLiteral("Series4"));
        series4_->setName(QStringLiteral("Model derivative"));
        chart_->addAxis(derivativeAxis_, Qt::AlignRight);
        chart_->addSeries(series3_);
        chart_->addSeries(series4_);
        series3_->setColor(kDerivativeColour);
        series3_->setBorderColor(kDerivativeColour);
        series4_->setPen(QPen(kDerivativeColour, 1.5, Qt::DashLine));
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(series3_), static_cast<QAbstractSeries*>(series4_)}) {
            s->attachAxis(timeAxis_);
            s->attachAxis(derivativeAxis_);
        }
    } else {
        // The chart returns to its two series and two axes.
        // The chart's own items of a removed axis go with a later event; the
        // axis and series must outlive them.
        removePointDerivatives(0);
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(series3_), static_cast<QAbstractSeries*>(series4_)}) {
            chart_->removeSeries(s);
            s->deleteLater();
        }
        chart_->removeAxis(derivativeAxis_);
        derivativeAxis_->deleteLater();
        series3_ = nullptr;
        series4_ = nullptr;
        derivativeAxis_ = nullptr;
    }
    refreshDiagnostics();
    viewport()->update();
}

void DrawdownChart::setResidualsShown(bool on) {
    if (residualsAction_->isChecked() != on) residualsAction_->setChecked(on);  // calls back
    if (on == residualsShown()) return;
    if (on) {
        residuals_ = new ResidualPanel(this);
        residuals_->show();
        residuals_->raise();
    } else {
        delete residuals_;
        residuals_ = nullptr;
    }
    layoutPanels();
    updateMargins();
    refreshDiagnostics();
    alignResidualPanel();
}

int DrawdownChart::chartHeight() const {
    return residuals_ ? height() - static_cast<int>(height() * kResidualShare) : height();
}

void DrawdownChart::layoutPanels() {
    const int h = chartHeight();
    if (chart_->size().toSize() != QSize(width(), h)) chart_->resize(QSizeF(width(), h));
    setSceneRect(QRectF(QPointF(0, 0), QSizeF(width(), h)));
    if (residuals_) residuals_->setGeometry(0, h, width(), height() - h);
}

void DrawdownChart::alignResidualPanel() {
    if (!residuals_) return;
    const QRectF plot = chart_->plotArea();
    residuals_->alignTo(timeAxis_->min(), timeAxis_->max(), plot.left(), plot.right());
}

double DrawdownChart::textBlockLeft() const {
    const double right = chart_->plotArea().right();
    if (!derivativeAxis_) return right + 5.0;
    // The derivative axis's labels and title sit between the plot and the text.
    QFont labels(QStringLiteral("Arial"));
    labels.setPixelSize(11);
    const QFontMetrics lf(labels), tf(axisTitleFont());
    int widest = 0;
    const int ticks = std::max(2, derivativeAxis_->tickCount());
    for (int i = 0; i < ticks; ++i) {
        const double v = derivativeAxis_->min() + (derivativeAxis_->max() - derivativeAxis_->min()) * i / (ticks - 1);
        widest = std::max(widest, lf.horizontalAdvance(QString::asprintf("%.3g", v)));
    }
    return right + widest + tf.height() + 18.0;
}

void DrawdownChart::refreshDiagnostics() {
    if (series3_) {
        syncPointDerivatives();
        series3_->replace(derivativeOf(series1_->points(), derivativeDistance_));
        series4_->replace(derivativeOf(series2_->points(), derivativeDistance_));
        for (std::size_t i = 0; i < pointMeasuredDerivative_.size(); ++i) {
            pointMeasuredDerivative_[i]->replace(derivativeOf(pointMeasured_[i]->points(), derivativeDistance_));
            pointFitDerivative_[i]->replace(derivativeOf(pointFit_[i]->points(), derivativeDistance_));
        }
        updateDerivativeRange();
    }
    if (residuals_) {
        // Each point against its own model curve.
        std::vector<QVector<QPointF>> further;
        for (std::size_t i = 0; i < pointMeasured_.size(); ++i)
            further.push_back(drawdownResiduals(pointMeasured_[i]->points(), pointFit_[i]->points()));
        residuals_->setResiduals(drawdownResiduals(series1_->points(), series2_->points()), further);
    }
}

void DrawdownChart::updateDerivativeRange() {
    double lo = 0.0;
    double hi = std::numeric_limits<double>::lowest();
    std::vector<const QXYSeries*> all{series3_, series4_};
    all.insert(all.end(), pointMeasuredDerivative_.begin(), pointMeasuredDerivative_.end());
    all.insert(all.end(), pointFitDerivative_.begin(), pointFitDerivative_.end());
    for (const QXYSeries* s : all)
        for (const QPointF& p : s->points()) {
            lo = std::min(lo, p.y());
            hi = std::max(hi, p.y());
        }
    if (hi <= lo) hi = lo + 1.0;
    derivativeAxis_->setRange(lo, hi);
    derivativeAxis_->setTickCount(5);
    derivativeAxis_->applyNiceNumbers();
    viewport()->update();
}

QScatterSeries* DrawdownChart::pointMeasuredDerivative(int k) const { return furtherPointSeries(pointMeasuredDerivative_, k); }

QLineSeries* DrawdownChart::pointFitDerivative(int k) const { return furtherPointSeries(pointFitDerivative_, k); }

namespace {

// A point's measured derivative: its marker, open (white inside) and edged in
// its colour, so that it stands apart from the point's drawdowns.
void styleOpenMarker(QScatterSeries* s, int k) {
    const PointStyle style = pointStyle(k);
    s->setMarkerShape(style.marker);
    s->setMarkerSize(7);
    s->setColor(Qt::white);
    s->setBorderColor(style.colour);
}

} // namespace

void DrawdownChart::syncPointDerivatives() {
    const std::size_t further = pointMeasured_.size();
    removePointDerivatives(further);
    while (pointMeasuredDerivative_.size() < further) {
        const int k = static_cast<int>(pointMeasuredDerivative_.size()) + 2;
        auto* m = new QScatterSeries;
        m->setObjectName(QStringLiteral("Series3_%1").arg(k));
        auto* f = new QLineSeries;
        f->setObjectName(QStringLiteral("Series4_%1").arg(k));
        chart_->addSeries(m);
        chart_->addSeries(f);
        // After addSeries, which colours them by the chart's theme.
        styleOpenMarker(m, k);
        f->setPen(QPen(pointModelColour(k), 1.5, Qt::DashLine));
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(m), static_cast<QAbstractSeries*>(f)}) {
            s->attachAxis(timeAxis_);
            s->attachAxis(derivativeAxis_);
        }
        pointMeasuredDerivative_.push_back(m);
        pointFitDerivative_.push_back(f);
    }
    for (std::size_t i = 0; i < further; ++i) {
        pointMeasuredDerivative_[i]->setName(pointMeasured_[i]->name() + QStringLiteral(" ds/dln t"));
        pointFitDerivative_[i]->setName(pointFit_[i]->name() + QStringLiteral(" ds/dln t"));
    }
    // One point: the blue derivative of the standard chart. Several: point 1's
    // derivative in its own colours too, and the axis black, as it serves them all.
    const bool several = further > 0;
    if (several) {
        styleOpenMarker(series3_, 1);
        series3_->setName(series1_->name() + QStringLiteral(" ds/dln t"));
        series4_->setName(series2_->name() + QStringLiteral(" ds/dln t"));
    } else {
        series3_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
        series3_->setMarkerSize(6);
        series3_->setColor(kDerivativeColour);
        series3_->setBorderColor(kDerivativeColour);
        series3_->setName(QStringLiteral("dS/dln t"));
        series4_->setName(QStringLiteral("Model derivative"));
    }
    series4_->setPen(QPen(several ? pointModelColour(1) : kDerivativeColour, 1.5, Qt::DashLine));
    // The legend names the measured derivatives; the dashed model derivatives
    // beside them need no entries of their own (the legend has room for one row).
    std::vector<QAbstractSeries*> models{series4_};
    models.insert(models.end(), pointFitDerivative_.begin(), pointFitDerivative_.end());
    for (QAbstractSeries* s : models)
        for (QLegendMarker* m : chart_->legend()->markers(s)) m->setVisible(!several);
    const QColor axis = several ? QColor(Qt::black) : kDerivativeColour;
    derivativeAxis_->setLabelsColor(axis);
    derivativeAxis_->setTitleBrush(axis);
    derivativeAxis_->setLinePenColor(axis);
}

void DrawdownChart::removePointDerivatives(std::size_t keep) {
    // Removed, deleted once the chart's items of them are gone (as the standard ones).
    while (pointMeasuredDerivative_.size() > keep) {
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(pointMeasuredDerivative_.back()),
                                   static_cast<QAbstractSeries*>(pointFitDerivative_.back())}) {
            chart_->removeSeries(s);
            s->deleteLater();
        }
        pointMeasuredDerivative_.pop_back();
        pointFitDerivative_.pop_back();
    }
}

void DrawdownChart::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    contextMenu_->exec(event->globalPos());
}

void DrawdownChart::renderAll(QPainter& painter, const QRectF& target, Qt::AspectRatioMode mode) {
    if (!residuals_) {
        render(&painter, target, rect(), mode);
        return;
    }
    // The view's picture (chart above, panel below) fitted into target.
    const QSizeF whole = QSizeF(size());
    QSizeF fitted = whole;
    fitted.scale(target.size(), mode);
    const QRectF area(target.topLeft() + QPointF((target.width() - fitted.width()) / 2.0,
                                                 (target.height() - fitted.height()) / 2.0),
                      fitted);
    const double scale = area.height() / whole.height();
    const double top = chartHeight() * scale;
    render(&painter, QRectF(area.left(), area.top(), area.width(), top), QRect(0, 0, width(), chartHeight()),
           Qt::IgnoreAspectRatio);
    residuals_->render(&painter, QRectF(area.left(), area.top() + top, area.width(), area.height() - top),
                       residuals_->rect(), Qt::IgnoreAspectRatio);
}

} // namespace wf::ui
