// What a user trips over in the chart, the data editor and the progress window:
// measurements from time 0, an axis that must not change between redraws, the
// editor's number reading, its paste limit and grid keys, and the progress
// window during a run.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPushButton>
#include <QScatterSeries>
#include <QValueAxis>
#include <QtTest/QTest>

#include "data_dialog.h"
#include "drawdown_chart.h"
#include "message_boxes.h"
#include "number_text.h"
#include "progress_window.h"
#include "string_grid.h"
#include "ui_support.h"

namespace wf::uitest {
namespace {

// Collects the messages Qt writes while it lives.
class QtMessages {
public:
    QtMessages() { previous_ = qInstallMessageHandler(&QtMessages::handle); }
    ~QtMessages() { qInstallMessageHandler(previous_); }
    static QStringList& all() {
        static QStringList messages;
        return messages;
    }

private:
    static void handle(QtMsgType, const QMessageLogContext&, const QString& text) { all() << text; }
    QtMessageHandler previous_ = nullptr;
};

int pixelsLike(const QImage& image, bool (*match)(QColor)) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += match(image.pixelColor(x, y)) ? 1 : 0;
    return n;
}
bool red(QColor c) { return c.red() > 200 && c.green() < 80 && c.blue() < 80; }

class ChartTrapTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("ZERO.wft");
    }
    void writeInv(const QByteArray& text) {
        QFile f(path(QStringLiteral("ZERO.INV")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(ChartTrapTest, AMeasurementAtTimeZeroKeepsPointsAndCurveOnTheChart) {
    ASSERT_TRUE(doc.acceptTestData("PB 1", {"0", "1", "10", "100"}, {"0", "0.2", "0.6", "1.1"}).ok());
    writeInv(" 1 4\n     Node:     22\n 22 0.0 0.0\n 22 1.0 0.21\n 22 10.0 0.58\n 22 100.0 1.12\n");
    QtMessages messages;
    QtMessages::all().clear();
    wf::ui::DrawdownChart chart(doc);
    chart.resize(800, 500);
    chart.show();
    EXPECT_TRUE(chart.DrawDrawdown().isEmpty());
    EXPECT_TRUE(chart.DrawFit().isEmpty());
    const QImage image = chart.grab().toImage();

    // The point at time 0 stays in the data; the axis shows the others.
    EXPECT_EQ(doc.pointCount(), 4);
    EXPECT_EQ(doc.times()[0], "0");
    ASSERT_EQ(chart.measured()->count(), 3);
    EXPECT_EQ(chart.measured()->at(0), QPointF(1.0, 0.2));
    // The model curve starts at the first measured time (0), so every row with a
    // positive time is drawn.
    ASSERT_EQ(chart.fit()->count(), 3);
    EXPECT_EQ(chart.fit()->at(0), QPointF(1.0, 0.21));
    EXPECT_EQ(chart.timeAxis()->min(), 1.0);
    EXPECT_EQ(chart.timeAxis()->max(), 1000.0);
    for (const QString& m : QtMessages::all()) EXPECT_FALSE(m.contains(QStringLiteral("Logarithm"))) << m.toStdString();
    // The red circles are painted (a blanked chart has none).
    EXPECT_GT(pixelsLike(image, red), 3 * 20);
}

TEST_F(ChartTrapTest, NegativeTimesAndModelRowsAtZeroAreLeftOffTheAxis) {
    ASSERT_TRUE(doc.acceptTestData("", {"-5", "2"}, {"0.1", "0.3"}).ok());
    writeInv(" 1 3\n     Node:     22\n 22 -1.0 0.0\n 22 0.0 0.0\n 22 2.0 0.31\n");
    wf::ui::DrawdownChart chart(doc);
    chart.DrawDrawdown();
    chart.DrawFit();
    ASSERT_EQ(chart.measured()->count(), 1);
    ASSERT_EQ(chart.fit()->count(), 1);
    EXPECT_EQ(chart.fit()->at(0), QPointF(2.0, 0.31));
}

TEST_F(ChartTrapTest, TheSameDataGiveTheSameDrawdownAxisOnEveryRedraw) {
    ASSERT_TRUE(doc.acceptTestData("", {"1", "10", "100", "1000"}, {"0.13", "0.52", "0.97", "1.41"}).ok());
    wf::ui::DrawdownChart chart(doc);
    chart.resize(800, 500);
    chart.DrawDrawdown();
    const double lo = chart.drawdownAxis()->min(), hi = chart.drawdownAxis()->max();
    const int ticks = chart.drawdownAxis()->tickCount();
    EXPECT_LE(lo, 0.13);
    EXPECT_GE(hi, 1.41);
    EXPECT_GE(ticks, 4);
    for (int redraw = 0; redraw < 4; ++redraw) {
        chart.clearMeasured();
        chart.DrawDrawdown();
        chart.clearFit();
        EXPECT_EQ(chart.drawdownAxis()->min(), lo) << redraw;
        EXPECT_EQ(chart.drawdownAxis()->max(), hi) << redraw;
        EXPECT_EQ(chart.drawdownAxis()->tickCount(), ticks) << redraw;
    }
}

TEST(EditorNumbers, OneSignAndOnlyBlanksOrTabsAroundTheNumber) {
    double v = 0.0;
    EXPECT_TRUE(wf::ui::parseReal(QStringLiteral(" 1.5\t"), v));
    EXPECT_EQ(v, 1.5);
    EXPECT_TRUE(wf::ui::parseReal(QStringLiteral("+2e-3"), v));
    EXPECT_EQ(v, 2e-3);
    EXPECT_TRUE(wf::ui::parseReal(QStringLiteral("-.5"), v));
    EXPECT_EQ(v, -0.5);
    for (const char* bad : {"+-5", "-+5", "++5", "\v5", "5\f", "5\v", "\f5", "inf", "nan", "1e400", "", " "})
        EXPECT_FALSE(wf::ui::parseReal(QString::fromLatin1(bad), v)) << bad;
    int n = 0;
    EXPECT_TRUE(wf::ui::parseInteger(QStringLiteral(" 12 "), n));
    EXPECT_EQ(n, 12);
    for (const char* bad : {"+-5", "\v5", "5\f", "1.5"}) EXPECT_FALSE(wf::ui::parseInteger(QString::fromLatin1(bad), n)) << bad;
}

class EditorTrapTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("ED.wft");
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(EditorTrapTest, ACellTheDocumentWouldRefuseIsRefusedByTheEditor) {
    wf::ui::TFData dialog(doc);
    dialog.findChild<QLineEdit*>(QStringLiteral("edNoPoints"))->setText(QStringLiteral("1"));
    dialog.grid()->setCell(1, 1, QStringLiteral("+-5"));
    dialog.grid()->setCell(1, 2, QStringLiteral("0.5"));
    BoxCatcher boxes;
    EXPECT_FALSE(dialog.OKBtnClick());
    dialog.grid()->setCell(1, 1, QStringLiteral("1"));
    dialog.grid()->setCell(1, 2, QStringLiteral("\v0.5"));
    EXPECT_FALSE(dialog.OKBtnClick());
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Row 1: the time \"+-5\" is not a number"));
    EXPECT_TRUE(boxes.texts()[1].startsWith(QStringLiteral("Row 1: the drawdown")));
    EXPECT_FALSE(exists(QStringLiteral("ED.DAT")));
}

TEST_F(EditorTrapTest, PasteTakesAtMostThePointsATestDataFileHolds) {
    QString lines;
    for (int i = 1; i <= 300; ++i) lines += QStringLiteral("%1\t0.%2\n").arg(i).arg(i);
    QApplication::clipboard()->setText(lines);
    wf::ui::TFData dialog(doc);
    BoxCatcher boxes;
    dialog.BitBtn1Click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Information"));
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("The clipboard holds 300 lines; only the first 252 are pasted (a test "
                                               "data file holds at most 252 points)"));
    EXPECT_EQ(dialog.grid()->rowCount(), 253);
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("edNoPoints"))->text(), QStringLiteral("252"));
    EXPECT_EQ(dialog.grid()->cell(252, 1), QStringLiteral("252"));
    EXPECT_TRUE(dialog.OKBtnClick());
    EXPECT_EQ(doc.pointCount(), 252);
}

