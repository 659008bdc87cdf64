#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace mendo {

namespace {

QString reason(const QString& path, const char* what)
{
    return QStringLiteral("%1 %2").arg(path, QString::fromUtf8(what));
}

QString systemReason(const QString& path, const char* action)
{
    return QStringLiteral("cannot %1 %2 (%3)").arg(QString::fromUtf8(action), path, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

QString PrivateFolder::prepare(const QString& path, bool create)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        if (errno != ENOENT)
            return systemReason(path, "examine");
        if (!create)
            return {};
        // The parents are ordinary folders of the user's (~/.local/share);
        // only the last one is ours to make private.
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
            return systemReason(path, "create");
        // Made by us or, in a race, by someone else: looked at like any other.
        if (::lstat(name.constData(), &info) != 0)
            return systemReason(path, "examine");
    }
    if (S_ISLNK(info.st_mode))
        return reason(path, "is a symbolic link");
    if (!S_ISDIR(info.st_mode))
        return reason(path, "is not a folder");
    if (info.st_uid != ::geteuid())
        return reason(path, "belongs to another user");
    if ((info.st_mode & 077) != 0 && ::chmod(name.constData(), 0700) != 0)
        return systemReason(path, "restrict");
    return {};
}

}  // namespace mendo
