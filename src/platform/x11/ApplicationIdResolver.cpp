#include "platform/x11/ApplicationIdResolver.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace mendo {

namespace {

struct DesktopEntry {
    QString startupWMClass;
    QString exec;
    bool hidden = false;
};

// Only the keys that matter here; a file that is not a desktop entry
// (no [Desktop Entry] group) yields nothing.
std::optional<DesktopEntry> readDesktopEntry(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    DesktopEntry entry;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0)
            continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("StartupWMClass"))
            entry.startupWMClass = value;
        else if (key == QLatin1String("Exec"))
            entry.exec = value;
        else if (key == QLatin1String("Hidden"))
            entry.hidden = value == QLatin1String("true");
    }
    if (!sawMainGroup)
        return std::nullopt;
    return entry;
}

QString lastPart(const QString& id)
{
    return id.section(QLatin1Char('.'), -1);
}

}  // namespace

ApplicationIdResolver::ApplicationIdResolver(QStringList applicationDirs) : m_dirs(std::move(applicationDirs))
{
    load();
}

QStringList ApplicationIdResolver::standardApplicationDirs()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QLatin1String("/.local/share");
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    QStringList dirs{dataHome + QLatin1String("/applications")};
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        dirs.append(dir + QLatin1String("/applications"));
    return dirs;
}

QString ApplicationIdResolver::execOf(const QStringList& applicationDirs, const QString& applicationId)
{
    if (applicationId.isEmpty() || applicationId.contains(QLatin1Char('/')))
        return {};
    for (const QString& dir : applicationDirs) {
        const QString path = dir + QLatin1Char('/') + applicationId + QLatin1String(".desktop");
        if (!QFileInfo::exists(path))
            continue;
        // The first entry of the id hides the later ones, even when hidden.
        const auto entry = readDesktopEntry(path);
        return entry && !entry->hidden ? entry->exec : QString();
    }
    return {};
}

void ApplicationIdResolver::load()
{
    m_byStartupClass.clear();
    m_byFileName.clear();
    m_byLastPart.clear();
    m_dirStamps.clear();
    QSet<QString> seenIds;
    for (const QString& dir : m_dirs) {
        m_dirStamps.insert(dir, QFileInfo(dir).lastModified());
        const QDir base(dir);
        QStringList files;
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        // The same order on every run, whatever the file system's.
        files.sort();
        for (const QString& path : files) {
            // The entry id: the path below the folder, '/' becoming '-'.
            QString id = base.relativeFilePath(path);
            id.chop(int(qstrlen(".desktop")));
            id.replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            const auto entry = readDesktopEntry(path);
            if (!entry || entry->hidden)
                continue;
            if (!entry->startupWMClass.isEmpty() && !m_byStartupClass.contains(entry->startupWMClass))
                m_byStartupClass.insert(entry->startupWMClass, id);
            m_byFileName.insert(id.toLower(), id);
            if (!m_byLastPart.contains(lastPart(id).toLower()))
                m_byLastPart.insert(lastPart(id).toLower(), id);
        }
    }
}

void ApplicationIdResolver::reloadIfChanged()
{
    for (const QString& dir : m_dirs) {
        if (QFileInfo(dir).lastModified() != m_dirStamps.value(dir)) {
            load();
            return;
        }
    }
}

QString ApplicationIdResolver::applicationId(const QString& wmInstance, const QString& wmClass)
{
    if (wmInstance.isEmpty() && wmClass.isEmpty())
        return {};
    reloadIfChanged();
    const QStringList names{wmClass, wmInstance};
    for (const QString& name : names) {
        if (!name.isEmpty() && m_byStartupClass.contains(name))
            return m_byStartupClass.value(name);
    }
    for (const QString& name : names) {
        if (!name.isEmpty() && m_byFileName.contains(name.toLower()))
            return m_byFileName.value(name.toLower());
    }
    for (const QString& name : names) {
        if (!name.isEmpty() && m_byLastPart.contains(name.toLower()))
            return m_byLastPart.value(name.toLower());
    }
    return wmClass.isEmpty() ? wmInstance : wmClass;
}

}  // namespace mendo
