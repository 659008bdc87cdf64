#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The Clipboard page of the settings window.
QWidget* makeClipboardSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
