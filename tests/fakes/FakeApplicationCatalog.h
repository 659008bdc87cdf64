#pragma once

#include "platform/ApplicationCatalog.h"

namespace mendo {

// Installed applications in memory; counts the listings.
class FakeApplicationCatalog final : public ApplicationCatalog {
public:
    QList<InstalledApplication> installedApplications() const override
    {
        ++listings;
        return applications;
    }

    QList<InstalledApplication> applications;
    mutable int listings = 0;
};

}  // namespace mendo
