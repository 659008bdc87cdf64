#include "panels/QuickPanelController.h"

#include "app/MendoAppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "engine/FocusService.h"
#include "engine/FocusedTextAccess.h"
#include "panels/QuickActionPanel.h"
#include "panels/AssistantPanelController.h"
#include "platform/HotkeyRegistrar.h"
#include "platform/PanelDesktop.h"
#include "ui/FloatingPanel.h"
#include "ui/FloatingPanelDismissMonitor.h"
#include "ui/SavedPanelSize.h"

#include <QEvent>
#include <QTimer>

#include <algorithm>

namespace mendo {

namespace {

struct SizeRule {
    int width;
    int perAction;
    int base;
};

SizeRule sizeRule(MenuScale scale)
{
    switch (scale) {
    case MenuScale::tiny:
        return { 300, 44, 96 };
    case MenuScale::small:
        return { 320, 48, 110 };
    case MenuScale::medium:
        return { 340, 54, 124 };
    case MenuScale::large:
        return { 370, 60, 140 };
    case MenuScale::xlarge:
        break;
    }
    return { 410, 66, 156 };
}

}  // namespace

QuickPanelController::QuickPanelController(Services services, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_saved(std::make_unique<SavedPanelSize>(services.defaults, sizeKey, QSizeF(minPanelSize)))
{
    if (m_services.hotkeys) {
        // Queued: never inside the registrar's own event handling, which the
        // close (giving Escape back) would change under it.
        connect(
            m_services.hotkeys, &HotkeyRegistrar::pressed, this,
            [this](quint32 id) {
                if (id == escapeHotkeyId && m_escapeHeld)
                    close();
            },
            Qt::QueuedConnection);
    }
}

QuickPanelController::~QuickPanelController()
{
    holdEscape(false);
    // The monitor watches the panel: it goes first.
    delete m_dismiss;
    m_dismiss = nullptr;
}

void QuickPanelController::setPanels(AssistantPanelController* assistant, ClipboardPanelController* clipboard)
{
    m_assistant = assistant;
    m_clipboard = clipboard;
}

AssistantPanelController* QuickPanelController::assistantPanel() const
{
    return m_assistant;
}

ClipboardPanelController* QuickPanelController::clipboardPanel() const
{
    return m_clipboard;
}

void QuickPanelController::show(MendoAppState& appState)
{
    rememberFrontmostApplication();
    const bool wasVisible = isPanelVisible();
    if (!m_panel)
        makePanel(appState);
    if (!wasVisible)
        positionNearMouse();
    removeDismissMonitors();
    m_dismiss->install();
    m_panel->present();
    // On the next turn: the grab waits for the X server's answer, which
    // would hold back the panel's own map request until then.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isPanelVisible())
                holdEscape(true);
        },
        Qt::QueuedConnection);
    if (!wasVisible)
        Q_EMIT panelVisibilityChanged(true);
}

void QuickPanelController::toggle(MendoAppState& appState)
{
    if (isPanelVisible())
        close();
    else
        show(appState);
}

void QuickPanelController::close()
{
    // A close request of the window manager has hidden the panel already;
    // its monitors still tell that it was shown.
    const bool wasShown = isPanelVisible() || dismissMonitorsInstalled();
    removeDismissMonitors();
    holdEscape(false);
    if (!m_panel)
        return;
    m_panel->hide();
    if (wasShown)
        Q_EMIT panelVisibilityChanged(false);
}

void QuickPanelController::holdEscape(bool hold)
{
    if (!m_services.hotkeys || hold == m_escapeHeld)
        return;
    constexpr quint16 escapeKeyCode = 53;
    if (hold) {
        // Another program holding Escape leaves the panel to the dismiss
        // monitor, as before.
        m_escapeHeld = m_services.hotkeys->registerHotkey(escapeHotkeyId, HotkeyChord { escapeKeyCode, 0 }) == 0;
    } else {
        m_services.hotkeys->unregisterHotkey(escapeHotkeyId);
        m_escapeHeld = false;
    }
}

bool QuickPanelController::holdsEscape() const
{
    return m_escapeHeld;
}

void QuickPanelController::removeDismissMonitors()
{
    if (m_dismiss)
        m_dismiss->remove();
}

bool QuickPanelController::isPanelVisible() const
{
    return m_panel && m_panel->isVisible();
}

bool QuickPanelController::dismissMonitorsInstalled() const
{
    return m_dismiss && m_dismiss->isInstalled();
}

MendoAppState* QuickPanelController::appState() const
{
    return m_appState;
}

void QuickPanelController::makePanel(MendoAppState& appState)
{
    m_appState = &appState;
    const QSize size = savedPanelSize(preferredPanelSize(appState));
    m_panel = std::make_unique<FloatingPanel>(m_services.desktop, FloatingPanel::Focus::never);
    m_panel->setObjectName(QStringLiteral("quickPanel"));
    // Window lists and tests tell the panel by its title.
    m_panel->setWindowTitle(QStringLiteral("Quick Menu"));
    m_panel->setMinimumSize(minPanelSize);
    m_view = new QuickActionPanel(appState, *this);
    m_panel->setSurface(m_view, 0);
    m_panel->resize(size);
    // Sizes the user (or the window manager) gives the shown panel are kept
    // for the next start; the size it is made with is not news.
    m_panel->saveSizeWith([this](QSize size) { savePanelSize(size); });
    // A close request of the window manager hides the panel by itself; the
    // monitors go with it.
    connect(m_panel.get(), &FloatingPanel::closeRequested, this, [this] {
        QTimer::singleShot(0, this, [this] { close(); });
    });
    m_dismiss = new FloatingPanelDismissMonitor(m_panel.get(), [this] { close(); }, m_services.globalInput);
}

QSize QuickPanelController::preferredPanelSize(const MendoAppState& appState)
{
    const int n = std::max<int>(4, int(appState.quickActions().size()));
    const SizeRule rule = sizeRule(appState.settings().quickMenuSize);
    return { rule.width, std::min(n * rule.perAction + rule.base, heightCap()) };
}

int QuickPanelController::heightCap()
{
    const QList<MonitorFrame> monitors = m_services.desktop.monitors();
    if (monitors.isEmpty())
        return 620;
    const QRect frame = mainVisibleFrame(monitors, m_services.desktop.pointerPosition());
    return std::clamp(frame.height() - 160, 420, 620);
}

QSize QuickPanelController::savedPanelSize(QSize fallback)
{
    const QSizeF size = m_saved->read(QSizeF(fallback), QSizeF(maxStoredWidth, heightCap()));
    // Stored sizes may carry fractions; a window takes whole pixels.
    return { int(size.width()), int(size.height()) };
}

void QuickPanelController::savePanelSize(QSize size)
{
    const int height = std::min(std::max(size.height(), minPanelSize.height()), heightCap());
    m_saved->save(QSizeF(std::max(size.width(), minPanelSize.width()), height));
}

void QuickPanelController::positionNearMouse()
{
    if (!m_panel)
        return;
    m_panel->moveNearPointer();
}

void QuickPanelController::rememberFrontmostApplication()
{
    m_services.focus.rememberFrontmostApplication();
}

QString QuickPanelController::accessibleSelection()
{
    return m_services.focusedText.selectedText();
}

}  // namespace mendo
