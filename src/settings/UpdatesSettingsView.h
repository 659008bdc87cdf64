#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Updates page of the settings window.
QWidget* makeUpdatesSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
