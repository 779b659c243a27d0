// Shared helpers of the desktop-program tests: a fresh project folder that is
// the working directory while a test runs, and a catcher of message boxes.
#pragma once

#include <functional>
#include <memory>

#include <QByteArray>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "document/project_document.h"
#include "modal_driver.h"
#include "wellfit_window.h"

namespace wf::uitest {

// A fresh temporary folder; the working directory is restored afterwards.
class ProjectFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    QString path(const QString& name) const { return dir_->filePath(name); }
    // Side files are found whatever the letter case of their extension
    // (the program says DEMO.DAT, the solver demo.dat).
    QByteArray readFile(const QString& name) const;
    bool exists(const QString& name) const;

    std::unique_ptr<QTemporaryDir> dir_;
    QString savedCwd_;
};

// The main window on a new project DEMO.wft in the test's folder (New, its
// save question answered with that path); the window goes before the folder.
class NewProjectTest : public ProjectFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    wf::doc::ProjectDocument doc;
    std::unique_ptr<wf::ui::TWellfit> window;
};

// A dialog's line edit by object name, and its OK and Cancel buttons.
// (The program's own dialog driver, which its screenshot option uses too.)
inline QLineEdit* edit(QWidget* w, const char* name) { return wf::ui::dialogEdit(w, name); }
inline void clickOk(QWidget* w) { wf::ui::pressOk(w); }
inline void clickCancel(QWidget* w) { wf::ui::pressCancel(w); }

// Records every message box that appears while it lives and closes it with OK.
class BoxCatcher {
public:
    BoxCatcher();
    ~BoxCatcher();
    struct Box {
        QString caption;
        QString text;
        QWidget* parent;  // the window that owns the box
        int width;
    };
    const QList<Box>& boxes() const { return boxes_; }
    QStringList texts() const;

private:
    QTimer timer_;
    QList<Box> boxes_;
};

// Runs f with the next modal dialog (not a message box) once it is shown.
void onDialog(std::function<void(QWidget*)> f);

// Lets queued events and timers run for a while.
void pump(int ms = 50);

} // namespace wf::uitest
