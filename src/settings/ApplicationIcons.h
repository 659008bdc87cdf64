#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

namespace mendo {

// Application icons for the Layout page and its chooser. An entry's icon is
// read from its file once and kept; a name the icon theme lacks, an empty
// path or a missing file gets the generic application icon. Main thread.
class ApplicationIcons {
public:
    // The icon the desktop entry at `entryPath` names.
    QIcon forEntry(const QString& entryPath);
    // An icon by its theme name or absolute file.
    QIcon forName(const QString& iconName);
    static QIcon generic();

private:
    QHash<QString, QIcon> m_byEntry;
    QHash<QString, QIcon> m_byName;
};

}  // namespace mendo
