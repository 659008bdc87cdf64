#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mendo {

namespace {

const char* const kTemporarySuffix = ".tmp-";

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

}  // namespace

bool AtomicFile::write(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString folder = QFileInfo(path).absolutePath();
    QByteArray temp = QFile::encodeName(path) + kTemporarySuffix + "XXXXXX";
    const int fd = ::mkstemp(temp.data());  // mode 0600
    if (fd < 0) {
        if (error)
            *error = QStringLiteral("cannot create a file in %1 (%2)").arg(folder, systemError());
        return false;
    }
    const bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    const QString writeError = ok ? QString() : systemError();
    ::close(fd);
    if (!ok || ::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = ok ? systemError() : writeError;
        ::unlink(temp.constData());
        if (error)
            *error = QStringLiteral("cannot write %1 (%2)").arg(path, reason);
        return false;
    }
    const int dir = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicFile::removeStaleTemporaries(const QString& path)
{
    const QFileInfo info(path);
    QDir folder(info.absolutePath());
    const QString pattern = info.fileName() + QLatin1String(kTemporarySuffix) + QStringLiteral("??????");
    for (const QString& name : folder.entryList({ pattern }, QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(name);
}

}  // namespace mendo
