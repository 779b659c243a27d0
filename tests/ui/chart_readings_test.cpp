// The chart as a hydrogeologist reads it: every reading on the time axis,
// axis titles and text block in the project's units, a legend of the points,
// and a model curve only beside the values it was made with.
#include <QDir>
#include <QFile>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include "drawdown_chart.h"
#include "residual_panel.h"
#include "time_axis.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

TEST(TimeAxisRange, ReachesTheDecadesAroundEveryReading) {
    // Lower end: the decade at or below the earliest reading, 1 from 1 on.
    const std::pair<double, double> lower[] = {{0.0, 1.0},  {1.0, 1.0},   {7.0, 1.0},
                                               {0.1, 0.1},  {0.25, 0.1},  {0.05, 0.01}};
    for (const auto& [tmin, expected] : lower) EXPECT_DOUBLE_EQ(wf::ui::timeAxisLower(tmin), expected) << tmin;
    // Upper end: the standard rule, continued past 100000.
    const std::pair<double, double> upper[] = {{850.0, 1000.0}, {1000.0, 10000.0}, {99999.0, 100000.0},
                                               {100000.0, 1e6}, {250000.0, 1e6},    {2e6, 1e7}};
    for (const auto& [tmax, expected] : upper) EXPECT_DOUBLE_EQ(wf::ui::timeAxisUpper(tmax), expected) << tmax;
}

TEST(TimeAxisRange, ARangeBelowOneCarriesEveryDecade) {
    QStringList texts;
    for (const wf::ui::AxisLabel& l : wf::ui::timeAxisLabels(0.1, 100.0))
        if (!l.text.isEmpty()) texts << l.text;
    EXPECT_EQ(texts, (QStringList{"0.1", "1", "10", "100"}));
    EXPECT_EQ(wf::ui::timeAxisLabels(0.1, 100.0).size(), 28);  // 1..9 in three decades, and 100
}

class ChartReadingsTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("DEMO.wft");
    }
    void writeFile(const QString& name, const QByteArray& text) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(ChartReadingsTest, TheOudeKorendijkTestIsDrawnWithAllItsReadings) {
    const QDir example(QStringLiteral(WF_SOURCE_DIR "/examples/oude-korendijk"));
    for (const QString& f : {QStringLiteral("OKORENDIJK.wft"), QStringLiteral("OKORENDIJK.DAT")})
        ASSERT_TRUE(QFile::copy(example.filePath(f), path(f)));
    wf::ui::TWellfit w(doc, path(QStringLiteral("mru.ini")));
    const QString project = path(QStringLiteral("OKORENDIJK.wft"));
    w.chooseOpenFile = [project] { return project; };
    w.Open1Click();
    ASSERT_EQ(doc.pointCount(), 34);
    // Readings from 0.1 to 830 minutes: all 34 on an axis from 0.1 to 1000.
    EXPECT_EQ(w.chart()->measured()->count(), 34);
    EXPECT_DOUBLE_EQ(w.chart()->timeAxis()->min(), 0.1);
    EXPECT_DOUBLE_EQ(w.chart()->timeAxis()->max(), 1000.0);
}

TEST_F(ChartReadingsTest, LateReadingsStayOnTheAxisAndTheResidualsFollowTheRange) {
    ASSERT_TRUE(doc.acceptTestData("", {"10", "1000", "250000"}, {"0.1", "0.5", "0.9"}));
    writeFile(QStringLiteral("DEMO.INV"), " 1 3\n     Node:     22\n 22 10.0 0.1\n 22 1000.0 0.5\n 22 250000.0 0.9\n");
    wf::ui::DrawdownChart chart(doc);
    chart.resize(800, 500);
    chart.DrawDrawdown();
    EXPECT_DOUBLE_EQ(chart.timeAxis()->max(), 1e6);
    chart.DrawFit();
    EXPECT_DOUBLE_EQ(chart.timeAxis()->min(), 1.0);
    EXPECT_DOUBLE_EQ(chart.timeAxis()->max(), 1e6);
    chart.setResidualsShown(true);
    // A range set from outside the drawing routines (the chart editor's).
    chart.timeAxis()->setRange(0.1, 1e6);
    EXPECT_DOUBLE_EQ(chart.residualPanel()->timeAxis()->min(), 0.1);
    EXPECT_DOUBLE_EQ(chart.residualPanel()->timeAxis()->max(), 1e6);
}

