#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

namespace mendo {

// Turns a window's WM_CLASS into the application id that MendoAI uses
// everywhere an application is named (focus memory, per-application layouts,
// the clipboard window's target): the id of the installed desktop entry for
// that window, else the WM_CLASS class itself.
//
// A desktop entry matches when its StartupWMClass equals the class (or else
// the instance), or when its file name does (case-insensitively, also as the
// last part of a reverse-DNS id: "org.kde.kate" for class "kate"). Entries
// are re-read when an applications folder changes, so an application
// installed while MendoAI runs is named by its entry from then on.
class ApplicationIdResolver {
public:
    // `applicationDirs` in precedence order; an entry in an earlier folder
    // hides one with the same id in a later folder.
    explicit ApplicationIdResolver(QStringList applicationDirs = standardApplicationDirs());

    // Empty when both parts are empty.
    QString applicationId(const QString& wmInstance, const QString& wmClass);

    // The Exec line of the desktop entry `applicationId` (one at the top of
    // a folder), as written; empty when there is none.
    static QString execOf(const QStringList& applicationDirs, const QString& applicationId);

    // $XDG_DATA_HOME/applications, then each $XDG_DATA_DIRS/applications.
    static QStringList standardApplicationDirs();

private:
    void reloadIfChanged();
    void load();

    QStringList m_dirs;
    QHash<QString, QDateTime> m_dirStamps;
    // StartupWMClass -> entry id; lower-cased file name -> entry id; lower-cased
    // last part of a dotted id -> entry id.
    QHash<QString, QString> m_byStartupClass;
    QHash<QString, QString> m_byFileName;
    QHash<QString, QString> m_byLastPart;
};

}  // namespace mendo
