#pragma once

#include "model/SettingsValueTypes.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace mendo {

class ClipboardPanelController;
class MendoAppState;
class QuickPanelController;
class StatusHUDController;

// MendoAI's tray item with its menu. The item exists exactly while the
// settings ask for it (`menuBarIconVisible`), and follows every settings
// change without a restart.
class MenuBarController : public QObject {
    Q_OBJECT
public:
    explicit MenuBarController(QObject* parent = nullptr);
    ~MenuBarController() override;

    // `openMainWindow` brings the main window forward (creating it when
    // needed). A second call replaces the first subscription.
    virtual void attach(MendoAppState& appState, QuickPanelController& quickPanel, StatusHUDController& statusHUD,
        ClipboardPanelController& clipboardPanel, std::function<void()> openMainWindow);

    // Creates the item when asked to be visible and it does not exist, and
    // gives it a new menu; removes it when not visible.
    void refresh(bool isVisible);
    // The main window, on the given settings page.
    void openPage(SettingsPage page);

    QSystemTrayIcon* statusItem() const { return m_statusItem.get(); }
    QMenu* menu() const { return m_menu.get(); }

Q_SIGNALS:
    // The menu's "Quit MendoAI".
    void quitRequested();

private:
    std::unique_ptr<QMenu> makeMenu();
    void openMainWindow();

    QPointer<MendoAppState> m_appState;
    QPointer<QuickPanelController> m_quickPanel;
    QPointer<StatusHUDController> m_statusHUD;
    QPointer<ClipboardPanelController> m_clipboardPanel;
    std::function<void()> m_openMainWindowAction;
    QMetaObject::Connection m_subscription;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    std::unique_ptr<QMenu> m_menu;
};

}  // namespace mendo
