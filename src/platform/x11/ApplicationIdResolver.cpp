#include "platform/x11/ApplicationIdResolver.h"

#include "platform/DesktopEntry.h"

#include <QDir>
#include <QFileInfo>

namespace mendo {

namespace {

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
    for (const QString& dir : m_dirs)
        m_dirStamps.insert(dir, QFileInfo(dir).lastModified());
    for (const DesktopEntryFile& file : installedDesktopEntries(m_dirs)) {
        if (!file.entry || file.entry->hidden)
            continue;
        const QString& id = file.id;
        const QString& startupWMClass = file.entry->startupWMClass;
        if (!startupWMClass.isEmpty() && !m_byStartupClass.contains(startupWMClass))
            m_byStartupClass.insert(startupWMClass, id);
        m_byFileName.insert(id.toLower(), id);
        if (!m_byLastPart.contains(lastPart(id).toLower()))
            m_byLastPart.insert(lastPart(id).toLower(), id);
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
