#include "settings/SettingsPageFactory.h"

#include "settings/AIReplySettingsView.h"
#include "settings/ActionsSettingsView.h"
#include "settings/ClipboardSettingsView.h"
#include "settings/GeneralSettingsView.h"
#include "settings/LayoutSettingsView.h"
#include "settings/PermissionsSettingsView.h"
#include "settings/QuickMenuSettingsView.h"
#include "settings/ShortcutsSettingsView.h"
#include "settings/StylesSettingsView.h"
#include "settings/UpdatesSettingsView.h"

namespace mendo {

SettingsPageFactory settingsPageFactory(SettingsPage page)
{
    switch (page) {
    case SettingsPage::general: return &makeGeneralSettingsView;
    case SettingsPage::actions: return &makeActionsSettingsView;
    case SettingsPage::styles: return &makeStylesSettingsView;
    case SettingsPage::aiReply: return &makeAIReplySettingsView;
    case SettingsPage::quickMenu: return &makeQuickMenuSettingsView;
    case SettingsPage::clipboard: return &makeClipboardSettingsView;
    case SettingsPage::layout: return &makeLayoutSettingsView;
    case SettingsPage::permissions: return &makePermissionsSettingsView;
    case SettingsPage::shortcuts: return &makeShortcutsSettingsView;
    case SettingsPage::updates: return &makeUpdatesSettingsView;
    }
    return &makeGeneralSettingsView;
}

}  // namespace mendo
