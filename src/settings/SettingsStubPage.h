#pragma once

#include "model/SettingsValueTypes.h"

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// A page not built yet: a card with the page's title.
QWidget* makeStubSettingsPage(const MainSettingsEnvironment& environment, SettingsPage page);

}  // namespace mendo
