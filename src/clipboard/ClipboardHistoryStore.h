#pragma once

#include "base/Clock.h"
#include "clipboard/ClipboardHistoryItem.h"

#include <QList>
#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace mendo {

class SystemLog;
class UserDefaults;

// Where the clipboard history is kept: "clipboard-history.json" in the
// user's data folder beside the notes (mode 0600, replaced atomically). The
// history can reach a hundred megabytes, so the main thread only hands over
// a copy of the list: encoding and writing happen on a worker thread, and
// changes made within writeDelay of each other are written once. A pending
// write is done at once by flush(), when the application quits and when the
// store is destroyed.
//
// The user defaults hold the history only where the file cannot be used: an
// empty folder (tests), a folder that is refused (see PrivateFolder), a file
// that exists but cannot be read (it is left in place, never replaced), or a
// write that failed. Such a copy is newer than the file, so it is read first
// and moved into the file at the next start; an older MendoAI's history
// under the same key moves the same way. Main thread only.
class ClipboardHistoryStore : public QObject {
    Q_OBJECT
public:
    static inline const QString fileName = QStringLiteral("clipboard-history.json");
    static inline const QString storageKey = QStringLiteral("mendo.clipboardItems.native");
    // Where a stored value that is not a list of entries at all is kept, so
    // that the next save does not destroy it unseen.
    static inline const QString unreadableKey = QStringLiteral("mendo.clipboardItems.native.unreadable");
    static constexpr Millis writeDelay { 100 };

    // How the bytes reach the file (AtomicFile::write); runs on the worker.
    using Writer = std::function<bool(const QString& path, const QByteArray& bytes, QString* error)>;

    // `folder` empty: the history lives in the user defaults.
    ClipboardHistoryStore(
        QString folder, UserDefaults& defaults, Clock& clock, SystemLog* log = nullptr, QObject* parent = nullptr);
    // Writes what is still pending.
    ~ClipboardHistoryStore() override;

    QString path() const;
    // Whether saves go to the file (known after load()).
    bool usesFile() const { return m_usesFile; }
    void setWriter(Writer writer) { m_writer = std::move(writer); }

    QList<ClipboardHistoryItem> load();
    void save(const QList<ClipboardHistoryItem>& items);
    // Hands over a pending change and waits until the worker has written it.
    void flush();

private:
    std::optional<QList<ClipboardHistoryItem>> loadFromDefaults();
    std::optional<QList<ClipboardHistoryItem>> loadFromFile();
    void setAside(const QString& reason);
    void useDefaults(const QString& reason);
    void handOff();
    void work();
    void applyOutcome();
    void note(const QString& message);

    QString m_folder;
    UserDefaults& m_defaults;
    Clock& m_clock;
    SystemLog* m_log;
    Writer m_writer;
    bool m_usesFile = false;
    bool m_fallbackNoted = false;
    std::optional<QList<ClipboardHistoryItem>> m_pending;
    std::unique_ptr<Timer> m_writeTimer;

    // Shared with the worker.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<QList<ClipboardHistoryItem>> m_queued;
    bool m_busy = false;
    bool m_stop = false;
    // What the last write left for the main thread to do.
    std::optional<QByteArray> m_failedBytes;
    QString m_failure;
    bool m_wrote = false;
    std::thread m_thread;
};

}  // namespace mendo
