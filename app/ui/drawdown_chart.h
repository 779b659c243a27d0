// Chart1: measured drawdowns ("S", red circles) and the model fit ("Model Fit",
// black line) against logarithmic time, with the observation distance, the
// aquifer parameters and the pumping schedule in a text block to the right.
// Two diagnostic plots can be switched on: the Bourdet derivative of the
// measurements and of the model curve on a right-hand axis, and a panel of
// residuals below the chart. While both are off the chart is as in the standard program.
// A project of several observation points draws each further point's
// measurements and model curve in its own colour and marker, with a legend
// naming the points, and the text block lists every point's distance; the
// derivative and the residuals are then drawn for every point, in its colours.
#pragma once

#include <QChartView>
#include <QString>

#include <array>
#include <istream>
#include <optional>
#include <vector>

#include "document/project_document.h"
#include "bourdet.h"
#include "time_axis.h"

class QChart;
class QScatterSeries;
class QLineSeries;
class QLogValueAxis;
class QValueAxis;
class QPainter;
class QPrinter;
class QAction;
class QContextMenuEvent;
class QMenu;

namespace wf::ui {

class ChartOverlay;
class ResidualPanel;

class DrawdownChart : public QChartView {
    Q_OBJECT
public:
    explicit DrawdownChart(const wf::doc::ProjectDocument& document, QWidget* parent = nullptr);

    // Adds the document's measured points with a positive time to series 1
    // (the logarithmic axis has no place for the others, which stay in the
    // document), sets the title to the borehole name and the time range. Returns the message of a point that is
    // not a number (the points before it stay), empty on success.
    QString DrawDrawdown();
    // Adds the model curve of the simulation file (invName) to series 2, from
    // the first measured time on (rows at time 0 or before left out), and sets
    // the time range again. A missing file
    // draws nothing. Returns the message of an unreadable row, empty on success.
    QString DrawFit();

    // A model curve made in memory (live matching) in place of the simulation
    // file's: records of every point's time levels one after another (times
    // in the input-time unit), drawn by the rules of DrawFit, with the
    // parameters tf_tm_sf_sm in the text block. Derivative and residuals follow.
    void showLiveCurve(int points, int levels, const std::vector<double>& times,
                       const std::vector<double>& drawdowns, const std::array<float, 4>& parameters);
    // The curve on the chart was made in memory, not read from the simulation file.
    bool liveCurveShown() const { return liveCurve_; }

    void clearSeries();
    void clearMeasured();
    void clearFit();
    void clearTitle();

    // The model curve on the chart was made with these TF, TM, SF, SM (the
    // document's when the curve was drawn); the text block shows them, so
    // that curve and values always belong together. Empty without a curve.
    const std::optional<std::array<float, 4>>& curveParameters() const { return curveParameters_; }
    // A note in the text block instead of the curve (empty: none), as when
    // the curve of the simulation file was made by a later, unsaved run.
    void setFitNote(const QString& note);
    QString fitNote() const { return fitNote_; }

    // The visible range of the time axis: timeAxisLower of the earliest
    // reading drawn to timeAxisUpper(tmax).
    void setTimeRange(float tmax);

    // Text block after every repaint: draws onto the chart's canvas.
    void Chart1AfterDraw(QPainter& painter);
    // The lines of the text block as (row k, column 0 at x / 1 at x + 35) and
    // text; column 2 is a unit written after the text of column 0 of the
    // same row.
    struct TextItem {
        int row;
        int column;
        QString text;
    };
    QVector<TextItem> textBlock() const;
    // Drawn with it: the units (column 2: after the text of column 0 of the
    // same row; the schedule's units in the free row 9) and the note of a
    // curve left off (row 1).
    QVector<TextItem> textBlockUnits() const;
    // The labels written under the time axis (ticks without text included).
    QVector<AxisLabel> timeLabels() const;

    // Chart1DblClick: the chart editor dialog.
    void Chart1DblClick();

    // Renders the chart into a printer page: margins 5 % left, 5 % top, 0 %
    // right and 5 % bottom.
    void renderPage(QPrinter* printer);
    // Picture export; false when the file cannot be written.
    bool exportPng(const QString& path);
    bool exportSvg(const QString& path);
    bool exportPdf(const QString& path);
    void copyToClipboard();
    // The chart and, when shown, the residual panel below it, into target
    // (print, picture export). With the panel off: the chart's own render.
    void renderAll(QPainter& painter, const QRectF& target, Qt::AspectRatioMode mode);

