// Floating panels over the real desktop (Xvfb, openbox, two monitors): a
// panel opens at the pointer on the monitor under it without taking the
// focus, hides on a click outside but not inside, an activating one hides on
// Escape that its field still receives, a panel's own menu and tooltip work,
// and the status display shows while typing reaches the target. Screenshots
// of the status display go to the artifacts.

#include "app/AppStateRig.h"
#include "tray/StatusHUD.h"
#include "tray/StatusHUDController.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11PanelDesktop.h"
#include "platform/x11/X11PostedKeys.h"
#include "support/X11TestApps.h"
#include "ui/FloatingPanel.h"
#include "ui/FloatingPanelDismissMonitor.h"
#include "ui/GlassSurface.h"
#include "ui/MendoTheme.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

using namespace mendo;
using namespace mendo::testing;

namespace {

// A panel with the glass surface and the given content.
std::unique_ptr<FloatingPanel> makePanel(PanelDesktop& desktop, FloatingPanel::Focus focus, QWidget* content)
{
    auto panel = std::make_unique<FloatingPanel>(desktop, focus);
    auto* surface = new MendoFloatingSurface(AppearanceMode::system, SurfaceMode::translucent, 22);
    auto* box = new QVBoxLayout(surface->content());
    box->setContentsMargins(20, 20, 20, 20);
    box->addWidget(content);
    panel->setSurface(surface, 0);
    panel->resize(340, 260);
    return panel;
}

}  // namespace

class TestPanelsDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void panelAtThePointerLeavesTheFocusAlone();
    void activatingPanelHidesOnEscape();
    void ownMenuAndTooltip();
    void statusDisplay();

private:
    void showNearPointer(FloatingPanel& panel, FloatingPanelDismissMonitor& monitor);

    RealClock m_clock;
    x11::X11Connection m_connection;
    x11::X11PostedKeys m_posted { m_clock };
    std::unique_ptr<X11GlobalInputMonitor> m_global;
    std::unique_ptr<X11PanelDesktop> m_desktop;
    std::unique_ptr<OtherApp> m_target;
    QString m_targetWindow;
};

void TestPanelsDisplay::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
    runTool(QStringLiteral("xrandr"), { "--setmonitor", "left", "960/254x1080/274+0+0", "screen" });
    runTool(QStringLiteral("xrandr"), { "--setmonitor", "right", "960/254x1080/274+960+0", "none" });
    m_global = std::make_unique<X11GlobalInputMonitor>(m_connection, m_posted);
    m_desktop = std::make_unique<X11PanelDesktop>(m_connection);
    QCOMPARE(m_desktop->monitors().size(), 2);

    m_target = startTargetApp(QStringLiteral("target"));
    // The target's own window, not one an earlier test left active.
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), m_target->pid(), 10000);
    m_targetWindow = activeWindow();
}

void TestPanelsDisplay::cleanupTestCase()
{
    m_target.reset();
    runTool(QStringLiteral("xrandr"), { "--delmonitor", "right" });
    runTool(QStringLiteral("xrandr"), { "--delmonitor", "left" });
}

void TestPanelsDisplay::showNearPointer(FloatingPanel& panel, FloatingPanelDismissMonitor& monitor)
{
    if (!panel.isVisible())
        panel.moveNearPointer();
    monitor.remove();
    monitor.install();
    panel.present();
}

