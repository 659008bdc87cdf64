#include "settings/AIReplySettingsView.h"

#include "settings/SettingsStubPage.h"

namespace mendo {

QWidget* makeAIReplySettingsView(const MainSettingsEnvironment& environment)
{
    return makeStubSettingsPage(environment, SettingsPage::aiReply);
}

}  // namespace mendo
