// Editing by keyboard: the data editor's block paste, row deletion and
// button mnemonics, the file commands' keys and the window's least size.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUndoStack>
#include <QtTest/QTest>

#include "chart_editor.h"
#include "data_dialog.h"
#include "drawdown_chart.h"
#include "string_grid.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

class EditingKeysTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        doc.setDerivedNames("DEMO.wft");
        ASSERT_TRUE(doc.acceptTestData("", {"1", "2", "3"}, {"0.1", "0.2", "0.3"}));
    }
    QStringList column(wf::ui::StringGrid* g, int c) {
        QStringList l;
        for (int r = 1; r < g->rowCount(); ++r) l << g->cell(r, c).trimmed();
        return l;
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(EditingKeysTest, CtrlVPastesABlockFromTheCurrentCellAndGrowsTheGrid) {
    wf::ui::TFData dialog(doc);
    wf::ui::StringGrid* g = dialog.grid();
    QApplication::clipboard()->setText(QStringLiteral("5\t0.5\n6\t0.6\n7\t0.7\n"));
    g->setFocus();
    g->setCurrentCell(2, 1);
    QTest::keySequence(g, QKeySequence::Paste);
    EXPECT_EQ(column(g, 1), (QStringList{"1.000000", "5", "6", "7"}));
    EXPECT_EQ(column(g, 2), (QStringList{"0.100000", "0.5", "0.6", "0.7"}));
    EXPECT_EQ(column(g, 0), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(edit(&dialog, "edNoPoints")->text(), QStringLiteral("4"));
}

TEST_F(EditingKeysTest, DeleteRemovesTheSelectedRows) {
    wf::ui::TFData dialog(doc);
    wf::ui::StringGrid* g = dialog.grid();
    g->setFocus();
    g->setCurrentCell(1, 1);
    g->setRangeSelected(QTableWidgetSelectionRange(1, 1, 2, 2), true);
    QTest::keyClick(g, Qt::Key_Delete);
    EXPECT_EQ(column(g, 1), QStringList{"3.000000"});
    EXPECT_EQ(column(g, 0), QStringList{"1"});
    EXPECT_EQ(edit(&dialog, "edNoPoints")->text(), QStringLiteral("1"));
}

TEST_F(EditingKeysTest, CtrlZUndoesAndCtrlYRedoesPasteAndDelete) {
    wf::ui::TFData dialog(doc);
    wf::ui::StringGrid* g = dialog.grid();
    const QVector<QStringList> start = g->texts();
    g->setFocus();
    g->setCurrentCell(3, 1);
    QApplication::clipboard()->setText(QStringLiteral("8\t0.8\n9\t0.9\n"));
    QTest::keySequence(g, QKeySequence::Paste);  // rows 3 and 4
    const QVector<QStringList> pasted = g->texts();
    g->clearSelection();
    g->setCurrentCell(1, 1, QItemSelectionModel::ClearAndSelect);
    QTest::keyClick(g, Qt::Key_Delete);  // row 1
    EXPECT_EQ(column(g, 1), (QStringList{"2.000000", "8", "9"}));
    EXPECT_EQ(g->undoStack()->count(), 2);

    QTest::keySequence(g, QKeySequence::Undo);  // the deletion
    EXPECT_EQ(g->texts(), pasted);
    EXPECT_EQ(edit(&dialog, "edNoPoints")->text(), QStringLiteral("4"));
    QTest::keySequence(g, QKeySequence::Undo);  // the paste
    EXPECT_EQ(g->texts(), start);
    EXPECT_EQ(edit(&dialog, "edNoPoints")->text(), QStringLiteral("3"));
    QTest::keySequence(g, QKeySequence::Redo);
    EXPECT_EQ(g->texts(), pasted);
}

TEST_F(EditingKeysTest, CtrlVInACellsEditorPastesTheBlockFromThatCell) {
    wf::ui::TFData dialog(doc);
    dialog.show();
    wf::ui::StringGrid* g = dialog.grid();
    g->setFocus();
    g->setCurrentCell(2, 1);
    g->editItem(g->item(2, 1));
    pump(20);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(g->isAncestorOf(editor));
    QApplication::clipboard()->setText(QStringLiteral("7\t0.7\n8\t0.8\n"));
    QTest::keySequence(editor, QKeySequence::Paste);
    EXPECT_EQ(column(g, 1), (QStringList{"1.000000", "7", "8"}));
    EXPECT_EQ(column(g, 2), (QStringList{"0.100000", "0.7", "0.8"}));
    QTest::keySequence(g, QKeySequence::Undo);
    EXPECT_EQ(column(g, 1), (QStringList{"1.000000", "2.000000", "3.000000"}));
}

TEST_F(EditingKeysTest, PasteSkipsAHeaderLine) {
    wf::ui::TFData dialog(doc);
    QApplication::clipboard()->setText(QStringLiteral("Time\tDrawdown\n1\t0.5\n2\t0.7\n"));
    dialog.BitBtn1Click();
    EXPECT_EQ(column(dialog.grid(), 1), (QStringList{"1", "2"}));
    EXPECT_EQ(edit(&dialog, "edNoPoints")->text(), QStringLiteral("2"));
}

TEST_F(EditingKeysTest, PasteAsksBeforeReplacingReadings) {
    wf::ui::TFData dialog(doc);
    int asked = 0;
    bool answer = false;
    dialog.confirmReplace = [&](int readings, int lines) {
        ++asked;
        EXPECT_EQ(readings, 3);
        EXPECT_EQ(lines, 1);
        return answer;
    };
    QApplication::clipboard()->setText(QStringLiteral("9\t0.9\n"));
    dialog.BitBtn1Click();  // No: the grid stays
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(column(dialog.grid(), 1).size(), 3);
    answer = true;
    dialog.BitBtn1Click();
    EXPECT_EQ(column(dialog.grid(), 1), QStringList{"9"});
}

TEST_F(EditingKeysTest, EveryButtonOfTheDataEditorHasAMnemonic) {
    wf::ui::TFData dialog(doc);
    for (const char* name : {"BitBtn1", "AddPointBtn", "RemovePointBtn"}) {
        auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_TRUE(b->text().contains(QLatin1Char('&'))) << name;
    }
}

TEST_F(EditingKeysTest, FileCommandsHaveTheirKeysAndTheWindowALeastSize) {
    wf::ui::TWellfit w(doc, path(QStringLiteral("mru.ini")));
    auto key = [&w](const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name))->shortcut(); };
    EXPECT_EQ(key("New1"), QKeySequence(QKeySequence::New));
    EXPECT_EQ(key("Open1"), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(key("Save1"), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(key("SaveAs1"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    EXPECT_GE(w.minimumWidth(), 600);
    EXPECT_GE(w.minimumHeight(), 400);
    wf::ui::ChartEditor editor(w.chart());
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("Chart"));
}

} // namespace
} // namespace wf::uitest

namespace wf::uitest {
namespace {

class UnsavedChangesTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        window = std::make_unique<wf::ui::TWellfit>(doc, path(QStringLiteral("mru.ini")));
        const QString demo = path(QStringLiteral("DEMO.wft"));
        window->chooseSaveFile = [demo] { return demo; };
        window->New1Click();
        window->askToSaveChanges = [this] {
            ++asked;
            return answer;
        };
    }
    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
    int asked = 0;
    int answer = QMessageBox::Cancel;
};

TEST_F(UnsavedChangesTest, NewAsksOnlyWhenThereAreChangesAndCancelKeepsTheProject) {
    const QString other = path(QStringLiteral("OTHER.wft"));
    window->chooseSaveFile = [other] { return other; };
    window->New1Click();  // nothing changed: no question
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(doc.projectName(), "OTHER.wft");
    doc.obsv.THICK = 12.0f;
    window->setModified(true);
    window->chooseSaveFile = [this] { return path(QStringLiteral("THIRD.wft")); };
    window->New1Click();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(doc.projectName(), "OTHER.wft");  // Cancel: the project stays
    EXPECT_EQ(doc.obsv.THICK, 12.0f);
}

TEST_F(UnsavedChangesTest, SaveKeepsTheChangesBeforeOpen) {
    doc.obsv.THICK = 12.0f;
    window->setModified(true);
    answer = QMessageBox::Save;
    const QString demo = path(QStringLiteral("DEMO.wft"));
    window->chooseOpenFile = [demo] { return demo; };
    window->Open1Click();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(window->isModified());
    EXPECT_EQ(doc.obsv.THICK, 12.0f);  // saved, then opened again
}

} // namespace
} // namespace wf::uitest

#include <QLabel>

#include "mesh_dialog.h"
#include "param_dialog.h"

namespace wf::uitest {
namespace {

TEST(DialogUnits, MeshAndParameterFieldsNameTheProjectsUnits) {
    wf::doc::ProjectDocument doc;
    doc.units.IDIST = 2;   // cm
    doc.units.ITIN = 3;    // h
    doc.units.IDISCH = 1;  // L/s
    wf::ui::TFMesh mesh(doc);
    for (const char* name : {"edThickUnit", "edDistanceUnit", "edObserveDistUnit"}) {
        auto* unit = mesh.findChild<QLabel*>(QString::fromLatin1(name));
        ASSERT_NE(unit, nullptr) << name;
        EXPECT_EQ(unit->text(), QStringLiteral("cm")) << name;
    }
    EXPECT_FALSE(edit(&mesh, "edThick")->toolTip().isEmpty());
    wf::ui::TFParam param(doc);
    auto* units = param.findChild<QLabel*>(QStringLiteral("sgDischargeUnits"));
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(units->text(), QStringLiteral("Time in h, discharge in L/s"));
}

} // namespace
} // namespace wf::uitest
