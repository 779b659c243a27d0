// The analysis options in the analysis dialog and the project file, and the
// "Fit report" window after an optimisation of the bundled example.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>

#include "analysis_dialog.h"
#include "fit_report_window.h"
#include "data_dialog.h"
#include "mesh_dialog.h"
#include "param_dialog.h"
#include "units_dialog.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

QCheckBox* box(QWidget* w, const char* name) { return w->findChild<QCheckBox*>(QString::fromLatin1(name)); }
QComboBox* searchList(QWidget* w) { return w->findChild<QComboBox*>(QStringLiteral("cbSearch")); }

class AnalysisOptionsDialogTest : public NewProjectTest {
protected:
    void SetUp() override {
        NewProjectTest::SetUp();
        doc.pump.Q[0] = 86.4f;
    }
};

TEST_F(AnalysisOptionsDialogTest, DialogShowsTheOptionsAndOkWritesThemBackAndSaveKeepsThem) {
    doc.analysisOptions.hold = {false, true, false, false};
    doc.analysisOptions.search = WF_SEARCH_BOUND_AWARE;
    doc.analysisOptions.stopTolerance = 1e-4f;
    doc.analysisOptions.maxPasses = 50;
    wf::ui::TFAnalysis dialog(doc);
    EXPECT_FALSE(box(&dialog, "cbTFHold")->isChecked());
    EXPECT_TRUE(box(&dialog, "cbTMHold")->isChecked());
    EXPECT_EQ(box(&dialog, "cbTMHold")->text(), QStringLiteral("Hold"));
    EXPECT_FALSE(box(&dialog, "checkOneAquifer")->isChecked());
    EXPECT_EQ(box(&dialog, "checkOneAquifer")->text(), QStringLiteral("One aquifer (same K and Ss in both layers)"));
    EXPECT_EQ(searchList(&dialog)->currentText(), QStringLiteral("Bound-aware search"));
    EXPECT_EQ(searchList(&dialog)->itemText(0), QStringLiteral("Plain search"));
    EXPECT_EQ(edit(&dialog, "edStopTolerance")->text(), QStringLiteral("1e-04"));
    EXPECT_EQ(edit(&dialog, "edMaxPasses")->text(), QStringLiteral("50"));
    // The standard fields keep their place and defaults.
    EXPECT_TRUE(box(&dialog, "checkAll")->isChecked());

    box(&dialog, "cbTMHold")->setChecked(false);
    box(&dialog, "cbSFHold")->setChecked(true);
    box(&dialog, "checkOneAquifer")->setChecked(true);
    edit(&dialog, "edStopTolerance")->setText(QStringLiteral(" 2e-5 "));
    edit(&dialog, "edMaxPasses")->setText(QStringLiteral("120"));
    // Edited, not yet stored: the document keeps its options until OK.
    EXPECT_TRUE(doc.analysisOptions.hold[1]);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    dialog.store();
    const std::array<bool, 4> held = {false, false, true, false};
    EXPECT_EQ(doc.analysisOptions.hold, held);
    EXPECT_TRUE(doc.analysisOptions.oneAquifer);
    EXPECT_EQ(doc.analysisOptions.search, WF_SEARCH_BOUND_AWARE);
    EXPECT_EQ(doc.analysisOptions.stopTolerance, 2e-5f);
    EXPECT_EQ(doc.analysisOptions.maxPasses, 120);

    window->Save1Click();
    wf::doc::ProjectDocument reloaded;
    ASSERT_TRUE(reloaded.loadProject(path(QStringLiteral("DEMO.wft")).toStdString()).ok());
    EXPECT_EQ(reloaded.analysisOptions, doc.analysisOptions);
}

