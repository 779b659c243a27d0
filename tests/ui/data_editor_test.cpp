// The drawdown data editor: paste, resize, OK writing the test data file, and
// the refusals that keep the document and the file as they were.
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QScatterSeries>

#include "data_dialog.h"
#include "drawdown_chart.h"
#include "string_grid.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

class DataEditorTest : public NewProjectTest {};


TEST_F(DataEditorTest, PasteResizeAndOkWriteTheTestDataFile) {
    QApplication::clipboard()->setText(QStringLiteral("1\t0.5\r\n\t\t2.5\t0.8\textra\n\n10\n\n"));
    onDialog([](QWidget* w) {
        auto* d = qobject_cast<wf::ui::TFData*>(w);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Edit data"));
        wf::ui::StringGrid* g = d->grid();
        EXPECT_EQ(g->cell(0, 1), QStringLiteral("Time"));
        EXPECT_EQ(g->cell(0, 2), QStringLiteral("Drawdown/MASL"));
        EXPECT_EQ(g->rowCount(), 2);
        w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        // Three non-empty lines; leading tabs skipped, a third part ignored, a missing part empty.
        EXPECT_EQ(edit(w, "edNoPoints")->text(), QStringLiteral("3"));
        ASSERT_EQ(g->rowCount(), 4);
        EXPECT_EQ(g->cell(1, 1), QStringLiteral("1"));
        EXPECT_EQ(g->cell(1, 2), QStringLiteral("0.5"));
        EXPECT_EQ(g->cell(2, 1), QStringLiteral("2.5"));
        EXPECT_EQ(g->cell(2, 2), QStringLiteral("0.8"));
        EXPECT_EQ(g->cell(3, 1), QStringLiteral("10"));
        EXPECT_EQ(g->cell(3, 2), QString());
        // Raising the count keeps rows 1 to 3 and adds numbered empty rows.
        edit(w, "edNoPoints")->setText(QStringLiteral("5"));
        ASSERT_EQ(g->rowCount(), 6);
        EXPECT_EQ(g->cell(5, 0), QStringLiteral("5"));
        EXPECT_EQ(g->cell(4, 1), QString());
        EXPECT_EQ(g->cell(2, 1), QStringLiteral("2.5"));
        edit(w, "edNoPoints")->setText(QStringLiteral("3"));
        g->setCell(3, 2, QStringLiteral(" 1.25 "));
        edit(w, "edName")->setText(QStringLiteral("PB-1"));
        w->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    window->Edit1Click();

    EXPECT_EQ(readFile(QStringLiteral("DEMO.DAT")),
              QByteArray("DEMO.wft\r\n\r\n3\r\n\r\n"
                         " 1.00000000000000E+0000 5.00000000000000E-0001\r\n"
                         " 2.50000000000000E+0000 8.00000000000000E-0001\r\n"
                         " 1.00000000000000E+0001 1.25000000000000E+0000\r\n"));
    EXPECT_EQ(doc.pointCount(), 3);
    EXPECT_EQ(doc.boreholeName(), "PB-1");
    EXPECT_EQ(doc.values()[2], " 1.25 ");  // kept as typed
    // The main window now shows the Analysis menu and the chart with the points.
    EXPECT_TRUE(window->chart()->isVisibleTo(window.get()));
    EXPECT_EQ(window->chart()->measured()->count(), 3);
    EXPECT_EQ(window->chart()->chartObject()->title(), QStringLiteral("PB-1"));

    // Reopening the editor shows the stored points with "%-11.6f"; OK without edits stores them padded.
    onDialog([](QWidget* w) {
        auto* d = qobject_cast<wf::ui::TFData*>(w);
        EXPECT_EQ(d->grid()->cell(1, 1), QStringLiteral("1.000000   "));
        EXPECT_EQ(d->grid()->cell(1, 2), QStringLiteral("0.500000   "));
        EXPECT_EQ(d->grid()->cell(3, 1), QStringLiteral("10.000000  "));
        EXPECT_EQ(edit(w, "edName")->text(), QStringLiteral("PB-1"));
        w->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    window->Edit1Click();
    EXPECT_EQ(doc.times()[0], "1.000000   ");
}

TEST_F(DataEditorTest, BadInputIsRefusedBeforeAnythingIsWritten) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) {
        auto* d = qobject_cast<wf::ui::TFData*>(w);
        QApplication::clipboard()->setText(QStringLiteral("1\t0.5\n2\tabc\n3\t0.9\n"));
        w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        auto* ok = w->findChild<QPushButton*>(QStringLiteral("OKBtn"));
        ok->click();  // row 2 holds no number
        EXPECT_TRUE(w->isVisible());
        d->grid()->setCell(2, 2, QStringLiteral("0.7"));
        d->grid()->setCell(3, 1, QString());
        ok->click();  // row 3 has no time
        edit(w, "edNoPoints")->setText(QStringLiteral("-2"));
        ok->click();
        edit(w, "edNoPoints")->setText(QStringLiteral("253"));
        ok->click();
        edit(w, "edNoPoints")->setText(QStringLiteral("x"));
        ok->click();
        EXPECT_TRUE(w->isVisible());
        w->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    window->Edit1Click();
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("Row 2: the drawdown \"abc\" is not a number"),
                                          QStringLiteral("Row 3: the time \"\" is not a number"),
                                          QStringLiteral("Number of data points: \"-2\" must not be negative"),
                                          QStringLiteral("Number of data points: \"253\" is more than the 252 "
                                                         "points a test data file can hold"),
                                          QStringLiteral("Please enter a valid integer"),
                                          QStringLiteral("Number of data points: \"x\" is not a valid integer")}));
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Error"));
    EXPECT_FALSE(exists(QStringLiteral("DEMO.DAT")));
    EXPECT_EQ(doc.pointCount(), 0);
    EXPECT_FALSE(window->chart()->isVisibleTo(window.get()));
}

TEST_F(DataEditorTest, EmptyClipboardAndZeroPoints) {
    BoxCatcher boxes;
    QApplication::clipboard()->clear();
    onDialog([](QWidget* w) {
        w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        w->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    window->Edit1Click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Information"));
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("There is no text on the Clipboard"));
    // OK with 0 points writes the four header lines and leaves the chart hidden.
    EXPECT_EQ(readFile(QStringLiteral("DEMO.DAT")), QByteArray("DEMO.wft\r\n\r\n0\r\n\r\n"));
    EXPECT_FALSE(window->chart()->isVisibleTo(window.get()));
}

} // namespace
} // namespace wf::uitest
