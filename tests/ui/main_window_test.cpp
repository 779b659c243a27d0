// The main window: New, Open, Save as, the menu states and the recent-files list.
#include <cstring>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QLogValueAxis>
#include <QScatterSeries>

#include "drawdown_chart.h"
#include "recent_files.h"
#include "ui_support.h"
#include "wellfit_window.h"

namespace wf::uitest {
namespace {

QAction* action(QWidget& w, const char* name) { return w.findChild<QAction*>(QString::fromLatin1(name)); }
bool menuShown(QWidget& w, const char* name) {
    auto* m = w.findChild<QMenu*>(QString::fromLatin1(name));
    return m && m->menuAction()->isVisible();
}

// The default project as the project-file layout lays it out, item by item.
QByteArray defaultProjectBytes() {
    QByteArray b;
    auto i32 = [&b](int32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    auto f32 = [&b](float v) { b.append(reinterpret_cast<const char*>(&v), 4); };
    for (int32_t v : {0, 0, 2, 0, 0, 0, 1, -4}) i32(v);  // NR NZ NMAT NZF NZM NN NE NB
    f32(1024.0f);                                         // RMAX
    for (int32_t v : {3, 2, 2, 12, 12, 8}) i32(v);       // UNITS
    f32(40.0f);                                           // THICK
    f32(0.2f);                                            // RATIO
    i32(1);                                               // NOBS
    i32(0);                                               // NODOBS 1
    i32(1);                                               // IPOS 1
    f32(1.0f);                                            // ROBS 1
    i32(1);                                               // NQ
    i32(0);                                               // IWLO
    f32(0.0f);                                            // NSTEP
    f32(0.0f);                                            // TSIM
    i32(1);                                               // IPUMP
    i32(1);                                               // IOPP
    f32(0.0f);                                            // Q 1
    f32(0.0f);                                            // TQ 1
    for (float v : {0.0f, 0.001f, 1e-6f, 0.003f}) f32(v); // TF TM SF SM
    return b;
}

class MainWindowTest : public ProjectFolderTest {
protected:
    QString settings() const { return path(QStringLiteral("mru.ini")); }
};

TEST_F(MainWindowTest, StartsWithoutProjectAndNewWritesTheDefaultProject) {
    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, settings());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Wellfit"));
    EXPECT_FALSE(menuShown(w, "Data1"));
    EXPECT_FALSE(menuShown(w, "Analysis1"));
    EXPECT_FALSE(action(w, "Save1")->isEnabled());
    EXPECT_FALSE(action(w, "SaveAs1")->isEnabled());
    EXPECT_FALSE(action(w, "PrintPreview1")->isEnabled());
    EXPECT_FALSE(action(w, "ExportGraph1")->isEnabled());
    EXPECT_EQ(action(w, "New1")->text(), QStringLiteral("&New"));
    EXPECT_EQ(action(w, "SaveAs1")->text(), QStringLiteral("Save &as"));
    EXPECT_EQ(action(w, "ExportGraph1")->text(), QStringLiteral("Export &Graph"));
    EXPECT_EQ(action(w, "Exit1")->text(), QStringLiteral("E&xit"));

    // Cancel in the save dialog changes nothing.
    w.chooseSaveFile = [] { return QString(); };
    w.New1Click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Wellfit"));
    EXPECT_FALSE(menuShown(w, "Data1"));

    QDir(dir_->path()).mkdir(QStringLiteral("proj"));
    const QString demo = path(QStringLiteral("proj/DEMO.wft"));
    w.chooseSaveFile = [demo] { return demo; };
    w.New1Click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Wellfit - ") + demo);
    EXPECT_EQ(readFile(QStringLiteral("proj/DEMO.wft")), defaultProjectBytes());
    EXPECT_EQ(readFile(QStringLiteral("proj/DEMO.wft")).size(), 132);
    EXPECT_EQ(QDir::currentPath(), QDir(path(QStringLiteral("proj"))).canonicalPath());
    EXPECT_STREQ(doc.filename.invName, "DEMO.INV");
    EXPECT_STREQ(doc.filename.datName, "DEMO.DAT");
    EXPECT_TRUE(menuShown(w, "Data1"));
    EXPECT_FALSE(menuShown(w, "Analysis1"));
    EXPECT_TRUE(action(w, "Save1")->isEnabled());
    EXPECT_TRUE(action(w, "SaveAs1")->isEnabled());
    EXPECT_FALSE(action(w, "PrintPreview1")->isEnabled());
    EXPECT_FALSE(w.chart()->isVisibleTo(&w));
}

TEST_F(MainWindowTest, SaveAsKeepsTheProjectNameForSave) {
    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, settings());
    const QString demo = path(QStringLiteral("DEMO.wft"));
    w.chooseSaveFile = [demo] { return demo; };
    w.New1Click();
    QDir(dir_->path()).mkdir(QStringLiteral("other"));
    const QString other = path(QStringLiteral("other/OTHER.wft"));
    w.chooseSaveFile = [other] { return other; };
    doc.obsv.THICK = 55.0f;
    w.SaveAs1Click();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Wellfit - ") + other);
    ASSERT_EQ(readFile(QStringLiteral("other/OTHER.wft")).size(), 132);
    float thick = 0;
    std::memcpy(&thick, readFile(QStringLiteral("other/OTHER.wft")).constData() + 60, 4);
    EXPECT_EQ(thick, 55.0f);
    // Save still writes DEMO.wft, now in the folder of OTHER.wft; the recent list is unchanged.
    w.Save1Click();
    EXPECT_EQ(readFile(QStringLiteral("other/DEMO.wft")).size(), 132);
    EXPECT_EQ(w.recentFiles()->paths(), QStringList{demo});
}

TEST_F(MainWindowTest, OpenWithoutTestDataShowsTheDataMenuOnlyAndWithDataTheChart) {
    const QString demo = path(QStringLiteral("DEMO.wft"));
    {
        wf::doc::ProjectDocument doc;
        wf::ui::TWellfit w(doc, settings());
        w.chooseSaveFile = [demo] { return demo; };
        w.New1Click();
    }
    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, settings());
    w.chooseOpenFile = [demo] { return demo; };
    w.Open1Click();
    EXPECT_TRUE(menuShown(w, "Data1"));
    EXPECT_FALSE(menuShown(w, "Analysis1"));
    EXPECT_FALSE(w.chart()->isVisibleTo(&w));

