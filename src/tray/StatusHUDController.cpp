#include "tray/StatusHUDController.h"

#include "app/MendoAppState.h"
#include "tray/StatusHUD.h"
#include "model/MendoSettings.h"
#include "platform/PanelDesktop.h"
#include "ui/FloatingPanel.h"
#include "ui/MendoTheme.h"
#include "ui/PanelPlacement.h"

#include <QTimer>

namespace mendo {

StatusHUDController::StatusHUDController(PanelDesktop& desktop, QObject* parent)
    : QObject(parent)
    , m_desktop(desktop)
{
}

StatusHUDController::~StatusHUDController() = default;

void StatusHUDController::attach(MendoAppState& appState)
{
    m_appState = &appState;
    disconnect(m_subscription);
    m_subscription = connect(
        &appState, &MendoAppState::statusChanged, this, [this](const ActionStatus& status) { handle(status); },
        Qt::QueuedConnection);
    // The subscription starts with the value current now.
    QTimer::singleShot(0, this, [this, status = appState.status()] { handle(status); });
}

void StatusHUDController::handle(const ActionStatus& status)
{
    m_shown = status;
    if (status.isIdle()) {
        if (m_panel)
            m_panel->hide();
    } else {
        show(status);
    }
    Q_EMIT statusShown(status);
}

void StatusHUDController::show(const ActionStatus& status)
{
    if (!m_panel) {
        m_panel = std::make_unique<FloatingPanel>(m_desktop, FloatingPanel::Focus::never);
        m_panel->setObjectName(QStringLiteral("statusHUD"));
        // It only shows; outside the window manager's care it can never be
        // given the focus of the field the action works on.
        m_panel->setOutsideWindowManager(true);
        m_panel->setFixedSize(panelWidth, panelHeight);
    }
    AppearanceMode mode = MendoSettings().appearanceMode;
    // What the desktop resolves to when the state is gone: X11 desktops
    // never ask for less transparency.
    SurfaceMode surfaceMode = SurfaceMode::translucent;
    if (m_appState) {
        mode = m_appState->settings().appearanceMode;
        surfaceMode = m_appState->systemSurfaceMode();
    }
    if (StatusHUD* hud = view()) {
        // Its look first: the status's colours follow the palette.
        hud->setAppearance(mode, surfaceMode);
        hud->setStatus(status);
    } else {
        m_panel->setSurface(new StatusHUD(status, mode, surfaceMode), panelMargin);
    }
    m_panel->setWindowTitle(status.text());
    m_panel->move(placeAboveBottom(m_desktop.pointerPosition(), m_desktop.monitors(), m_panel->size(), bottomMargin));
    m_panel->present();
}

MendoAppState* StatusHUDController::appState() const
{
    return m_appState;
}

StatusHUD* StatusHUDController::view() const
{
    return m_panel ? static_cast<StatusHUD*>(m_panel->surface()) : nullptr;
}

}  // namespace mendo
