// The log-log diagnostic view: drawdown and Bourdet derivative of every point
// on logarithmic axes, with the model's.
#include <cmath>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>

#include "drawdown_chart.h"
#include "loglog_view.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

class LogLogViewTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("DEMO.wft");
    }
    wf::doc::ProjectDocument doc;
};

// Radial flow (Cooper-Jacob): s = Q / (4 pi T) ln(2.25 T t / (r^2 S)) is a
// straight line in ln t, so its Bourdet derivative is flat at Q / (4 pi T)
// (the weighted slopes of a line are its slope); tolerance 1e-9 relative.
TEST_F(LogLogViewTest, RadialFlowGivesAFlatDerivativeAtQOver4PiT) {
    const double Q = 500.0, T = 400.0, S = 2e-4, r = 30.0;  // m3/day, m2/day, -, m; t in days
    const double level = Q / (4.0 * M_PI * T);
    std::vector<std::string> times, values;
    for (int i = 0; i <= 20; ++i) {
        const double t = 0.01 * std::pow(10.0, i / 5.0);
        times.push_back(QString::number(t, 'g', 17).toStdString());
        values.push_back(QString::number(level * std::log(2.25 * T * t / (r * r * S)), 'g', 17).toStdString());
    }
    times.insert(times.begin(), "0");  // a reading at time 0: no place on the axes
    values.insert(values.begin(), "0");
    ASSERT_TRUE(doc.acceptTestData("PB", times, values));
    wf::ui::DrawdownChart source(doc);
    source.DrawDrawdown();
    wf::ui::LogLogChart view;
    view.takeFrom(source);
    QXYSeries* s = view.curve(1, wf::ui::LogLogChart::Drawdown);
    QXYSeries* d = view.curve(1, wf::ui::LogLogChart::Derivative);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(s->count(), 21);
    ASSERT_EQ(d->count(), 21);
    for (const QPointF& p : d->points()) EXPECT_NEAR(p.y(), level, 1e-9 * level) << p.x();
    EXPECT_EQ(view.curve(1, wf::ui::LogLogChart::Model), nullptr);  // no model curve yet
    // Both axes logarithmic over whole decades around the values.
    EXPECT_DOUBLE_EQ(view.timeAxis()->min(), 0.01);
    EXPECT_DOUBLE_EQ(view.timeAxis()->max(), 100.0);
    EXPECT_GT(view.valueAxis()->max(), s->points().back().y());
    EXPECT_LE(view.valueAxis()->min(), level);
}

TEST_F(LogLogViewTest, EveryPointWithItsModelAndTheViewExports) {
    std::vector<wf::doc::ObservationPoint> points(2, doc.observationPoints()[0]);
    for (int k = 0; k < 2; ++k) {
        points[k].distance = 10.0f * (k + 1);
        points[k].times = {"1", "10", "100"};
        points[k].values = {"0.5", "1.5", "2.5"};
    }
    ASSERT_TRUE(doc.setObservationPoints(points));
    QFile inv(path(QStringLiteral("DEMO.INV")));
    ASSERT_TRUE(inv.open(QIODevice::WriteOnly));
    inv.write(" 2 3\n     Node:     22   40\n 22 1.0 0.4\n 22 10.0 1.4\n 22 100.0 2.4\n"
              " 40 1.0 -0.1\n 40 10.0 1.0\n 40 100.0 2.0\n");
    inv.close();
    wf::ui::TWellfit w(doc, path(QStringLiteral("mru.ini")));
    w.chart()->DrawDrawdown();
    w.chart()->DrawFit();
    ASSERT_NE(w.findChild<QAction*>(QStringLiteral("LogLog1")), nullptr);
    wf::ui::LogLogWindow view(w.chart());
    for (int k = 1; k <= 2; ++k)
        for (int role = 0; role < 4; ++role) EXPECT_NE(view.chart()->curve(k, role), nullptr) << k << role;
    // The model's negative drawdown of point 2 has no place on the axis.
    EXPECT_EQ(view.chart()->curve(2, wf::ui::LogLogChart::Model)->count(), 2);
    const QString png = path(QStringLiteral("loglog.png"));
    view.chooseExportFile = [png] { return png; };
    view.resize(700, 500);
    view.findChild<QPushButton*>(QStringLiteral("ExportBtn"))->click();
    EXPECT_FALSE(QImage(png).isNull());
}

} // namespace
} // namespace wf::uitest
