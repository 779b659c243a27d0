// The units, mesh, parameters and analysis dialogs and the checks made before
// a solver call.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "analysis_dialog.h"
#include "mesh_dialog.h"
#include "param_dialog.h"
#include "string_grid.h"
#include "ui_support.h"
#include "units_dialog.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {


class ModelDialogTest : public NewProjectTest {
protected:
    void SetUp() override {
        NewProjectTest::SetUp();
        doc.pump.Q[0] = 86.4f;  // m3/day
    }
};

TEST_F(ModelDialogTest, UnitsDialogShowsAndStoresTheCodes) {
    onDialog([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Units"));
        auto* cond = w->findChild<QComboBox*>(QStringLiteral("cbConductivity"));
        EXPECT_EQ(cond->currentText(), QStringLiteral("m/day"));
        EXPECT_EQ(w->findChild<QComboBox*>(QStringLiteral("cbCharge"))->currentText(), QStringLiteral("m3/day"));
        EXPECT_EQ(w->findChild<QComboBox*>(QStringLiteral("cbDistance"))->currentText(), QStringLiteral("m"));
        cond->setCurrentIndex(0);  // mm/s
        w->findChild<QComboBox*>(QStringLiteral("cbCharge"))->setCurrentIndex(0);     // L/s
        w->findChild<QComboBox*>(QStringLiteral("cbInTimes"))->setCurrentIndex(2);   // h
        clickOk(w);
    });
    window->Units1Click();
    EXPECT_EQ(doc.units.ICOND, 1);
    EXPECT_EQ(doc.units.IDISCH, 1);
    EXPECT_EQ(doc.units.ITIN, 3);
    EXPECT_EQ(doc.units.ITOUT, 2);
    EXPECT_EQ(doc.units.IFLUX, 12);
}

TEST_F(ModelDialogTest, MeshDialogRefusesAFieldThatIsNotANumber) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Radial mesh construction"));
        EXPECT_EQ(edit(w, "edMeshFileName")->text(), QStringLiteral("DEMO.FEM"));
        EXPECT_EQ(edit(w, "edRatio")->text(), QStringLiteral("0.20"));
        EXPECT_EQ(edit(w, "edThick")->text(), QStringLiteral("40"));
        EXPECT_EQ(edit(w, "edDistance")->text(), QStringLiteral("1024"));
        edit(w, "edDistance")->setText(QStringLiteral("500"));
        edit(w, "edThick")->setText(QStringLiteral("abc"));
        clickOk(w);
        EXPECT_TRUE(w->isVisible());
        edit(w, "edThick")->setText(QStringLiteral("30"));
        edit(w, "edRatio")->setText(QStringLiteral("1.5"));
        clickOk(w);
        EXPECT_TRUE(w->isVisible());
        clickCancel(w);
    });
    window->Mesh1Click();
    EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("Thickness of the aquifer: \"abc\" is not a valid number"),
                                          QStringLiteral("Ratio of the fracture (0 - 1): \"1.5\" must lie between 0 "
                                                         "and 1")}));
    EXPECT_EQ(doc.obsv.THICK, 40.0f);  // nothing stored
    EXPECT_EQ(doc.mesh.RMAX, 1024.0f);
    EXPECT_FALSE(exists(QStringLiteral("DEMO.FEM")));
}

TEST_F(ModelDialogTest, ParametersBeforeAMeshAreRefused) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) {
        auto* g = w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDischarge"));
        ASSERT_EQ(g->rowCount(), 21);
        ASSERT_EQ(g->columnCount(), 3);
        EXPECT_EQ(g->cell(0, 1), QStringLiteral("Time"));
        EXPECT_EQ(g->cell(0, 2), QStringLiteral("Discharge"));
        EXPECT_EQ(g->cell(20, 0), QStringLiteral("20"));
        EXPECT_EQ(g->cell(1, 2), QStringLiteral("86.4"));
        // Rows 1 and 3 filled, row 2 all zeros: three pumping steps.
        g->setCell(3, 1, QStringLiteral("100"));
        g->setCell(3, 2, QStringLiteral("40"));
        w->findChild<QComboBox*>(QStringLiteral("cbPumpPos"))->setCurrentIndex(0);
        w->findChild<QComboBox*>(QStringLiteral("cbOppBoundary"))->setCurrentIndex(0);
        w->findChild<QComboBox*>(QStringLiteral("cbWLO"))->setCurrentIndex(1);
        w->findChild<QCheckBox*>(QStringLiteral("checkSubset"))->setChecked(true);
        edit(w, "edSubset")->setText(QStringLiteral("25"));
        clickOk(w);
    });
    window->Parameters1Click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("Do mesh construction first and save"));
    EXPECT_EQ(doc.pump.NQ, 3);
    EXPECT_EQ(doc.pump.TQ[2], 100.0f);
    EXPECT_EQ(doc.pump.Q[2], 40.0f);
    EXPECT_EQ(doc.pump.IPUMP, 0);
    EXPECT_EQ(doc.pump.IOPP, 0);
    EXPECT_EQ(doc.pump.IWLO, 1);
    EXPECT_FALSE(exists(QStringLiteral("DEMO.OBS")));
    EXPECT_FALSE(exists(QStringLiteral("DEMO.TIM")));
}

