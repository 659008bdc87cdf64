#pragma once

#include "platform/ApplicationCatalog.h"

#include <QStringList>

namespace mendo {

// The applications of the desktop entries in the applications folders, under
// the ids ApplicationIdResolver gives their windows (the same folders, in the
// same precedence). Entries that are Hidden, NoDisplay, of a Type other than
// Application, or no entries at all are left out.
class X11ApplicationCatalog final : public ApplicationCatalog {
public:
    explicit X11ApplicationCatalog(QStringList applicationDirs);

    QList<InstalledApplication> installedApplications() const override;

private:
    QStringList m_dirs;
};

}  // namespace mendo
