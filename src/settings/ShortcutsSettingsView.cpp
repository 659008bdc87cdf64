#include "settings/ShortcutsSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeShortcutsSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::shortcuts);
}

}  // namespace mendo