TEST_F(ChartReadingsTest, AxisTitlesAndTextBlockCarryTheProjectsUnits) {
    doc.units.IDIST = 2;   // cm
    doc.units.ITIN = 3;    // h
    doc.units.ICOND = 11;  // m/h: transmissivity m2/h
    doc.units.IDISCH = 7;  // m3/h
    ASSERT_TRUE(doc.acceptTestData("", {"1", "2"}, {"0.1", "0.2"}));
    writeFile(QStringLiteral("DEMO.INV"), " 1 1\n     Node:     22\n 22 1.0 0.1\n");
    wf::ui::DrawdownChart chart(doc);
    chart.DrawDrawdown();
    EXPECT_EQ(chart.timeAxis()->titleText(), QStringLiteral("Time (h)"));
    EXPECT_EQ(chart.drawdownAxis()->titleText(), QStringLiteral("Drawdown s (cm)"));
    QMap<QPair<int, int>, QString> units;
    for (const auto& item : chart.textBlockUnits()) units[{item.row, item.column}] = item.text;
    EXPECT_EQ(units.value({0, 2}), QStringLiteral("cm"));
    EXPECT_EQ(units.value({2, 2}), QStringLiteral("m2/h"));
    EXPECT_EQ(units.value({4, 2}), QStringLiteral("m2/h"));
    EXPECT_EQ(units.value({9, 0}), QStringLiteral("(h)"));
    EXPECT_EQ(units.value({9, 1}), QStringLiteral("(m3/h)"));
}

TEST_F(ChartReadingsTest, TheLegendHasAnEntryPerPointAndModelsOnlyWithACurve) {
    std::vector<wf::doc::ObservationPoint> points(4, doc.observationPoints()[0]);
    for (int k = 0; k < 4; ++k) {
        points[k].distance = 10.0f * (k + 1);
        points[k].name = k == 1 ? "PB20" : "";
        points[k].times = {"1", "10"};
        points[k].values = {"0.5", "1.5"};
    }
    ASSERT_TRUE(doc.setObservationPoints(points));
    wf::ui::DrawdownChart chart(doc);
    chart.resize(900, 500);
    chart.show();
    chart.DrawDrawdown();
    auto shownEntries = [&chart] {
        QStringList names;
        for (QLegendMarker* m : chart.chartObject()->legend()->markers())
            if (m->isVisible()) names << m->label();
        return names;
    };
    EXPECT_EQ(shownEntries(), (QStringList{"Point 1", "PB20", "Point 3", "Point 4"}));
    // Curves of points 1 and 2 only.
    writeFile(QStringLiteral("DEMO.INV"), " 2 2\n     Node:     22   40\n 22 1.0 0.5\n 22 10.0 1.5\n"
                                          " 40 1.0 0.4\n 40 10.0 1.2\n");
    chart.DrawFit();
    EXPECT_EQ(shownEntries(), (QStringList{"Point 1", "Point 1 model", "PB20", "PB20 model", "Point 3", "Point 4"}));
    chart.clearFit();
    EXPECT_EQ(shownEntries().size(), 4);
    chart.DrawFit();  // as after an analysis
    pump(50);
    EXPECT_EQ(shownEntries().size(), 6);
    // Drawn while hidden, shown afterwards (as Open does).
    chart.hide();
    chart.clearSeries();
    chart.DrawDrawdown();
    chart.DrawFit();
    chart.show();
    pump(50);
    EXPECT_EQ(shownEntries().size(), 6);
}

