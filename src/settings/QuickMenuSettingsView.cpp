#include "settings/QuickMenuSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeQuickMenuSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::quickMenu);
}

}  // namespace mendo
