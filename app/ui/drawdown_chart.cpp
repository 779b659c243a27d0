#include "drawdown_chart.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QGraphicsItem>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QPdfWriter>
#include <QPrinter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include "chart_editor.h"
#include "message_boxes.h"
#include "number_text.h"
#include "point_style.h"
#include "project_folder.h"
#include "document/units.h"
#include "textio/side_file.h"

namespace wf::ui {

// Paints the axis labels and the text block above the chart after each repaint,
// so that screen, print and picture export all carry them.
class ChartOverlay : public QGraphicsItem {
public:
    explicit ChartOverlay(DrawdownChart* owner) : owner_(owner) { setZValue(1000); }
    QRectF boundingRect() const override { return QRectF(0, 0, 20000, 20000); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->save();
        owner_->paintAxisLabels(*painter);
        owner_->Chart1AfterDraw(*painter);
        painter->restore();
    }

private:
    DrawdownChart* owner_;
};

QFont chartTitleFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(13);
    f.setBold(true);
    return f;
}

QFont axisTitleFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    f.setBold(true);
    return f;
}

namespace {

QFont canvasFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

QFont labelFont() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    return f;
}

// Blank-separated words of a line.
QStringList words(const std::string& line) {
    return QString::fromLocal8Bit(line.c_str()).split(QRegularExpression(QStringLiteral("[ \t\r]+")),
                                                      Qt::SkipEmptyParts);
}

// A number of the simulation file; Fortran may write a D exponent.
bool fortranReal(QString word, double& value) {
    word.replace(QLatin1Char('D'), QLatin1Char('E')).replace(QLatin1Char('d'), QLatin1Char('e'));
    return parseReal(word, value);
}

} // namespace

DrawdownChart::DrawdownChart(const wf::doc::ProjectDocument& document, QWidget* parent)
    : QChartView(parent), doc_(document) {
    setObjectName(QStringLiteral("Chart1"));
    chart_ = new QChart;
    chart_->setObjectName(QStringLiteral("Chart1Chart"));
    setChart(chart_);
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::NoRubberBand);  // zooming off

    chart_->setBackgroundBrush(Qt::white);
    chart_->setBackgroundRoundness(0);
    chart_->setBackgroundPen(QPen(Qt::black, 2));  // frame 2 pixels
    chart_->setPlotAreaBackgroundBrush(QColor(255, 255, 128));  // the light yellow wall
    chart_->setPlotAreaBackgroundVisible(true);
    chart_->setTitleFont(chartTitleFont());
    chart_->setTitleBrush(Qt::black);
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);

    series1_ = new QScatterSeries;
    series1_->setObjectName(QStringLiteral("Series1"));
    series1_->setName(QStringLiteral("S"));
    series1_->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    series1_->setMarkerSize(7);
    series1_->setColor(Qt::red);
    series1_->setBorderColor(Qt::red);
    series2_ = new QLineSeries;
    series2_->setObjectName(QStringLiteral("Series2"));
    series2_->setName(QStringLiteral("Model Fit"));
    series2_->setColor(Qt::black);
    chart_->addSeries(series1_);
    chart_->addSeries(series2_);
    // The chart's theme colours the series as they are added; the program's colours come after.
    series1_->setColor(Qt::red);
    series1_->setBorderColor(Qt::red);
    series2_->setPen(QPen(Qt::black, 1.5));

    timeAxis_ = new QLogValueAxis;
    timeAxis_->setObjectName(QStringLiteral("BottomAxis"));
    timeAxis_->setBase(10.0);
    timeAxis_->setMinorTickCount(-1);  // ticks at 2, 3, ..., 9 of each decade
    timeAxis_->setMinorGridLineVisible(true);
    timeAxis_->setLabelFormat(QStringLiteral("%g"));
    timeAxis_->setLabelsFont(labelFont());
    timeAxis_->setLabelsColor(Qt::transparent);  // room kept, text drawn by the label rules
    timeAxis_->setTitleText(QStringLiteral("Time (min)"));
    timeAxis_->setTitleFont(axisTitleFont());
    timeAxis_->setTitleBrush(Qt::black);
    timeAxis_->setLinePenColor(Qt::black);
    timeAxis_->setGridLineColor(QColor(160, 160, 160));
    timeAxis_->setMinorGridLineColor(QColor(210, 210, 170));
    timeAxis_->setRange(1.0, 10.0);

    drawdownAxis_ = new QValueAxis;
    drawdownAxis_->setObjectName(QStringLiteral("LeftAxis"));
    drawdownAxis_->setLabelFormat(QStringLiteral("%.3f"));
    drawdownAxis_->setLabelsFont(labelFont());
    drawdownAxis_->setLabelsColor(Qt::transparent);  // text drawn with "# ##0.###"
    drawdownAxis_->setTitleText(QStringLiteral("s (min)"));
    drawdownAxis_->setTitleFont(axisTitleFont());
    drawdownAxis_->setTitleBrush(Qt::black);
    drawdownAxis_->setGridLineColor(Qt::black);
    drawdownAxis_->setLinePenColor(Qt::black);
    drawdownAxis_->setMinorTickCount(0);
    drawdownAxis_->setRange(0.0, 1.0);

    chart_->addAxis(timeAxis_, Qt::AlignBottom);
    chart_->addAxis(drawdownAxis_, Qt::AlignLeft);
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(series1_), static_cast<QAbstractSeries*>(series2_)}) {
        s->attachAxis(timeAxis_);
        s->attachAxis(drawdownAxis_);
    }

    updateAxisTitles();
    overlay_ = new ChartOverlay(this);
    chart_->scene()->addItem(overlay_);
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        overlay_->update();
        alignResidualPanel();
    });
    // A range set anywhere (the drawing routines, the chart editor) reaches
    // the labels and the residual panel below.
    connect(timeAxis_, &QLogValueAxis::rangeChanged, this, [this] {
        overlay_->update();
        alignResidualPanel();
    });
    createDiagnostics();
    updateMargins();
}

