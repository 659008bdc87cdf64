#include "desktop/BuiltInDisplayService.h"

#include "platform/DisplayGuard.h"

#include "base/SystemLog.h"
#include "platform/UserDefaults.h"

#include <QApplication>

namespace mendo {

namespace {

QString flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

}  // namespace

BuiltInDisplayService::BuiltInDisplayService(Displays& displays, UserDefaults& defaults, Clock& clock,
    SystemLog& log, std::function<void()> beep, QObject* parent)
    : QObject(parent)
    , m_displays(displays)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_log(log)
    , m_beep(beep ? std::move(beep) : std::function<void()>([] { QApplication::beep(); }))
{
}

BuiltInDisplayService::~BuiltInDisplayService() = default;

bool BuiltInDisplayService::configureEnabled() const
{
    return m_displays.configureEnabled();
}

QList<DisplayId> BuiltInDisplayService::activeDisplays() const
{
    return m_displays.activeDisplays();
}

std::optional<DisplayId> BuiltInDisplayService::activeBuiltInDisplay() const
{
    for (const DisplayFacts& facts : m_displays.activeDisplayFacts())
        if (facts.builtIn)
            return facts.display;
    return std::nullopt;
}

QList<DisplayId> BuiltInDisplayService::otherActiveDisplays(DisplayId excluding) const
{
    QList<DisplayId> others;
    for (const DisplayFacts& facts : m_displays.activeDisplayFacts()) {
        if (facts.display != excluding && !facts.builtIn && facts.online && !facts.asleep)
            others << facts.display;
    }
    return others;
}

bool BuiltInDisplayService::isInMirrorSet(DisplayId display) const
{
    return m_displays.isInMirrorSet(display);
}

bool BuiltInDisplayService::setEnabled(bool enabled, DisplayId display)
{
    if (!m_displays.configureEnabled())
        return false;
    const DisplaySwitchResult result = m_displays.setEnabled(display, enabled);
    switch (result.step) {
    case DisplaySwitchResult::Step::done:
        return true;
    case DisplaySwitchResult::Step::unavailable:
        return false;
    case DisplaySwitchResult::Step::configure:
        m_log.write(QStringLiteral("built-in display: configure %1 failed %2").arg(flag(enabled)).arg(result.code));
        return false;
    case DisplaySwitchResult::Step::complete:
        m_log.write(QStringLiteral("built-in display: complete %1 result %2").arg(flag(enabled)).arg(result.code));
        return false;
    }
    return false;
}

void BuiltInDisplayService::installReconfigurationCallback()
{
    if (m_callbackInstalled)
        return;
    m_callbackInstalled = true;
    // Handled on a later turn of the event loop: a notice arrives in the
    // middle of reading the server's events, where switching a display (which
    // waits for the server) must not run.
    connect(&m_displays, &Displays::reconfigured, this, [this](const QList<DisplayChange>& changes) {
        QMetaObject::invokeMethod(
            this, [this, changes] { handleReconfiguration(changes); }, Qt::QueuedConnection);
    });
    m_displays.watchReconfigurations();
}

void BuiltInDisplayService::handleReconfiguration(const QList<DisplayChange>& changes)
{
    for (const DisplayChange& change : changes) {
        if (m_displays.isBuiltin(change.display))
            continue;
        if (change.removed)
            m_removedDisplays.insert(change.display);
        if (change.added)
            m_removedDisplays.remove(change.display);
    }
    ensureSomeDisplayIsActive();
    Q_EMIT onChange();
}

void BuiltInDisplayService::ensureSomeDisplayIsActive()
{
    if (!m_disabledDisplayID)
        return;
    QList<DisplayId> usable = otherActiveDisplays(*m_disabledDisplayID);
    usable.removeIf([this](DisplayId display) { return m_removedDisplays.contains(display); });
    if (usable.isEmpty())
        enableBuiltIn();
}

void BuiltInDisplayService::startWatchdog()
{
    m_watchdog = m_clock.repeating(watchdogInterval, [this] { ensureSomeDisplayIsActive(); });
}

void BuiltInDisplayService::stopWatchdog()
{
    m_watchdog.reset();
}

void BuiltInDisplayService::disableBuiltIn()
{
    const auto refuse = [this] { m_beep(); };
    if (!m_displays.configureEnabled())
        return refuse();
    const std::optional<DisplayId> builtIn = activeBuiltInDisplay();
    if (!builtIn || otherActiveDisplays(*builtIn).isEmpty() || m_displays.isInMirrorSet(*builtIn))
        return refuse();
    const std::optional<DisplayId> display = activeBuiltInDisplay();
    if (!display)
        return refuse();

    installReconfigurationCallback();
    if (!setEnabled(false, *display))
        return;
    m_disabledDisplayID = *display;
    m_defaults.set(disabledIDKey, qint64(*display));
    if (m_guard)
        m_guard->watch(*display);
    startWatchdog();
    Q_EMIT onChange();
}

void BuiltInDisplayService::enableBuiltIn()
{
    if (!m_disabledDisplayID)
        return;
    if (!setEnabled(true, *m_disabledDisplayID))
        return;
    m_disabledDisplayID.reset();
    m_removedDisplays.clear();
    m_defaults.remove(disabledIDKey);
    if (m_guard)
        m_guard->release();
    stopWatchdog();
    Q_EMIT onChange();
}

void BuiltInDisplayService::restoreAfterPreviousLaunch()
{
    installReconfigurationCallback();
    const DisplayId display = DisplayId(quint64(m_defaults.integer(disabledIDKey)) & 0xffffffffu);
    if (display == 0)
        return;
    // An id from an older X session may name another output, or none: only
    // a connected built-in display is ours to switch on.
    if (!m_displays.isOnline(display) || !m_displays.isBuiltin(display)) {
        m_defaults.remove(disabledIDKey);
        return;
    }
    if (setEnabled(true, display)) {
        m_defaults.remove(disabledIDKey);
        return;
    }
    // The key is the only record of a dark panel: keep it, and take the
    // display as the one switched off, so the toggle, the menu and the
    // watchdog can bring it back.
    m_disabledDisplayID = display;
    startWatchdog();
    Q_EMIT onChange();
}

}  // namespace mendo
