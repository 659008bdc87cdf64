#include "settings/ActionsSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeActionsSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::actions);
}

}  // namespace mendo
