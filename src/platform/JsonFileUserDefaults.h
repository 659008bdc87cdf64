#pragma once

#include "platform/UserDefaults.h"

#include <QFileSystemWatcher>
#include <QVariantMap>

namespace mendo {

class SystemLog;

// The user defaults in one JSON file (format and reading rules:
// docs/user-defaults.md). Every write replaces the file atomically (a new
// file renamed over the old one, mode 0600), so a crash leaves the old file
// or the new one, never a mix. A change made by another process is read
// again and reported through changed(). A file that is not valid JSON is
// kept aside as "<name>.corrupt-<time>" and the store starts empty: the
// user's file is never overwritten unseen. Main thread only.
class JsonFileUserDefaults final : public UserDefaults {
    Q_OBJECT
public:
    explicit JsonFileUserDefaults(QString path, SystemLog* log = nullptr, QObject* parent = nullptr);
    ~JsonFileUserDefaults() override;

    // $XDG_CONFIG_HOME/MendoAI/defaults.json, or ~/.config/MendoAI/defaults.json.
    static QString standardPath();

    std::optional<QVariant> object(const QString& key) const override;
    void set(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;
    QStringList keys() const override;
    void beginBatch() override;
    void endBatch() override;

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
    void setAside(const QString& reason);
    void commit();
    bool writeFile();
    void fail(const QString& message);
    void watch();

    QString m_path;
    SystemLog* m_log;
    QVariantMap m_values;
    Signature m_signature;
    QByteArray m_written;
    int m_batchDepth = 0;
    bool m_dirty = false;
    // Set when the file could neither be read nor kept aside: writing would
    // destroy it.
    bool m_writesBlocked = false;
    QString m_lastError;
    QFileSystemWatcher m_watcher;
};

}  // namespace mendo
