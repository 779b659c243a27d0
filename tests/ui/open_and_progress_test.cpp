// Opening a project file that ends early, and the pass counter of the
// progress list beyond 999 passes.
#include <QFile>
#include <QListWidget>

#include "progress_window.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

class OpenShortFileTest : public ProjectFolderTest {
protected:
    // A project of thickness 12.5 saved whole, then cut to `bytes` bytes.
    QString cutProject(int bytes) {
        const QString file = path(QStringLiteral("CUT.wft"));
        wf::doc::ProjectDocument d;
        d.obsv.THICK = 12.5f;
        EXPECT_TRUE(d.saveProject(file.toStdString()));
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadWrite));
        EXPECT_TRUE(f.resize(bytes));
        return file;
    }
    QStringList openAndCatch(const QString& file) {
        wf::ui::TWellfit w(doc, path(QStringLiteral("mru.ini")));
        BoxCatcher boxes;
        w.chooseOpenFile = [file] { return file; };
        w.Open1Click();
        QStringList shown;
        for (const BoxCatcher::Box& b : boxes.boxes()) shown << b.caption + QStringLiteral(": ") + b.text;
        return shown;
    }
    wf::doc::ProjectDocument doc;
};

TEST_F(OpenShortFileTest, AFileCutInsideTheUnitsSaysWhereItEnds) {
    // 50 bytes end inside ICOND (offset 48): the fields from there on were not read.
    const QStringList shown = openAndCatch(cutProject(50));
    EXPECT_EQ(shown, QStringList{QStringLiteral(
                         "Information: Warning: CUT.wft ends after 50 bytes: ICOND and the later fields were not read")});
    EXPECT_EQ(doc.obsv.THICK, 40.0f);  // not in the file: the value it had
}

TEST_F(OpenShortFileTest, AnEmptyFileSaysThatNothingWasRead) {
    const QStringList shown = openAndCatch(cutProject(0));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Information: Warning: CUT.wft ends after 0 bytes: NR ")))
        << shown[0].toStdString();
}

TEST_F(OpenShortFileTest, AWholeFileGivesNoWord) {
    // 132 bytes: every fixed item of a one-step project, no name block.
    EXPECT_TRUE(openAndCatch(cutProject(132)).isEmpty());
    EXPECT_EQ(doc.obsv.THICK, 12.5f);
}

QStringList listed(const wf::ui::ProgressWindow& w) {
    QStringList l;
    for (int i = 0; i < w.list()->count(); ++i) l << w.list()->item(i)->text();
    return l;
}

TEST(PassCounter, PassesBeyond999AreNumberedNotStarred) {
    wf::ui::ProgressWindow w;
    w.beginRun();
    w.applyProgress(0, QStringLiteral("Iteration 999: Error Estimate (RMSE) =  0.1"),
                    {QStringLiteral("Iteration 999: Error Estimate (RMSE) =  0.1")});
    w.applyProgress(0, QStringLiteral("Iteration ***: Error Estimate (RMSE) =  0.1"),
                    {QStringLiteral("Iteration ***: Error Estimate (RMSE) =  0.1")});
    w.applyProgress(2, QStringLiteral("    Multipliers: 1"),
                    {QStringLiteral("Iteration ***: Error Estimate (RMSE) =  0.1"), QStringLiteral("    Multipliers: 1")});
    EXPECT_EQ(listed(w), (QStringList{QStringLiteral("Iteration 1000: Error Estimate (RMSE) =  0.1"),
                                      QStringLiteral("    Multipliers: 1")}));
    w.applyProgress(0, QStringLiteral("Iteration ***: Error Estimate (RMSE) =  0.09"),
                    {QStringLiteral("Iteration ***: Error Estimate (RMSE) =  0.09")});
    EXPECT_EQ(listed(w), QStringList{QStringLiteral("Iteration 1001: Error Estimate (RMSE) =  0.09")});
    w.endRun();
}

} // namespace
} // namespace wf::uitest
