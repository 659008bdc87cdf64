#include "tray/MenuBarController.h"

#include "app/MendoAppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "desktop/BuiltInDisplaySwitch.h"
#include "tray/MendoMenuBarIcon.h"
#include "panels/QuickPanelController.h"
#include "tray/StatusHUDController.h"
#include "panels/TranslationPreviewPanelController.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace mendo {

MenuBarController::MenuBarController(BuiltInDisplaySwitch& displaySwitch, QObject* parent)
    : QObject(parent)
    , m_displaySwitch(displaySwitch)
{
}

MenuBarController::~MenuBarController()
{
    m_displaySwitch.setOnChange({});
    delete m_menu;
    delete m_statusItem;
    qDeleteAll(m_actionTargets);
}

QSystemTrayIcon* MenuBarController::statusItem() const
{
    return m_statusItem;
}

QMenu* MenuBarController::menu() const
{
    return m_menu;
}

void MenuBarController::attach(MendoAppState& appState, QuickPanelController& quickPanel,
    StatusHUDController& statusHUD, ClipboardPanelController& clipboardPanel,
    TranslationPreviewPanelController& translationPreview, std::function<void()> openMainWindow)
{
    m_appState = &appState;
    m_quickPanel = &quickPanel;
    m_statusHUD = &statusHUD;
    m_clipboardPanel = &clipboardPanel;
    m_translationPreview = &translationPreview;
    m_openMainWindowAction = std::move(openMainWindow);
    refresh(appState.settings().menuBarIconVisible);

    QPointer<MenuBarController> self(this);
    m_displaySwitch.setOnChange([self] {
        if (self && self->m_appState)
            self->refresh(self->m_appState->settings().menuBarIconVisible);
    });

    // Each settings value the menu shows, the current one included, is applied
    // on a later turn of the event loop: a menu item that changes the settings
    // must not see its own menu rebuilt under it. Changes of other settings
    // leave the item and its menu as they are.
    auto schedule = [this](bool visible, UiLanguage language) {
        if (m_scheduledFor == std::pair { visible, language })
            return;
        m_scheduledFor = std::pair { visible, language };
        QMetaObject::invokeMethod(
            this, [this, visible] { refresh(visible); }, Qt::QueuedConnection);
    };
    disconnect(m_subscription);
    m_scheduledFor.reset();
    m_subscription = connect(&appState, &MendoAppState::settingsChanged, this, [this, schedule] {
        if (m_appState)
            schedule(m_appState->settings().menuBarIconVisible, m_appState->settings().uiLanguage);
    });
    schedule(appState.settings().menuBarIconVisible, appState.settings().uiLanguage);
}

void MenuBarController::refresh(bool isVisible)
{
    if (!isVisible) {
        if (m_statusItem) {
            m_statusItem->hide();
            m_statusItem->deleteLater();
            m_statusItem = nullptr;
        }
        if (m_menu) {
            m_menu->deleteLater();
            m_menu = nullptr;
        }
        m_currentMenu = {};
        releaseActionTargets();
        return;
    }
    if (!m_statusItem) {
        m_statusItem = new QSystemTrayIcon(MendoMenuBarIcon::makeIcon(), this);
        m_statusItem->setToolTip(QStringLiteral("MendoAI"));
        // Every click opens the menu, the left one included; the right one
        // opens it by itself.
        connect(m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
            if (why != QSystemTrayIcon::Context && m_menu)
                m_menu->popup(QCursor::pos());
        });
    }
    showMenu(makeMenu());
    m_statusItem->show();
}

