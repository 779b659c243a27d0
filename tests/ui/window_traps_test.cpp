// What a user trips over in the main window: values of the project open before
// presented as the new one's, a test-data file with one unreadable word, the
// project named on the command line, a project folder that vanished, and an
// analysis that would read preparation files older than the data.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScatterSeries>

#include "app_setup.h"
#include "drawdown_chart.h"
#include "string_grid.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

bool menuShown(QWidget& w, const char* name) {
    auto* m = w.findChild<QMenu*>(QString::fromLatin1(name));
    return m && m->menuAction()->isVisible();
}

class WindowTrapTest : public ProjectFolderTest {
protected:
    void SetUp() override {
        ProjectFolderTest::SetUp();
        window = std::make_unique<wf::ui::TWellfit>(doc, path(QStringLiteral("mru.ini")));
    }
    void TearDown() override {
        window.reset();
        ProjectFolderTest::TearDown();
    }
    // Project A: three pumping steps, a borehole name, points and a model curve.
    QString makeProjectA() {
        QDir(dir_->path()).mkdir(QStringLiteral("a"));
        wf::doc::ProjectDocument a;
        a.setDerivedNames("A.wft");
        a.pump.NQ = 3;
        const float tq[3] = {0, 100, 200}, q[3] = {86.4f, 50, 20};
        for (int k = 0; k < 3; ++k) a.pump.TQ[k] = tq[k], a.pump.Q[k] = q[k];
        a.setBoreholeName("PB-A");
        const std::string folder = path(QStringLiteral("a")).toStdString();
        EXPECT_TRUE(a.saveProject(folder + "/A.wft").ok());
        EXPECT_TRUE(a.acceptTestData("PB-A", {"1", "10", "100"}, {"0.1", "0.5", "0.9"}, folder).ok());
        QFile inv(path(QStringLiteral("a/A.INV")));
        EXPECT_TRUE(inv.open(QIODevice::WriteOnly));
        inv.write(" 1 3\n     Node:     22\n 22 1.0 0.1\n 22 10.0 0.5\n 22 100.0 0.9\n");
        return path(QStringLiteral("a/A.wft"));
    }
    // Project B: one step, no name block, no test data.
    QString makeProjectB() {
        QDir(dir_->path()).mkdir(QStringLiteral("b"));
        wf::doc::ProjectDocument b;
        b.setDerivedNames("B.wft");
        b.pump.Q[0] = 10.0f;
        EXPECT_TRUE(b.saveProject(path(QStringLiteral("b/B.wft")).toStdString()).ok());
        return path(QStringLiteral("b/B.wft"));
    }
    void open(const QString& p) {
        window->chooseOpenFile = [p] { return p; };
        window->Open1Click();
    }
    void enterData(const QString& lines) {
        QApplication::clipboard()->setText(lines);
        onDialog([](QWidget* w) {
            w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
            clickOk(w);
        });
        window->Edit1Click();
    }
    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
};

TEST_F(WindowTrapTest, OpenShowsOnlyTheLoadedProjectsOwnValues) {
    const QString a = makeProjectA(), b = makeProjectB();
    open(a);
    ASSERT_EQ(doc.pump.NQ, 3);
    ASSERT_EQ(window->chart()->fit()->count(), 3);
    EXPECT_EQ(window->chart()->chartObject()->title(), QStringLiteral("PB-A"));

    open(b);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Wellfit - ") + b);
    EXPECT_EQ(doc.pump.NQ, 1);
    EXPECT_EQ(doc.pump.Q[0], 10.0f);
    for (int k = 1; k < 20; ++k) EXPECT_TRUE(doc.pump.TQ[k] == 0.0f && doc.pump.Q[k] == 0.0f) << k;
    EXPECT_EQ(doc.boreholeName(), "");
    EXPECT_EQ(window->chart()->fit()->count(), 0);
    EXPECT_EQ(window->chart()->measured()->count(), 0);

    // The parameters dialog shows B's one step; OK keeps NQ 1.
    QStringList rows;
    onDialog([&rows](QWidget* w) {
        auto* g = w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDischarge"));
        for (int r = 1; r <= 3; ++r) rows << g->cell(r, 1) + QLatin1Char('/') + g->cell(r, 2);
        static_cast<QDialog*>(w)->reject();
    });
    window->Parameters1Click();
    EXPECT_EQ(rows, (QStringList{"0/10", "0/0", "0/0"}));
    {
        BoxCatcher noMesh;  // OK stores the table; B has no mesh, so no run
        onDialog([](QWidget* w) { clickOk(w); });
        window->Parameters1Click();
        EXPECT_EQ(noMesh.texts(), QStringList{QStringLiteral("Do mesh construction first and save")});
        EXPECT_EQ(doc.pump.NQ, 1);
        EXPECT_EQ(doc.pump.TQ[1], 0.0f);
    }

    // Data typed for B: the chart shows them without A's model curve.
    BoxCatcher boxes;
    enterData(QStringLiteral("2\t0.3\n20\t0.6\n"));
    EXPECT_EQ(window->chart()->measured()->count(), 2);
    EXPECT_EQ(window->chart()->fit()->count(), 0);
    EXPECT_EQ(window->chart()->chartObject()->title(), QString());
}