void DrawdownChart::resizeEvent(QResizeEvent* event) {
    QChartView::resizeEvent(event);
    layoutPanels();
    updateMargins();
}

void DrawdownChart::updateMargins() {
    // 25 % of the width on the right holds the text block; 4 % at the bottom.
    const QSize s(width(), chartHeight());
    chart_->setMargins(QMargins(8, 8, static_cast<int>(s.width() * 0.25), static_cast<int>(s.height() * 0.04)));
}

void DrawdownChart::clearSeries() {
    clearMeasured();
    clearFit();
}

void DrawdownChart::clearMeasured() {
    series1_->clear();
    clearPointSeries(true, false);
    haveMeasuredTime_ = false;
    smallestShownTime_ = 0.0;
    largestShownTime_ = 0.0;
    updateDrawdownRange();
}

void DrawdownChart::clearFit() {
    series2_->clear();
    clearPointSeries(false, true);
    curveParameters_.reset();
    liveCurve_ = false;
    fitNote_.clear();
    updateLegend();
    updateDrawdownRange();
}

void DrawdownChart::setFitNote(const QString& note) {
    fitNote_ = note;
    overlay_->update();
}

namespace {

QString unitName(std::string_view name) { return QString::fromLatin1(name.data(), static_cast<int>(name.size())); }

template <std::size_t N>
QString unitOf(const std::array<std::string_view, N>& names, int32_t code) {
    if (code < 1 || code > static_cast<int32_t>(N)) return QString();
    return unitName(names[static_cast<std::size_t>(code - 1)]);
}

QString transmissivityUnit(int32_t icond) { return QString::fromStdString(wf::doc::transmissivityUnitName(icond)); }

} // namespace

void DrawdownChart::updateAxisTitles() {
    const QString time = unitOf(wf::doc::kTimeUnits, doc_.units.ITIN);
    const QString length = unitOf(wf::doc::kDistanceUnits, doc_.units.IDIST);
    timeAxis_->setTitleText(QStringLiteral("Time (%1)").arg(time));
    drawdownAxis_->setTitleText(doc_.pump.IWLO == 1 ? QStringLiteral("Water level (%1 above sea level)").arg(length)
                                                    : QStringLiteral("Drawdown s (%1)").arg(length));
}