void MenuBarController::showMenu(MenuBarMenu model)
{
    auto* menu = new QMenu(model.title);
    for (const MenuBarEntry& entry : model.entries) {
        if (entry.separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.title);
        action->setEnabled(entry.enabled);
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
        if (!entry.target)
            continue;
        const bool checked = entry.checked;
        connect(action, &QAction::triggered, entry.target.data(), [target = entry.target, action, checked] {
            // The mark shows the switch's state, not the click.
            action->setChecked(checked);
            target->runAction();
        });
    }
    m_statusItem->setContextMenu(menu);
    // The old menu may be the one whose item is running right now.
    if (m_menu)
        m_menu->deleteLater();
    m_menu = menu;
    m_currentMenu = std::move(model);
}

MenuBarMenu MenuBarController::makeMenu()
{
    releaseActionTargets();
    MenuBarMenu menu { menuTitle, {} };
    QList<MenuBarEntry>& entries = menu.entries;
    MenuBarEntry separator;
    separator.separator = true;
    QPointer<MenuBarController> self(this);

    entries << actionItem(QStringLiteral("Open MendoAI"), [self] {
        if (self)
            self->openMainWindow();
    });
    entries << actionItem(QStringLiteral("Quick Menu"), [self] {
        if (self && self->m_appState && self->m_quickPanel)
            self->m_quickPanel->toggle(*self->m_appState);
    });
    entries << actionItem(QStringLiteral("Clipboard History"), [self] {
        if (self && self->m_clipboardPanel)
            self->m_clipboardPanel->toggle();
    });
    entries << actionItem(QStringLiteral("Translation Preview"), [self] {
        if (self && self->m_appState && self->m_translationPreview)
            self->m_translationPreview->showFromSelection(*self->m_appState);
    });

    BuiltInDisplaySwitch& displays = m_displaySwitch;
    const std::optional<quint32> disabled = displays.disabledDisplayID();
    const std::optional<quint32> builtIn = displays.activeBuiltInDisplay();
    if (displays.configureEnabled() && (disabled || builtIn)) {
        const bool russian = m_appState && m_appState->settings().uiLanguage == UiLanguage::ru;
        MenuBarEntry item = actionItem(
            russian ? QStringLiteral("Выключить встроенный экран") : QStringLiteral("Turn Off Built-in Display"),
            [self] {
                if (!self)
                    return;
                // Either call ends in the switch's change callback, which
                // builds this menu anew.
                if (self->m_displaySwitch.disabledDisplayID())
                    self->m_displaySwitch.enableBuiltIn();
                else
                    self->m_displaySwitch.disableBuiltIn();
            });
        item.checkable = true;
        item.checked = disabled.has_value();
        item.enabled = disabled
            || (builtIn && !displays.otherActiveDisplays(*builtIn).isEmpty() && !displays.isInMirrorSet(*builtIn));
        entries << separator << item;
    }

    entries << separator;
    entries << actionItem(QStringLiteral("Permissions"), [self] {
        if (self)
            self->openPage(SettingsPage::permissions);
    });
    entries << actionItem(QStringLiteral("Refresh Permissions"), [self] {
        if (self && self->m_appState)
            self->m_appState->refreshPermissions();
    });
    entries << separator;
    entries << actionItem(QStringLiteral("Quit MendoAI"), [self] {
        if (self)
            Q_EMIT self->quitRequested();
    });
    return menu;
}

MenuBarEntry MenuBarController::actionItem(const QString& title, std::function<void()> action)
{
    auto* target = new MenuActionTarget(std::move(action));
    m_actionTargets.append(target);
    return MenuBarEntry { title, false, true, false, false, target };
}

void MenuBarController::releaseActionTargets()
{
    // A target may be running its action right now (the display item's
    // action rebuilds its own menu): it goes once that action has returned.
    for (MenuActionTarget* target : std::as_const(m_actionTargets))
        target->deleteLater();
    m_actionTargets.clear();
}

void MenuBarController::openPage(SettingsPage page)
{
    if (m_appState)
        m_appState->setSelectedSettingsPage(page);
    openMainWindow();
}

void MenuBarController::openMainWindow()
{
    if (m_openMainWindowAction)
        m_openMainWindowAction();
}

}  // namespace mendo
