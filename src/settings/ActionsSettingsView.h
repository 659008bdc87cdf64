#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Actions page of the settings window.
QWidget* makeActionsSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