TEST_F(WindowTrapTest, NewForgetsTheBoreholeNameAndTheStepsOfTheProjectBefore) {
    open(makeProjectA());
    const QString c = path(QStringLiteral("C.wft"));
    window->chooseSaveFile = [c] { return c; };
    window->New1Click();
    EXPECT_EQ(readFile(QStringLiteral("C.wft")).size(), 132);
    EXPECT_EQ(doc.boreholeName(), "");
    for (int k = 0; k < 20; ++k) EXPECT_TRUE(doc.pump.TQ[k] == 0.0f && doc.pump.Q[k] == 0.0f) << k;
}

TEST_F(WindowTrapTest, AnUnreadableProjectChangesNothing) {
    const QString a = makeProjectA();
    open(a);
    QDir(dir_->path()).mkdir(QStringLiteral("X.wft"));  // a folder, not a file
    const QString x = path(QStringLiteral("X.wft"));
    BoxCatcher boxes;
    open(x);
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Error"));
    // The failure names the file, whether the loader reports it or a stream throws.
    EXPECT_TRUE(boxes.texts()[0].contains(x)) << boxes.texts()[0].toStdString();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Wellfit - ") + a);
    EXPECT_EQ(QDir::currentPath(), QDir(path(QStringLiteral("a"))).canonicalPath());
    EXPECT_EQ(doc.boreholeName(), "PB-A");
}

TEST_F(WindowTrapTest, OneUnreadableWordDoesNotRefuseTheTestData) {
    QDir(dir_->path()).mkdir(QStringLiteral("d"));
    wf::doc::ProjectDocument d;
    d.setDerivedNames("D.wft");
    ASSERT_TRUE(d.saveProject(path(QStringLiteral("d/D.wft")).toStdString()).ok());
    QFile dat(path(QStringLiteral("d/D.DAT")));
    ASSERT_TRUE(dat.open(QIODevice::WriteOnly));
    dat.write("D.wft\r\n\r\n3\r\n\r\n1 0.1\r\n2 abc\r\n3 0.3\r\n");
    dat.close();
    BoxCatcher boxes;
    open(path(QStringLiteral("d/D.wft")));
    EXPECT_EQ(doc.pointCount(), 3);
    EXPECT_EQ(doc.values()[1], "abc");
    EXPECT_TRUE(menuShown(*window, "Analysis1"));
    // The chart names the word it cannot draw.
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Point 2: the value 'abc' is not a number"));
    // The editor shows it, for the user to correct.
    QString shown;
    onDialog([&shown](QWidget* w) {
        shown = w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDrawDown"))->cell(2, 2);
        static_cast<QDialog*>(w)->reject();
    });
    window->Edit1Click();
    EXPECT_EQ(shown, QStringLiteral("abc"));

    // A bad count still refuses the file, with its message.
    ASSERT_TRUE(dat.open(QIODevice::WriteOnly));
    dat.write("D.wft\r\n\r\nmany\r\n\r\n");
    dat.close();
    open(path(QStringLiteral("d/D.wft")));
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_TRUE(boxes.texts()[1].contains(QStringLiteral("the number of points \"many\" is not a whole number")));
    EXPECT_EQ(doc.pointCount(), 0);
}

