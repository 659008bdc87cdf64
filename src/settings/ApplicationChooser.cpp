#include "settings/ApplicationChooser.h"

#include "platform/ApplicationCatalog.h"
#include "platform/Workspace.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace mendo {

QList<ApplicationChoice> applicationChoices(
    const ApplicationCatalog& catalog, const Workspace& workspace, UiLanguage language)
{
    QList<ApplicationChoice> choices;
    QSet<QString> offered;
    for (const InstalledApplication& application : catalog.installedApplications()) {
        QString name = language == UiLanguage::ru ? application.russianName : QString();
        if (name.trimmed().isEmpty())
            name = application.name;
        if (name.trimmed().isEmpty()) {
            name = QFileInfo(application.filePath).fileName();
            if (name.endsWith(QLatin1String(".desktop")))
                name.chop(qsizetype(qstrlen(".desktop")));
        }
        choices.append({ application.id, name, application.filePath, application.iconName });
        offered.insert(application.id);
    }
    const QStringList own = workspace.ownBundleIdentifiers();
    for (const RunningApplication& running : workspace.runningApplications()) {
        const QString& id = running.bundleIdentifier;
        if (id.isEmpty() || own.contains(id) || offered.contains(id))
            continue;
        choices.append({ id, id, QString(), QString() });
        offered.insert(id);
    }
    std::stable_sort(choices.begin(), choices.end(), [](const ApplicationChoice& a, const ApplicationChoice& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.id < b.id;
    });
    return choices;
}

}  // namespace mendo
