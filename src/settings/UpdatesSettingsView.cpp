#include "settings/UpdatesSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeUpdatesSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::updates);
}

}  // namespace mendo
