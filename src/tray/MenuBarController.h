#pragma once

#include "tray/MenuBarMenu.h"
#include "model/SettingsValueTypes.h"

#include <QObject>
#include <optional>
#include <utility>
#include <QPointer>
#include <functional>

class QMenu;
class QSystemTrayIcon;

namespace mendo {

class BuiltInDisplaySwitch;
class ClipboardPanelController;
class MendoAppState;
class QuickPanelController;
class StatusHUDController;
class TranslationPreviewPanelController;

// MendoAI's tray item with its menu. The item exists exactly while the
// settings ask for it (`menuBarIconVisible`); its menu is built anew when that
// setting or the interface language changes, and at every change of the
// built-in display switch. Main thread only.
class MenuBarController : public QObject {
    Q_OBJECT
public:
    static inline const QString menuTitle = QStringLiteral("MendoAI");

    // `displaySwitch` must outlive the controller.
    explicit MenuBarController(BuiltInDisplaySwitch& displaySwitch, QObject* parent = nullptr);
    ~MenuBarController() override;

    // Called once at start-up. The panels are held weakly; `openMainWindow`
    // brings the main window forward, making it when needed.
    virtual void attach(MendoAppState& appState, QuickPanelController& quickPanel, StatusHUDController& statusHUD,
        ClipboardPanelController& clipboardPanel, TranslationPreviewPanelController& translationPreview,
        std::function<void()> openMainWindow);

    // Makes the item when asked to be visible and gives it a new menu; removes
    // the item and the menu's actions when not.
    void refresh(bool isVisible);
    // The whole menu; the previous menu's actions are released.
    MenuBarMenu makeMenu();
    // An enabled item whose action is held by a new target of this menu.
    MenuBarEntry actionItem(const QString& title, std::function<void()> action);
    // The main window, on the given settings page.
    void openPage(SettingsPage page);

    QSystemTrayIcon* statusItem() const;
    // The menu as shown, null while hidden.
    QMenu* menu() const;
    const MenuBarMenu& currentMenu() const { return m_currentMenu; }
    int actionTargetCount() const { return int(m_actionTargets.size()); }

Q_SIGNALS:
    // The menu's "Quit MendoAI".
    void quitRequested();

private:
    void releaseActionTargets();
    void showMenu(MenuBarMenu model);
    void openMainWindow();

    BuiltInDisplaySwitch& m_displaySwitch;
    QPointer<MendoAppState> m_appState;
    QPointer<QuickPanelController> m_quickPanel;
    QPointer<StatusHUDController> m_statusHUD;
    QPointer<ClipboardPanelController> m_clipboardPanel;
    QPointer<TranslationPreviewPanelController> m_translationPreview;
    QPointer<QSystemTrayIcon> m_statusItem;
    QMetaObject::Connection m_subscription;
    QList<MenuActionTarget*> m_actionTargets;
    std::function<void()> m_openMainWindowAction;
    QPointer<QMenu> m_menu;
    MenuBarMenu m_currentMenu;
    // The tray visibility and language last scheduled for the menu.
    std::optional<std::pair<bool, UiLanguage>> m_scheduledFor;
};

}  // namespace mendo
