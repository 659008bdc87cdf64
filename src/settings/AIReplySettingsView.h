#pragma once

class QWidget;

namespace mendo {

struct MainSettingsEnvironment;

// The AI Reply page of the settings window.
QWidget* makeAIReplySettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