void TestPanelsDisplay::panelAtThePointerLeavesTheFocusAlone()
{
    auto panel = makePanel(*m_desktop, FloatingPanel::Focus::never, new QLabel(QStringLiteral("Quick panel")));
    FloatingPanelDismissMonitor monitor(
        panel.get(),
        [&] {
            monitor.remove();
            panel->hide();
        },
        *m_global);

    xdotool({ "mousemove", "1500", "400" });
    showNearPointer(*panel, monitor);
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    QTRY_COMPARE(panel->geometry().topLeft(), QPoint(1514, 382));  // on the right monitor
    QCOMPARE(activeWindow(), m_targetWindow);

    xdotool({ "type", "--delay", "20", "abc" });
    QTRY_COMPARE_WITH_TIMEOUT(m_target->reportedText(), QStringLiteral("targetabc"), 5000);

    // A click inside leaves it, and the focus, where they are.
    clickAt(panel->geometry().center());
    QTest::qWait(300);
    QVERIFY(panel->isVisible());
    QCOMPARE(activeWindow(), m_targetWindow);

    // A click on the target closes it.
    clickAt(QPoint(60, 60));
    xdotool({ "mousemove", "40", "40" });
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 5000);
    QVERIFY(!monitor.isInstalled());

    // So does one on the bare desktop.
    xdotool({ "mousemove", "1500", "400" });
    showNearPointer(*panel, monitor);
    QTRY_VERIFY(panel->isVisible());
    clickAt(QPoint(1900, 1060));
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 5000);
}

void TestPanelsDisplay::activatingPanelHidesOnEscape()
{
    auto* field = new QLineEdit;
    int escapes = 0;
    struct EscapeCounter : QObject {
        int& count;
        explicit EscapeCounter(int& c)
            : count(c)
        {
        }
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
                ++count;
            return false;
        }
    } counter(escapes);
    field->installEventFilter(&counter);
    auto panel = makePanel(*m_desktop, FloatingPanel::Focus::onPresent, field);
    FloatingPanelDismissMonitor monitor(
        panel.get(),
        [&] {
            monitor.remove();
            panel->hide();
        },
        *m_global);

    showNearPointer(*panel, monitor);
    QTRY_VERIFY_WITH_TIMEOUT(QGuiApplication::focusWindow() == panel->windowHandle(), 5000);
    QTRY_COMPARE(activeWindow(), QString::number(panel->winId()));
    xdotool({ "type", "hi" });
    QTRY_COMPARE(field->text(), QStringLiteral("hi"));
    xdotool({ "key", "Escape" });
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 5000);
    QCOMPARE(escapes, 1);
    xdotool({ "windowactivate", "--sync", m_targetWindow });
}

void TestPanelsDisplay::ownMenuAndTooltip()
{
    auto* button = new QToolButton;
    button->setText(QStringLiteral("Language"));
    button->setToolTip(QStringLiteral("Target language"));
    auto* menu = new QMenu(button);
    QAction* russian = menu->addAction(QStringLiteral("Russian"));
    // Opened without a nested event loop, as the panels open their menus.
    connect(button, &QToolButton::clicked, menu,
        [button, menu] { menu->popup(button->mapToGlobal(button->rect().bottomLeft())); });
    bool chosen = false;
    connect(russian, &QAction::triggered, [&] { chosen = true; });
    auto panel = makePanel(*m_desktop, FloatingPanel::Focus::never, button);
    int dismissals = 0;
    FloatingPanelDismissMonitor monitor(
        panel.get(),
        [&] {
            ++dismissals;
            monitor.remove();
            panel->hide();
        },
        *m_global);

    xdotool({ "mousemove", "300", "500" });
    showNearPointer(*panel, monitor);
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));

    // The tooltip shows in the inactive panel before any click.
    const QPoint onButton = button->mapToGlobal(button->rect().center());
    xdotool({ "mousemove", QString::number(onButton.x()), QString::number(onButton.y()) });
    QTRY_VERIFY_WITH_TIMEOUT(QToolTip::isVisible(), 5000);
    QCOMPARE(QToolTip::text(), QStringLiteral("Target language"));

    xdotool({ "click", "1" });
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 5000);
    const QPoint onItem = menu->mapToGlobal(menu->actionGeometry(russian).center());
    clickAt(onItem);
    QTRY_VERIFY_WITH_TIMEOUT(chosen, 5000);
    QTest::qWait(300);
    QCOMPARE(dismissals, 0);
    QVERIFY(panel->isVisible());
    QCOMPARE(activeWindow(), m_targetWindow);
    clickAt(QPoint(60, 60));
    QTRY_COMPARE(dismissals, 1);
}

