#pragma once

#include <QObject>
#include <QPointer>

namespace mendo {

class MendoAppState;

// The quick-action panel's controller. One per process, made by the
// application object and handed to the hotkeys, the tray menu, the floating
// button and the main window's menu.
//
// The panel itself is not built yet: the controller only keeps whether it is
// showing and for which application state.
class QuickPanelController : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Hides the panel when it is showing; otherwise shows it for `appState`.
    virtual void toggle(MendoAppState& appState);
    // Hides the panel; nothing happens when it is not showing.
    void orderOut();

    bool isPanelVisible() const { return m_visible; }
    MendoAppState* appState() const;

Q_SIGNALS:
    void panelVisibilityChanged(bool visible);

private:
    bool m_visible = false;
    QPointer<MendoAppState> m_appState;
};

}  // namespace mendo
