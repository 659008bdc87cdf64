#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Shortcuts page of the settings window.
QWidget* makeShortcutsSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
