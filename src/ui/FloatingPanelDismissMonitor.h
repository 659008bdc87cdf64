#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QWindow;

namespace mendo {

class GlobalInputMonitor;

// What the application-wide watch saw of one event in MendoAI's own windows.
struct LocalInputEvent {
    enum class Type { mouseDown, keyDown };
    Type type = Type::mouseDown;
    int key = 0;  // Qt::Key of a key event
    QPointer<QWindow> window;  // the window the event went to
};

// Closes a floating panel when the user presses Escape in MendoAI or clicks
// anywhere outside the panel, in MendoAI or in any other application. The
// panel's owner makes one monitor per panel, installs it on each showing and
// removes it whenever the panel is hidden or shown again. Events are only
// watched, never taken: the panel (or its field) still receives the Escape.
// Windows the panel owns (its menus, popups, combo lists, tooltips) count as
// the panel. The dismiss action runs on a later turn of the event loop,
// after the event was delivered. Main thread.
class FloatingPanelDismissMonitor : public QObject {
    Q_OBJECT
public:
    FloatingPanelDismissMonitor(
        QWidget* panel, std::function<void()> onDismiss, GlobalInputMonitor& global, QObject* parent = nullptr);
    // Removes whatever is still installed.
    ~FloatingPanelDismissMonitor() override;

    // Watches this application's events and other applications' clicks. The
    // owners call remove() right before, so at most one pair is active.
    void install();
    // Stops watching; harmless when nothing is installed.
    void remove();
    bool isInstalled() const { return m_localInstalled || m_globalToken != 0; }

    // The two reactions, called from the watches' scheduled tasks.
    void handleLocalEvent(const LocalInputEvent& event);
    void dismissIfVisible();

    // Whether `window` is the panel or a window the panel owns.
    bool belongsToPanel(const QWindow* window) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_panel;
    std::function<void()> m_onDismiss;
    GlobalInputMonitor& m_global;
    bool m_localInstalled = false;
    int m_globalToken = 0;
};

}  // namespace mendo
