#include "recent_files.h"

#include <QAction>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QSettings>

#include <memory>

namespace wf::ui {

namespace {

std::unique_ptr<QSettings> openSettings(const QString& file) {
    if (file.isEmpty()) return std::make_unique<QSettings>(QStringLiteral("Wellfit"), QStringLiteral("Wellfit"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

} // namespace

RecentFiles::RecentFiles(QMenu* fileMenu, QAction* before, QString settingsFile, QObject* parent)
    : QObject(parent), menu_(fileMenu), before_(before), settingsFile_(std::move(settingsFile)) {}

void RecentFiles::read() {
    auto settings = openSettings(settingsFile_);
    settings->beginGroup(QStringLiteral("Tavrinx MRU"));
    paths_.clear();
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString p = settings->value(QStringLiteral("F%1").arg(i)).toString();
        if (!p.isEmpty() && !paths_.contains(p)) paths_.append(p);
    }
    settings->endGroup();
    rebuildMenu();
}

void RecentFiles::write() const {
    auto settings = openSettings(settingsFile_);
    settings->beginGroup(QStringLiteral("Tavrinx MRU"));
    settings->remove(QString());  // the group is rewritten as a whole
    for (int i = 0; i < paths_.size(); ++i) settings->setValue(QStringLiteral("F%1").arg(i), paths_[i]);
    settings->endGroup();
    settings->sync();
}

void RecentFiles::add(const QString& path) {
    paths_.removeAll(path);
    paths_.prepend(path);
    while (paths_.size() > kMaxEntries) paths_.removeLast();
    rebuildMenu();
}

void RecentFiles::remove(const QString& path) {
    paths_.removeAll(path);
    rebuildMenu();
}

void RecentFiles::clear() {
    paths_.clear();
    rebuildMenu();
}

void RecentFiles::removeObsolete() {
    QStringList kept;
    for (const QString& p : paths_)
        if (QFileInfo::exists(p)) kept.append(p);
    paths_ = kept;
    rebuildMenu();
}

void RecentFiles::rebuildMenu() {
    for (QAction* a : actions_) {
        menu_->removeAction(a);
        a->deleteLater();
    }
    actions_.clear();
    if (paths_.isEmpty()) return;

    auto addAction = [this](QAction* a) {
        menu_->insertAction(before_, a);
        actions_.append(a);
    };
    auto* separator = new QAction(menu_);
    separator->setSeparator(true);
    addAction(separator);
    const QFontMetrics fm(menu_->font());
    for (int i = 0; i < paths_.size(); ++i) {
        const QString path = paths_[i];
        // The path is shortened to fit 200 pixels; "&&" keeps an ampersand in a path visible.
        const QString shown = fm.elidedText(path, Qt::ElideMiddle, 200);
        auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(QString(shown).replace(
                                  QLatin1Char('&'), QStringLiteral("&&"))),
                              menu_);
        a->setObjectName(QStringLiteral("MRUItem%1").arg(i));
        a->setData(path);
        a->setToolTip(path);
        connect(a, &QAction::triggered, this, [this, path] {
            if (onItemClick) onItemClick(path);
        });
        addAction(a);
    }
    auto* clearAction = new QAction(QStringLiteral("&Clear MRU List"), menu_);
    clearAction->setObjectName(QStringLiteral("ClearMRU"));
    connect(clearAction, &QAction::triggered, this, [this] { clear(); });
    addAction(clearAction);
    auto* obsolete = new QAction(QStringLiteral("&Remove Obsolete"), menu_);
    obsolete->setObjectName(QStringLiteral("RemoveObsolete"));
    connect(obsolete, &QAction::triggered, this, [this] { removeObsolete(); });
    addAction(obsolete);
}

} // namespace wf::ui
