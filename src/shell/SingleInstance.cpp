#include "shell/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <sys/stat.h>
#include <unistd.h>

namespace mendo {

namespace {

const QByteArray kReopen = "reopen\n";
constexpr int kConnectAttempts = 30;
constexpr Millis kRetryDelay { 100 };

// The folder must be ours alone: another user could otherwise take the lock
// or listen in our place.
bool ensurePrivateDirectory(const QString& path, QString& error)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST) {
        error = QStringLiteral("cannot create %1: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    struct stat info { };
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid()) {
        error = QStringLiteral("%1 is not a folder of this user").arg(path);
        return false;
    }
    if ((info.st_mode & 077) != 0 && ::chmod(native.constData(), 0700) != 0) {
        error = QStringLiteral("cannot make %1 private").arg(path);
        return false;
    }
    return true;
}

}  // namespace

SingleInstance::SingleInstance(QString directory, QObject* parent)
    : QObject(parent)
    , m_directory(std::move(directory))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultDirectory()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime + QStringLiteral("/MendoAI");
    return QDir::tempPath() + QStringLiteral("/MendoAI-%1").arg(::getuid());
}

QString SingleInstance::socketPath() const
{
    return m_directory + QStringLiteral("/instance.socket");
}

SingleInstance::Claim SingleInstance::claim()
{
    if (!ensurePrivateDirectory(m_directory, m_error))
        return Claim::unavailable;

    // QLockFile takes over a lock whose process has died.
    auto lock = std::make_unique<QLockFile>(m_directory + QStringLiteral("/instance.lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError)
            return Claim::alreadyRunning;
        m_error = QStringLiteral("cannot write the lock in %1").arg(m_directory);
        return Claim::unavailable;
    }
    m_lock = std::move(lock);

    // A socket left behind by a process that died is in the way.
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(socketPath())) {
        m_error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        // Still the only MendoAI: the lock stays, a second launch just
        // cannot reach this one.
        return Claim::primary;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return Claim::primary;
}

void SingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine(256) == kReopen)
                    Q_EMIT reopenRequested();
            }
            // Whoever sends more than one short line is not a MendoAI.
            if (socket->bytesAvailable() > 256)
                socket->abort();
        });
    }
}

Task<bool> SingleInstance::notifyRunningInstance(Clock& clock)
{
    QLocalSocket socket;
    for (int attempt = 0; attempt < kConnectAttempts; ++attempt) {
        socket.connectToServer(socketPath());
        // A local connection is made at once, or not at all while the other
        // process has not started listening yet.
        if (socket.state() != QLocalSocket::ConnectedState)
            co_await clock.sleep(kRetryDelay);
        if (socket.state() == QLocalSocket::ConnectedState)
            break;
        socket.abort();
    }
    if (socket.state() != QLocalSocket::ConnectedState)
        co_return false;
    socket.write(kReopen);
    for (int attempt = 0; attempt < kConnectAttempts && socket.bytesToWrite() > 0; ++attempt) {
        socket.flush();
        if (socket.bytesToWrite() > 0)
            co_await clock.sleep(kRetryDelay / 10);
    }
    const bool sent = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    co_return sent;
}

}  // namespace mendo
