#pragma once

#include "base/Async.h"
#include "base/Clock.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace mendo {

// One MendoAI per user session. The first process holds a lock file and
// listens on a local socket beside it; a later `mendo` finds the lock taken,
// asks the running one to bring its main window forward, and exits.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        primary,  // this process is MendoAI
        alreadyRunning,  // another process is; tell it and leave
        unavailable,  // no private place for the lock: run unguarded
    };

    // `directory` holds the lock and the socket; it is created private (0700).
    explicit SingleInstance(QString directory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // $XDG_RUNTIME_DIR/MendoAI, or a private folder in the temporary
    // directory when the session has no runtime directory.
    static QString defaultDirectory();

    Claim claim();
    QString socketPath() const;
    QString errorString() const { return m_error; }

    // Sent by a second launch: asks the running instance to show its main
    // window. Retries for a few seconds while the running instance is still
    // starting; false when it never answered.
    Task<bool> notifyRunningInstance(Clock& clock);

Q_SIGNALS:
    void reopenRequested();

private:
    void acceptConnections();

    QString m_directory;
    QString m_error;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

}  // namespace mendo
