// The diagnostic views of a project of several observation points: every
// point's derivative and residuals in its own colours, nothing left over when
// the views or the points change; and the mesh dialog of several points.
#include <cmath>
#include <vector>

#include <QChart>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>

#include "drawdown_chart.h"
#include "residual_panel.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

// Point 1 "PB10" (fracture, 10 m): 0.2 + 0.3 ln t + 0.01 sin i at five times a
// decade from 1 to 1000. Point 2 "PB50" (matrix, 50 m): 0.05 + 0.4 ln t +
// 0.02 cos i at its own times, four a decade from 1.5 on. The model curves of
// the simulation file are the same lines without the ripple, so that the
// residuals are the ripples and the model derivatives 0.3 and 0.4 exactly
// (the residuals interpolate linearly in log time, which is exact for a line
// in ln t; the Bourdet derivative of a line in ln t is its slope).
double model1(double t) { return 0.2 + 0.3 * std::log(t); }
double model2(double t) { return 0.05 + 0.4 * std::log(t); }
double time1(int i) { return std::pow(10.0, i / 5.0); }
double time2(int i) { return 1.5 * std::pow(10.0, i / 4.0); }

std::string text(double v) { return QString::number(v, 'g', 10).toStdString(); }

class PointDiagnosticsTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("PD.wft");
        first = doc.observationPoints()[0];
        first.name = "PB10";
        first.distance = 10.0f;
        for (int i = 0; i <= 15; ++i) {
            first.times.push_back(text(time1(i)));
            first.values.push_back(text(model1(time1(i)) + 0.01 * std::sin(i)));
        }
        second.name = "PB50";
        second.distance = 50.0f;
        second.position = 2;
        for (int i = 0; i <= 11; ++i) {
            second.times.push_back(text(time2(i)));
            second.values.push_back(text(model2(time2(i)) + 0.02 * std::cos(i)));
        }
        ASSERT_TRUE(doc.setObservationPoints({first, second}).ok());
        QByteArray inv = " 2 31\n     Node:     30   193\n";
        for (int node = 0; node < 2; ++node)
            for (int i = 0; i <= 30; ++i) {
                const double t = std::pow(10.0, i / 10.0);
                inv += (node ? " 193 " : " 30 ") + QByteArray::number(t, 'g', 10) + " " +
                       QByteArray::number(node ? model2(t) : model1(t), 'g', 12) + "\n";
            }
        QFile f(path(QStringLiteral("PD.INV")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(inv);
    }
    void draw(wf::ui::DrawdownChart& chart) {
        chart.clearSeries();
        ASSERT_TRUE(chart.DrawDrawdown().isEmpty());
        ASSERT_TRUE(chart.DrawFit().isEmpty());
        pump(30);
    }
    // The removed series go with deferred deletes, which only an event loop carries out.
    static void settle() {
        pump(30);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        pump(20);
    }
    static QStringList seriesNames(const QChart* chart) {
        QStringList names;
        for (const QAbstractSeries* s : chart->series()) names << s->objectName();
        return names;
    }
    wf::doc::ProjectDocument doc;
    wf::doc::ObservationPoint first, second;
};

