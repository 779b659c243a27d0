// The chart editor opened by a double-click on the chart: titles, axis ranges,
// series colours and the point style of the measured drawdowns.
#pragma once

#include <QColor>
#include <QDialog>

class QLineEdit;
class QComboBox;
class QSpinBox;
class QPushButton;

namespace wf::ui {

class DrawdownChart;

class ChartEditor : public QDialog {
    Q_OBJECT
public:
    ChartEditor(DrawdownChart* chart, QWidget* parent = nullptr);

    // OK: applies the fields to the chart; a field that is not a number is named
    // in an error box and nothing is applied.
    void accept() override;

private:
    void pickColour(QPushButton* button, QColor& colour);

    DrawdownChart* chart_;
    QLineEdit* edTitle_;
    QLineEdit* edTimeTitle_;
    QLineEdit* edDrawdownTitle_;
    QLineEdit* edTimeMin_;
    QLineEdit* edTimeMax_;
    QLineEdit* edDrawdownMin_;
    QLineEdit* edDrawdownMax_;
    QComboBox* cbPointStyle_;
    QSpinBox* sePointSize_;
    QPushButton* btnPointColour_;
    QPushButton* btnLineColour_;
    QColor pointColour_;
    QColor lineColour_;
};

} // namespace wf::ui
