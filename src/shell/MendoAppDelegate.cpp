#include "shell/MendoAppDelegate.h"

#include "model/NativeSettingsStore.h"
#include "shell/ApplicationControl.h"
#include "shell/DesktopServiceHooks.h"
#include "shell/MendoWindowPresenter.h"
#include "shell/ShellWindows.h"
#include "platform/UserDefaults.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

namespace mendo {

namespace {

// A main window shown, hidden or minimized has the policy follow within
// this; nothing is checked while no window changes.
constexpr Millis kDockPolicyDelay { 1000 };
// After a window closes the policy is applied at once and again after these
// delays, so that the window system has caught up with the change.
constexpr Millis kFollowUpChecks[] = { Millis(50), Millis(200), Millis(500) };

}  // namespace

MendoAppDelegate::MendoAppDelegate(UserDefaults& defaults, Clock& clock, ApplicationControl& application,
    MendoWindowPresenter& presenter, BuiltInDisplayControl& builtInDisplay, DragSwapMonitorControl& dragSwapMonitor,
    QObject* parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_clock(clock)
    , m_application(application)
    , m_presenter(presenter)
    , m_builtInDisplay(builtInDisplay)
    , m_dragSwapMonitor(dragSwapMonitor)
{
    if (qGuiApp) {
        connect(qGuiApp, &QGuiApplication::lastWindowClosed, this, [this] {
            if (applicationShouldTerminateAfterLastWindowClosed())
                terminate();
        });
        connect(qGuiApp, &QCoreApplication::aboutToQuit, this, [this] {
            m_isTerminating = true;
            applicationWillTerminate();
        });
    }
}

MendoAppDelegate::~MendoAppDelegate()
{
    if (m_observing && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool MendoAppDelegate::shouldStayInMenuBar() const
{
    // An absent key reads as true; a stored one through the boolean reading.
    auto flag = [this](const char* key) {
        const QString name = QString::fromLatin1(key);
        return !m_defaults.contains(name) || m_defaults.boolean(name);
    };
    return flag(NativeSettingsStore::closeToMenuBarKey) && flag(NativeSettingsStore::menuBarIconVisibleKey);
}

bool MendoAppDelegate::hasVisibleMainWindow() const
{
    const QWidgetList windows = m_application.windows();
    return std::any_of(windows.begin(), windows.end(), [](QWidget* w) { return isVisibleMainWindow(w); });
}

bool MendoAppDelegate::isDelegateOf(const QWidget* window) const
{
    return std::any_of(m_delegatedWindows.begin(), m_delegatedWindows.end(),
        [window](const QPointer<QWidget>& w) { return w == window; });
}

void MendoAppDelegate::becomeDelegateOf(QWidget* window)
{
    std::erase_if(m_delegatedWindows, [](const QPointer<QWidget>& w) { return w.isNull(); });
    if (!isDelegateOf(window))
        m_delegatedWindows.emplace_back(window);
}

void MendoAppDelegate::later(Millis delay, std::function<void()> work)
{
    std::erase_if(m_deferred, [](const auto& timer) { return !timer->isActive(); });
    m_deferred.push_back(m_clock.singleShot(delay, std::move(work)));
}

void MendoAppDelegate::applicationDidFinishLaunching()
{
    m_builtInDisplay.restoreAfterPreviousLaunch();
    m_dragSwapMonitor.start();
    configureMainWindows();
    if (!m_observing && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_observing = true;
    }
    scheduleDockPolicy();
}

void MendoAppDelegate::scheduleDockPolicy()
{
    if (m_dockPolicyTimer && m_dockPolicyTimer->isActive())
        return;
    m_dockPolicyTimer = m_clock.singleShot(kDockPolicyDelay, [this] { applyDockPolicy(); });
}

bool MendoAppDelegate::applicationShouldTerminate()
{
    m_isTerminating = true;
    return true;
}

bool MendoAppDelegate::applicationShouldTerminateAfterLastWindowClosed()
{
    if (!shouldStayInMenuBar())
        return true;
    moveToMenuBarIfNeeded();
    return false;
}

bool MendoAppDelegate::applicationShouldHandleReopen(bool /*hasVisibleWindows*/)
{
    m_presenter.showMainWindow();
    return true;
}

void MendoAppDelegate::applicationWillTerminate()
{
    m_builtInDisplay.enableBuiltIn();
    if (m_observing && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_observing = false;
    m_dockPolicyTimer.reset();
}

void MendoAppDelegate::terminate()
{
    if (applicationShouldTerminate())
        QCoreApplication::quit();
}

bool MendoAppDelegate::windowShouldClose(QWidget* window)
{
    if (m_isTerminating || !shouldStayInMenuBar() || isPanel(window) || !canBecomeMain(window))
        return true;
    window->hide();
    moveToMenuBarIfNeeded();
    return false;
}

void MendoAppDelegate::configureMainWindows()
{
    later(Millis(0), [this] {
        for (QWidget* window : m_application.windows()) {
            // Dialogs keep their own title.
            if (!window || isPanel(window) || !canBecomeMain(window))
                continue;
            configureWindow(window);
            becomeDelegateOf(window);
        }
    });
}

void MendoAppDelegate::configureWindow(QWidget* window)
{
    configureMainWindowChrome(window);
}

void MendoAppDelegate::moveToMenuBarIfNeeded()
{
    if (!shouldStayInMenuBar())
        return;
    applyDockPolicy();
    for (Millis delay : kFollowUpChecks)
        later(delay, [this] { applyDockPolicy(); });
}

void MendoAppDelegate::applyDockPolicy()
{
    if (!shouldStayInMenuBar())
        return;
    m_application.setActivationPolicy(hasVisibleMainWindow() ? ActivationPolicy::regular : ActivationPolicy::accessory);
}

bool MendoAppDelegate::eventFilter(QObject* watched, QEvent* event)
{
    const auto type = event->type();
    if (type == QEvent::Show || type == QEvent::Hide || type == QEvent::WindowStateChange) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (m_observing && window && window->isWindow() && !isPanel(window))
            scheduleDockPolicy();
        return false;
    }
    if (type != QEvent::Close && type != QEvent::WindowActivate)
        return false;
    auto* window = qobject_cast<QWidget*>(watched);
    if (!window || !window->isWindow() || isPanel(window))
        return false;

    if (type == QEvent::WindowActivate) {
        QPointer<QWidget> guarded(window);
        later(Millis(0), [this, guarded] {
            if (!guarded || !canBecomeMain(guarded))
                return;
            configureWindow(guarded);
            becomeDelegateOf(guarded);
        });
        return false;
    }

    // Close: first the window's delegate decides, then the closing is
    // observed like any other window's.
    if (isDelegateOf(window) && !windowShouldClose(window)) {
        event->ignore();
        return true;
    }
    later(Millis(0), [this] { moveToMenuBarIfNeeded(); });
    return false;
}

}  // namespace mendo
