#include "settings/StylesSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeStylesSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::styles);
}

}  // namespace mendo
