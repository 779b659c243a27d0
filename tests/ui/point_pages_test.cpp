// The data editor's pages of several observation points: add, fill, paste,
// remove, and OK hands all of them to the document (sorted by distance).
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <QChart>
#include <QFile>
#include <QLegend>
#include <QLineSeries>
#include <QScatterSeries>

#include "data_dialog.h"
#include "drawdown_chart.h"
#include "string_grid.h"
#include "ui_support.h"

namespace wf::uitest {
namespace {

class PointPagesTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("PP.wft");
        doc.obsv.ROBS[0] = 50.0f;
    }
    wf::doc::ProjectDocument doc;
};

void fill(wf::ui::TFData& d, int page, const QStringList& times, const QStringList& values) {
    QWidget* w = d.findChild<QTabWidget*>(QStringLiteral("pages"))->widget(page);
    w->findChild<QLineEdit*>(QStringLiteral("edNoPoints"))->setText(QString::number(times.size()));
    for (int i = 0; i < times.size(); ++i) {
        d.pageGrid(page)->setCell(i + 1, 1, times[i]);
        d.pageGrid(page)->setCell(i + 1, 2, values[i]);
    }
}

TEST_F(PointPagesTest, OnePointIsTheEditorWithoutTabs) {
    wf::ui::TFData dialog(doc);
    dialog.show();
    auto* pages = dialog.findChild<QTabWidget*>(QStringLiteral("pages"));
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(dialog.pageCount(), 1);
    EXPECT_FALSE(pages->tabBar()->isVisible());
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("RemovePointBtn"))->isEnabled());
    dialog.addPoint();
    EXPECT_TRUE(pages->tabBar()->isVisible());
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Point 2"));
}

TEST_F(PointPagesTest, PagesBecomeTheProjectsPointsSortedByDistance) {
    wf::ui::TFData dialog(doc);
    fill(dialog, 0, {"0", "10"}, {"0", "0.2"});
    dialog.addPoint();
    const auto& p2 = dialog.furtherPage(1);
    p2.name->setText(QStringLiteral("PB10"));
    p2.distance->setText(QStringLiteral("10"));
    p2.weight->setText(QStringLiteral("2"));
    // Paste fills the page shown.
    QApplication::clipboard()->setText(QStringLiteral("0\t0\n5\t0.4\n20\t0.9\n"));
    dialog.BitBtn1Click();
    EXPECT_EQ(p2.count->text(), QStringLiteral("3"));
    EXPECT_EQ(dialog.pageGrid(1)->cell(3, 2), QStringLiteral("0.9"));
    EXPECT_EQ(dialog.grid()->cell(2, 2), QStringLiteral("0.2"));  // the first page is untouched
    // A third page, removed again.
    dialog.addPoint();
    EXPECT_EQ(dialog.pageCount(), 3);
    dialog.removePoint();
    EXPECT_EQ(dialog.pageCount(), 2);

    BoxCatcher boxes;
    ASSERT_TRUE(dialog.OKBtnClick());
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Observation points sorted by distance, as the mesh needs them: "
                                               "\"PB10\" (10), point 1 (50)"));
    EXPECT_EQ(doc.observationPointCount(), 2);
    EXPECT_EQ(doc.obsv.ROBS[0], 10.0f);
    EXPECT_EQ(doc.obsv.ROBS[1], 50.0f);
    EXPECT_EQ(doc.pointCount(), 3);
    EXPECT_EQ(doc.observationPoints()[1].times.size(), 2u);

    // Opened again, the editor shows both pages.
    wf::ui::TFData again(doc);
    EXPECT_EQ(again.pageCount(), 2);
    EXPECT_EQ(again.furtherPage(1).distance->text(), QStringLiteral("50"));
    EXPECT_EQ(again.pageGrid(1)->cell(2, 2).trimmed(), QStringLiteral("0.200000"));
}

