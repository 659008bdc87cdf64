#include "platform/DesktopEntry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace mendo {

namespace {

// The escapes a string value may hold: \s, \n, \t, \r and \\.
QString unescaped(const QString& value)
{
    if (!value.contains(QLatin1Char('\\')))
        return value;
    QString result;
    result.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            result.append(c);
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's': result.append(QLatin1Char(' ')); break;
        case 'n': result.append(QLatin1Char('\n')); break;
        case 't': result.append(QLatin1Char('\t')); break;
        case 'r': result.append(QLatin1Char('\r')); break;
        case '\\': result.append(QLatin1Char('\\')); break;
        default:
            result.append(c);
            result.append(next);
        }
    }
    return result;
}

bool isTrue(QByteArrayView value)
{
    return value == "true";
}

}  // namespace

std::optional<DesktopEntry> parseDesktopEntry(QByteArrayView bytes)
{
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView line = bytes.sliced(start, end - start).trimmed();
        start = end + 1;
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArrayView key = line.first(equals).trimmed();
        const QByteArrayView value = line.sliced(equals + 1).trimmed();
        if (key == "Type")
            entry.type = QString::fromUtf8(value);
        else if (key == "Name")
            entry.name = unescaped(QString::fromUtf8(value));
        else if (key == "Name[ru]")
            entry.russianName = unescaped(QString::fromUtf8(value));
        else if (key == "Icon")
            entry.icon = QString::fromUtf8(value);
        else if (key == "Exec")
            entry.exec = QString::fromUtf8(value);
        else if (key == "StartupWMClass")
            entry.startupWMClass = QString::fromUtf8(value);
        else if (key == "Hidden")
            entry.hidden = isTrue(value);
        else if (key == "NoDisplay")
            entry.noDisplay = isTrue(value);
    }
    if (!sawMainGroup)
        return std::nullopt;
    return entry;
}

std::optional<DesktopEntry> readDesktopEntry(const QString& path)
{
    // A FIFO or a device under the name of an entry would block or never end.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maximumDesktopEntrySize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The file may grow between the look and the read.
    return parseDesktopEntry(file.read(maximumDesktopEntrySize));
}

QList<DesktopEntryFile> installedDesktopEntries(const QStringList& applicationDirs)
{
    QList<DesktopEntryFile> result;
    QSet<QString> seenIds;
    for (const QString& dir : applicationDirs) {
        const QDir base(dir);
        QStringList files;
        QDirIterator it(dir, { QStringLiteral("*.desktop") }, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        files.sort();
        for (const QString& path : files) {
            QString id = base.relativeFilePath(path);
            id.chop(qsizetype(qstrlen(".desktop")));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            result.append({ id, path, readDesktopEntry(path) });
        }
    }
    return result;
}

}  // namespace mendo
