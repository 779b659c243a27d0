// The drawdown chart: time-axis range and label rules, the model curve read
// from the simulation file, the text block and the picture export.
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>

#include "drawdown_chart.h"
#include "number_text.h"
#include "time_axis.h"
#include "ui_support.h"

namespace wf::uitest {
namespace {

using wf::ui::formatAxisLabel;

TEST(TimeAxis, RangeRuleFollowsTheLargestTime) {
    const std::pair<float, double> cases[] = {{0.0f, 10},       {9.99f, 10},      {10.0f, 100},
                                              {99.0f, 100},     {100.0f, 1000},   {850.0f, 1000},
                                              {1000.0f, 10000}, {9999.0f, 10000}, {10000.0f, 100000},
                                              {5e6f, 100000}};
    for (const auto& [tmax, expected] : cases) EXPECT_EQ(wf::ui::timeAxisMaximum(tmax), expected) << tmax;
}

TEST(TimeAxis, LabelFormatGroupsThousandsAndKeepsThreeDecimals) {
    EXPECT_EQ(formatAxisLabel(1000), QStringLiteral("1 000"));
    EXPECT_EQ(formatAxisLabel(100000), QStringLiteral("100 000"));
    EXPECT_EQ(formatAxisLabel(1234567.5), QStringLiteral("1 234 567.5"));
    EXPECT_EQ(formatAxisLabel(10), QStringLiteral("10"));
    EXPECT_EQ(formatAxisLabel(0.12349), QStringLiteral("0.123"));
    EXPECT_EQ(formatAxisLabel(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(formatAxisLabel(-1500.25), QStringLiteral("-1 500.25"));
    EXPECT_EQ(formatAxisLabel(0.0), QStringLiteral("0"));
}

TEST(TimeAxis, NumbersOnlyAtTheDecadesTicksAtEveryStep) {
    // Labels follow the table 10, 20, ..., 90, 100, 200, ... whatever the axis proposes below it.
    double v = 1.0;
    wf::ui::Chart1GetNextAxisLabel(0, v);
    EXPECT_EQ(v, 10.0);
    v = 1.0;
    wf::ui::Chart1GetNextAxisLabel(19, v);
    EXPECT_EQ(v, 2000.0);
    v = 5e6;
    wf::ui::Chart1GetNextAxisLabel(36, v);
    EXPECT_EQ(v, 5e6);  // a larger proposal wins
    v = 123.0;
    wf::ui::Chart1GetNextAxisLabel(37, v);
    EXPECT_EQ(v, 123.0);  // past the table: the proposal as it is

    EXPECT_EQ(wf::ui::Chart1GetAxisLabel(QStringLiteral("1 000")), QStringLiteral("1 000"));
    EXPECT_EQ(wf::ui::Chart1GetAxisLabel(QStringLiteral("2 000")), QString());
    EXPECT_EQ(wf::ui::Chart1GetAxisLabel(QStringLiteral("1")), QString());

    const QVector<wf::ui::AxisLabel> labels = wf::ui::timeAxisLabels(1.0, 1000.0);
    ASSERT_EQ(labels.size(), 19);  // 10..90, 100..900, 1000
    QStringList shown;
    for (const auto& l : labels)
        if (!l.text.isEmpty()) shown << l.text;
    EXPECT_EQ(shown, (QStringList{"10", "100", "1 000"}));
    EXPECT_EQ(labels[1].value, 20.0);
    EXPECT_EQ(labels.last().value, 1000.0);
    EXPECT_EQ(wf::ui::timeAxisLabels(1.0, 100000.0).size(), 37);
}

class ChartTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("DEMO.wft");
    }
    void writeInv(const QByteArray& text) {
        QFile f(path(QStringLiteral("DEMO.INV")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void setPoints(const std::vector<std::string>& t, const std::vector<std::string>& v) {
        ASSERT_TRUE(doc.acceptTestData("BH 7", t, v).ok());
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(ChartTest, ModelCurveStartsAtTheFirstMeasurement) {
    setPoints({"4", "2", "3"}, {"0.8", "0.5", "0.7"});
    wf::ui::DrawdownChart chart(doc);
    chart.resize(800, 500);
    EXPECT_TRUE(chart.DrawDrawdown().isEmpty());
    EXPECT_EQ(chart.chartObject()->title(), QStringLiteral("BH 7"));
    ASSERT_EQ(chart.measured()->count(), 3);
    EXPECT_EQ(chart.measured()->at(0).x(), 2.0);  // ascending order of time
    EXPECT_EQ(chart.timeAxis()->min(), 1.0);
    EXPECT_EQ(chart.timeAxis()->max(), 10.0);

    // Without a simulation file: no curve and no text block.
    EXPECT_TRUE(chart.DrawFit().isEmpty());
    EXPECT_EQ(chart.fit()->count(), 0);
    EXPECT_TRUE(chart.textBlock().isEmpty());

    writeInv("           1           3\n     Node:     22\n"
             "         22         1.0000  1.0000000000E-01\n"
             "         22         2.0000  4.5000000000E-01\n"
             "         22        40.0000  2.2500000000E+00\n");
    EXPECT_TRUE(chart.DrawFit().isEmpty());
    ASSERT_EQ(chart.fit()->count(), 2);
    EXPECT_EQ(chart.fit()->at(0), QPointF(2.0, 0.45));
    EXPECT_EQ(chart.fit()->at(1), QPointF(40.0, 2.25));
    EXPECT_EQ(chart.timeAxis()->max(), 100.0);
}

TEST_F(ChartTest, ModelTimesBeforeTheMeasurementsGiveTheSmallestRange) {
    setPoints({"50"}, {"0.5"});
    wf::ui::DrawdownChart chart(doc);
    chart.DrawDrawdown();
    EXPECT_EQ(chart.timeAxis()->max(), 100.0);
    writeInv(" 1 2\n     Node:     22\n 22 1.0 0.1\n 22 2.0 0.2\n");
    chart.DrawFit();
    EXPECT_EQ(chart.fit()->count(), 0);
    EXPECT_EQ(chart.timeAxis()->max(), 10.0);
}

TEST_F(ChartTest, BrokenSimulationFileIsNamedAndRowsBeforeStay) {
    setPoints({"1"}, {"0.5"});
    wf::ui::DrawdownChart chart(doc);
    chart.DrawDrawdown();
    writeInv(" 1 3\n     Node:     22\n 22 1.0 0.1\n 22 2.0\n 22 3.0 0.3\n");
    EXPECT_EQ(chart.DrawFit(), QStringLiteral("DEMO.INV, line 4: time and drawdown expected"));
    EXPECT_EQ(chart.fit()->count(), 1);
    chart.clearFit();
    writeInv(" 1 x\n");
    EXPECT_EQ(chart.DrawFit(), QStringLiteral("DEMO.INV, line 1: the number of time levels is missing or not an integer"));
}

TEST_F(ChartTest, TextBlockShowsParametersAndTheUsedPumpingSteps) {
    setPoints({"1"}, {"0.5"});
    doc.pinit.TF = 12.5f;
    doc.pinit.TM = 0.002f;
    doc.pinit.SF = 2e-6f;
    doc.pinit.SM = 0.004f;
    doc.obsv.ROBS[0] = 3.0f;
    doc.pump.TQ[0] = 0.0f;
    doc.pump.Q[0] = 86.4f;
    doc.pump.TQ[2] = 120.0f;
    doc.pump.Q[2] = 43.2f;
    writeInv(" 1 1\n     Node:     22\n 22 1.0 0.1\n");
    wf::ui::DrawdownChart chart(doc);
    QMap<QPair<int, int>, QString> at;
    for (const auto& item : chart.textBlock()) at[{item.row, item.column}] = item.text;
    EXPECT_EQ(at.value({0, 0}), QStringLiteral("r = 3          "));
    EXPECT_EQ(at.value({2, 0}), QStringLiteral("T for fracture = 12.5       "));
    EXPECT_EQ(at.value({3, 0}), QStringLiteral("T for Matrix = 0.002      "));
    EXPECT_EQ(at.value({4, 0}), QStringLiteral("Total T = 12.502     "));
    EXPECT_EQ(at.value({6, 0}), QStringLiteral("S for fracture = 2e-06      "));
    EXPECT_EQ(at.value({8, 0}), QStringLiteral("Total S = 0.004002   "));
    EXPECT_EQ(at.value({10, 0}), QStringLiteral("Time:"));
    EXPECT_EQ(at.value({10, 1}), QStringLiteral("Discharge:"));
    EXPECT_EQ(at.value({11, 0}), QStringLiteral("0          "));
    EXPECT_EQ(at.value({11, 1}), QStringLiteral("86.4       "));
    EXPECT_FALSE(at.contains({12, 0}));  // step 2 all zeros: its line stays empty
    EXPECT_EQ(at.value({13, 0}), QStringLiteral("120        "));
    EXPECT_EQ(at.value({13, 1}), QStringLiteral("43.2       "));
    EXPECT_EQ(at.size(), 13);
}

TEST_F(ChartTest, ExportWritesPngSvgAndPdf) {
    setPoints({"1", "10", "100"}, {"0.5", "1.5", "2.5"});
    wf::ui::DrawdownChart chart(doc);
    chart.resize(640, 400);
    chart.show();
    chart.DrawDrawdown();
    pump(50);
    ASSERT_TRUE(chart.exportPng(path(QStringLiteral("c.png"))));
    const QImage image(path(QStringLiteral("c.png")));
    EXPECT_EQ(image.size(), QSize(640, 400));
    // The plot area is the light yellow wall (255, 255, 128).
    const QPointF centre = chart.chartObject()->plotArea().center();
    int yellow = 0;
    for (int dx = -20; dx <= 20; dx += 5)
        if (image.pixelColor(static_cast<int>(centre.x()) + dx, static_cast<int>(chart.chartObject()->plotArea().top()) + 3) ==
            QColor(255, 255, 128))
            ++yellow;
    EXPECT_GT(yellow, 0);
    ASSERT_TRUE(chart.exportSvg(path(QStringLiteral("c.svg"))));
    EXPECT_TRUE(readFile(QStringLiteral("c.svg")).contains("<svg"));
    ASSERT_TRUE(chart.exportPdf(path(QStringLiteral("c.pdf"))));
    EXPECT_TRUE(readFile(QStringLiteral("c.pdf")).startsWith("%PDF"));
}

} // namespace
} // namespace wf::uitest
