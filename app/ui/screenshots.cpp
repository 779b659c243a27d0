#include "screenshots.h"

#include <cmath>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "chart_editor.h"
#include "data_dialog.h"
#include "drawdown_chart.h"
#include "export_dialog.h"
#include "fit_report_window.h"
#include "log_dialog.h"
#include "match_panel.h"
#include "modal_driver.h"
#include "progress_window.h"
#include "solver_call.h"
#include "string_grid.h"
#include "wellfit_window.h"

namespace wf::ui {

namespace {

bool save(QWidget* w, const QString& dir, const QString& name) {
    settle(150);
    return w->grab().save(QDir(dir).filePath(name), "PNG");
}

QLineEdit* edit(QWidget* w, const char* name) { return dialogEdit(w, name); }
void clickOk(QWidget* w) { pressOk(w); }

// Opens a dialog through its menu command; `act` gets it once it is shown.
void drive(const std::function<void()>& command, const std::function<void(QWidget*)>& act) {
    whenModalShows([act](QWidget* w) {
        settle(100);
        act(w);
    });
    command();
}

// Answers every message box of a run (the closing reminder of an optimisation).
void autoAnswerBoxes(QTimer& timer) {
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
    });
    timer.start(50);
}

// One tour of the windows: the project, the model dialogs, the analysis and
// the pictures of the results, each step saving its pictures into dir.
struct ScreenshotTour {
    wf::doc::ProjectDocument& doc;
    const QString& dir;
    TWellfit& window;
    QTemporaryDir& work;
    bool haveProject = false;

    // The first project of exampleFolder, copied into the scratch folder.
    void openExample(const QString& exampleFolder) {
        if (!exampleFolder.isEmpty()) {
            const QFileInfoList projects = QDir(exampleFolder).entryInfoList({QStringLiteral("*.wft")}, QDir::Files);
            if (!projects.isEmpty()) {
                for (const QFileInfo& f : QDir(exampleFolder).entryInfoList(QDir::Files))
                    QFile::copy(f.absoluteFilePath(), work.filePath(f.fileName()));
                const QString project = work.filePath(projects.first().fileName());
                window.chooseOpenFile = [project] { return project; };
                window.Open1Click();
                haveProject = doc.pointCount() > 0;
            }
        }
    }

    // Without an example: a new project with a synthetic test.
    void makeSyntheticProject() {
        const QString project = work.filePath(QStringLiteral("DEMO.wft"));
        window.chooseSaveFile = [project] { return project; };
        window.New1Click();
        // A synthetic test: five times a decade from 1 to 1000 minutes at 86.4 m3/day.
        QString lines;
        for (int i = 0; i <= 15; ++i)
            lines += QString::number(std::pow(10.0, i / 5.0), 'g', 6) + QStringLiteral("\t0.1\n");
        QApplication::clipboard()->setText(lines);
        drive([&] { window.Edit1Click(); }, [](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            edit(w, "edName")->setText(QStringLiteral("Observation well PB 1"));
            clickOk(w);
        });
    }

    // Units, mesh and parameters, each saved and confirmed.
    void modelDialogs() {
        drive([&] { window.Units1Click(); }, [&](QWidget* w) {
            save(w, dir, QStringLiteral("dialog-units.png"));
            clickOk(w);
        });
        drive([&] { window.Mesh1Click(); }, [&](QWidget* w) {
            save(w, dir, QStringLiteral("dialog-mesh.png"));
            clickOk(w);
        });
        drive([&] { window.Parameters1Click(); }, [&](QWidget* w) {
            auto* g = w->findChild<StringGrid*>(QStringLiteral("sgDischarge"));
            if (!haveProject) g->setCell(1, 2, QStringLiteral("86.4"));
            save(w, dir, QStringLiteral("dialog-parameters.png"));
            clickOk(w);
        });
    }

    // The data editor: for the synthetic test, measurements made from a
    // fixed-time run of known parameters with a small scatter.
    void measurements() {
        if (!haveProject) {
            drive([&] { window.Analysis2Click(); }, [](QWidget* w) {
                const char* names[4] = {"edTFGuess", "edTMGuess", "edSFGuess", "edSMGuess"};
                const char* values[4] = {"12", "0.002", "4e-6", "0.004"};
                for (int i = 0; i < 4; ++i) edit(w, names[i])->setText(QString::fromLatin1(values[i]));
                w->findChild<QPushButton*>(QStringLiteral("btnBound"))->click();
                w->findChild<QRadioButton*>(QStringLiteral("rgType1"))->setChecked(true);
                clickOk(w);
            });
            QString measured;
            int i = 0;
            for (const QPointF& p : window.chart()->fit()->points()) {
                const double scatter = 1.0 + 0.03 * std::sin(2.7 * i++);
                measured += QString::number(p.x(), 'g', 6) + QLatin1Char('\t') +
                            QString::number(p.y() * scatter, 'g', 5) + QLatin1Char('\n');
            }
            QApplication::clipboard()->setText(measured);
            drive([&] { window.Edit1Click(); }, [&](QWidget* w) {
                w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
                settle(50);
                save(w, dir, QStringLiteral("dialog-data.png"));
                clickOk(w);
            });
            drive([&] { window.Parameters1Click(); }, [](QWidget* w) { clickOk(w); });
        } else {
            drive([&] { window.Edit1Click(); }, [&](QWidget* w) {
                save(w, dir, QStringLiteral("dialog-data.png"));
                static_cast<QDialog*>(w)->reject();
            });
        }
    }