// The well's skin factor and casing radius are held from boxes of their own,
// enabled only when the fine model has a well (the casing radius only with a
// casing to fit); OK stores them, Save keeps them.
TEST_F(AnalysisOptionsDialogTest, WellBoxesHoldTheSkinAndTheCasingRadiusOnlyWithAWell) {
    {
        wf::ui::TFAnalysis dialog(doc);
        ASSERT_NE(box(&dialog, "cbSKINHold"), nullptr);
        EXPECT_EQ(box(&dialog, "cbSKINHold")->text(), QStringLiteral("Hold skin factor"));
        EXPECT_EQ(box(&dialog, "cbRCHold")->text(), QStringLiteral("Hold casing radius"));
        EXPECT_FALSE(box(&dialog, "cbSKINHold")->isEnabled());
        EXPECT_FALSE(box(&dialog, "cbRCHold")->isEnabled());
    }
    doc.analysisOptions.fineModel = true;
    doc.analysisOptions.wellRadius = 0.1f;
    doc.analysisOptions.skin = 5.0f;
    {
        wf::ui::TFAnalysis dialog(doc);
        EXPECT_TRUE(box(&dialog, "cbSKINHold")->isEnabled());
        EXPECT_FALSE(box(&dialog, "cbRCHold")->isEnabled());  // no casing radius: no storage to fit
    }
    doc.analysisOptions.casingRadius = 0.05f;
    wf::ui::TFAnalysis dialog(doc);
    EXPECT_TRUE(box(&dialog, "cbRCHold")->isEnabled());
    EXPECT_FALSE(box(&dialog, "cbSKINHold")->isChecked());
    box(&dialog, "cbRCHold")->setChecked(true);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    dialog.store();
    const std::array<bool, 2> held = {false, true};
    EXPECT_EQ(doc.analysisOptions.holdWell, held);
    window->Save1Click();
    wf::doc::ProjectDocument reloaded;
    ASSERT_TRUE(reloaded.loadProject(path(QStringLiteral("DEMO.wft")).toStdString()).ok());
    EXPECT_EQ(reloaded.analysisOptions.holdWell, held);
}

TEST_F(AnalysisOptionsDialogTest, StopRuleFieldsAreCheckedOnOkAndNamed) {
    const wf::doc::AnalysisOptions before = doc.analysisOptions;
    BoxCatcher boxes;
    wf::ui::TFAnalysis dialog(doc);
    // The stop rules belong to the bound-aware search: the plain search has its own.
    EXPECT_FALSE(edit(&dialog, "edStopTolerance")->isEnabled());
    EXPECT_FALSE(edit(&dialog, "edMaxPasses")->isEnabled());
    searchList(&dialog)->setCurrentIndex(WF_SEARCH_BOUND_AWARE);
    EXPECT_TRUE(edit(&dialog, "edStopTolerance")->isEnabled());
    EXPECT_TRUE(edit(&dialog, "edMaxPasses")->isEnabled());
    const std::pair<const char*, const char*> bad[] = {
        {"edStopTolerance", "abc"}, {"edStopTolerance", "0"}, {"edStopTolerance", "1"},
        {"edMaxPasses", "1.5"},     {"edMaxPasses", "0"},     {"edMaxPasses", "1000"}};
    for (const auto& [field, text] : bad) {
        edit(&dialog, "edStopTolerance")->setText(QStringLiteral("1e-5"));
        edit(&dialog, "edMaxPasses")->setText(QStringLiteral("200"));
        edit(&dialog, field)->setText(QString::fromLatin1(text));
        dialog.accept();
        pump(30);
        EXPECT_NE(dialog.result(), QDialog::Accepted) << field << " " << text;
        ASSERT_FALSE(boxes.boxes().isEmpty()) << field << " " << text;
        const QString label = QString::fromLatin1(field) == QStringLiteral("edMaxPasses")
                                  ? QStringLiteral("Maximum passes")
                                  : QStringLiteral("Relative tolerance");
        EXPECT_TRUE(boxes.boxes().last().text.contains(label)) << boxes.boxes().last().text.toStdString();
    }
    EXPECT_EQ(boxes.boxes().size(), 6);
    EXPECT_EQ(doc.analysisOptions, before);

    // Cancel keeps the options as they were.
    box(&dialog, "cbTFHold")->setChecked(true);
    dialog.reject();
    EXPECT_EQ(doc.analysisOptions, before);
}