void DrawdownChart::updateLegend() {
    if (pointMeasured_.empty()) return;  // one point: no legend
    std::vector<QAbstractSeries*> measured{series1_};
    measured.insert(measured.end(), pointMeasured_.begin(), pointMeasured_.end());
    std::vector<QXYSeries*> models{series2_};
    models.insert(models.end(), pointFit_.begin(), pointFit_.end());
    for (QAbstractSeries* s : measured)
        for (QLegendMarker* m : chart_->legend()->markers(s)) m->setVisible(true);
    for (QXYSeries* f : models)
        for (QLegendMarker* m : chart_->legend()->markers(f)) m->setVisible(f->count() > 0);
    // A marker shown again takes its place only with a new layout of the legend.
    if (QGraphicsLayout* layout = chart_->legend()->layout()) layout->invalidate();
}

void DrawdownChart::clearTitle() { chart_->setTitle(QString()); }

void DrawdownChart::setTimeRange(float tmax) {
    timeAxis_->setRange(timeAxisLower(smallestShownTime_), timeAxisUpper(tmax));
    overlay_->update();
    alignResidualPanel();
}

namespace {

// Inserts a point keeping the series in ascending order of time.
template <class Series>
void addSorted(Series* series, const QPointF& p) {
    const int n = series->count();
    if (n == 0 || series->at(n - 1).x() <= p.x()) {
        series->append(p);
        return;
    }
    int i = 0;
    while (i < n && series->at(i).x() <= p.x()) ++i;
    series->insert(i, p);
}

} // namespace

void DrawdownChart::updateDrawdownRange() {
    double lo = std::numeric_limits<double>::max();
    double hi = std::numeric_limits<double>::lowest();
    std::vector<const QXYSeries*> all{series1_, series2_};
    all.insert(all.end(), pointMeasured_.begin(), pointMeasured_.end());
    all.insert(all.end(), pointFit_.begin(), pointFit_.end());
    for (const QXYSeries* s : all)
        for (const QPointF& p : s->points()) {
            lo = std::min(lo, p.y());
            hi = std::max(hi, p.y());
        }
    if (lo > hi) {
        lo = 0.0;
        hi = 1.0;
    }
    if (hi - lo < 1e-12) {
        const double pad = std::max(std::fabs(hi) * 0.1, 0.1);
        lo -= pad;
        hi += pad;
    }
    drawdownAxis_->setRange(lo, hi);
    // Nice numbers from the same starting tick count every time: they change the
    // tick count, and starting from the last result would coarsen the axis with
    // every redraw of the same data.
    drawdownAxis_->setTickCount(kDrawdownTicks);
    drawdownAxis_->applyNiceNumbers();
    overlay_->update();
    refreshDiagnostics();
}

QString DrawdownChart::DrawDrawdown() {
    float tmax = 0.0f;
    QString failure;
    const int n = doc_.pointCount();
    for (int i = 0; i < n && i < static_cast<int>(doc_.times().size()) && i < static_cast<int>(doc_.values().size());
         ++i) {
        const QString t = QString::fromStdString(doc_.times()[static_cast<std::size_t>(i)]);
        const QString v = QString::fromStdString(doc_.values()[static_cast<std::size_t>(i)]);
        double time = 0.0, value = 0.0;
        if (!parseReal(t, time)) {
            failure = QStringLiteral("Point %1: the time '%2' is not a number").arg(i + 1).arg(t.trimmed());
            break;
        }
        if (!parseReal(v, value)) {
            failure = QStringLiteral("Point %1: the value '%2' is not a number").arg(i + 1).arg(v.trimmed());
            break;
        }
        if (!haveMeasuredTime_ || time < firstMeasuredTime_) firstMeasuredTime_ = time;
        haveMeasuredTime_ = true;
        // The time axis is logarithmic: a point at time 0 (water levels start
        // there) or before stays in the data but has no place on the axis.
        if (time > 0.0) addSorted(series1_, QPointF(time, value));
        if (static_cast<float>(time) > tmax) tmax = static_cast<float>(time);
    }
    syncPointSeries();
    if (failure.isEmpty()) failure = drawPointMeasurements(tmax);
    // The readings on the axis: the range starts at the decade of the earliest.
    smallestShownTime_ = 0.0;
    std::vector<const QXYSeries*> measuredSeries{series1_};
    measuredSeries.insert(measuredSeries.end(), pointMeasured_.begin(), pointMeasured_.end());
    for (const QXYSeries* s : measuredSeries)
        for (const QPointF& p : s->points())
            if (smallestShownTime_ == 0.0 || p.x() < smallestShownTime_) smallestShownTime_ = p.x();
    largestShownTime_ = tmax;
    chart_->setTitle(QString::fromStdString(doc_.boreholeName()));
    updateAxisTitles();
    setTimeRange(tmax);
    updateDrawdownRange();
    return failure;
}

