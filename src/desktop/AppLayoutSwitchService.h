#pragma once

#include "base/Clock.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QPointer>

#include <memory>
#include <optional>
#include <vector>

namespace mendo {

class InputSources;
class KeyboardLayoutService;
class MendoAppState;
class SystemLog;

// Switches the keyboard layout when an application with a layout rule comes
// to the front: the first enabled rule for its application id names the
// input source, while per-application layouts are switched on in the
// settings. Desktops and input methods like to switch back right after an
// activation, so the rule is applied again three times during the next
// second, and for 1.5 s every layout change while that application stays in
// front is answered by applying it once more.
class AppLayoutSwitchService : public QObject {
    Q_OBJECT
public:
    static constexpr Millis guardPeriod { 1500 };
    static constexpr Millis reapplyDelays[] { Millis(150), Millis(400), Millis(800) };

    AppLayoutSwitchService(Workspace& workspace, InputSources& inputSources, KeyboardLayoutService& layouts,
        Clock& clock, SystemLog& log, QObject* parent = nullptr);

    // Keeps `appState` on every call; the first call starts watching
    // activations and layout changes and applies the rule of the application
    // already in front.
    virtual void start(MendoAppState& appState);
    bool isObserving() const { return m_observing; }

private:
    void activationNoticed(const RunningApplication& application);
    void handleActivation(const RunningApplication& application);
    void handleInputSourceChange();
    // True when an enabled rule matched, whether or not the switch worked.
    bool applyRule(const RunningApplication& application);
    void reapplyIfStillFrontmost(const RunningApplication& application);

    Workspace& m_workspace;
    InputSources& m_inputSources;
    KeyboardLayoutService& m_layouts;
    Clock& m_clock;
    SystemLog& m_log;
    QPointer<MendoAppState> m_appState;
    bool m_observing = false;
    // X11 reports every change of the active window; only a change of
    // application is an activation.
    std::optional<RunningApplication> m_front;
    std::vector<std::unique_ptr<Timer>> m_pendingReapply;
    QString m_guardedBundleIdentifier;
    Millis m_guardUntil { 0 };
};

}  // namespace mendo
