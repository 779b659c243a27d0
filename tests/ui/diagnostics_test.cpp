// The diagnostic plots: the Bourdet derivative (pure function and the chart's
// right-hand series), the residual panel, and the chart left as it is while
// both are off.
#include <cmath>
#include <vector>

#include <QAction>
#include <QChart>
#include <QFile>
#include <QImage>
#include <QCoreApplication>
#include <QLineSeries>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>

#include "bourdet.h"
#include "drawdown_chart.h"
#include "residual_panel.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

// The Theis well function W(u) = -gamma - ln u + sum_{n>=1} (-1)^(n+1) u^n / (n n!)
// (Theis 1935; the series of the exponential integral E1, Abramowitz & Stegun 5.1.11).
double theisW(double u) {
    double sum = -0.5772156649015329 - std::log(u);
    double term = 1.0;
    for (int n = 1; n < 60; ++n) {
        term *= -u / n;                 // (-u)^n / n!
        sum -= term / n;                // + (-1)^(n+1) u^n / (n n!)
        if (std::fabs(term) < 1e-17) break;
    }
    return sum;
}

TEST(BourdetDerivative, TheisCurveIsFlatAtLateTimeAtQOver4PiT) {
    // Theis drawdown s = Q / (4 pi T) W(r^2 S / (4 T t)); the late-time
    // derivative ds/dln t = Q / (4 pi T) exp(-u) tends to Q / (4 pi T).
    const double Q = 500.0, T = 400.0, S = 2e-4, r = 30.0;  // m3/day, m2/day, -, m
    const double level = Q / (4.0 * M_PI * T);
    std::vector<double> t, s;
    for (int i = 0; i <= 60; ++i) {  // 1e-5 to 1 day, ten points a log cycle
        t.push_back(1e-5 * std::pow(10.0, i / 10.0));
        s.push_back(level * theisW(r * r * S / (4.0 * T * t.back())));
    }
    const std::vector<wf::ui::DerivativePoint> d = wf::ui::bourdetDerivative(t, s);
    ASSERT_EQ(d.size(), t.size());
    int late = 0;
    for (const wf::ui::DerivativePoint& p : d) {
        if (r * r * S / (4.0 * T * p.time) > 0.01) continue;  // late time: u <= 0.01
        EXPECT_NEAR(p.derivative, level, 0.02 * level) << "t = " << p.time;
        ++late;
    }
    EXPECT_GE(late, 15);  // the end point included
    // Early time is not flat: the derivative is still rising there.
    EXPECT_LT(d[5].derivative, 0.5 * level);
}

TEST(BourdetDerivative, NeighboursAreTheFirstPointsAtTheSmoothingDistance) {
    // s = (ln t)^2; L = 0.2 log cycles is a time ratio of 10^0.2 = 1.585.
    const std::vector<double> t = {1.0, 1.2, 2.0, 3.0, 10.0};
    std::vector<double> s;
    for (double x : t) s.push_back(std::log(x) * std::log(x));
    const std::vector<wf::ui::DerivativePoint> d = wf::ui::bourdetDerivative(t, s, 0.2);
    ASSERT_EQ(d.size(), 5u);
    // Point t = 2: left neighbour 1.2 (ratio 1.67; 2/1.2 >= 1.585), right
    // neighbour 10 (3/2 = 1.5 is too close). By hand: dl = ln(2/1.2) = 0.510826,
    // dr = ln 5 = 1.609438, slopes (0.480453 - 0.033241)/0.510826 = 0.875469 and
    // (5.301898 - 0.480453)/1.609438 = 2.995732; weighted 1.386294 (= 2 ln 2,
    // the exact slope: the weighted formula is exact for a parabola in ln t).
    EXPECT_NEAR(d[2].derivative, 1.386294, 1e-5);
    EXPECT_EQ(d[2].time, 2.0);
    // The first point has no left neighbour: the one-sided slope to 2 (1.2 is too close).
    EXPECT_NEAR(d[0].derivative, (s[2] - s[0]) / std::log(2.0), 1e-12);
    // The last point: nothing far enough to its left before 3? 10/3 >= 1.585: slope to 3.
    EXPECT_NEAR(d[4].derivative, (s[4] - s[3]) / std::log(10.0 / 3.0), 1e-12);
}

TEST(BourdetDerivative, StraightLineInLogTimeAndUnusablePoints) {
    // s = 0.3 + 0.25 ln t has the derivative 0.25 everywhere, end points included.
    std::vector<double> t = {0.0, 1.0, 2.0, 2.0, 5.0, 11.0, 40.0, 90.0};
    std::vector<double> s;
    for (double x : t) s.push_back(x > 0 ? 0.3 + 0.25 * std::log(x) : 0.0);
    const std::vector<wf::ui::DerivativePoint> d = wf::ui::bourdetDerivative(t, s);
    ASSERT_EQ(d.size(), 6u);  // time 0 and the repeated time 2 are left out
    for (const auto& p : d) EXPECT_NEAR(p.derivative, 0.25, 1e-12) << p.time;
    EXPECT_TRUE(wf::ui::bourdetDerivative({1.0}, {0.5}).empty());
}

