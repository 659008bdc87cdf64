#include "settings/LayoutSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeLayoutSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::layout);
}

}  // namespace mendo