QString DrawdownChart::DrawFit() {
    const std::string invName(doc_.filename.invName);
    const std::optional<std::filesystem::path> folder = workingFolder();
    std::ifstream in;
    if (invName.empty() || !folder || !wf::textio::openSideRead(in, invName, *folder)) return QString();

    const QString where = QString::fromStdString(invName) + QStringLiteral(", line ");
    std::string line;
    if (!std::getline(in, line)) return where + QStringLiteral("1: the file is empty");
    const QStringList head = words(line);
    bool ok = false;
    const int count = head.size() >= 2 ? head[1].toInt(&ok) : 0;
    if (!ok) return where + QStringLiteral("1: the number of time levels is missing or not an integer");
    std::getline(in, line);  // "Node: ..." is skipped

    // From the smallest measured time on, also one that the axis cannot show.
    const bool haveMeasured = haveMeasuredTime_;
    const double firstMeasured = firstMeasuredTime_;
    float tmax = 0.0f;
    QString failure;
    for (int i = 0; i < count; ++i) {
        if (!std::getline(in, line)) break;  // fewer rows than announced: draw those there are
        const QStringList w = words(line);
        double time = 0.0, drawdown = 0.0;
        if (w.size() < 3 || !fortranReal(w[1], time) || !fortranReal(w[2], drawdown)) {
            failure = where + QString::number(i + 3) + QStringLiteral(": time and drawdown expected");
            break;
        }
        if (haveMeasured && time < firstMeasured) continue;
        if (time <= 0.0) continue;  // no place on the logarithmic time axis
        addSorted(series2_, QPointF(time, drawdown));
        if (static_cast<float>(time) > tmax) tmax = static_cast<float>(time);
    }
    const int nobs = head[0].toInt();
    syncPointSeries();
    if (failure.isEmpty() && nobs > 1) failure = drawPointFits(in, nobs, count, tmax);
    // A curve drawn beside the readings: the range takes in the latest of both.
    if (tmax > 0.0f) tmax = std::max(tmax, largestShownTime_);
    curveParameters_ = std::array<float, 4>{doc_.pinit.TF, doc_.pinit.TM, doc_.pinit.SF, doc_.pinit.SM};
    liveCurve_ = false;
    fitNote_.clear();
    updateLegend();
    updateAxisTitles();
    setTimeRange(tmax);
    updateDrawdownRange();
    return failure;
}

