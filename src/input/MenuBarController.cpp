#include "input/MenuBarController.h"

#include "app/MendoAppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "input/QuickPanelController.h"
#include "input/StatusHUDController.h"

#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>

namespace mendo {

namespace {

// A four-pointed spark, drawn rather than shipped so that it stays sharp at
// every tray size.
QIcon makeTrayIcon()
{
    QIcon icon;
    for (int size : { 16, 22, 24, 32, 48, 64 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const double c = size / 2.0;
        const double r = size * 0.46;
        const double w = size * 0.12;
        QPainterPath spark;
        spark.moveTo(c, c - r);
        spark.quadTo(c + w, c - w, c + r, c);
        spark.quadTo(c + w, c + w, c, c + r);
        spark.quadTo(c - w, c + w, c - r, c);
        spark.quadTo(c - w, c - w, c, c - r);
        painter.fillPath(spark, QColor(235, 235, 240));
        painter.setPen(QPen(QColor(40, 40, 48), std::max(1.0, size / 24.0)));
        painter.drawPath(spark);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

MenuBarController::MenuBarController(QObject* parent)
    : QObject(parent)
{
}

MenuBarController::~MenuBarController() = default;

void MenuBarController::attach(MendoAppState& appState, QuickPanelController& quickPanel,
    StatusHUDController& statusHUD, ClipboardPanelController& clipboardPanel, std::function<void()> openMainWindow)
{
    m_appState = &appState;
    m_quickPanel = &quickPanel;
    m_statusHUD = &statusHUD;
    m_clipboardPanel = &clipboardPanel;
    m_openMainWindowAction = std::move(openMainWindow);
    refresh(appState.settings().menuBarIconVisible);
    disconnect(m_subscription);
    // The value published now, applied on a later turn of the event loop.
    m_subscription = connect(&appState, &MendoAppState::settingsChanged, this, [this] {
        if (!m_appState)
            return;
        const bool visible = m_appState->settings().menuBarIconVisible;
        QMetaObject::invokeMethod(
            this, [this, visible] { refresh(visible); }, Qt::QueuedConnection);
    });
}

void MenuBarController::refresh(bool isVisible)
{
    if (!isVisible) {
        m_statusItem.reset();
        m_menu.reset();
        return;
    }
    if (!m_statusItem) {
        m_statusItem = std::make_unique<QSystemTrayIcon>(makeTrayIcon());
        m_statusItem->setToolTip(QStringLiteral("MendoAI"));
        connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
            // A left click opens the main window; the menu opens on its own
            // with a right click.
            if (why == QSystemTrayIcon::Trigger)
                openMainWindow();
        });
    }
    auto menu = makeMenu();
    m_statusItem->setContextMenu(menu.get());
    m_menu = std::move(menu);
    m_statusItem->show();
}

std::unique_ptr<QMenu> MenuBarController::makeMenu()
{
    auto menu = std::make_unique<QMenu>(QStringLiteral("MendoAI"));
    QPointer<MenuBarController> self(this);
    auto item = [&](const QString& title, std::function<void()> action) {
        QObject::connect(menu->addAction(title), &QAction::triggered, this, [self, action] {
            if (self)
                action();
        });
    };
    item(QStringLiteral("Open MendoAI"), [this] { openMainWindow(); });
    item(QStringLiteral("Quick Menu"), [this] {
        if (m_appState && m_quickPanel)
            m_quickPanel->toggle(*m_appState);
    });
    item(QStringLiteral("Clipboard History"), [this] {
        if (m_clipboardPanel)
            m_clipboardPanel->toggle();
    });
    menu->addSeparator();
    item(QStringLiteral("Permissions"), [this] { openPage(SettingsPage::permissions); });
    item(QStringLiteral("Refresh Permissions"), [this] {
        if (m_appState)
            m_appState->refreshPermissions();
    });
    menu->addSeparator();
    item(QStringLiteral("Quit MendoAI"), [this] { Q_EMIT quitRequested(); });
    return menu;
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
