#pragma once

#include "base/Clock.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

class QWidget;

namespace mendo {

class ApplicationControl;
class BuiltInDisplayControl;
class DragSwapMonitorControl;
class MendoWindowPresenter;
class UserDefaults;

// Keeps MendoAI a tray application: while the close-to-tray policy holds,
// closing the main window hides it, and the application drops out of the
// taskbar whenever no main window is visible (checked every second, and right
// after a window closes). It also restores the built-in display at launch and
// at termination, and brings the main window back when MendoAI is launched
// again.
//
// The policy is read from the user defaults at every use, never cached: the
// settings window writes the two keys and the next check obeys them.
class MendoAppDelegate : public QObject {
    Q_OBJECT
public:
    MendoAppDelegate(UserDefaults& defaults, Clock& clock, ApplicationControl& application,
        MendoWindowPresenter& presenter, BuiltInDisplayControl& builtInDisplay, DragSwapMonitorControl& dragSwapMonitor,
        QObject* parent = nullptr);
    ~MendoAppDelegate() override;

    void applicationDidFinishLaunching();
    // Termination is agreed at once; from now on main windows really close.
    bool applicationShouldTerminate();
    // False (keep running, leave the taskbar) while the policy holds.
    bool applicationShouldTerminateAfterLastWindowClosed();
    // A second launch: the main window comes forward, visible or not.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void applicationWillTerminate();
    // As the delegate of a main window: false when the window was hidden
    // instead of closed.
    bool windowShouldClose(QWidget* window);

    // The normal termination path (the tray's Quit, and SIGTERM/SIGINT/SIGHUP).
    void terminate();

    void configureMainWindows();
    void configureWindow(QWidget* window);
    void moveToMenuBarIfNeeded();
    void applyDockPolicy();
    // Applies the policy a second from now, unless a check is due already.
    void scheduleDockPolicy();

    bool shouldStayInMenuBar() const;
    bool hasVisibleMainWindow() const;
    bool isTerminating() const { return m_isTerminating; }
    bool isDelegateOf(const QWidget* window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void becomeDelegateOf(QWidget* window);
    void later(Millis delay, std::function<void()> work);

    UserDefaults& m_defaults;
    Clock& m_clock;
    ApplicationControl& m_application;
    MendoWindowPresenter& m_presenter;
    BuiltInDisplayControl& m_builtInDisplay;
    DragSwapMonitorControl& m_dragSwapMonitor;

    // The window-close and window-activation observers are one application
    // event filter, installed at launch and removed at termination.
    bool m_observing = false;
    // The next policy check after a window changed.
    std::unique_ptr<Timer> m_dockPolicyTimer;
    bool m_isTerminating = false;
    std::vector<QPointer<QWidget>> m_delegatedWindows;
    std::vector<std::unique_ptr<Timer>> m_deferred;
};

}  // namespace mendo