    // The analysis dialog and the windows of its results.
    void analysis() {
        drive([&] { window.Analysis2Click(); }, [&](QWidget* w) {
            // A project's own guesses stay; the synthetic test starts from fresh ones.
            if (!haveProject) w->findChild<QPushButton*>(QStringLiteral("btnParam"))->click();
            save(w, dir, QStringLiteral("dialog-analysis.png"));
            clickOk(w);
        });
        save(progressWindow(), dir, QStringLiteral("dialog-progress.png"));
        progressWindow()->hide();
        save(&window, dir, QStringLiteral("main-window.png"));
        if (FitReportWindow* report = window.fitReportWindow()) {
            save(report, dir, QStringLiteral("fit-report.png"));
            report->hide();
        }

        drive([&] { window.chart()->Chart1DblClick(); }, [&](QWidget* w) {
            save(w, dir, QStringLiteral("dialog-chart-editor.png"));
            static_cast<QDialog*>(w)->reject();
        });
        drive([&] { window.ExportGraph1Click(); }, [&](QWidget* w) {
            save(w, dir, QStringLiteral("dialog-export.png"));
            static_cast<QDialog*>(w)->reject();
        });
        drive([&] { window.ShowLog1Click(); }, [&](QWidget* w) {
            save(w, dir, QStringLiteral("dialog-log.png"));
            static_cast<QDialog*>(w)->reject();
        });
    }

    // A project of several observation points: the chart of all, their
    // diagnostics and the pages of the further points.
    void points() {
        if (doc.observationPointCount() > 1) {
            // Several observation points: the page of the second point, and the chart of all.
            save(&window, dir, QStringLiteral("chart-points.png"));
            // Every point's derivative and residuals.
            window.chart()->setDerivativeShown(true);
            window.chart()->setResidualsShown(true);
            save(&window, dir, QStringLiteral("chart-points-diagnostics.png"));
            window.chart()->setDerivativeShown(false);
            window.chart()->setResidualsShown(false);
            drive([&] { window.Edit1Click(); }, [&](QWidget* w) {
                if (auto* d = qobject_cast<TFData*>(w)) d->showPage(1);
                save(w, dir, QStringLiteral("dialog-data-points.png"));
                static_cast<QDialog*>(w)->reject();
            });
            drive([&] { window.Mesh1Click(); }, [&](QWidget* w) {
                save(w, dir, QStringLiteral("dialog-mesh-points.png"));
                static_cast<QDialog*>(w)->reject();
            });
        }
    }

    // The Match panel after the fit, and a drag of the matrix transmissivity
    // (one aquifer: its transmissivity) from a third of the fitted value back
    // to it in four pictures, derivative and residuals on.
    void match() {
        MatchPanel* panel = window.matchPanel();
        panel->show();
        settle(300);
        save(&window, dir, QStringLiteral("match-panel.png"));
        window.chart()->setDerivativeShown(true);
        window.chart()->setResidualsShown(true);
        const std::size_t which = panel->parameters().size() == 4 ? 1 : 0;
        const double fitted = panel->values()[which];
        const double factors[4] = {0.35, 0.55, 0.8, 1.0};
        for (int k = 0; k < 4; ++k) {
            panel->setValue(which, fitted * factors[k]);
            settle(300);
            save(&window, dir, QStringLiteral("match-drag-%1.png").arg(k + 1));
        }
        window.chart()->setDerivativeShown(false);
        window.chart()->setResidualsShown(false);
        panel->hide();
        settle(100);
    }

    // Derivative, residuals and the log-log view.
    void diagnostics() {
        window.chart()->setDerivativeShown(true);
        window.chart()->setResidualsShown(true);
        save(&window, dir, QStringLiteral("chart-diagnostics.png"));
        window.chart()->setDerivativeShown(false);
        window.chart()->setResidualsShown(false);
        drive([&] { window.LogLog1Click(); }, [&](QWidget* w) {
            save(w, dir, QStringLiteral("loglog-view.png"));
            static_cast<QDialog*>(w)->accept();
        });
    }
};

} // namespace

int takeScreenshots(wf::doc::ProjectDocument& doc, const QString& dir, const QString& exampleFolder) {
    QDir().mkpath(dir);
    // Nobody answers the questions: Paste replaces, changes are dropped.
    TFData::defaultConfirmReplace() = [](int, int) { return true; };
    TWellfit::defaultAskToSaveChanges() = [] { return static_cast<int>(QMessageBox::Discard); };
    QTemporaryDir work;
    TWellfit window(doc, work.filePath(QStringLiteral("mru.ini")));
    window.resize(1000, 640);
    window.show();
    QTimer boxes;
    autoAnswerBoxes(boxes);

    ScreenshotTour tour{doc, dir, window, work};
    tour.openExample(exampleFolder);
    if (!tour.haveProject) tour.makeSyntheticProject();
    tour.modelDialogs();
    tour.measurements();
    tour.analysis();
    tour.points();
    tour.match();
    tour.diagnostics();
    return 0;
}

} // namespace wf::ui