TEST_F(WindowTrapTest, AProjectOnTheCommandLineOpensAsOpenDoes) {
    const QString a = makeProjectA();
    QDir::setCurrent(dir_->path());
    wf::ui::openCommandLineProject(*window, {QStringLiteral("a/A.wft")});  // relative to where it starts
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Wellfit - ") + a);
    EXPECT_EQ(doc.pointCount(), 3);
    EXPECT_TRUE(window->chart()->isVisibleTo(window.get()));
    EXPECT_EQ(QDir::currentPath(), QDir(path(QStringLiteral("a"))).canonicalPath());

    const QString b = makeProjectB();
    wf::ui::openCommandLineProject(*window, {QStringLiteral("file://") + b});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Wellfit - ") + b);
    wf::ui::openCommandLineProject(*window, {});  // no argument: nothing happens
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Wellfit - ") + b);

    // An unreadable path gives the message Open gives.
    const QString missing = path(QStringLiteral("none/MISSING.wft"));
    BoxCatcher boxes;
    wf::ui::openCommandLineProject(*window, {missing});
    open(missing);
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.texts()[0], boxes.texts()[1]);
    EXPECT_EQ(boxes.boxes()[0].caption, QStringLiteral("Error"));
}

TEST_F(WindowTrapTest, AVanishedProjectFolderIsNamedAndTheWorkStays) {
    QDir(dir_->path()).mkdir(QStringLiteral("gone"));
    const QString demo = path(QStringLiteral("gone/DEMO.wft"));
    window->chooseSaveFile = [demo] { return demo; };
    window->New1Click();
    QDir(path(QStringLiteral("gone"))).removeRecursively();

    BoxCatcher boxes;
    window->findChild<QAction*>(QStringLiteral("Save1"))->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("Cannot save the project file DEMO.wft: the project's folder ") +
                                    path(QStringLiteral("gone")) + QStringLiteral(" no longer exists; nothing was written"));

    // OK of the data editor keeps the dialog open with what was typed.
    bool stillOpen = false;
    QString kept;
    QApplication::clipboard()->setText(QStringLiteral("1\t0.5\n"));
    onDialog([&](QWidget* w) {
        w->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        clickOk(w);
        stillOpen = w->isVisible();
        kept = w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDrawDown"))->cell(1, 2);
        static_cast<QDialog*>(w)->reject();
    });
    window->findChild<QAction*>(QStringLiteral("Edit1"))->trigger();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(kept, QStringLiteral("0.5"));
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_TRUE(boxes.texts()[1].startsWith(QStringLiteral("Cannot write the test data file DEMO.DAT: the project's folder")));
    EXPECT_EQ(doc.pointCount(), 0);
}

// Mesh, parameters and a fixed-time analysis through the windows, and what the
// analysis says when the preparation files are older than the data.
class PreparationTrapTest : public WindowTrapTest {
protected:
    void prepare(int waterLevels = 0) {
        onDialog([waterLevels](QWidget* w) {
            auto* g = w->findChild<wf::ui::StringGrid*>(QStringLiteral("sgDischarge"));
            g->setCell(1, 1, QStringLiteral("0"));
            g->setCell(1, 2, QStringLiteral("86.4"));
            w->findChild<QComboBox*>(QStringLiteral("cbWLO"))->setCurrentIndex(waterLevels);
            clickOk(w);
        });
        window->Parameters1Click();
    }
    void analyse() {
        for (const QString& name : QDir(dir_->path()).entryList(QDir::Files))
            if (name.compare(QStringLiteral("DEMO.INV"), Qt::CaseInsensitive) == 0) QFile::remove(path(name));
        onDialog([](QWidget* w) {
            const char* names[4] = {"edTFGuess", "edTMGuess", "edSFGuess", "edSMGuess"};
            const char* values[4] = {"12", "0.002", "4e-6", "0.004"};
            for (int i = 0; i < 4; ++i) edit(w, names[i])->setText(QString::fromLatin1(values[i]));
            w->findChild<QPushButton*>(QStringLiteral("btnBound"))->click();
            w->findChild<QRadioButton*>(QStringLiteral("rgType1"))->setChecked(true);
            clickOk(w);
        });
        window->Analysis2Click();
    }
    QString data(double shift) const {
        QString lines;
        for (int i = 1; i <= 8; ++i) lines += QStringLiteral("%1\t%2\n").arg(i * 10).arg(0.1 * i + shift);
        return lines;
    }
};