TEST_F(ChartReadingsTest, ABrokenRowOfAFurtherPointIsReportedLikeOneOfPointOne) {
    std::vector<wf::doc::ObservationPoint> points(2, doc.observationPoints()[0]);
    for (int k = 0; k < 2; ++k) {
        points[k].distance = 10.0f * (k + 1);
        points[k].times = {"1", "10"};
        points[k].values = {"0.5", "1.5"};
    }
    ASSERT_TRUE(doc.setObservationPoints(points));
    writeFile(QStringLiteral("DEMO.INV"), " 2 2\n     Node:     22   40\n 22 1.0 0.5\n 22 10.0 1.5\n"
                                          " 40 1.0 x\n 40 10.0 1.2\n");
    wf::ui::DrawdownChart chart(doc);
    chart.DrawDrawdown();
    EXPECT_EQ(chart.DrawFit(), QStringLiteral("DEMO.INV, line 5: time and drawdown expected (observation point 2)"));
    EXPECT_EQ(chart.fit()->count(), 2);  // the rows before stay
}

// Open draws the model curve only when the last run's report names the stored values.
class OpenCurveTest : public ChartReadingsTest {
protected:
    void makeProject(float storedTF, const char* reportTF) {
        doc.pinit.TF = storedTF;
        ASSERT_TRUE(doc.saveProject(path(QStringLiteral("DEMO.wft")).toStdString()));
        ASSERT_TRUE(doc.acceptTestData("", {"1", "10"}, {"0.1", "0.5"}));
        writeFile(QStringLiteral("DEMO.INV"), " 1 2\n     Node:     22\n 22 1.0 0.1\n 22 10.0 0.5\n");
        writeFile(QStringLiteral("DEMO.fit"),
                  QByteArray("WELLFIT fit report\n\nParameter         Value\nTF        ") + reportTF +
                      "  1.0E+00\nTM        1.000000E-03  1.0E+00\n");
    }
    void open() {
        window = std::make_unique<wf::ui::TWellfit>(opened, path(QStringLiteral("mru.ini")));
        const QString p = path(QStringLiteral("DEMO.wft"));
        window->chooseOpenFile = [p] { return p; };
        window->Open1Click();
    }
    wf::doc::ProjectDocument opened;
    std::unique_ptr<wf::ui::TWellfit> window;
};

TEST_F(OpenCurveTest, ACurveOfTheStoredValuesIsDrawn) {
    makeProject(12.5f, "1.250000E+01");
    open();
    EXPECT_EQ(window->chart()->fit()->count(), 2);
    EXPECT_TRUE(window->chart()->fitNote().isEmpty());
    EXPECT_FALSE(window->isModified());
}

TEST_F(OpenCurveTest, ACurveOfALaterUnsavedRunIsLeftOffAndSaidSo) {
    makeProject(12.5f, "3.300000E+01");
    open();
    EXPECT_EQ(window->chart()->fit()->count(), 0);
    EXPECT_EQ(window->chart()->fitNote(), QStringLiteral("Model curve not shown: it is from a later, unsaved run"));
    // The text block shows the stored values.
    QMap<int, QString> rows;
    for (const auto& item : window->chart()->textBlock())
        if (item.column == 0) rows[item.row] = item.text;
    EXPECT_EQ(rows.value(2).trimmed(), QStringLiteral("T for fracture = 12.5"));
}

TEST_F(OpenCurveTest, TheTextBlockShowsTheValuesTheCurveWasMadeWith) {
    makeProject(12.5f, "1.250000E+01");
    open();
    // Guesses changed afterwards (as "Reset parameters" does) leave the curve's values.
    opened.pinit.TF = 99.0f;
    QMap<int, QString> rows;
    for (const auto& item : window->chart()->textBlock())
        if (item.column == 0) rows[item.row] = item.text;
    EXPECT_EQ(rows.value(2).trimmed(), QStringLiteral("T for fracture = 12.5"));
    window->setModified(true);
    EXPECT_TRUE(window->windowTitle().endsWith(QStringLiteral("DEMO.wft *")));
}

} // namespace
} // namespace wf::uitest
