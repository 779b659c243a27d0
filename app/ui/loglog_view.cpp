#include "loglog_view.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QChart>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include "bourdet.h"
#include "drawdown_chart.h"
#include "message_boxes.h"
#include "point_style.h"

namespace wf::ui {

namespace {

// The positive points of a series, in ascending time (the chart keeps them so).
void split(const QXYSeries* s, std::vector<double>& t, std::vector<double>& v) {
    t.clear();
    v.clear();
    if (!s) return;
    for (const QPointF& p : s->points())
        if (p.x() > 0.0) {
            t.push_back(p.x());
            v.push_back(p.y());
        }
}

QList<QPointF> positive(const std::vector<double>& t, const std::vector<double>& v) {
    QList<QPointF> out;
    for (std::size_t i = 0; i < t.size(); ++i)
        if (v[i] > 0.0) out.append(QPointF(t[i], v[i]));
    return out;
}

QList<QPointF> positiveDerivative(const std::vector<double>& t, const std::vector<double>& v) {
    QList<QPointF> out;
    for (const DerivativePoint& d : bourdetDerivative(t, v))
        if (d.derivative > 0.0) out.append(QPointF(d.time, d.derivative));
    return out;
}

// The decades around the values (at least one).
void decadeRange(double lo, double hi, double& from, double& to) {
    if (!(lo > 0.0) || !(hi >= lo)) {
        from = 0.01;
        to = 10.0;
        return;
    }
    from = std::pow(10.0, std::floor(std::log10(lo) + 1e-9));
    to = std::pow(10.0, std::ceil(std::log10(hi) - 1e-9));
    if (to <= from) to = from * 10.0;
}

QLogValueAxis* logAxis(const QString& title) {
    auto* a = new QLogValueAxis;
    a->setBase(10.0);
    a->setMinorTickCount(-1);
    a->setMinorGridLineVisible(true);
    a->setLabelFormat(QStringLiteral("%g"));
    a->setTitleText(title);
    a->setTitleFont(axisTitleFont());
    a->setLinePenColor(Qt::black);
    a->setGridLineColor(QColor(160, 160, 160));
    a->setMinorGridLineColor(QColor(220, 220, 220));
    return a;
}

} // namespace

LogLogChart::LogLogChart(QWidget* parent) : QChartView(parent) {
    setObjectName(QStringLiteral("LogLogChart"));
    chart_ = new QChart;
    setChart(chart_);
    setRenderHint(QPainter::Antialiasing);
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundRoundness(0);
    chart_->legend()->setAlignment(Qt::AlignRight);
    chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    timeAxis_ = logAxis(QStringLiteral("Time"));
    valueAxis_ = logAxis(QStringLiteral("Drawdown s and ds/d ln t"));
    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(valueAxis_, Qt::AlignLeft);
}

QXYSeries* LogLogChart::curve(int k, int role) const {
    if (k < 1 || k > static_cast<int>(curves_.size()) || role < 0 || role > 3) return nullptr;
    return curves_[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(role)];
}

void LogLogChart::takeFrom(const DrawdownChart& source) {
    chart_->removeAllSeries();
    curves_.clear();
    chart_->setTitle(source.chartObject()->title());
    timeAxis_->setTitleText(source.timeAxis()->titleText());
    valueAxis_->setTitleText(source.drawdownAxis()->titleText() + QStringLiteral(" and ds/d ln t"));
    double tlo = std::numeric_limits<double>::max(), thi = 0.0;
    double vlo = std::numeric_limits<double>::max(), vhi = 0.0;
    std::vector<double> t, v;
    for (int k = 1; k <= 4; ++k) {
        const QXYSeries* measured = k == 1 ? static_cast<const QXYSeries*>(source.measured()) : source.pointMeasured(k);
        const QXYSeries* model = k == 1 ? static_cast<const QXYSeries*>(source.fit()) : source.pointFit(k);
        if (!measured) break;
        const PointStyle style = pointStyle(k);
        const QColor modelColour = pointModelColour(k);
        const QString name = measured->name() == QLatin1String("S") ? QStringLiteral("s") : measured->name();
        std::array<QXYSeries*, 4> made{};
        split(measured, t, v);
        const QList<QPointF> lists[4] = {positive(t, v), positiveDerivative(t, v), {}, {}};
        split(model, t, v);
        const QList<QPointF> modelLists[2] = {positive(t, v), positiveDerivative(t, v)};
        for (int role = 0; role < 4; ++role) {
            const QList<QPointF>& points = role < 2 ? lists[role] : modelLists[role - 2];
            if (points.isEmpty()) continue;
            QXYSeries* s = nullptr;
            if (role < 2) {
                auto* scatter = new QScatterSeries;
                scatter->setMarkerShape(style.marker);
                scatter->setMarkerSize(role == 0 ? 7 : 6);
                s = scatter;
            } else {
                s = new QLineSeries;
            }
            s->append(points);
            static const char* const suffix[4] = {"", " ds/d ln t", " model", " model ds/d ln t"};
            s->setName(name + QLatin1String(suffix[role]));
            chart_->addSeries(s);
            // After addSeries, which colours by the chart's theme.
            if (role == 0) {
                s->setColor(style.colour);
                static_cast<QScatterSeries*>(s)->setBorderColor(style.colour);
            } else if (role == 1) {
                s->setColor(Qt::white);  // open markers: the derivative
                static_cast<QScatterSeries*>(s)->setBorderColor(style.colour);
            } else {
                s->setPen(QPen(modelColour, 1.5, role == 3 ? Qt::DashLine : Qt::SolidLine));
            }
            s->attachAxis(timeAxis_);
            s->attachAxis(valueAxis_);
            for (const QPointF& p : points) {
                tlo = std::min(tlo, p.x());
                thi = std::max(thi, p.x());
                vlo = std::min(vlo, p.y());
                vhi = std::max(vhi, p.y());
            }
            made[static_cast<std::size_t>(role)] = s;
        }
        curves_.push_back(made);
    }
    double from = 0.0, to = 0.0;
    decadeRange(tlo, thi, from, to);
    timeAxis_->setRange(from, to);
    decadeRange(vlo, vhi, from, to);
    valueAxis_->setRange(from, to);
}

void LogLogChart::renderPage(QPrinter* printer) {
    QPainter painter(printer);
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRectF target(page.width() * 0.05, page.height() * 0.05, page.width() * 0.95, page.height() * 0.90);
    render(&painter, target, QRect(), Qt::KeepAspectRatio);
}

bool LogLogChart::exportPng(const QString& path) { return grab().save(path, "PNG"); }

LogLogWindow::LogLogWindow(DrawdownChart* source, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LogLogView"));
    setWindowTitle(QStringLiteral("Log-log diagnostic"));
    chart_ = new LogLogChart(this);
    chart_->takeFrom(*source);
    auto* print = new QPushButton(QStringLiteral("&Print"), this);
    print->setObjectName(QStringLiteral("PrintBtn"));
    auto* exportButton = new QPushButton(QStringLiteral("&Export"), this);
    exportButton->setObjectName(QStringLiteral("ExportBtn"));
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("CloseBtn"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 1);
    layout->addLayout(buttons);
    setMinimumSize(520, 380);
    resize(860, 600);
    connect(print, &QPushButton::clicked, this, &LogLogWindow::print);
    connect(exportButton, &QPushButton::clicked, this, &LogLogWindow::exportPicture);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void LogLogWindow::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, chart_, &LogLogChart::renderPage);
    preview.exec();
}

void LogLogWindow::exportPicture() {
    const QString path = chooseExportFile
                             ? chooseExportFile()
                             : QFileDialog::getSaveFileName(this, QStringLiteral("Export Chart"), QString(),
                                                            QStringLiteral("PNG Files (*.png)"));
    if (path.isEmpty()) return;
    if (!chart_->exportPng(path)) showError(this, QStringLiteral("Cannot write the picture file ") + path);
}

} // namespace wf::ui
