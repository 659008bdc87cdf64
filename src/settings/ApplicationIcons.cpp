#include "settings/ApplicationIcons.h"

#include "platform/DesktopEntry.h"
#include "ui/SymbolRegistry.h"

#include <QFileInfo>

namespace mendo {

QIcon ApplicationIcons::generic()
{
    // Asking the registry once sets up the icon theme's search paths.
    static const QIcon icon = [] {
        SymbolRegistry::fromTheme(QStringLiteral("keyboard"));
        QIcon fromTheme = QIcon::fromTheme(QStringLiteral("application-x-executable"));
        return fromTheme.isNull() ? SymbolRegistry::icon(QStringLiteral("keyboard"), QColor(128, 128, 128))
                                  : fromTheme;
    }();
    return icon;
}

QIcon ApplicationIcons::forName(const QString& iconName)
{
    if (iconName.isEmpty())
        return generic();
    auto found = m_byName.constFind(iconName);
    if (found != m_byName.constEnd())
        return *found;
    generic();
    QIcon icon;
    if (QFileInfo(iconName).isAbsolute())
        icon = QFileInfo(iconName).isFile() ? QIcon(iconName) : QIcon();
    else
        icon = QIcon::fromTheme(iconName);
    if (icon.isNull())
        icon = generic();
    m_byName.insert(iconName, icon);
    return icon;
}

QIcon ApplicationIcons::forEntry(const QString& entryPath)
{
    if (entryPath.isEmpty())
        return generic();
    auto found = m_byEntry.constFind(entryPath);
    if (found != m_byEntry.constEnd())
        return *found;
    const std::optional<DesktopEntry> entry = readDesktopEntry(entryPath);
    const QIcon icon = entry ? forName(entry->icon) : generic();
    m_byEntry.insert(entryPath, icon);
    return icon;
}

}  // namespace mendo