TEST_F(ProjectFolderTest, ReportWindowPrintsItsText) {
    wf::ui::FitReportWindow window;
    window.setReport(QStringLiteral("WELLFIT fit report\nTF   2.0E+01\n"));
    EXPECT_EQ(window.report(), QStringLiteral("WELLFIT fit report\nTF   2.0E+01\n"));
    EXPECT_TRUE(window.textView()->isReadOnly());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path(QStringLiteral("report.pdf")));
    window.renderReport(&printer);
    const QByteArray pdf = readFile(QStringLiteral("report.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GT(pdf.size(), 500);
}

// Every field a user types into or chooses in the model dialogs says what it is for.
TEST_F(AnalysisOptionsDialogTest, EveryEditableFieldOfTheModelDialogsHasATooltip) {
    wf::ui::TFUnits units(doc);
    wf::ui::TFMesh mesh(doc);
    wf::ui::TFParam param(doc);
    wf::ui::TFAnalysis analysis(doc);
    wf::ui::TFData data(doc);
    for (QWidget* dialog : std::initializer_list<QWidget*>{&units, &mesh, &param, &analysis, &data}) {
        int checked = 0;
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            const auto* line = qobject_cast<QLineEdit*>(w);
            const bool editable = (line && !line->isReadOnly()) || qobject_cast<QComboBox*>(w) ||
                                  qobject_cast<QCheckBox*>(w);
            if (!editable || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_"))) continue;
            ++checked;
            EXPECT_FALSE(w->toolTip().isEmpty()) << dialog->objectName().toStdString() << " "
                                                  << w->objectName().toStdString();
        }
        EXPECT_GT(checked, 0) << dialog->objectName().toStdString();
    }
}

// The well options come from the schema into the mesh dialog, enabled only
// with the fine model; a point at the pumped well keeps its position through OK.
TEST_F(AnalysisOptionsDialogTest, MeshDialogShowsTheWellOfTheFineModelAndKeepsAWellPoint) {
    doc.analysisOptions.fineModel = true;
    doc.analysisOptions.wellRadius = 0.1f;
    doc.obsv.IPOS[0] = 3;
    doc.obsv.ROBS[0] = 0.1f;
    wf::ui::TFMesh dialog(doc);
    auto* position = dialog.findChild<QComboBox*>(QStringLiteral("cbPosition"));
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(position->currentText(), QStringLiteral("Pumped well"));
    for (const char* field : {"edWellRadius", "edCasingRadius", "edSkin"}) {
        ASSERT_NE(edit(&dialog, field), nullptr) << field;
        EXPECT_TRUE(edit(&dialog, field)->isEnabled()) << field;
    }
    EXPECT_EQ(edit(&dialog, "edWellRadius")->text(), QStringLiteral("0.1"));
    edit(&dialog, "edSkin")->setText(QStringLiteral("5"));
    box(&dialog, "checkFineModel")->setChecked(false);
    EXPECT_FALSE(edit(&dialog, "edSkin")->isEnabled());
    box(&dialog, "checkFineModel")->setChecked(true);
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    dialog.store();
    EXPECT_EQ(doc.obsv.IPOS[0], 3);
    EXPECT_EQ(doc.analysisOptions.skin, 5.0f);
}

TEST_F(AnalysisOptionsDialogTest, MeshDialogCarriesTheFineModelIntoTheProjectAndTheMeshRun) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) {
        EXPECT_FALSE(box(w, "checkFineModel")->isChecked());
        EXPECT_EQ(box(w, "checkFineModel")->text(), QStringLiteral("Fine model"));
        clickOk(w);
    });
    window->Mesh1Click();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    const MESH plain = doc.mesh;
    EXPECT_FALSE(doc.analysisOptions.fineModel);

    onDialog([](QWidget* w) {
        box(w, "checkFineModel")->setChecked(true);
        clickOk(w);
    });
    window->Mesh1Click();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    EXPECT_TRUE(doc.analysisOptions.fineModel);
    // The option reached the mesh run: another mesh than the plain one.
    EXPECT_TRUE(doc.mesh.NR != plain.NR || doc.mesh.NZ != plain.NZ) << doc.mesh.NR << " x " << doc.mesh.NZ;

    window->Save1Click();
    wf::doc::ProjectDocument reloaded;
    ASSERT_TRUE(reloaded.loadProject(path(QStringLiteral("DEMO.wft")).toStdString()).ok());
    EXPECT_TRUE(reloaded.analysisOptions.fineModel);

    // Shown again on the next opening; Cancel keeps it.
    onDialog([](QWidget* w) {
        EXPECT_TRUE(box(w, "checkFineModel")->isChecked());
        box(w, "checkFineModel")->setChecked(false);
        w->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    window->Mesh1Click();
    EXPECT_TRUE(doc.analysisOptions.fineModel);
}

// The bundled example, copied into the test's folder and run through the
// windows: mesh, data preparation and an optimisation from its stored guesses.
class FitReportTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        const QDir example(QStringLiteral(WF_SOURCE_DIR "/examples/oude-korendijk"));
        for (const QString& name : example.entryList({QStringLiteral("*.wft"), QStringLiteral("*.DAT")}, QDir::Files))
            ASSERT_TRUE(QFile::copy(example.filePath(name), path(name)));
        window = std::make_unique<wf::ui::TWellfit>(doc, path(QStringLiteral("mru.ini")));
        window->resize(900, 600);
        window->show();
        window->openChosen(path(QStringLiteral("OKORENDIJK.wft")));
        ASSERT_GT(doc.pointCount(), 0);
    }
    void TearDown() override {
        window.reset();
        ProjectFolderTest::TearDown();
    }
    QAction* fitReportItem() const {
        return window->menuBar()->findChild<QAction*>(QStringLiteral("FitReport1"));
    }
    void optimise() {
        onDialog([](QWidget* w) { clickOk(w); });
        window->Mesh1Click();
        onDialog([](QWidget* w) { clickOk(w); });
        window->Parameters1Click();
        onDialog([](QWidget* w) { clickOk(w); });  // Optimization from the stored guesses
        window->Analysis2Click();
    }
    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
};