    // ---- Diagnostic plots ----
    // The checkable "Derivative" and "Residuals" commands (View menu and the
    // chart's context menu share them).
    QAction* derivativeAction() const { return derivativeAction_; }
    QAction* residualsAction() const { return residualsAction_; }
    void setDerivativeShown(bool on);
    void setResidualsShown(bool on);
    bool derivativeShown() const;
    bool residualsShown() const;
    // Smoothing distance of the derivative in log cycles (default 0.2).
    void setDerivativeDistance(double logCycles);
    // Computes the shown diagnostic curves again from series 1 and 2.
    void refreshDiagnostics();
    // The derivative series and axis exist only while the derivative is shown.
    QScatterSeries* measuredDerivative() const { return series3_; }
    QLineSeries* fitDerivative() const { return series4_; }
    QValueAxis* derivativeAxis() const { return derivativeAxis_; }
    ResidualPanel* residualPanel() const { return residuals_; }
    // The chart's context menu (the two diagnostic commands).
    QMenu* contextMenu() const { return contextMenu_; }

    // Further observation points (k = 2..4): their measured and model series,
    // null when the project has fewer points.
    QScatterSeries* pointMeasured(int k) const;
    QLineSeries* pointFit(int k) const;
    // Their measured and model derivatives while the derivative is shown (null
    // otherwise): the point's marker open and its colour, the model dashed.
    QScatterSeries* pointMeasuredDerivative(int k) const;
    QLineSeries* pointFitDerivative(int k) const;

    QChart* chartObject() const { return chart_; }
    QScatterSeries* measured() const { return series1_; }
    QLineSeries* fit() const { return series2_; }
    QLogValueAxis* timeAxis() const { return timeAxis_; }
    QValueAxis* drawdownAxis() const { return drawdownAxis_; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    friend class ChartOverlay;
    void paintAxisLabels(QPainter& painter);
    void updateMargins();
    void updateDrawdownRange();
    // Chart above, residual panel below (when shown), inside the view.
    void layoutPanels();
    int chartHeight() const;
    // Where the text block starts: right of the plot, and right of the
    // derivative axis when that is shown.
    double textBlockLeft() const;
    void alignResidualPanel();
    void createDiagnostics();
    void updateDerivativeRange();
    // Derivative series of the further points as many as there are further
    // point series; with several points every point's derivative in that
    // point's colour (one point: the standard blue derivative).
    void syncPointDerivatives();
    void removePointDerivatives(std::size_t keep);
    // Series of the further points as many as the project has; names and
    // legend follow the number of points (one point: the standard chart).
    void syncPointSeries();
    // The legend of several points: one entry per point, and its model entry
    // once a curve of it is drawn; the derivatives go by the points' colours.
    void updateLegend();
    // Axis titles with the project's units.
    void updateAxisTitles();
    void clearPointSeries(bool measured, bool fit);
    QString drawPointMeasurements(float& tmax);
    // The further nodes' series of the simulation file after the first node's;
    // returns the message of an unreadable row (file and line named), as for
    // the first node's rows.
    QString drawPointFits(std::istream& in, int nobs, int count, float& tmax);

    // Ticks the drawdown axis starts from before nice numbers are applied.
    static constexpr int kDrawdownTicks = 5;

    const wf::doc::ProjectDocument& doc_;
    // The smallest measured time of the points drawn (also when it is 0 or
    // negative and so not on the logarithmic axis): the model curve starts there.
    double firstMeasuredTime_ = 0.0;
    bool haveMeasuredTime_ = false;
    std::optional<std::array<float, 4>> curveParameters_;
    bool liveCurve_ = false;
    QString fitNote_;
    // The smallest and largest positive measured times on the axis (0: none).
    double smallestShownTime_ = 0.0;
    float largestShownTime_ = 0.0f;
    QChart* chart_ = nullptr;
    QScatterSeries* series1_ = nullptr;
    QLineSeries* series2_ = nullptr;
    QLogValueAxis* timeAxis_ = nullptr;
    QValueAxis* drawdownAxis_ = nullptr;
    ChartOverlay* overlay_ = nullptr;

    QAction* derivativeAction_ = nullptr;
    QAction* residualsAction_ = nullptr;
    QScatterSeries* series3_ = nullptr;
    QLineSeries* series4_ = nullptr;
    QValueAxis* derivativeAxis_ = nullptr;
    ResidualPanel* residuals_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    double derivativeDistance_ = kBourdetDistance;
    std::vector<QScatterSeries*> pointMeasured_;  // points 2..4
    std::vector<QLineSeries*> pointFit_;
    std::vector<QScatterSeries*> pointMeasuredDerivative_;  // points 2..4, while the derivative is shown
    std::vector<QLineSeries*> pointFitDerivative_;
};

// The chart's text font and the canvas font of the text block.
QFont chartTitleFont();
QFont axisTitleFont();

} // namespace wf::ui
