#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Quick Menu page of the settings window.
QWidget* makeQuickMenuSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
