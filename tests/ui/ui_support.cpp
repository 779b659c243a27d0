#include "ui_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "data_dialog.h"
#include <QPushButton>
#include <QtGlobal>

#include "app_setup.h"
#include "modal_driver.h"
#include "textio/side_file.h"

namespace wf::uitest {

void ProjectFolderTest::SetUp() {
    savedCwd_ = QDir::currentPath();
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    QDir::setCurrent(dir_->path());
}

void ProjectFolderTest::TearDown() {
    QDir::setCurrent(savedCwd_);
    dir_.reset();
}

void NewProjectTest::SetUp() {
    ProjectFolderTest::SetUp();
    window = std::make_unique<wf::ui::TWellfit>(doc, path(QStringLiteral("mru.ini")));
    const QString demo = path(QStringLiteral("DEMO.wft"));
    window->chooseSaveFile = [demo] { return demo; };
    window->New1Click();
}

void NewProjectTest::TearDown() {
    window.reset();
    ProjectFolderTest::TearDown();
}

namespace {

QString sidePath(const QString& dir, const QString& name) {
    const QFileInfo info(QDir(dir).filePath(name));
    return QString::fromStdString(
        wf::textio::sideFilePath(info.fileName().toStdString(), info.absolutePath().toStdString()).string());
}

} // namespace

QByteArray ProjectFolderTest::readFile(const QString& name) const {
    QFile f(sidePath(dir_->path(), name));
    if (!f.open(QIODevice::ReadOnly)) return QByteArray();
    return f.readAll();
}

bool ProjectFolderTest::exists(const QString& name) const { return QFile::exists(sidePath(dir_->path(), name)); }

BoxCatcher::BoxCatcher() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        boxes_.append({box->windowTitle(), box->text(), box->parentWidget(), box->width()});
        box->button(QMessageBox::Ok)->click();
    });
    timer_.start();
}

BoxCatcher::~BoxCatcher() { timer_.stop(); }

QStringList BoxCatcher::texts() const {
    QStringList t;
    for (const Box& b : boxes_) t << b.text;
    return t;
}

void onDialog(std::function<void(QWidget*)> f) {
    wf::ui::whenModalShows([f = std::move(f)](QWidget* w) { f(w); });
}

void pump(int ms) { wf::ui::settle(ms); }

} // namespace wf::uitest

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    wf::ui::setUpApplication();
    // No person answers here: unsaved changes are dropped as the commands
    // always did, unless a test asks for the question itself.
    wf::ui::TWellfit::defaultAskToSaveChanges() = [] { return static_cast<int>(QMessageBox::Discard); };
    wf::ui::TFData::defaultConfirmReplace() = [](int, int) { return true; };  // Paste replaces, as it always did
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