TEST_F(PreparationTrapTest, AnAnalysisOnOlderPreparationFilesIsRefusedWithAMessage) {
    window->show();
    const QString demo = path(QStringLiteral("DEMO.wft"));
    window->chooseSaveFile = [demo] { return demo; };
    window->New1Click();
    BoxCatcher boxes;
    enterData(data(0.0));
    onDialog([](QWidget* w) { clickOk(w); });
    window->Mesh1Click();
    window->Save1Click();
    prepare();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    analyse();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    ASSERT_TRUE(exists(QStringLiteral("DEMO.INV")));
    analyse();  // a second analysis on the same preparation is fine
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();

    const QString again = QStringLiteral("Run Analysis / Parameters again before the analysis.");
    // New data: the analysis is not started on the old files.
    enterData(data(0.05));
    analyse();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("The observation file DEMO.OBS and the parameter file DEMO.TIM are "
                                               "older than the last change of the test data or the parameters. ") +
                                    again);
    EXPECT_FALSE(exists(QStringLiteral("DEMO.INV")));
    prepare();
    analyse();
    EXPECT_EQ(boxes.boxes().size(), 1);
    EXPECT_TRUE(exists(QStringLiteral("DEMO.INV")));

    // A preparation that fails (water levels must start at time 0): its error
    // box appears over the main window, and the analysis is refused.
    prepare(1);
    ASSERT_EQ(boxes.boxes().size(), 2);
    EXPECT_EQ(boxes.boxes()[1].text, QStringLiteral(" Pziometric Heads must start at time 0.0"));
    EXPECT_EQ(boxes.boxes()[1].parent, window.get());
    analyse();
    ASSERT_EQ(boxes.boxes().size(), 3);
    EXPECT_TRUE(boxes.texts()[2].endsWith(QStringLiteral("the last one did not complete. ") + again))
        << boxes.texts()[2].toStdString();
    EXPECT_FALSE(exists(QStringLiteral("DEMO.INV")));
    prepare(0);
    window->Save1Click();

    // Another session: files newer than the test data are taken, older ones not.
    window.reset();
    wf::doc::ProjectDocument second;
    window = std::make_unique<wf::ui::TWellfit>(second, path(QStringLiteral("mru.ini")));
    window->chooseOpenFile = [demo] { return demo; };
    window->Open1Click();
    analyse();
    EXPECT_EQ(boxes.boxes().size(), 3);
    EXPECT_TRUE(exists(QStringLiteral("DEMO.INV")));
    QFile dat(path(QStringLiteral("DEMO.DAT")));
    ASSERT_TRUE(dat.open(QIODevice::ReadWrite));
    ASSERT_TRUE(dat.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    dat.close();
    analyse();
    ASSERT_EQ(boxes.boxes().size(), 4);
    EXPECT_TRUE(boxes.texts()[3].endsWith(again));
    EXPECT_FALSE(exists(QStringLiteral("DEMO.INV")));
}

// A mesh file that a run of the command-line runner made for the fine model
// (and did not save) is named before the data preparation and the analysis.
TEST_F(PreparationTrapTest, AMeshOfTheOtherModelIsNamedBeforeTheRuns) {
    window->show();
    const QString demo = path(QStringLiteral("DEMO.wft"));
    window->chooseSaveFile = [demo] { return demo; };
    window->New1Click();
    BoxCatcher boxes;
    enterData(data(0.0));
    onDialog([](QWidget* w) { clickOk(w); });
    window->Mesh1Click();
    prepare();
    ASSERT_TRUE(boxes.boxes().isEmpty()) << boxes.texts().join('\n').toStdString();
    // The recorded mesh: "mesh standard ...", as the mesh run left it.
    QFile fpr(path(QStringLiteral("DEMO.fpr")));
    ASSERT_TRUE(fpr.open(QIODevice::ReadOnly));
    QString recorded = QString::fromUtf8(fpr.readAll());
    fpr.close();
    ASSERT_TRUE(recorded.contains(QStringLiteral("\nmesh standard "))) << recorded.toStdString();
    recorded.replace(QStringLiteral("\nmesh standard "), QStringLiteral("\nmesh fine "));
    ASSERT_TRUE(fpr.open(QIODevice::WriteOnly | QIODevice::Truncate));
    fpr.write(recorded.toUtf8());
    fpr.close();
    analyse();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.texts()[0], QStringLiteral("The mesh file DEMO.FEM was made for the fine model, but the project "
                                               "uses the standard model: run the mesh construction (Analysis / Mesh) "
                                               "again"));
    EXPECT_FALSE(exists(QStringLiteral("DEMO.INV")));
    prepare();
    EXPECT_EQ(boxes.boxes().size(), 2);
}

} // namespace
} // namespace wf::uitest
