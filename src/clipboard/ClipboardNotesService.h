#pragma once

#include "clipboard/ClipboardNoteTab.h"

#include <QObject>
#include <optional>

namespace mendo {

class Clock;
class SystemLog;
class UserDefaults;

// The user's notes in named tabs, kept in "clipboard-notes.json" in their own
// folder, with the previous file as "clipboard-notes.backup.json" and, while
// the folder cannot be written, a copy in the user defaults. They are the
// user's own writing: every change is saved at once and atomically, and a
// file that cannot be decoded is renamed aside, never overwritten; one that
// cannot be read is left alone (the copy in the user defaults is used until
// it reads again). The folder is used only when it is the user's own and
// private (PrivateFolder). The file is read on first use, not when the store
// is made. Main thread only.
class ClipboardNotesService : public QObject {
    Q_OBJECT
public:
    static inline const QString fileName = QStringLiteral("clipboard-notes.json");
    static inline const QString backupFileName = QStringLiteral("clipboard-notes.backup.json");
    static inline const QString fallbackDefaultsKey = QStringLiteral("mendo.clipboardNotes.fallback");
    static constexpr qsizetype maximumTitleLength = 32;

    ClipboardNotesService(
        QString folder, UserDefaults& defaults, Clock& clock, SystemLog* log = nullptr, QObject* parent = nullptr);

    // $XDG_DATA_HOME/MendoAI, or ~/.local/share/MendoAI; without a home
    // folder, MendoAI-<uid> in the temporary folder.
    static QString standardFolder();

    const QString& folder() const { return m_folder; }
    const QList<ClipboardNoteTab>& tabs();
    std::optional<ClipboardNoteTab> tab(const QString& id);

    ClipboardNoteTab addTab(const QString& title);
    // A blank title keeps the old one, but the tab is still stamped and saved.
    void renameTab(const QString& id, const QString& title);
    // Removes every tab with this id and saves, also when none matched.
    void deleteTab(const QString& id);
    // Nothing for an unknown tab or a blank text; the note goes first.
    std::optional<ClipboardNoteItem> addNote(const QString& tabID, const QString& text);
    // A blank text leaves the note as it is: an edit never deletes.
    void updateNote(const QString& tabID, const QString& noteID, const QString& text);
    // Stamps the tab and saves, also when no note matched.
    void deleteNote(const QString& tabID, const QString& noteID);
    // The same for several notes of one tab, in one change and one save.
    void deleteNotes(const QString& tabID, const QStringList& noteIDs);

    static QByteArray encode(const QList<ClipboardNoteTab>& tabs);
    // Nothing unless every tab and note has every key with its type.
    static std::optional<QList<ClipboardNoteTab>> decode(const QByteArray& bytes);

Q_SIGNALS:
    void tabsChanged();

private:
    QString primaryPath() const;
    QString backupPath() const;
    void ensureLoaded();
    std::optional<QList<ClipboardNoteTab>> loadFile(const QString& path);
    void setAside(const QString& path);
    void changed();
    void save();
    // Why the notes file must not be replaced now; empty when it may be.
    QString unreadablePrimary() const;
    static QString normalizedTitle(const QString& title, const QString& fallback);
    static QString newID();
    QDateTime now() const;
    void note(const QString& message);

    QString m_folder;
    UserDefaults& m_defaults;
    Clock& m_clock;
    SystemLog* m_log;
    bool m_loaded = false;
    // Why the last save went to the user defaults; empty after a file save.
    QString m_fallbackReason;
    QList<ClipboardNoteTab> m_tabs;
};

}  // namespace mendo