TEST(Residuals, MeasuredMinusTheModelInterpolatedInLogTime) {
    const QVector<QPointF> model = {{1.0, 0.1}, {10.0, 1.1}, {100.0, 2.1}};
    const QVector<QPointF> measured = {{0.5, 0.0}, {1.0, 0.15}, {std::sqrt(10.0), 0.5}, {100.0, 2.0}, {200.0, 3.0}};
    const QVector<QPointF> r = wf::ui::drawdownResiduals(measured, model);
    ASSERT_EQ(r.size(), 3);  // 0.5 and 200 lie outside the model curve
    EXPECT_NEAR(r[0].y(), 0.05, 1e-12);
    EXPECT_NEAR(r[1].y(), 0.5 - 0.6, 1e-12);  // halfway in log time between 0.1 and 1.1
    EXPECT_NEAR(r[2].y(), -0.1, 1e-12);
}

class DiagnosticsTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("DEMO.wft");
        std::vector<std::string> t, v;
        for (int i = 0; i <= 15; ++i) {
            const double time = std::pow(10.0, i / 5.0);
            t.push_back(QString::number(time, 'g', 8).toStdString());
            v.push_back(QString::number(0.2 + 0.3 * std::log(time) + 0.01 * std::sin(i), 'g', 8).toStdString());
        }
        ASSERT_TRUE(doc.acceptTestData("BH 7", t, v).ok());
        QByteArray inv = " 1 16\n     Node:     22\n";
        for (int i = 0; i <= 15; ++i) {
            const double time = std::pow(10.0, i / 5.0);
            inv += " 22 " + QByteArray::number(time, 'g', 8) + " " +
                   QByteArray::number(0.2 + 0.3 * std::log(time), 'g', 10) + "\n";
        }
        QFile f(path(QStringLiteral("DEMO.INV")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(inv);
    }
    // The chart's removed items go with deferred deletes, which only an event
    // loop carries out; the tests run none.
    static void settle() {
        pump(50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        pump(20);
    }
    void draw(wf::ui::DrawdownChart& chart) {
        chart.resize(800, 500);
        chart.show();
        ASSERT_TRUE(chart.DrawDrawdown().isEmpty());
        ASSERT_TRUE(chart.DrawFit().isEmpty());
        pump(50);
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(DiagnosticsTest, DerivativeToggleAddsAndRemovesTheSeriesAndTheRightAxis) {
    wf::ui::DrawdownChart chart(doc);
    draw(chart);
    EXPECT_EQ(chart.chartObject()->series().size(), 2);
    EXPECT_EQ(chart.chartObject()->axes().size(), 2);
    EXPECT_EQ(chart.measuredDerivative(), nullptr);

    chart.derivativeAction()->trigger();
    ASSERT_TRUE(chart.derivativeShown());
    EXPECT_EQ(chart.chartObject()->series().size(), 4);
    ASSERT_NE(chart.derivativeAxis(), nullptr);
    EXPECT_EQ(chart.chartObject()->axes(Qt::Vertical).size(), 2);
    EXPECT_TRUE(chart.derivativeAxis()->alignment() == Qt::AlignRight);
    // Measurements along 0.2 + 0.3 ln t with a small ripple, model exactly on it.
    ASSERT_EQ(chart.measuredDerivative()->count(), 16);
    ASSERT_EQ(chart.fitDerivative()->count(), 16);
    for (const QPointF& p : chart.fitDerivative()->points()) EXPECT_NEAR(p.y(), 0.3, 1e-6);
    for (const QPointF& p : chart.measuredDerivative()->points()) EXPECT_NEAR(p.y(), 0.3, 0.06);
    EXPECT_LE(chart.derivativeAxis()->min(), 0.0);
    EXPECT_GE(chart.derivativeAxis()->max(), 0.3);

    // A new model curve is differentiated again.
    chart.clearFit();
    EXPECT_EQ(chart.fitDerivative()->count(), 0);
    chart.DrawFit();
    EXPECT_EQ(chart.fitDerivative()->count(), 16);

    chart.derivativeAction()->trigger();
    EXPECT_FALSE(chart.derivativeShown());
    EXPECT_EQ(chart.chartObject()->series().size(), 2);
    EXPECT_EQ(chart.chartObject()->axes().size(), 2);
    EXPECT_EQ(chart.measuredDerivative(), nullptr);
}

TEST_F(DiagnosticsTest, ResidualToggleAddsAPanelBelowTheChart) {
    wf::ui::DrawdownChart chart(doc);
    draw(chart);
    const QRectF fullPlot = chart.chartObject()->plotArea();
    chart.residualsAction()->trigger();
    pump(50);
    wf::ui::ResidualPanel* panel = chart.residualPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->geometry().bottom(), chart.height() - 1);
    EXPECT_LT(chart.chartObject()->size().height(), chart.height());
    EXPECT_NEAR(chart.chartObject()->size().height() + panel->height(), chart.height(), 1.0);
    // Measured - simulated: the ripple 0.01 sin(i).
    ASSERT_EQ(panel->residuals()->count(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(panel->residuals()->at(i).y(), 0.01 * std::sin(i), 1e-6) << i;
    // The panel's plot lines up with the chart's, on the same time range.
    EXPECT_NEAR(panel->chartObject()->plotArea().left(), chart.chartObject()->plotArea().left(), 1.0);
    EXPECT_NEAR(panel->chartObject()->plotArea().right(), chart.chartObject()->plotArea().right(), 1.0);

    // Picture export and print carry the panel.
    const int border = panel->geometry().top();
    ASSERT_TRUE(chart.exportPng(path(QStringLiteral("with.png"))));
    QImage printed(chart.size(), QImage::Format_ARGB32);
    printed.fill(Qt::white);
    {
        QPainter p(&printed);
        chart.renderAll(p, QRectF(printed.rect()), Qt::KeepAspectRatio);
    }
    chart.residualsAction()->trigger();
    pump(50);
    EXPECT_EQ(chart.residualPanel(), nullptr);
    EXPECT_EQ(chart.chartObject()->size().toSize(), chart.size());
    EXPECT_EQ(chart.chartObject()->plotArea(), fullPlot);
    ASSERT_TRUE(chart.exportPng(path(QStringLiteral("without.png"))));
    const QImage with(path(QStringLiteral("with.png"))), without(path(QStringLiteral("without.png")));
    ASSERT_EQ(with.size(), without.size());
    // Around the border between chart and panel the chart alone has its
    // plot (light yellow wall); the picture and the printed page with the panel
    // have the chart's bottom edge and the panel's top there, and the panel's
    // wall below.
    auto yellowRows = [](const QImage& image, int from, int to) {
        int rows = 0;
        for (int y = from; y < to; ++y)
            if (image.pixelColor(image.width() / 3, y) == QColor(255, 255, 128)) ++rows;
        return rows;
    };
    EXPECT_EQ(yellowRows(without, border - 3, border + 3), 6);
    EXPECT_EQ(yellowRows(with, border - 3, border + 3), 0);
    EXPECT_EQ(yellowRows(printed, border - 3, border + 3), 0);
    EXPECT_GT(yellowRows(with, border + 20, chart.height() - 40), 40);
    EXPECT_GT(yellowRows(printed, border + 20, chart.height() - 40), 40);
}

TEST_F(DiagnosticsTest, ChartIsUnchangedWhileTheTogglesAreOff) {
    wf::ui::DrawdownChart chart(doc);
    draw(chart);
    const QImage before = chart.grab().toImage();
    const QRectF plot = chart.chartObject()->plotArea();
    const auto text = chart.textBlock();
    chart.setDerivativeShown(true);
    chart.setResidualsShown(true);
    pump(50);
    EXPECT_NE(chart.grab().toImage(), before);
    chart.setDerivativeShown(false);
    chart.setResidualsShown(false);
    settle();
    EXPECT_FALSE(chart.derivativeAction()->isChecked());
    EXPECT_FALSE(chart.residualsAction()->isChecked());
    EXPECT_EQ(chart.chartObject()->plotArea(), plot);
    EXPECT_EQ(chart.textBlock().size(), text.size());
    EXPECT_EQ(chart.grab().toImage(), before);
}

TEST_F(DiagnosticsTest, ViewMenuAndContextMenuShareTheToggles) {
    wf::ui::TWellfit window(doc, path(QStringLiteral("mru.ini")));
    auto* view = window.menuBar()->findChild<QMenu*>(QStringLiteral("View1"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->title(), QStringLiteral("&View"));
    wf::ui::DrawdownChart* chart = window.chart();
    // The two toggles, shared with the context menu, then the log-log view
    // and the Match panel's toggle.
    const QList<QAction*> all = view->actions();
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[2]->objectName(), QStringLiteral("LogLog1"));
    EXPECT_EQ(all[3]->objectName(), QStringLiteral("Match1"));
    const QList<QAction*> items = all.mid(0, 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Derivative"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Residuals"));
    EXPECT_EQ(chart->contextMenu()->actions(), items);
    items[1]->trigger();
    EXPECT_TRUE(chart->residualsShown());
    EXPECT_TRUE(items[1]->isChecked());
    chart->setResidualsShown(false);
    EXPECT_FALSE(items[1]->isChecked());
}

} // namespace
} // namespace wf::uitest
