#pragma once

#include "base/Clock.h"
#include "platform/Displays.h"

#include <QList>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

namespace mendo {

class DisplayGuard;
class SystemLog;
class UserDefaults;

// Switches the computer's built-in display off while an external display is
// connected, and back on: on request, when the last external display goes
// away, when MendoAI ends, and at the next launch after a run that left it
// off. While it is off a watchdog checks every 2 s that some other display
// still shows something, so the panel never stays dark by accident. Main
// thread only.
class BuiltInDisplayService : public QObject {
    Q_OBJECT
public:
    static inline const QString disabledIDKey = QStringLiteral("mendo.builtInDisplay.disabledID");
    static constexpr Millis watchdogInterval { 2000 };

    // `beep` is the sound of a refused switch-off; the system bell when empty.
    BuiltInDisplayService(Displays& displays, UserDefaults& defaults, Clock& clock, SystemLog& log,
        std::function<void()> beep = {}, QObject* parent = nullptr);
    ~BuiltInDisplayService() override;

    // Watches over every switch-off from outside the process from now on.
    void setGuard(DisplayGuard* guard) { m_guard = guard; }

    bool configureEnabled() const;
    // The display this service switched off; nothing while none is.
    std::optional<DisplayId> disabledDisplayID() const { return m_disabledDisplayID; }

    // Switches the active built-in display off when another display is
    // active and it is not mirrored; beeps otherwise.
    void disableBuiltIn();
    // Switches the recorded display back on. A failure keeps the record, so a
    // later call (or the watchdog) tries again.
    void enableBuiltIn();
    // At launch: switches on a display that a previous run left off.
    void restoreAfterPreviousLaunch();

    QList<DisplayId> activeDisplays() const;
    // The first active display that is built in.
    std::optional<DisplayId> activeBuiltInDisplay() const;
    // The active displays, in order, that are not `excluding`, not built in,
    // online and awake.
    QList<DisplayId> otherActiveDisplays(DisplayId excluding) const;
    bool isInMirrorSet(DisplayId display) const;

    // External displays reported gone since the last switch-on.
    const QSet<DisplayId>& removedDisplays() const { return m_removedDisplays; }
    bool watchdogRunning() const { return m_watchdog && m_watchdog->isActive(); }

Q_SIGNALS:
    // After every switch and every reconfiguration notice.
    void onChange();

private:
    bool setEnabled(bool enabled, DisplayId display);
    void startWatchdog();
    void stopWatchdog();
    void ensureSomeDisplayIsActive();
    void installReconfigurationCallback();
    void handleReconfiguration(const QList<DisplayChange>& changes);

    Displays& m_displays;
    UserDefaults& m_defaults;
    Clock& m_clock;
    SystemLog& m_log;
    std::function<void()> m_beep;
    std::optional<DisplayId> m_disabledDisplayID;
    std::unique_ptr<Timer> m_watchdog;
    bool m_callbackInstalled = false;
    QSet<DisplayId> m_removedDisplays;
    DisplayGuard* m_guard = nullptr;
};

}  // namespace mendo