TEST_F(EditorTrapTest, GridRowsAndColumnsAreDraggedByTheirFixedCells) {
    wf::ui::TFData dialog(doc);
    dialog.show();
    wf::ui::StringGrid* g = dialog.grid();
    dialog.findChild<QLineEdit*>(QStringLiteral("edNoPoints"))->setText(QStringLiteral("3"));
    for (int r = 1; r <= 3; ++r) {
        g->setCell(r, 1, QString::number(r * 10));
        g->setCell(r, 2, QStringLiteral("0.%1").arg(r));
    }
    pump(20);
    auto centre = [g](int r, int c) { return g->visualRect(g->model()->index(r, c)).center(); };
    // Row 3, taken by its number, is dropped on row 1.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, centre(3, 0));
    QTest::mouseMove(g->viewport(), centre(1, 0));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, centre(1, 0));
    EXPECT_EQ(g->cell(1, 1), QStringLiteral("30"));
    EXPECT_EQ(g->cell(2, 1), QStringLiteral("10"));
    EXPECT_EQ(g->cell(3, 1), QStringLiteral("20"));
    EXPECT_EQ(g->cell(1, 2), QStringLiteral("0.3"));
    EXPECT_EQ(g->cell(1, 0), QStringLiteral("3"));  // the whole row moves
    // Column 2, taken by its header, is dropped on column 1.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, centre(0, 2));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, centre(0, 1));
    EXPECT_EQ(g->cell(0, 1), QStringLiteral("Drawdown/MASL"));
    EXPECT_EQ(g->cell(1, 1), QStringLiteral("0.3"));
    EXPECT_EQ(g->cell(1, 2), QStringLiteral("30"));
    // A press on an ordinary cell moves nothing.
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, centre(2, 1));
    QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, centre(3, 1));
    EXPECT_EQ(g->cell(2, 1), QStringLiteral("0.1"));
    EXPECT_EQ(g->cell(3, 1), QStringLiteral("0.2"));
}

