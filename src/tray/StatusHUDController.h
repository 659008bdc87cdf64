#pragma once

#include "model/ActionStatus.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace mendo {

class FloatingPanel;
class MendoAppState;
class PanelDesktop;
class StatusHUD;

// Shows the status of the running action in a small panel centred near the
// bottom of the main screen (the monitor under the pointer, else the
// primary one). The panel never takes the focus and stays outside the window
// manager's care; idle hides it. Made by the application object with no
// panel and no application state; the launch attaches it.
class StatusHUDController : public QObject {
    Q_OBJECT
public:
    static constexpr int panelWidth = 260;
    static constexpr int panelHeight = 72;
    // The transparent margin around the surface, inside the panel.
    static constexpr int panelMargin = 18;
    // Between the panel's bottom and the bottom of the screen's free area.
    static constexpr int bottomMargin = 82;

    explicit StatusHUDController(PanelDesktop& desktop, QObject* parent = nullptr);
    ~StatusHUDController() override;

    // Follows `appState`'s status from now on, starting with the current
    // one; each value is shown on a later turn of the event loop, as it was
    // when published. A second call replaces the first subscription.
    virtual void attach(MendoAppState& appState);
    // Builds the panel and its view if needed, shows `status` in the view,
    // centres it on the main screen and brings it to the front without
    // taking the focus.
    void show(const ActionStatus& status);

    MendoAppState* appState() const;
    // The last status handled (idle included); nothing before the first.
    const std::optional<ActionStatus>& shownStatus() const { return m_shown; }
    // None before the first status other than idle.
    FloatingPanel* panel() const { return m_panel.get(); }
    StatusHUD* view() const;

Q_SIGNALS:
    void statusShown(const mendo::ActionStatus& status);

private:
    void handle(const ActionStatus& status);

    PanelDesktop& m_desktop;
    QPointer<MendoAppState> m_appState;
    QMetaObject::Connection m_subscription;
    std::optional<ActionStatus> m_shown;
    std::unique_ptr<FloatingPanel> m_panel;
};

}  // namespace mendo