TEST_F(PointPagesTest, ABadFurtherPageNamesItsPointAndChangesNothing) {
    wf::ui::TFData dialog(doc);
    fill(dialog, 0, {"0"}, {"0"});
    dialog.addPoint();
    fill(dialog, 1, {"0", "x"}, {"0", "1"});
    BoxCatcher boxes;
    EXPECT_FALSE(dialog.OKBtnClick());
    dialog.furtherPage(1).distance->setText(QStringLiteral("20"));
    EXPECT_FALSE(dialog.OKBtnClick());
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Point 2: the observation distance \"\" is not a number"));
    EXPECT_EQ(boxes.texts()[1], QStringLiteral("Point 2, row 2: the time \"x\" is not a number"));
    EXPECT_EQ(doc.observationPointCount(), 1);
    EXPECT_FALSE(exists(QStringLiteral("PP.DAT")));
}

// The chart of two points: each point's measurements and model curve, a
// legend naming them, every distance in the text block; one point again: the
// standard chart (no legend, the series "S" and "Model Fit").
TEST_F(PointPagesTest, ChartDrawsEveryPointWithALegend) {
    wf::doc::ObservationPoint a = doc.observationPoints()[0], b;
    a.distance = 10.0f;
    a.name = "PB10";
    a.times = {"1", "10"};
    a.values = {"0.5", "1.5"};
    b.distance = 50.0f;
    b.position = 2;
    b.times = {"2", "5", "20"};
    b.values = {"0.1", "0.3", "0.8"};
    ASSERT_TRUE(doc.setObservationPoints({a, b}).ok());
    QFile inv(path(QStringLiteral("PP.INV")));
    ASSERT_TRUE(inv.open(QIODevice::WriteOnly));
    inv.write("           2           3\n     Node:     30   193\n"
              "         30         0.0000  0.0000000000E+00\n         30         1.0000  5.0000000000E-01\n"
              "         30        10.0000  1.5000000000E+00\n        193         0.0000  0.0000000000E+00\n"
              "        193         1.0000  5.0000000000E-02\n        193        10.0000  4.0000000000E-01\n");
    inv.close();

    wf::ui::DrawdownChart chart(doc);
    EXPECT_TRUE(chart.DrawDrawdown().isEmpty());
    EXPECT_TRUE(chart.DrawFit().isEmpty());
    ASSERT_NE(chart.pointMeasured(2), nullptr);
    EXPECT_EQ(chart.pointMeasured(3), nullptr);
    EXPECT_EQ(chart.measured()->count(), 2);
    EXPECT_EQ(chart.pointMeasured(2)->count(), 3);
    EXPECT_EQ(chart.fit()->count(), 2);  // from the first measured time on
    EXPECT_EQ(chart.pointFit(2)->points().back(), QPointF(10.0, 0.4));
    EXPECT_TRUE(chart.chartObject()->legend()->isVisible());
    EXPECT_EQ(chart.measured()->name(), QStringLiteral("PB10"));
    EXPECT_EQ(chart.pointMeasured(2)->name(), QStringLiteral("Point 2"));
    EXPECT_EQ(chart.pointFit(2)->name(), QStringLiteral("Point 2 model"));
    EXPECT_NE(chart.pointMeasured(2)->color(), chart.measured()->color());
    EXPECT_NE(chart.pointMeasured(2)->markerShape(), chart.measured()->markerShape());
    EXPECT_EQ(chart.textBlock().front().text, QStringLiteral("r = 10, 50"));

    ASSERT_TRUE(doc.setObservationPoints({a}).ok());
    chart.clearSeries();
    chart.DrawDrawdown();
    EXPECT_EQ(chart.pointMeasured(2), nullptr);
    EXPECT_FALSE(chart.chartObject()->legend()->isVisible());
    EXPECT_EQ(chart.measured()->name(), QStringLiteral("S"));
    EXPECT_EQ(chart.fit()->name(), QStringLiteral("Model Fit"));
}

} // namespace
} // namespace wf::uitest