void DrawdownChart::showLiveCurve(int points, int levels, const std::vector<double>& times,
                                  const std::vector<double>& drawdowns, const std::array<float, 4>& parameters) {
    series2_->clear();
    clearPointSeries(false, true);
    syncPointSeries();
    float tmax = 0.0f;
    for (int k = 1; k <= points; ++k) {
        QLineSeries* f = k == 1 ? series2_ : pointFit(k);
        if (!f) continue;
        // Replaced in one go: one repaint per curve, not one per point.
        QList<QPointF> curve;
        for (int i = 0; i < levels; ++i) {
            const std::size_t at = static_cast<std::size_t>(k - 1) * static_cast<std::size_t>(levels) +
                                   static_cast<std::size_t>(i);
            if (at >= times.size() || at >= drawdowns.size()) break;
            const double time = times[at];
            // As DrawFit: from the first measured time on, and on the axis.
            if ((haveMeasuredTime_ && time < firstMeasuredTime_) || time <= 0.0) continue;
            curve.append(QPointF(time, drawdowns[at]));
            if (static_cast<float>(time) > tmax) tmax = static_cast<float>(time);
        }
        std::stable_sort(curve.begin(), curve.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        f->replace(curve);
    }
    if (tmax > 0.0f) tmax = std::max(tmax, largestShownTime_);
    curveParameters_ = parameters;
    liveCurve_ = true;
    fitNote_.clear();
    updateLegend();
    setTimeRange(tmax);
    updateDrawdownRange();
}

QVector<DrawdownChart::TextItem> DrawdownChart::textBlock() const {
    QVector<TextItem> items;
    const std::string invName(doc_.filename.invName);
    const std::optional<std::filesystem::path> folder = workingFolder();
    std::error_code ec;
    if (!liveCurve_ &&
        (invName.empty() || !folder || !std::filesystem::exists(wf::textio::sideFilePath(invName, *folder), ec)))
        return items;
    // The values the curve was made with (the document's while there is none).
    const std::array<float, 4> p = curveParameters_.value_or(
        std::array<float, 4>{doc_.pinit.TF, doc_.pinit.TM, doc_.pinit.SF, doc_.pinit.SM});
    const float TF = p[0], TM = p[1], SF = p[2], SM = p[3];
    // Every point's distance; one point: "r = " and its distance.
    QString r = QStringLiteral("r = ") + formatG5(doc_.obsv.ROBS[0]);
    if (doc_.observationPointCount() > 1) r = r.trimmed();
    for (int l = 1; l < doc_.observationPointCount() && l < 4; ++l)
        r += QStringLiteral(", ") + formatG5(doc_.obsv.ROBS[l]).trimmed();
    items.append({0, 0, r});
    items.append({2, 0, QStringLiteral("T for fracture = ") + formatG5(TF)});
    items.append({3, 0, QStringLiteral("T for Matrix = ") + formatG5(TM)});
    items.append({4, 0, QStringLiteral("Total T = ") + formatG5(TF + TM)});
    items.append({6, 0, QStringLiteral("S for fracture = ") + formatG5(SF)});
    items.append({7, 0, QStringLiteral("S for Matrix = ") + formatG5(SM)});
    items.append({8, 0, QStringLiteral("Total S = ") + formatG5(SF + SM)});
    items.append({10, 0, QStringLiteral("Time:")});
    items.append({10, 1, QStringLiteral("Discharge:")});
    for (int j = 0; j < 20; ++j) {
        const float tq = doc_.pump.TQ[j];
        const float q = doc_.pump.Q[j];
        if (tq == 0.0f && q == 0.0f) continue;  // an unused step leaves its line empty
        items.append({11 + j, 0, formatG5(tq)});
        items.append({11 + j, 1, formatG5(q)});
    }
    return items;
}

QVector<DrawdownChart::TextItem> DrawdownChart::textBlockUnits() const {
    QVector<TextItem> items;
    if (textBlock().isEmpty()) return items;
    // The project's units after the values and above the schedule's headings.
    const QString length = unitOf(wf::doc::kDistanceUnits, doc_.units.IDIST);
    const QString transmissivity = transmissivityUnit(doc_.units.ICOND);
    items.append({0, 2, length});
    for (int row : {2, 3, 4}) items.append({row, 2, transmissivity});
    items.append({9, 0, QStringLiteral("(%1)").arg(unitOf(wf::doc::kTimeUnits, doc_.units.ITIN))});
    items.append({9, 1, QStringLiteral("(%1)").arg(unitOf(wf::doc::kDischargeUnits, doc_.units.IDISCH))});
    if (!fitNote_.isEmpty()) items.append({1, 0, fitNote_});
    return items;
}

void DrawdownChart::Chart1AfterDraw(QPainter& painter) {
    const QVector<TextItem> items = textBlock() + textBlockUnits();
    if (items.isEmpty()) return;
    painter.setFont(canvasFont());
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics fm(painter.font());
    const int h = fm.height();
    const QRectF plot = chart_->plotArea();
    const double x0 = textBlockLeft();
    const double x1 = x0 + 35.0;
    const double y0 = plot.top();
    QMap<std::pair<int, int>, double> ends;  // where the text of (row, column) ends
    for (const TextItem& item : items) {
        if (item.column > 1) continue;
        const double x = item.column == 0 ? x0 : x1;
        painter.drawText(QRectF(x, y0 + item.row * h, 400.0, h), Qt::AlignLeft | Qt::AlignTop, item.text);
        ends[{item.row, item.column}] = x + fm.horizontalAdvance(item.text.trimmed());
    }
    for (const TextItem& item : items) {
        if (item.column < 2) continue;
        const double x = ends.value({item.row, item.column - 2}, x0) + fm.horizontalAdvance(QLatin1Char(' '));
        painter.drawText(QRectF(x, y0 + item.row * h, 400.0, h), Qt::AlignLeft | Qt::AlignTop, item.text);
    }
}

QVector<AxisLabel> DrawdownChart::timeLabels() const { return timeAxisLabels(timeAxis_->min(), timeAxis_->max()); }

void DrawdownChart::paintAxisLabels(QPainter& painter) {
    const QRectF plot = chart_->plotArea();
    if (plot.isEmpty()) return;
    painter.setFont(labelFont());
    painter.setPen(Qt::black);
    const QFontMetrics fm(painter.font());
    // Time axis: numbers at the decades only, centred under their ticks.
    const double lmin = std::log10(timeAxis_->min());
    const double lmax = std::log10(timeAxis_->max());
    for (const AxisLabel& label : timeLabels()) {
        if (label.text.isEmpty() || lmax <= lmin) continue;
        const double x = plot.left() + (std::log10(label.value) - lmin) / (lmax - lmin) * plot.width();
        const double w = fm.horizontalAdvance(label.text);
        painter.drawText(QRectF(x - w / 2.0 - 2.0, plot.bottom() + 6.0, w + 4.0, fm.height()), Qt::AlignCenter,
                         label.text);
    }
    // Drawdown axis: the fixed ticks of the value axis in "# ##0.###".
    const int ticks = drawdownAxis_->tickCount();
    const double ymin = drawdownAxis_->min();
    const double ymax = drawdownAxis_->max();
    if (ticks < 2 || ymax <= ymin) return;
    for (int i = 0; i < ticks; ++i) {
        const double v = ymin + (ymax - ymin) * i / (ticks - 1);
        const double y = plot.bottom() - (v - ymin) / (ymax - ymin) * plot.height();
        const QString text = formatAxisLabel(v);
        painter.drawText(QRectF(plot.left() - 200.0 - 6.0, y - fm.height() / 2.0, 200.0, fm.height()),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    }
}

void DrawdownChart::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    guarded(this, QStringLiteral("Chart editor"), [this] { Chart1DblClick(); });
}

void DrawdownChart::Chart1DblClick() {
    ChartEditor editor(this, this);
    editor.exec();
    overlay_->update();
}

void DrawdownChart::renderPage(QPrinter* printer) {
    QPainter painter(printer);
    const QRectF page = printer->pageLayout().paintRectPixels(printer->resolution());
    const QRectF target(page.width() * 0.05, page.height() * 0.05, page.width() * 0.95, page.height() * 0.90);
    renderAll(painter, target, Qt::KeepAspectRatio);
}

bool DrawdownChart::exportPng(const QString& path) { return grab().save(path, "PNG"); }

bool DrawdownChart::exportSvg(const QString& path) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size());
    svg.setViewBox(rect());
    svg.setTitle(chart_->title());
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    renderAll(painter, QRectF(rect()), Qt::KeepAspectRatio);
    return painter.end();
}

