#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Styles page of the settings window.
QWidget* makeStylesSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
