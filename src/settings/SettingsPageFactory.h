#pragma once

#include "model/SettingsValueTypes.h"

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// Makes the view of one settings page. Each page declares its own factory in
// its own header (make<Page>SettingsView); the table below names them all.
using SettingsPageFactory = QWidget* (*)(const MainSettingsEnvironment& environment);

SettingsPageFactory settingsPageFactory(SettingsPage page);

}  // namespace mendo
