#pragma once

#include "base/UiLanguage.h"

#include <QList>
#include <QString>
#include <optional>

namespace mendo {

class ApplicationCatalog;
class Workspace;

// An application the user can give a keyboard layout rule.
struct ApplicationChoice {
    // The id its windows are named by: the rule's bundleIdentifier.
    QString id;
    // In the interface language.
    QString name;
    // The desktop entry it comes from; empty for a running application that
    // has none.
    QString path;
    // The entry's icon (theme name or file); empty when it names none.
    QString iconName;

    bool operator==(const ApplicationChoice&) const = default;
};

// Lets the user pick one application. Main thread; may run modally.
class ApplicationChooser {
public:
    virtual ~ApplicationChooser() = default;
    // Nothing when the user cancels.
    virtual std::optional<ApplicationChoice> chooseApplication() = 0;
};

// What the chooser offers: the installed applications, and the running ones
// that have no entry (offered under their window's id), sorted by name
// without regard to letter case. A name is the entry's Russian name in
// Russian, else its name, else its file name without ".desktop"; a running
// application is named by its id. MendoAI's own windows are not offered.
QList<ApplicationChoice> applicationChoices(
    const ApplicationCatalog& catalog, const Workspace& workspace, UiLanguage language);

}  // namespace mendo
