#include "platform/x11/X11ApplicationCatalog.h"

#include "platform/DesktopEntry.h"

namespace mendo {

X11ApplicationCatalog::X11ApplicationCatalog(QStringList applicationDirs)
    : m_dirs(std::move(applicationDirs))
{
}

QList<InstalledApplication> X11ApplicationCatalog::installedApplications() const
{
    QList<InstalledApplication> result;
    for (const DesktopEntryFile& file : installedDesktopEntries(m_dirs)) {
        if (!file.entry)
            continue;
        const DesktopEntry& entry = *file.entry;
        if (entry.hidden || entry.noDisplay || entry.type != QLatin1String("Application"))
            continue;
        result.append({ file.id, entry.name, entry.russianName, entry.icon, file.path });
    }
    return result;
}

}  // namespace mendo
