#pragma once

#include "base/Clock.h"
#include "platform/UserDefaults.h"

#include <QFileSystemWatcher>
#include <QMap>
#include <QVariantMap>

#include <memory>

namespace mendo {

class SystemLog;

// The user defaults in one JSON file (format and reading rules:
// docs/user-defaults.md). Every write replaces the file atomically (a new
// file renamed over the old one, mode 0600), so a crash leaves the old file
// or the new one, never a mix. Changes are gathered and written together at
// most writeDelay after the first of them; a pending write is done at once by
// flush(), when the application quits and when the store is destroyed.
//
// A change made by another process is read again and reported through
// changed(). A file that is not valid JSON when the store opens is kept aside
// as "<name>.corrupt-<time>" and the store starts empty. Later, an unreadable
// file is most likely being written by someone else: it is read again a few
// times, then left alone, and nothing is written over it until it reads
// again. The user's file is never overwritten unseen. Main thread only.
class JsonFileUserDefaults final : public UserDefaults {
    Q_OBJECT
public:
    // The clipboard history saves on every copy: a burst of changes must cost
    // one write, yet none may wait longer than this.
    static constexpr Millis writeDelay { 100 };
    // How an unreadable file is given time to be finished by its writer.
    static constexpr Millis rereadInterval { 250 };
    static constexpr int rereadAttempts = 4;

    JsonFileUserDefaults(QString path, Clock& clock, SystemLog* log = nullptr, QObject* parent = nullptr);
    // Writes what is still pending.
    ~JsonFileUserDefaults() override;

    // $XDG_CONFIG_HOME/MendoAI/defaults.json, or ~/.config/MendoAI/defaults.json.
    static QString standardPath();

    std::optional<QVariant> object(const QString& key) const override;
    void set(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;
    QStringList keys() const override;
    void beginBatch() override;
    void endBatch() override;
    void flush() override;

    const QString& path() const { return m_path; }
    // Why the last write or read failed; empty when it succeeded.
    const QString& lastError() const { return m_lastError; }

    // Reads the file again when another process has replaced or changed it.
    void reloadIfChanged();

private:
    struct Signature {
        bool exists = false;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 mtimeNs = 0;
        bool operator==(const Signature&) const = default;
    };
    Signature currentSignature() const;
    void load(bool initial);
    void readFailed(bool initial, const QString& reason);
    void reread();
    void setAside(const QString& reason);
    void change(const QString& key, std::optional<QVariant> value);
    void scheduleWrite();
    void writePending();
    bool writeFile();
    void fail(const QString& message);
    void watch();

    QString m_path;
    Clock& m_clock;
    SystemLog* m_log;
    QVariantMap m_values;
    // Changes of this process not yet in the file (nothing: removed). They
    // stay laid over whatever is read from the file until they are written.
    QMap<QString, std::optional<QVariant>> m_pending;
    Signature m_signature;
    QByteArray m_written;
    int m_batchDepth = 0;
    // Set while the file cannot be read (and, at open, could not be kept
    // aside either): writing would destroy someone's file.
    bool m_writesBlocked = false;
    // Once the application quits, every change is written at once.
    bool m_quitting = false;
    std::unique_ptr<Timer> m_writeTimer;
    std::unique_ptr<Timer> m_rereadTimer;
    int m_rereadsLeft = 0;
    QString m_unreadableReason;
    QString m_lastError;
    QFileSystemWatcher m_watcher;
};

}  // namespace mendo
