#pragma once

#include "app/AppStateFollower.h"
#include "app/ClipboardHistoryClearing.h"
#include "base/Clock.h"
#include "clipboard/ClipboardHistoryItem.h"
#include "engine/ClipboardSuppression.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace mendo {

class Pasteboard;
class SystemLog;
class UserDefaults;

// The clipboard history: every plain text the user copies to CLIPBOARD in any
// application, newest first, without duplicates, within the limits of the
// settings, kept in the user defaults. A poll of the pasteboard's change
// counter finds new copies; what a password manager marks as secret and the
// pasteboard service's own traffic (ClipboardSuppression) never get in, as
// the history is stored on disk. Main thread only.
class ClipboardHistoryService : public AppStateFollower, public ClipboardSuppression, public ClipboardHistoryClearing {
    Q_OBJECT
public:
    static inline const QString storageKey = QStringLiteral("mendo.clipboardItems.native");
    // Where a stored value that is not a list of entries at all is kept, so
    // that the next save does not destroy it unseen.
    static inline const QString unreadableKey = QStringLiteral("mendo.clipboardItems.native.unreadable");
    static constexpr Millis pollInterval { 700 };

    // Loads the stored history and takes what the pasteboard holds now as
    // already seen: a text present at launch is never recorded.
    ClipboardHistoryService(Clock& clock, Pasteboard& pasteboard, UserDefaults& defaults, SystemLog* log = nullptr,
        QObject* parent = nullptr);
    ~ClipboardHistoryService() override;

    // Follows the settings (each value prunes and saves on the next turn of
    // the event loop, the first one included) and starts the poll.
    void attach(MendoAppState& appState) override;
    // Starts the poll; a second call does nothing.
    void start();

    const QList<ClipboardHistoryItem>& items() const { return m_items; }

    // Takes a copied text into the history, by the rules of a copy seen by
    // the poll (trimmed, at least two characters, not suppressed, not the
    // text last seen).
    void record(const QString& text);
    void clear();
    // Removes every entry with this id and saves.
    void remove(const QString& id);
    // Removes every entry with one of these ids in one change and one save.
    void remove(const QStringList& ids);
    // Applies the count and age limits of the settings, then saves.
    void pruneAndSave();
    void save();

    void suppressCapture(double seconds) override;
    void finishTransientPasteboardUse() override;
    void clearHistory() override { clear(); }

    // Whether a pasteboard change seen now must not become an entry.
    bool isCaptureSuppressed() const;

    // Monotonic; absent when no suppression was ever asked for or it ended.
    const std::optional<Millis>& suppressUntil() const { return m_suppressUntil; }
    qint64 lastChangeCount() const { return m_lastChangeCount; }
    const QString& lastText() const { return m_lastText; }

    // "<seconds since 1970, always with a decimal point>-<signed hash>".
    static QString makeId(const QDateTime& at, qint64 hash);
    // The age limit for a "clipboardDays" value: a whole number of days,
    // nothing for "forever", an unreadable value or one below 1.
    static std::optional<qint64> dayLimit(const QString& clipboardDays);
    // The oldest moment kept: `now` in the local time zone moved back by
    // `days` calendar days; nothing when the calendar has no such date.
    static std::optional<QDateTime> cutOff(const QDateTime& now, qint64 days);

    static QByteArray encode(const QList<ClipboardHistoryItem>& items);
    struct Decoded {
        QList<ClipboardHistoryItem> items;
        // Elements of the stored array that are not complete entries.
        qsizetype dropped = 0;
    };
    // Nothing when the bytes are not a JSON array.
    static std::optional<Decoded> decode(const QByteArray& bytes);

Q_SIGNALS:
    void itemsChanged();

private:
    struct Reading {
        qint64 changeCount = 0;
        bool concealed = false;
        std::optional<QString> text;
    };
    // The contents of one owner: nothing when the clipboard changed hands
    // between the reads.
    std::optional<Reading> read() const;
    bool isConcealed() const;
    void poll();
    void load();
    void schedulePrune();
    // After a change of the settings: saves and tells of the entries only
    // when the history's own settings changed or an entry went.
    void pruneForSettings();
    // Drops the entries beyond the count and age limits.
    void prune();

    Clock& m_clock;
    Pasteboard& m_pasteboard;
    UserDefaults& m_defaults;
    SystemLog* m_log;
    QList<ClipboardHistoryItem> m_items;
    std::optional<Millis> m_suppressUntil;
    qint64 m_lastChangeCount = 0;
    QString m_lastText;
    std::unique_ptr<Timer> m_pollTimer;
    std::unique_ptr<Timer> m_pruneTask;
    QMetaObject::Connection m_settingsSubscription;
    struct HistoryRules {
        qint64 limit = 0;
        QString days;
        bool enabled = false;
        bool operator==(const HistoryRules&) const = default;
    };
    // The history's settings the last settings change was applied with.
    std::optional<HistoryRules> m_appliedRules;
};

}  // namespace mendo
