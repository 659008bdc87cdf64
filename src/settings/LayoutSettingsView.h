#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Layout page of the settings window.
QWidget* makeLayoutSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