TEST_F(EditorTrapTest, TabRunsThroughTheEditableCellsOnly) {
    wf::ui::TFData dialog(doc);
    dialog.show();
    wf::ui::StringGrid* g = dialog.grid();
    dialog.findChild<QLineEdit*>(QStringLiteral("edNoPoints"))->setText(QStringLiteral("2"));
    g->setFocus();
    g->setCurrentCell(1, 1);
    QStringList visited;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(g, Qt::Key_Tab);
        visited << QStringLiteral("%1,%2").arg(g->currentRow()).arg(g->currentColumn());
    }
    EXPECT_EQ(visited, (QStringList{"1,2", "2,1", "2,2", "1,1", "1,2"}));
    QTest::keyClick(g, Qt::Key_Backtab);
    EXPECT_EQ(g->currentColumn(), 1);
    QTest::keyClick(g, Qt::Key_Left);  // does not enter the numbering column
    EXPECT_EQ(g->currentColumn(), 1);
    QTest::keyClick(g, Qt::Key_Up);  // nor the header row
    EXPECT_EQ(g->currentRow(), 1);
}

TEST(ProgressDuringARun, OnlyAPressOnCancelIsTaken) {
    wf::ui::ProgressWindow w;
    w.showForRun();
    auto* ok = w.findChild<QPushButton*>(QStringLiteral("OKBtn"));
    auto* cancel = w.findChild<QPushButton*>(QStringLiteral("CancelBtn"));
    w.beginRun();
    QTest::mouseClick(ok, Qt::LeftButton);
    QTest::keyClick(&w, Qt::Key_Escape);
    QTest::keyClick(ok, Qt::Key_Space);
    QTest::keyClick(&w, Qt::Key_Return);
    w.close();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.takeCancel());
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(w.takeCancel());
    EXPECT_FALSE(w.takeCancel());  // the press is taken once
    w.endRun();
    // After the run "OK" closes the window again.
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
}

TEST(Captions, NoApplicationNameIsAppendedAndTheInformationCaptionFits) {
    // Qt appends an application display name, once one is set, to every window
    // caption; then the display name would not follow the application name.
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"));
    QCoreApplication::setApplicationName(name);

    BoxCatcher boxes;
    wf::ui::showMessage(nullptr, QMessageBox::Information, QStringLiteral("Information"), QStringLiteral("Done"));
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Information"));
    EXPECT_GE(boxes.boxes()[0].width, wf::ui::captionRoom(QStringLiteral("Information")));
}

} // namespace
} // namespace wf::uitest