TEST_F(FitReportTest, OptimisationOpensTheReportAndCopyPutsItOnTheClipboard) {
    ASSERT_NE(fitReportItem(), nullptr);
    EXPECT_EQ(fitReportItem()->text(), QStringLiteral("Fit report"));
    EXPECT_FALSE(fitReportItem()->isEnabled());  // no report yet
    EXPECT_EQ(window->fitReportWindow(), nullptr);
    BoxCatcher boxes;
    optimise();
    const QByteArray file = readFile(QStringLiteral("OKORENDIJK.fit"));
    ASSERT_FALSE(file.isEmpty()) << boxes.texts().join('\n').toStdString();
    EXPECT_TRUE(window->lastFitReport().valid);
    EXPECT_EQ(window->lastFitReport().type, 0);

    wf::ui::FitReportWindow* report = window->fitReportWindow();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(report->isModal());
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Fit report"));
    EXPECT_EQ(report->report(), QString::fromLocal8Bit(file));
    EXPECT_TRUE(report->report().contains(QStringLiteral("TF")));
    EXPECT_TRUE(fitReportItem()->isEnabled());

    QApplication::clipboard()->clear();
    report->findChild<QPushButton*>(QStringLiteral("btnCopy"))->click();
    EXPECT_EQ(QApplication::clipboard()->text(), report->report());

    // Closed, the menu item opens it again with the same report.
    report->close();
    EXPECT_FALSE(report->isVisible());
    fitReportItem()->trigger();
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->report(), QString::fromLocal8Bit(file));

    // A new project has no report.
    const QString other = path(QStringLiteral("OTHER.wft"));
    window->chooseSaveFile = [other] { return other; };
    window->New1Click();
    EXPECT_FALSE(fitReportItem()->isEnabled());
    EXPECT_FALSE(report->isVisible());
}

TEST_F(FitReportTest, OptionsOfTheDialogReachTheSearch) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) { clickOk(w); });
    window->Mesh1Click();
    onDialog([](QWidget* w) { clickOk(w); });
    window->Parameters1Click();
    const float guessTM = doc.pinit.TM;
    onDialog([](QWidget* w) {
        box(w, "cbTMHold")->setChecked(true);
        searchList(w)->setCurrentIndex(WF_SEARCH_BOUND_AWARE);
        edit(w, "edMaxPasses")->setText(QStringLiteral("3"));
        clickOk(w);
    });
    window->Analysis2Click();
    // The held parameter keeps its guess; the third pass ends the search, with
    // a box that says so.
    EXPECT_EQ(doc.pinit.TM, guessTM);
    EXPECT_TRUE(window->lastFitReport().parameters[1].held);
    EXPECT_EQ(window->lastFitReport().passes, 3);
    EXPECT_EQ(window->lastFitReport().stopRule, WF_STOP_MAX_PASSES);
    EXPECT_TRUE(boxes.texts().join('\n').contains(QStringLiteral("maximum number of passes (3)")))
        << boxes.texts().join('\n').toStdString();
    ASSERT_NE(window->fitReportWindow(), nullptr);
    EXPECT_TRUE(window->fitReportWindow()->report().contains(QStringLiteral("held")));
}

TEST_F(FitReportTest, FixedTimeRunMakesAReportWithoutOpeningTheWindow) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) { clickOk(w); });
    window->Mesh1Click();
    onDialog([](QWidget* w) { clickOk(w); });
    window->Parameters1Click();
    onDialog([](QWidget* w) {
        w->findChild<QRadioButton*>(QStringLiteral("rgType1"))->setChecked(true);
        clickOk(w);
    });
    window->Analysis2Click();
    EXPECT_EQ(window->fitReportWindow(), nullptr);
    EXPECT_TRUE(window->lastFitReport().valid);
    EXPECT_EQ(window->lastFitReport().type, 1);
    EXPECT_TRUE(fitReportItem()->isEnabled());
    fitReportItem()->trigger();
    ASSERT_NE(window->fitReportWindow(), nullptr);
    EXPECT_EQ(window->fitReportWindow()->report(), QString::fromLocal8Bit(readFile(QStringLiteral("OKORENDIJK.fit"))));
}

} // namespace
} // namespace wf::uitest
