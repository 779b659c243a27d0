// The log-log diagnostic view: the drawdown of every observation point and
// its Bourdet derivative on logarithmic axes, with the model's, as a
// pumping test is read for its flow regimes - the unit slope of wellbore
// storage at early time, the flat derivative of radial flow, the dip of the
// derivative in a double-porosity (fracture and matrix) aquifer.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include <QChartView>
#include <QDialog>
#include <QXYSeries>

class QLogValueAxis;
class QPrinter;

namespace wf::ui {

class DrawdownChart;

// The chart of the view, made from the drawdown chart's series (measured
// points and model curves of each point). Values that are not positive have
// no place on the logarithmic axes and are left out.
class LogLogChart : public QChartView {
    Q_OBJECT
public:
    explicit LogLogChart(QWidget* parent = nullptr);
    // Draws the curves of `source` anew.
    void takeFrom(const DrawdownChart& source);

    QLogValueAxis* timeAxis() const { return timeAxis_; }
    QLogValueAxis* valueAxis() const { return valueAxis_; }
    // The series by role: per point k (1..4) its drawdown, derivative, model
    // and model derivative (null when the point has none of it).
    QXYSeries* curve(int k, int role) const;
    enum Role { Drawdown = 0, Derivative = 1, Model = 2, ModelDerivative = 3 };

    void renderPage(QPrinter* printer);
    bool exportPng(const QString& path);

private:
    QChart* chart_;
    QLogValueAxis* timeAxis_;
    QLogValueAxis* valueAxis_;
    std::vector<std::array<QXYSeries*, 4>> curves_;
};

// "Log-log diagnostic" (View menu): the chart with Print, Export and Close.
class LogLogWindow : public QDialog {
    Q_OBJECT
public:
    explicit LogLogWindow(DrawdownChart* source, QWidget* parent = nullptr);
    LogLogChart* chart() const { return chart_; }
    // The export's file question; tests replace it. Empty: Cancel.
    std::function<QString()> chooseExportFile;

private:
    void print();
    void exportPicture();
    LogLogChart* chart_;
};

} // namespace wf::ui