bool DrawdownChart::exportPdf(const QString& path) {
    QPdfWriter pdf(path);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&pdf)) return false;
    const QRect page = painter.viewport();
    renderAll(painter, QRectF(page), Qt::KeepAspectRatio);
    return painter.end();
}

void DrawdownChart::copyToClipboard() { QApplication::clipboard()->setPixmap(grab()); }


// ---- Further observation points ----

namespace {

QString pointLabel(const wf::doc::ObservationPoint& p, int k, const std::string& borehole) {
    if (!p.name.empty()) return QString::fromStdString(p.name);
    if (k == 1 && !borehole.empty()) return QString::fromStdString(borehole);
    return QStringLiteral("Point %1").arg(k);
}

} // namespace

QScatterSeries* DrawdownChart::pointMeasured(int k) const { return furtherPointSeries(pointMeasured_, k); }

QLineSeries* DrawdownChart::pointFit(int k) const { return furtherPointSeries(pointFit_, k); }

void DrawdownChart::syncPointSeries() {
    const std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
    const std::size_t further = points.size() - 1;
    while (pointMeasured_.size() > further) {
        chart_->removeSeries(pointMeasured_.back());
        chart_->removeSeries(pointFit_.back());
        delete pointMeasured_.back();
        delete pointFit_.back();
        pointMeasured_.pop_back();
        pointFit_.pop_back();
    }
    while (pointMeasured_.size() < further) {
        const int k = static_cast<int>(pointMeasured_.size()) + 2;
        const PointStyle style = pointStyle(k);
        auto* m = new QScatterSeries;
        m->setObjectName(QStringLiteral("Series1_%1").arg(k));
        m->setMarkerShape(style.marker);
        m->setMarkerSize(8);
        auto* f = new QLineSeries;
        f->setObjectName(QStringLiteral("Series2_%1").arg(k));
        chart_->addSeries(m);
        chart_->addSeries(f);
        // After addSeries, which colours them by the chart's theme.
        m->setColor(style.colour);
        m->setBorderColor(style.colour);
        f->setPen(QPen(style.colour, 1.5));
        for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(m), static_cast<QAbstractSeries*>(f)}) {
            s->attachAxis(timeAxis_);
            s->attachAxis(drawdownAxis_);
        }
        pointMeasured_.push_back(m);
        pointFit_.push_back(f);
    }
    const bool several = further > 0;
    series1_->setName(several ? pointLabel(points[0], 1, doc_.boreholeName()) : QStringLiteral("S"));
    series2_->setName(several ? pointLabel(points[0], 1, doc_.boreholeName()) + QStringLiteral(" model")
                              : QStringLiteral("Model Fit"));
    for (std::size_t i = 0; i < further; ++i) {
        const QString name = pointLabel(points[i + 1], static_cast<int>(i) + 2, doc_.boreholeName());
        pointMeasured_[i]->setName(name);
        pointFit_[i]->setName(name + QStringLiteral(" model"));
    }
    chart_->legend()->setVisible(several);
    updateLegend();
    if (several) {
        chart_->legend()->setAlignment(Qt::AlignTop);
        // Measurements as their markers, model curves as lines.
        chart_->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
        chart_->legend()->setFont(labelFont());
    }
}