TEST_F(ModelDialogTest, ParametersDialogNamesABadCell) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) {
        w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDischarge"))->setCell(4, 2, QStringLiteral("1,5"));
        clickOk(w);
        EXPECT_TRUE(w->isVisible());
        clickCancel(w);
    });
    window->Parameters1Click();
    EXPECT_EQ(boxes.texts(),
              QStringList{QStringLiteral("Discharge Rates, row 4, Discharge: \"1,5\" is not a valid number")});
    EXPECT_EQ(doc.pump.NQ, 1);
}

TEST_F(ModelDialogTest, AnalysisDialogStartsFromTheFirstPumpingRate) {
    onDialog([this](QWidget* w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Analyse pump test"));
        // 86.4 m3/day = 0.001 m3/s; 0.001 x 15000 = 15, bounds 0.5 and 4 times the guess.
        EXPECT_EQ(edit(w, "edTFGuess")->text(), QStringLiteral("15         "));
        EXPECT_EQ(edit(w, "edTFMin")->text(), QStringLiteral("7.5        "));
        EXPECT_EQ(edit(w, "edTFMax")->text(), QStringLiteral("60         "));
        EXPECT_EQ(edit(w, "edTMMin")->text(), QStringLiteral("1e-07      "));
        EXPECT_EQ(edit(w, "edSFMin")->text(), QStringLiteral("1e-08      "));
        EXPECT_EQ(edit(w, "edSMMax")->text(), QStringLiteral("0.3        "));
        EXPECT_EQ(edit(w, "edObsFile")->text(), QStringLiteral("DEMO.OBS"));
        EXPECT_EQ(edit(w, "edSimFile")->text(), QStringLiteral("DEMO.INV"));
        EXPECT_TRUE(w->findChild<QCheckBox*>(QStringLiteral("checkAll"))->isChecked());
        // Reset parameters keeps the reset guesses even after Cancel.
        edit(w, "edTFGuess")->setText(QStringLiteral("20"));
        w->findChild<QPushButton*>(QStringLiteral("btnBound"))->click();
        EXPECT_EQ(edit(w, "edTFMax")->text(), QStringLiteral("80         "));
        EXPECT_EQ(doc.pinit.TF, 20.0f);
        w->findChild<QPushButton*>(QStringLiteral("btnParam"))->click();
        EXPECT_EQ(edit(w, "edTFGuess")->text(), QStringLiteral("15         "));
        EXPECT_EQ(edit(w, "edSFMin")->text(), QStringLiteral("1e-10      "));  // no 1e-8 floor after a reset
        clickCancel(w);
    });
    window->Analysis2Click();
    EXPECT_EQ(doc.pinit.TF, 15.0f);
    EXPECT_FLOAT_EQ(doc.pinit.SFMIN, 1e-10f);
}

TEST_F(ModelDialogTest, PredictionWithoutTimeStepsIsRefused) {
    BoxCatcher boxes;
    onDialog([](QWidget* w) {
        w->findChild<QRadioButton*>(QStringLiteral("rgType2"))->setChecked(true);
        edit(w, "edSimTime")->setText(QStringLiteral("30"));
        edit(w, "edTimeSteps")->setText(QStringLiteral("0"));
        edit(w, "edRMSE")->setText(QStringLiteral("0.01"));
        clickOk(w);
    });
    window->Analysis2Click();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("Number of timesteps cannot be zero for predictions"));
    // The values are taken over although the command stops.
    EXPECT_EQ(doc.pump.TSIM, 30.0f);
    EXPECT_FLOAT_EQ(doc.guess.RMSE, 0.01f);
    EXPECT_FLOAT_EQ(doc.guess.P0[0], 15.0f / 1e-5f / 86400.0f / 0.2f / 40.0f);
    EXPECT_FALSE(exists(QStringLiteral("DEMO.INV")));
}

TEST_F(ModelDialogTest, GuessesOutsideTheirBoundsAreRefused) {
    {
        BoxCatcher boxes;
        onDialog([](QWidget* w) {
            edit(w, "edSMGuess")->setText(QStringLiteral("0.5"));  // above SMMAX 0.3
            clickOk(w);
        });
        window->Analysis2Click();
        EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("Guesses not between minimum and maximum values")});
        EXPECT_EQ(doc.pinit.SM, 0.5f);
        EXPECT_FALSE(exists(QStringLiteral("DEMO.INV")));
    }

    // A field that is not a number is named and nothing is taken over.
    BoxCatcher more;
    onDialog([](QWidget* w) {
        edit(w, "edTMGuess")->setText(QStringLiteral("0.0x1"));
        clickOk(w);
        EXPECT_TRUE(w->isVisible());
        clickCancel(w);
    });
    window->Analysis2Click();
    EXPECT_EQ(more.texts(),
              QStringList{QStringLiteral("Transmissivity (matrix) Guess: \"0.0x1\" is not a valid number")});
}

} // namespace
} // namespace wf::uitest
