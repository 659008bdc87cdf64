#pragma once

#include <QList>
#include <QString>

namespace mendo {

// An application installed for the user to start, as the desktop lists it in
// its menus.
struct InstalledApplication {
    // The id MendoAI names the application's windows by (a running
    // application's bundleIdentifier).
    QString id;
    QString name;
    // Empty when the application has no Russian name.
    QString russianName;
    // A theme icon name or an absolute file; empty when there is none.
    QString iconName;
    // The file the application is described in.
    QString filePath;

    bool operator==(const InstalledApplication&) const = default;
};

// The installed applications. Main thread only.
class ApplicationCatalog {
public:
    virtual ~ApplicationCatalog() = default;

    // Read anew on every call, so an application installed meanwhile is
    // listed; in no particular order.
    virtual QList<InstalledApplication> installedApplications() const = 0;
};

}  // namespace mendo