void DrawdownChart::clearPointSeries(bool measured, bool fit) {
    for (QScatterSeries* m : pointMeasured_)
        if (measured) m->clear();
    for (QLineSeries* f : pointFit_)
        if (fit) f->clear();
}

QString DrawdownChart::drawPointMeasurements(float& tmax) {
    const std::vector<wf::doc::ObservationPoint> points = doc_.observationPoints();
    for (std::size_t l = 1; l < points.size() && l - 1 < pointMeasured_.size(); ++l) {
        const wf::doc::ObservationPoint& p = points[l];
        for (std::size_t i = 0; i < p.times.size() && i < p.values.size(); ++i) {
            const QString t = QString::fromStdString(p.times[i]);
            const QString v = QString::fromStdString(p.values[i]);
            double time = 0.0, value = 0.0;
            if (!parseReal(t, time))
                return QStringLiteral("Observation point %1, point %2: the time '%3' is not a number")
                    .arg(l + 1)
                    .arg(i + 1)
                    .arg(t.trimmed());
            if (!parseReal(v, value))
                return QStringLiteral("Observation point %1, point %2: the value '%3' is not a number")
                    .arg(l + 1)
                    .arg(i + 1)
                    .arg(v.trimmed());
            if (time > 0.0) addSorted(pointMeasured_[l - 1], QPointF(time, value));
            if (static_cast<float>(time) > tmax) tmax = static_cast<float>(time);
        }
    }
    return QString();
}

QString DrawdownChart::drawPointFits(std::istream& in, int nobs, int count, float& tmax) {
    std::string line;
    const QString where = QString::fromLocal8Bit(doc_.filename.invName) + QStringLiteral(", line ");
    for (int k = 2; k <= nobs; ++k) {
        QLineSeries* f = pointFit(k);
        for (int i = 0; i < count; ++i) {
            if (!std::getline(in, line)) return QString();  // fewer rows than announced: draw those there are
            const QStringList w = words(line);
            double time = 0.0, drawdown = 0.0;
            // The rows of point k follow the header's two lines and the rows of the points before it.
            if (w.size() < 3 || !fortranReal(w[1], time) || !fortranReal(w[2], drawdown))
                return where + QString::number(2 + (k - 1) * count + i + 1) +
                       QStringLiteral(": time and drawdown expected (observation point %1)").arg(k);
            if (!f || time <= 0.0 || (haveMeasuredTime_ && time < firstMeasuredTime_)) continue;
            addSorted(f, QPointF(time, drawdown));
            if (static_cast<float>(time) > tmax) tmax = static_cast<float>(time);
        }
    }
    return QString();
}

} // namespace wf::ui
