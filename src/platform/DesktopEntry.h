#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace mendo {

// The keys of a desktop entry's "[Desktop Entry]" group that MendoAI reads:
// how an application's windows are named, how it is started, how it is shown
// to the user, and whether it is meant to be shown at all.
struct DesktopEntry {
    QString type;
    QString name;
    // Name[ru]; empty when the entry has no Russian name.
    QString russianName;
    QString icon;
    // As written: the launcher's own quoting and field codes are left to it.
    QString exec;
    QString startupWMClass;
    bool hidden = false;
    bool noDisplay = false;

    bool operator==(const DesktopEntry&) const = default;
};

// Reads the entry from the bytes of a .desktop file. Anything is accepted
// (bytes that are not UTF-8 become replacement characters); nothing when there
// is no "[Desktop Entry]" group. Keys of other groups (actions) are ignored.
std::optional<DesktopEntry> parseDesktopEntry(QByteArrayView bytes);

// The entry in the file at `path`; nothing when it cannot be read, is no
// regular file, is larger than `maximumDesktopEntrySize` or is no entry.
std::optional<DesktopEntry> readDesktopEntry(const QString& path);

// Real entries are a few kilobytes, their translations included.
inline constexpr qint64 maximumDesktopEntrySize = 1024 * 1024;

// One installed .desktop file, under the id the desktop gives it: its path
// below the applications folder with '/' turned into '-' and without
// ".desktop" ("kde4/konsole.desktop" is "kde4-konsole").
struct DesktopEntryFile {
    QString id;
    QString path;
    // Nothing when the file is no entry (or cannot be read).
    std::optional<DesktopEntry> entry;
};

// Every .desktop file under `applicationDirs` (subfolders included), taken in
// that precedence: a file hides those of the same id in later folders, even
// when it is Hidden or malformed. Within a folder in path order, so that the
// answer is the same on every run.
QList<DesktopEntryFile> installedDesktopEntries(const QStringList& applicationDirs);

}  // namespace mendo