void TestPanelsDisplay::statusDisplay()
{
    AppStateRig app;
    StatusHUDController hud(*m_desktop);
    hud.attach(*app.state);

    auto shoot = [&](const QString& name) {
        FloatingPanel* panel = hud.panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QTest::qWait(300);  // painted, and blended by a compositor
        const QImage shot
            = QGuiApplication::primaryScreen()
                  ->grabWindow(0, panel->x() - 20, panel->y() - 20, panel->width() + 40, panel->height() + 40)
                  .toImage();
        QVERIFY(shot.save(artifactPath(name)));
    };

    // On the monitor under the pointer; typing still reaches the target.
    xdotool({ "mousemove", "1500", "300" });
    app.state->setStatus(ActionStatus::running(QStringLiteral("Fixing grammar…")));
    QTRY_VERIFY(hud.panel() && hud.panel()->isVisible());
    QCOMPARE(hud.panel()->geometry(), QRect(960 + 480 - 130, 1080 - 82 - 72, 260, 72));
    QCOMPARE(activeWindow(), m_targetWindow);
    xdotool({ "type", "--delay", "20", "xyz" });
    QTRY_VERIFY_WITH_TIMEOUT(m_target->reportedText().endsWith(QStringLiteral("xyz")), 5000);
    shoot(QStringLiteral("status-hud-running.png"));

    app.state->editSettings([](MendoSettings& s) { s.appearanceMode = AppearanceMode::liquidSky; });
    app.state->setStatus(ActionStatus::done(QStringLiteral("Готово: текст исправлен")));
    QTRY_COMPARE(hud.view()->status().kind(), ActionStatus::Kind::done);
    shoot(QStringLiteral("status-hud-done.png"));

    // A failure's message takes a second line rather than being cut, in the
    // light and the dark scheme alike, with the scheme's orange.
    const QString longMessage = QStringLiteral("The AI service did not answer. Try again.");
    for (const auto& [mode, name] : { std::pair { AppearanceMode::system, "light" },
             std::pair { AppearanceMode::liquidNoir, "dark" } }) {
        app.state->editSettings([mode = mode](MendoSettings& s) { s.appearanceMode = mode; });
        app.state->setStatus(ActionStatus::failed(longMessage));
        QTRY_COMPARE(hud.view()->status(), ActionStatus::failed(longMessage));
        shoot(QStringLiteral("status-hud-failed-%1.png").arg(QLatin1String(name)));
        const StatusText text = hud.view()->shownText();
        QCOMPARE(text.lines.size(), 2);
        QCOMPARE(text.lines.join(u' '), longMessage);
        QCOMPARE(hud.view()->look().color,
            theme::orange(mode == AppearanceMode::system ? theme::colorSchemeOf(hud.view()->palette())
                                                         : ColorScheme::dark));
        app.state->setStatus(ActionStatus::idle());
    }
    QCOMPARE(hud.panel()->size(), QSize(260, 72));

    // Under a compositor the panel is translucent around its rounded card.
    hud.panel()->hide();
    OtherApp compositor(QStringLiteral("xcompmgr"), {});
    QTRY_VERIFY_WITH_TIMEOUT(m_desktop->compositorRunning(), 5000);
    StatusHUDController composited(*m_desktop);
    composited.show(ActionStatus::failed(longMessage));
    QVERIFY(QTest::qWaitForWindowExposed(composited.panel()));
    QVERIFY(composited.panel()->testAttribute(Qt::WA_TranslucentBackground));
    QTest::qWait(500);
    const QRect area = composited.panel()->geometry().adjusted(-20, -20, 20, 20);
    const QImage shot
        = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    QVERIFY(shot.save(artifactPath(QStringLiteral("status-hud-failed-composited.png"))));
}

QTEST_MAIN(TestPanelsDisplay)
#include "test_panels_display.moc"
