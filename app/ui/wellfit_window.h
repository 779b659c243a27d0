// TWellfit: the main window of Wellfit - menus, project commands, the chart.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include <QMainWindow>

#include "document/project_document.h"
#include "preparation_state.h"
#include "wfcore/options.h"

class QAction;
class QMenu;
class QPrinter;

namespace wf::ui {

class DrawdownChart;
class FitReportWindow;
class MatchPanel;
class RecentFiles;

class TWellfit : public QMainWindow {
    Q_OBJECT
public:
    // settingsFile: where the recent-files list is kept (empty: the user's settings).
    explicit TWellfit(wf::doc::ProjectDocument& document, const QString& settingsFile = QString(),
                      QWidget* parent = nullptr);
    // Writes the recent-files list.
    ~TWellfit() override;

    // The file dialogs; tests replace them. An empty result means Cancel.
    std::function<QString()> chooseSaveFile;
    std::function<QString()> chooseOpenFile;
    std::function<QString(const QString& filter, const QString& suffix)> chooseExportFile;
    // The question before unsaved changes are dropped (New, Open, Reopen,
    // Exit, closing the window): QMessageBox::Save, Discard or Cancel. Tests
    // replace it; empty: the message box.
    std::function<int()> askToSaveChanges;
    // The same for every window that has none of its own (a test program
    // sets it once).
    static std::function<int()>& defaultAskToSaveChanges();
    // Asks when the project has unsaved changes; Save saves it first. True
    // when the command may go on.
    bool changesMayBeDropped();

    // ---- Menu handlers ----
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void ExportGraph1Click();
    void File1Click();  // Print
    void Exit1Click();
    void Edit1Click();
    void Units1Click();
    void Mesh1Click();
    void Parameters1Click();
    void Analysis2Click();
    void ShowLog1Click();
    // The log-log diagnostic view of the chart's curves (View menu).
    void LogLog1Click();
    // "Fit report": the report window for the last analysis's report.
    void FitReport1Click();
    // "Fit from here" of the Match panel: the project's search started from
    // the panel's values (they become the guesses, the bounds follow them).
    void MatchFitClick(const std::vector<double>& values);
    void MRUFileList1MRUItemClick(const QString& path);

    // ---- Chart ----
    void DrawDrawdown();
    void DrawFit();

    // Open with a chosen file (the open dialog's answer, or the command line):
    // enters its folder and carries out openPath.
    void openChosen(const QString& path);
    // Open steps 2 to 6 for a chosen path. The project file is loaded first;
    // when it cannot be read the message names it and nothing else changes.
    // The loaded project shows only its own values: discharge steps beyond
    // the file's table are empty, a file without a borehole name has none,
    // and no model curve of the project open before stays on the chart.
    bool openPath(const QString& path);

    // The project has changes that only Save keeps (shown by " *" after the caption).
    bool isModified() const { return modified_; }
    void setModified(bool modified);

    DrawdownChart* chart() const { return Chart1_; }
    // The live-matching panel beside the chart (View / Match, toolbar).
    MatchPanel* matchPanel() const { return match_; }
    RecentFiles* recentFiles() const { return mru_; }
    wf::doc::ProjectDocument& document() { return doc_; }
    // The report window (null until it was first opened) and the solver's copy
    // of the last analysis's report.
    FitReportWindow* fitReportWindow() const { return fitReport_; }
    const WfFitReport& lastFitReport() const { return lastFit_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void recordRun(const wf::doc::Status& recorded);
    QString meshProblem(const std::filesystem::path& folder) const;

    // The working directory becomes the folder of `path` (and is remembered for messages).
    bool enterFolder(const QString& projectPath);
    // The working directory for a command that touches `file`; shows the
    // message and returns nothing when the project's folder is gone.
    std::optional<std::filesystem::path> folderFor(const QString& action, const QString& file);
    QAction* addItem(QMenu* menu, const QString& text, const char* name, void (TWellfit::*handler)());
    void setProjectCaption(const QString& path);
    // Menu states: a project is open (without points) / the project has points.
    void showProjectWithoutPoints();
    void showProjectWithPoints();
    QString saveDialog();
    QString openDialog();
    // The report text of the project's side file {stem}.fit becomes the last
    // report (none when the file is missing); the menu item follows.
    void takeFitReport();
    // The analysis run of type 0, 1 or 2 with the document's values, after
    // the analysis dialog or "Fit from here"; its checks first.
    void runAnalysis(int type);

    wf::doc::ProjectDocument& doc_;
    PreparationState preparation_;
    QString captionPath_;
    bool modified_ = false;
    DrawdownChart* Chart1_ = nullptr;
    RecentFiles* mru_ = nullptr;
    QMenu* File1_ = nullptr;
    QMenu* Data1_ = nullptr;
    QMenu* Analysis1_ = nullptr;
    QAction* New1_ = nullptr;
    QAction* Open1_ = nullptr;
    QAction* Save1_ = nullptr;
    QAction* SaveAs1_ = nullptr;
    QAction* ExportGraph1_ = nullptr;
    QAction* PrintPreview1_ = nullptr;
    QAction* N1_ = nullptr;
    QAction* Exit1_ = nullptr;
    QMenu* View1_ = nullptr;
    QAction* FitReport1_ = nullptr;
    FitReportWindow* fitReport_ = nullptr;
    MatchPanel* match_ = nullptr;
    QString lastReport_;
    WfFitReport lastFit_{};
};

} // namespace wf::ui
