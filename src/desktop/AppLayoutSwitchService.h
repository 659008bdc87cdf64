#pragma once

#include <QObject>
#include <QPointer>

namespace mendo {

class KeyboardLayoutService;
class MendoAppState;
class SystemLog;
class Workspace;
struct RunningApplication;

// Switches the keyboard layout when an application with a layout rule becomes
// active: the first enabled rule for its application id names the input
// source, while per-application layouts are switched on in the settings.
class AppLayoutSwitchService : public QObject {
    Q_OBJECT
public:
    AppLayoutSwitchService(
        Workspace& workspace, KeyboardLayoutService& layouts, SystemLog& log, QObject* parent = nullptr);

    // Keeps `appState` on every call; starts watching activations once.
    virtual void start(MendoAppState& appState);
    bool isObserving() const { return m_observing; }

    void applicationDidActivate(const RunningApplication& application);

private:
    Workspace& m_workspace;
    KeyboardLayoutService& m_layouts;
    SystemLog& m_log;
    QPointer<MendoAppState> m_appState;
    bool m_observing = false;
};

}  // namespace mendo
