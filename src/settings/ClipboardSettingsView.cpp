#include "settings/ClipboardSettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeClipboardSettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::clipboard);
}

}  // namespace mendo