    QFile dat(path(QStringLiteral("DEMO.DAT")));
    ASSERT_TRUE(dat.open(QIODevice::WriteOnly));
    dat.write("DEMO.wft\r\n\r\n3\r\n\r\n"
              " 1.00000000000000E+0000 5.00000000000000E-0001\r\n"
              " 1.00000000000000E+0001 1.50000000000000E+0000\r\n"
              " 8.50000000000000E+0002 2.75000000000000E+0000\r\n");
    dat.close();
    w.Open1Click();
    EXPECT_TRUE(menuShown(w, "Analysis1"));
    EXPECT_TRUE(action(w, "PrintPreview1")->isEnabled());
    EXPECT_TRUE(action(w, "ExportGraph1")->isEnabled());
    EXPECT_TRUE(w.chart()->isVisibleTo(&w));
    ASSERT_EQ(w.chart()->measured()->count(), 3);
    EXPECT_EQ(w.chart()->measured()->at(2), QPointF(850.0, 2.75));
    EXPECT_EQ(w.chart()->timeAxis()->max(), 1000.0);  // largest time 850
}

TEST_F(MainWindowTest, RecentFilesSurviveARestart) {
    QStringList made;
    {
        wf::doc::ProjectDocument doc;
        wf::ui::TWellfit w(doc, settings());
        for (const char* name : {"A.wft", "B.wft", "C.wft", "D.wft", "E.wft", "F.wft", "B.wft"}) {
            const QString p = path(QString::fromLatin1(name));
            w.chooseSaveFile = [p] { return p; };
            w.New1Click();
        }
    }
    // Most recent first, at most five, no duplicates.
    const QStringList expected{path("B.wft"), path("F.wft"), path("E.wft"), path("D.wft"), path("C.wft")};
    QSettings stored(settings(), QSettings::IniFormat);
    stored.beginGroup(QStringLiteral("Tavrinx MRU"));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(stored.value(QStringLiteral("F%1").arg(i)).toString(), expected[i]);
    EXPECT_FALSE(stored.contains(QStringLiteral("F5")));
    stored.endGroup();

    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, settings());
    EXPECT_EQ(w.recentFiles()->paths(), expected);
    auto* first = w.findChild<QAction*>(QStringLiteral("MRUItem0"));
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->text().startsWith(QStringLiteral("&1 ")));
    EXPECT_EQ(first->data().toString(), expected[0]);
    ASSERT_NE(w.findChild<QAction*>(QStringLiteral("ClearMRU")), nullptr);
    EXPECT_EQ(w.findChild<QAction*>(QStringLiteral("ClearMRU"))->text(), QStringLiteral("&Clear MRU List"));
    EXPECT_EQ(w.findChild<QAction*>(QStringLiteral("RemoveObsolete"))->text(), QStringLiteral("&Remove Obsolete"));

    // Reopen of the fourth entry moves it to the top and opens it.
    w.findChild<QAction*>(QStringLiteral("MRUItem3"))->trigger();
    EXPECT_EQ(w.recentFiles()->paths().first(), path("D.wft"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Wellfit - ") + path("D.wft"));

    // Remove Obsolete drops the entries whose file is gone.
    QFile::remove(path("E.wft"));
    QFile::remove(path("C.wft"));
    w.findChild<QAction*>(QStringLiteral("RemoveObsolete"))->trigger();
    EXPECT_EQ(w.recentFiles()->paths(), (QStringList{path("D.wft"), path("B.wft"), path("F.wft")}));
}

TEST_F(MainWindowTest, ReopenOfAVanishedFolderOnlyDropsTheEntry) {
    QDir(dir_->path()).mkdir(QStringLiteral("gone"));
    const QString lost = path(QStringLiteral("gone/LOST.wft"));
    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, settings());
    w.chooseSaveFile = [lost] { return lost; };
    w.New1Click();
    QDir::setCurrent(dir_->path());
    QDir(path(QStringLiteral("gone"))).removeRecursively();
    BoxCatcher boxes;
    w.setWindowTitle(QStringLiteral("Wellfit"));
    w.MRUFileList1MRUItemClick(lost);
    pump(30);
    EXPECT_TRUE(boxes.boxes().isEmpty());
    EXPECT_TRUE(w.recentFiles()->paths().isEmpty());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Wellfit"));
}

TEST_F(MainWindowTest, HelpIsTheLastMenuAndAboutShowsTheBuildVersion) {
    wf::doc::ProjectDocument doc;
    wf::ui::TWellfit w(doc, settings());
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Data", "&Analysis", "&View", "&Help"}));
    BoxCatcher boxes;
    action(w, "About1")->trigger();
    ASSERT_EQ(boxes.boxes().size(), 1);
    EXPECT_EQ(boxes.boxes().front().caption, QStringLiteral("About Wellfit"));
    // The version of the build, the one wellfit-cli --version prints too.
    EXPECT_TRUE(boxes.boxes().front().text.startsWith(QStringLiteral("Wellfit " WF_EXPECTED_VERSION "\n")))
        << boxes.boxes().front().text.toStdString();
}

} // namespace
} // namespace wf::uitest
