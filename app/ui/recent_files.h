// The recent-files list of the File menu: at most five project paths, most
// recent first, as entries "&1 path" ... at the separator above "E&xit", with
// "&Clear MRU List" and "&Remove Obsolete". Stored with QSettings under the
// organisation and application "Wellfit", group "Tavrinx MRU", values F0 (most recent) to F4.
#pragma once

#include <functional>

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace wf::ui {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 5;

    // settingsFile empty: the user's settings of the organisation and application "Wellfit";
    // otherwise that INI file (tests).
    RecentFiles(QMenu* fileMenu, QAction* before, QString settingsFile, QObject* parent = nullptr);

    void read();
    void write() const;

    // Puts the path at the top (removing an older entry of the same path).
    void add(const QString& path);
    void remove(const QString& path);
    void clear();
    // Drops every entry whose file no longer exists.
    void removeObsolete();
    const QStringList& paths() const { return paths_; }

    // Called with the full path when an entry is chosen.
    std::function<void(const QString&)> onItemClick;

private:
    void rebuildMenu();

    QMenu* menu_;
    QAction* before_;
    QString settingsFile_;
    QStringList paths_;
    QList<QAction*> actions_;
};

} // namespace wf::ui
