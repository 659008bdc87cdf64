#pragma once

#include "model/QuickAction.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <memory>

namespace mendo {

class AssistantPanelController;
class ClipboardPanelController;
class FloatingPanel;
class FloatingPanelDismissMonitor;
class FocusService;
class FocusedTextAccess;
class GlobalInputMonitor;
class HotkeyRegistrar;
class MendoAppState;
class PanelDesktop;
class QuickActionPanel;
class SavedPanelSize;
class UserDefaults;

// The quick-action panel: every quick action one click away, next to the
// pointer, without taking the focus from the application the user works in.
// One per process, made by the application object; the hotkeys, the tray
// menu and "Show Quick Menu" toggle it, the selection trigger and the
// floating button show it.
//
// Every show remembers the frontmost application, so that a row's result
// goes back to the application that was in front. The panel is made on the
// first show at the size the user last gave it (else one fitted to the
// actions) and afterwards only shown and hidden; Escape and a click anywhere
// outside it hide it. The panel never takes the focus, so Escape would reach
// the application in front (cancelling its dialog, say): while the panel
// shows, Escape is held system-wide and only closes the panel. Main thread.
class QuickPanelController : public QObject {
    Q_OBJECT
public:
    static constexpr QSize minPanelSize { 300, 260 };
    // A stored width is read back at most this wide.
    static constexpr int maxStoredWidth = 560;
    static inline const QString sizeKey = QStringLiteral("mendo.quickPanel");

    struct Services {
        PanelDesktop& desktop;
        GlobalInputMonitor& globalInput;
        UserDefaults& defaults;
        FocusService& focus;
        // The remembered application's selection, read by the "ai" row.
        FocusedTextAccess& focusedText;
        // Holds Escape while the panel shows; without it Escape closes the
        // panel only when it reaches a MendoAI window.
        HotkeyRegistrar* hotkeys = nullptr;
    };
    // The id under which the shown panel holds bare Escape.
    static constexpr quint32 escapeHotkeyId = 0xE5C0'0001;

    explicit QuickPanelController(Services services, QObject* parent = nullptr);
    ~QuickPanelController() override;

    // The panels the "ai" and "clipboard" rows open; made after this
    // controller, so handed over once they exist.
    void setPanels(AssistantPanelController* assistant, ClipboardPanelController* clipboard);
    AssistantPanelController* assistantPanel() const;
    ClipboardPanelController* clipboardPanel() const;

    // Remembers the frontmost application, makes the panel on the first call,
    // places it at the pointer unless it is showing already, and brings it to
    // the front with fresh dismiss monitors.
    virtual void show(MendoAppState& appState);
    // Hides the panel when it is showing; otherwise shows it for `appState`.
    virtual void toggle(MendoAppState& appState);
    // The one way the panel is put away: the monitors go, then the panel.
    void close();
    void removeDismissMonitors();

    bool isPanelVisible() const;
    // Whether Escape is held for the shown panel.
    bool holdsEscape() const;
    bool dismissMonitorsInstalled() const;
    // The application state the panel was made for; none before the first show.
    MendoAppState* appState() const;
    FloatingPanel* panel() const { return m_panel.get(); }
    QuickActionPanel* view() const { return m_view; }

    // The size a new panel takes for the actions and the menu size of
    // `appState`, at most heightCap() high.
    QSize preferredPanelSize(const MendoAppState& appState);
    // The visible height of the main screen less 160, kept within 420...620;
    // 620 without a screen.
    int heightCap();
    // The stored size when both sides reach the minimum (at most 560 wide and
    // heightCap() high), else `fallback`.
    QSize savedPanelSize(QSize fallback);
    // Stores `size` raised to the minimum, its height at most heightCap().
    void savePanelSize(QSize size);

    // The frontmost application becomes the target of the next action.
    void rememberFrontmostApplication();
    // The remembered application's selected text through accessibility.
    QString accessibleSelection();

Q_SIGNALS:
    void panelVisibilityChanged(bool visible);

private:
    void makePanel(MendoAppState& appState);
    void holdEscape(bool hold);
    void positionNearMouse();

    Services m_services;
    std::unique_ptr<SavedPanelSize> m_saved;
    std::unique_ptr<FloatingPanel> m_panel;
    QuickActionPanel* m_view = nullptr;
    FloatingPanelDismissMonitor* m_dismiss = nullptr;
    QPointer<MendoAppState> m_appState;
    QPointer<AssistantPanelController> m_assistant;
    QPointer<ClipboardPanelController> m_clipboard;
    bool m_escapeHeld = false;
};

}  // namespace mendo