TEST_F(PointDiagnosticsTest, EveryPointHasItsDerivativeAndResidualsInItsColours) {
    wf::ui::DrawdownChart chart(doc);
    chart.resize(900, 600);
    chart.show();
    draw(chart);
    chart.setDerivativeShown(true);
    chart.setResidualsShown(true);
    pump(30);

    // Derivative: one measured and one model series per point.
    EXPECT_EQ(seriesNames(chart.chartObject()),
              (QStringList{"Series1", "Series2", "Series1_2", "Series2_2", "Series3", "Series4", "Series3_2",
                           "Series4_2"}));
    QScatterSeries* d2 = chart.pointMeasuredDerivative(2);
    QLineSeries* f2 = chart.pointFitDerivative(2);
    ASSERT_NE(d2, nullptr);
    ASSERT_NE(f2, nullptr);
    EXPECT_EQ(chart.pointMeasuredDerivative(3), nullptr);
    EXPECT_EQ(chart.pointMeasuredDerivative(1), nullptr);
    EXPECT_EQ(d2->count(), 12);
    ASSERT_EQ(f2->count(), 31);
    for (const QPointF& p : f2->points()) EXPECT_NEAR(p.y(), 0.4, 1e-6) << p.x();  // point 2's own model
    for (const QPointF& p : chart.fitDerivative()->points()) EXPECT_NEAR(p.y(), 0.3, 1e-6) << p.x();
    for (const QPointF& p : d2->points()) EXPECT_NEAR(p.y(), 0.4, 0.1) << p.x();
    EXPECT_GE(chart.derivativeAxis()->max(), 0.4);  // the axis covers every point
    for (QAbstractSeries* s : {static_cast<QAbstractSeries*>(d2), static_cast<QAbstractSeries*>(f2)})
        EXPECT_EQ(s->attachedAxes().back(), chart.derivativeAxis());
    // In point 2's colour and marker (open), the model derivative dashed in it.
    EXPECT_EQ(d2->borderColor(), chart.pointMeasured(2)->color());
    EXPECT_EQ(d2->markerShape(), chart.pointMeasured(2)->markerShape());
    EXPECT_NE(d2->color(), chart.pointMeasured(2)->color());
    EXPECT_EQ(f2->pen().color(), chart.pointFit(2)->pen().color());
    EXPECT_EQ(f2->pen().style(), Qt::DashLine);
    // Point 1's derivative in point 1's colours, so that no point's derivative
    // looks like another point's measurements.
    EXPECT_EQ(chart.measuredDerivative()->borderColor(), chart.measured()->color());
    EXPECT_EQ(chart.measuredDerivative()->markerShape(), chart.measured()->markerShape());
    EXPECT_EQ(chart.fitDerivative()->pen().color(), chart.fit()->pen().color());
    EXPECT_EQ(chart.measuredDerivative()->name(), QStringLiteral("PB10 ds/dln t"));
    EXPECT_EQ(d2->name(), QStringLiteral("PB50 ds/dln t"));
    // The legend names the measured derivatives; the dashed model derivatives have no entries.
    auto entryShown = [&](QAbstractSeries* s) {
        return chart.chartObject()->legend()->markers(s).front()->isVisible();
    };
    EXPECT_TRUE(entryShown(d2));
    EXPECT_FALSE(entryShown(f2));
    EXPECT_FALSE(entryShown(chart.fitDerivative()));

    // Residuals: each point against its own model curve.
    wf::ui::ResidualPanel* panel = chart.residualPanel();
    ASSERT_NE(panel, nullptr);
    QScatterSeries* r2 = panel->pointResiduals(2);
    ASSERT_NE(r2, nullptr);
    EXPECT_EQ(panel->pointResiduals(3), nullptr);
    EXPECT_EQ(r2->objectName(), QStringLiteral("Residuals_2"));
    EXPECT_EQ(r2->points(), wf::ui::drawdownResiduals(chart.pointMeasured(2)->points(), chart.pointFit(2)->points()));
    EXPECT_EQ(panel->residuals()->points(),
              wf::ui::drawdownResiduals(chart.measured()->points(), chart.fit()->points()));
    ASSERT_EQ(r2->count(), 12);
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(r2->at(i).y(), 0.02 * std::cos(i), 1e-6) << i;
    ASSERT_EQ(panel->residuals()->count(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(panel->residuals()->at(i).y(), 0.01 * std::sin(i), 1e-6) << i;
    EXPECT_EQ(r2->color(), chart.pointMeasured(2)->color());
    EXPECT_EQ(r2->markerShape(), chart.pointMeasured(2)->markerShape());
    EXPECT_EQ(r2->attachedAxes().back(), panel->residualAxis());
    // The value axis covers point 2's larger residuals (0.02 at i = 0), not only point 1's.
    EXPECT_GE(panel->residualAxis()->max(), 0.02);
    EXPECT_LE(panel->residualAxis()->min(), -0.02 * std::fabs(std::cos(3)));

    // Switched off, the further series go with the standard ones.
    chart.setDerivativeShown(false);
    chart.setResidualsShown(false);
    settle();
    EXPECT_EQ(seriesNames(chart.chartObject()), (QStringList{"Series1", "Series2", "Series1_2", "Series2_2"}));
    EXPECT_EQ(chart.pointMeasuredDerivative(2), nullptr);
    EXPECT_EQ(chart.pointFitDerivative(2), nullptr);
    EXPECT_EQ(chart.residualPanel(), nullptr);
}

TEST_F(PointDiagnosticsTest, ChangingPointsAndViewsLeavesNoStaleSeries) {
    wf::ui::DrawdownChart chart(doc);
    chart.resize(900, 600);
    chart.show();
    draw(chart);
    chart.setDerivativeShown(true);
    chart.setResidualsShown(true);
    // A cleared fit empties every model derivative and leaves no residuals.
    chart.clearFit();
    EXPECT_EQ(chart.pointFitDerivative(2)->count(), 0);
    EXPECT_EQ(chart.residualPanel()->pointResiduals(2)->count(), 0);
    EXPECT_EQ(chart.residualPanel()->residuals()->count(), 0);
    chart.DrawFit();
    EXPECT_EQ(chart.pointFitDerivative(2)->count(), 31);
    EXPECT_EQ(chart.residualPanel()->pointResiduals(2)->count(), 12);

    // A project of one point (as opening one after this): the standard views.
    ASSERT_TRUE(doc.setObservationPoints({first}).ok());
    draw(chart);
    settle();
    EXPECT_EQ(seriesNames(chart.chartObject()), (QStringList{"Series1", "Series2", "Series3", "Series4"}));
    EXPECT_EQ(chart.pointMeasuredDerivative(2), nullptr);
    EXPECT_EQ(chart.residualPanel()->pointResiduals(2), nullptr);
    EXPECT_EQ(chart.residualPanel()->chartObject()->series().size(), 2);  // zero line and "Residuals"
    const QColor blue(0, 70, 200);
    EXPECT_EQ(chart.measuredDerivative()->color(), blue);
    EXPECT_EQ(chart.measuredDerivative()->borderColor(), blue);
    EXPECT_EQ(chart.measuredDerivative()->markerShape(), QScatterSeries::MarkerShapeRectangle);
    EXPECT_EQ(chart.measuredDerivative()->markerSize(), 6.0);
    EXPECT_EQ(chart.measuredDerivative()->name(), QStringLiteral("dS/dln t"));
    EXPECT_EQ(chart.fitDerivative()->name(), QStringLiteral("Model derivative"));
    EXPECT_EQ(chart.fitDerivative()->pen().color(), blue);
    EXPECT_EQ(chart.derivativeAxis()->labelsColor(), blue);
    EXPECT_EQ(chart.residualPanel()->residuals()->color(), QColor(Qt::red));

    // A point added while the views are on: its series appear, in its colours.
    ASSERT_TRUE(doc.setObservationPoints({first, second}).ok());
    draw(chart);
    ASSERT_NE(chart.pointMeasuredDerivative(2), nullptr);
    EXPECT_EQ(chart.pointMeasuredDerivative(2)->count(), 12);
    EXPECT_EQ(chart.pointMeasuredDerivative(2)->borderColor(), chart.pointMeasured(2)->color());
    ASSERT_NE(chart.residualPanel()->pointResiduals(2), nullptr);
    EXPECT_EQ(chart.residualPanel()->pointResiduals(2)->count(), 12);
    EXPECT_EQ(chart.derivativeAxis()->labelsColor(), QColor(Qt::black));
    // Switched off and on again: one set of series, not two.
    chart.setDerivativeShown(false);
    chart.setDerivativeShown(true);
    settle();
    EXPECT_EQ(seriesNames(chart.chartObject()).count(QStringLiteral("Series3_2")), 1);
    EXPECT_EQ(chart.chartObject()->series().size(), 8);
}

// The mesh dialog of two points: the second one listed, the first one edited;
// OK sorts the points when the first one moved past the second.
class MeshPointsTest : public NewProjectTest {
protected:
    void SetUp() override {
        NewProjectTest::SetUp();
        wf::doc::ObservationPoint a = doc.observationPoints()[0], b;
        a.name = "PB10";
        a.distance = 10.0f;
        a.times = {"0", "10"};
        a.values = {"0", "0.5"};
        b.name = "PB50";
        b.distance = 50.0f;
        b.position = 2;
        b.times = {"0", "20"};
        b.values = {"0", "0.1"};
        ASSERT_TRUE(doc.setObservationPoints({a, b}).ok());
    }
};

TEST_F(MeshPointsTest, FirstPointMovedPastTheSecondIsSortedWithANote) {
    BoxCatcher boxes;
    QString listed;
    onDialog([&](QWidget* w) {
        auto* label = w->findChild<QLabel*>(QStringLiteral("lbFurtherPoints"));
        ASSERT_NE(label, nullptr);
        listed = label->text();
        EXPECT_EQ(edit(w, "edObserveDist")->text(), QStringLiteral("10"));
        edit(w, "edObserveDist")->setText(QStringLiteral("80"));
        clickOk(w);
    });
    window->Mesh1Click();
    EXPECT_EQ(listed, QStringLiteral("2: PB50, 50 m, matrix"));
    ASSERT_FALSE(boxes.boxes().isEmpty());
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Observation points sorted by distance, as the mesh needs them: "
                                               "\"PB50\" (50), \"PB10\" (80)"));
    EXPECT_EQ(boxes.boxes()[0].parent, window.get());
    const std::vector<wf::doc::ObservationPoint> points = doc.observationPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].name, "PB50");
    EXPECT_EQ(points[0].distance, 50.0f);
    EXPECT_EQ(points[0].position, 2);
    EXPECT_EQ(points[1].name, "PB10");
    EXPECT_EQ(points[1].distance, 80.0f);
    EXPECT_EQ(points[1].times, (std::vector<std::string>{"0", "10"}));  // each point keeps its data
}

TEST_F(MeshPointsTest, ADistanceOfAnotherPointOrBeyondTheBoundaryIsRefused) {
    BoxCatcher boxes;
    onDialog([&](QWidget* w) {
        edit(w, "edObserveDist")->setText(QStringLiteral("50"));
        clickOk(w);
        EXPECT_TRUE(w->isVisible());
        edit(w, "edObserveDist")->setText(QStringLiteral("10"));
        edit(w, "edDistance")->setText(QStringLiteral("40"));
        clickOk(w);
        EXPECT_TRUE(w->isVisible());
        w->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    window->Mesh1Click();
    EXPECT_EQ(boxes.texts(),
              (QStringList{QStringLiteral("Observation distance: \"50\" must differ from the distance of observation "
                                          "point 2 (50)"),
                           QStringLiteral("Distance to the opposite boundary: \"40\" must be above the distance of "
                                          "observation point 2 (50)")}));
    EXPECT_EQ(doc.obsv.ROBS[0], 10.0f);  // nothing stored
    EXPECT_EQ(doc.mesh.RMAX, 1024.0f);
    EXPECT_FALSE(exists(QStringLiteral("DEMO.FEM")));
}

} // namespace
} // namespace wf::uitest
