// The "Match" panel beside the chart: live curve matching by eye. One
// logarithmic slider and one number field per parameter, starting at the
// project's values; every move runs the project's model in memory on a
// worker thread (LiveRunner: the latest position wins) and the chart shows
// its curve, derivative and residuals, with the error estimate ("RMSE") of
// that curve on the panel.
//
// Nothing reaches the project until "Keep" (undoable) or "Fit from here";
// no side file is written by a slider move. The model runs only while the
// mesh and preparation files belong to the project; otherwise the panel
// names the run to make.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <QDockWidget>
#include <QString>

#include "live_runner.h"
#include "match_parameters.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QUndoStack;

namespace wf::ui {

class DrawdownChart;

// What Keep writes into the project: TF, TM, SF, SM and the well's skin
// factor and casing radius.
struct KeptValues {
    std::array<float, 4> pinit{};
    float skin = 0.0f, casingRadius = 0.0f;
    bool operator==(const KeptValues&) const = default;
};

class MatchPanel : public QDockWidget {
    Q_OBJECT
public:
    // Slider steps over the range of a parameter (four decades around its start).
    static constexpr int kSteps = 400;
    static constexpr double kDecadesEachSide = 2.0;

    MatchPanel(wf::doc::ProjectDocument& document, DrawdownChart* chart, QWidget* parent = nullptr);
    ~MatchPanel() override;

    // Reads the project again: its parameter list and values (the "fitted"
    // values "Back to fitted" returns to), and opens its model when the mesh
    // and preparation files belong to it. Called on showing the panel and
    // after every run of the program.
    void refresh();
    // After a command that may have changed the project: refresh when shown
    // and the project's records or run files are not those of the last refresh.
    void projectMayHaveChanged();

    // Why the model cannot run (empty: it can).
    QString problem() const { return problem_; }
    const std::vector<MatchParameter>& parameters() const { return params_; }
    const std::vector<double>& values() const { return values_; }
    const std::vector<double>& fittedValues() const { return fitted_; }
    // Sets parameter i as the field and slider would, and asks for a run.
    void setValue(std::size_t i, double value);
    // The slider and field of parameter i (null beyond the list).
    QSlider* slider(std::size_t i) const;
    QLineEdit* field(std::size_t i) const;

    // Slider position <-> value of parameter i on its logarithmic range.
    double valueAt(std::size_t i, int position) const;
    int positionOf(std::size_t i, double value) const;

    LiveRunner* runner() const { return runner_.get(); }
    QUndoStack* undoStack() const { return undo_; }
    // Curves the panel has drawn since it was made.
    int curvesDrawn() const { return drawn_; }
    double lastErrorEstimate() const { return lastS_; }
    QLabel* errorLabel() const { return rmse_; }
    QLabel* statusLabel() const { return status_; }

    // "Keep": the values into the project's parameters (one undoable step).
    void keep();
    // "Back to fitted".
    void backToFitted();

    // The main window's parts: the search started from values ("Fit from
    // here"), and the project's parameters changed by Keep or its undo.
    std::function<void(const std::vector<double>& values)> fitFromHere;
    std::function<void()> projectChanged;
    // The panel was closed: the chart's curve goes back to the project's.
    std::function<void()> restoreChart;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Row {
        QSlider* slider = nullptr;
        QLineEdit* field = nullptr;
        double low = 1.0, high = 1.0;  // range of the slider
    };
    void buildRows();
    void centre(std::size_t i, double value);
    void showValue(std::size_t i);
    void requestRun();
    void curveArrived(const LiveResult& r);
    QByteArray projectKey() const;

    wf::doc::ProjectDocument& doc_;
    DrawdownChart* chart_;
    wf::doc::ProjectDocument snapshot_;  // the records the open model was made from
    std::vector<MatchParameter> params_;
    std::vector<double> values_, fitted_;
    KeptValues fittedKept_{};
    std::vector<Row> rows_;
    QWidget* rowsBox_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* rmse_ = nullptr;
    QPushButton* fit_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* keep_ = nullptr;
    QUndoStack* undo_ = nullptr;
    std::unique_ptr<LiveSession> session_;
    std::unique_ptr<LiveRunner> runner_;
    QString problem_;
    QByteArray key_;
    int drawn_ = 0;
    double lastS_ = 0.0;
    bool updating_ = false;  // widgets being set from values_, not by the user
};

} // namespace wf::ui
