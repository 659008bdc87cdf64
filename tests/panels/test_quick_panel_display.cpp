// The quick panel on the real desktop (Xvfb, openbox): how it looks in each
// size, language and theme, and with its language menu open. The pictures go
// to the artifacts; each is checked for being drawn at all, the glass under its
// rows too.

#include "app/AppStateRig.h"
#include "clipboard/ClipboardPanelController.h"
#include "trigger/FloatingButtonController.h"
#include "panels/QuickActionPanel.h"
#include "panels/QuickPanelController.h"
#include "panels/AssistantPanelController.h"
#include "platform/x11/X11GlobalInputMonitor.h"
#include "platform/x11/X11PanelDesktop.h"
#include "platform/x11/X11PostedKeys.h"
#include "support/X11TestApps.h"
#include "ui/FloatingPanel.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QScreen>

using namespace mendo;
using namespace mendo::testing;

namespace {

// How many distinct colours a picture has: a blank one has one or two.
int colours(const QImage& image)
{
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            seen.insert(image.pixel(x, y));
    return int(seen.size());
}

}  // namespace

class TestQuickPanelDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
        m_global = std::make_unique<X11GlobalInputMonitor>(m_connection, m_posted);
        m_desktop = std::make_unique<X11PanelDesktop>(m_connection);
    }

    void looks_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<MenuScale>("scale");
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<AppearanceMode>("mode");
        QTest::newRow("tiny") << "quick-panel.png" << MenuScale::tiny << UiLanguage::en << AppearanceMode::system;
        QTest::newRow("tiny, Russian, dark")
            << "quick-panel-ru-dark.png" << MenuScale::tiny << UiLanguage::ru << AppearanceMode::liquidNoir;
        QTest::newRow("xlarge") << "quick-panel-xlarge.png" << MenuScale::xlarge << UiLanguage::en
                                << AppearanceMode::liquidViolet;
        QTest::newRow("xlarge, Russian")
            << "quick-panel-xlarge-ru.png" << MenuScale::xlarge << UiLanguage::ru << AppearanceMode::system;
    }
    void looks()
    {
        QFETCH(QString, file);
        QFETCH(MenuScale, scale);
        QFETCH(UiLanguage, language);
        QFETCH(AppearanceMode, mode);
        AppStateRig app([&](MendoSettings& s) {
            s.quickMenuSize = scale;
            s.uiLanguage = language;
            s.appearanceMode = mode;
        });
        FakeWorkspace workspace;
        FocusService focus { workspace };
        QuickPanelController controller { { *m_desktop, *m_global, app.defaults, focus, app.focused } };
        runTool(QStringLiteral("xdotool"), { "mousemove", "200", "700" });
        controller.show(*app.state);
        FloatingPanel* panel = controller.panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        // The pointer rests on the third row: its hover tint shows.
        QAbstractButton* third = controller.view()->rows().at(2);
        const QPoint onRow = third->mapToGlobal(third->rect().center());
        runTool(QStringLiteral("xdotool"), { "mousemove", QString::number(onRow.x()), QString::number(onRow.y()) });
        QTRY_VERIFY(controller.view()->hoveredActionID().has_value());
        QTest::qWait(300);
        const QRect area = panel->frameGeometry().adjusted(-10, -10, 10, 10);
        const QImage shot = saveScreenArea(area, file);
        QVERIFY(!shot.isNull());
        QVERIFY(colours(shot) > 50);
        // The glass shows between the rows as it does beside them, not the
        // empty window under it.
        const QRect first(controller.view()->rows().at(0)->mapToGlobal(QPoint(0, 0)),
            controller.view()->rows().at(0)->size());
        const int gap = (first.bottom() + controller.view()->rows().at(1)->mapToGlobal(QPoint(0, 0)).y()) / 2;
        const QColor between = shot.pixelColor(QPoint(first.center().x(), gap) - area.topLeft());
        const QColor beside = shot.pixelColor(QPoint(first.left() - 7, gap) - area.topLeft());
        QVERIFY2(std::abs(between.lightness() - beside.lightness()) <= 16,
            qPrintable(QStringLiteral("%1 between the rows, %2 beside them").arg(between.name(), beside.name())));
        controller.close();
    }

    // The panel moves by dragging its background: the header's title and
    // the margin under the rows alike, while a row stays a row.
    void dragsByItsBackground()
    {
        AppStateRig app;
        FakeWorkspace workspace;
        FocusService focus { workspace };
        QuickPanelController controller { { *m_desktop, *m_global, app.defaults, focus, app.focused } };
        runTool(QStringLiteral("xdotool"), { "mousemove", "300", "150" });
        controller.show(*app.state);
        FloatingPanel* panel = controller.panel();
        QVERIFY(QTest::qWaitForWindowExposed(panel));
        QTest::qWait(300);
        const auto drag = [&](QPoint from, QPoint by) {
            runTool(QStringLiteral("xdotool"),
                { "mousemove", QString::number(from.x()), QString::number(from.y()), "mousedown", "1" });
            QTest::qWait(200);
            for (int step = 1; step <= 5; ++step) {
                runTool(QStringLiteral("xdotool"),
                    { "mousemove", QString::number(from.x() + by.x() * step / 5),
                        QString::number(from.y() + by.y() * step / 5) });
                QTest::qWait(50);
            }
            runTool(QStringLiteral("xdotool"), { "mouseup", "1" });
        };
        QLabel* title = nullptr;
        for (QLabel* label : controller.view()->findChildren<QLabel*>())
            if (label->text() == u"MendoAI")
                title = label;
        QVERIFY(title);
        QPoint start = panel->pos();
        drag(title->mapToGlobal(title->rect().center()), QPoint(100, 60));
        QTRY_COMPARE_WITH_TIMEOUT(panel->pos(), start + QPoint(100, 60), 5000);
        QVERIFY(controller.isPanelVisible());

        start = panel->pos();
        QVERIFY(panel->frameGeometry().bottom() < 1080);
        const QPoint margin = panel->mapToGlobal(QPoint(panel->width() / 2, panel->height() - 6));
        drag(margin, QPoint(-80, -40));
        QTRY_COMPARE_WITH_TIMEOUT(panel->pos(), start + QPoint(-80, -40), 5000);
        QVERIFY(controller.isPanelVisible());
        controller.close();
    }

    void languageMenu()
    {
        AppStateRig app([](MendoSettings& s) { s.targetLanguage = QStringLiteral("German"); });
        FakeWorkspace workspace;
        FocusService focus { workspace };
        QuickPanelController controller { { *m_desktop, *m_global, app.defaults, focus, app.focused } };
        runTool(QStringLiteral("xdotool"), { "mousemove", "200", "700" });
        controller.show(*app.state);
        QVERIFY(QTest::qWaitForWindowExposed(controller.panel()));
        QAbstractButton* button = controller.view()->languageButton();
        const QPoint center = button->mapToGlobal(button->rect().center());
        runTool(QStringLiteral("xdotool"),
            { "mousemove", QString::number(center.x()), QString::number(center.y()), "click", "1" });
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = button->findChild<QMenu*>()) && menu->isVisible());
        QTest::qWait(300);
        // The click into the panel and its menu leaves the panel up.
        QVERIFY(controller.isPanelVisible());
        const QRect area = controller.panel()->frameGeometry().united(menu->frameGeometry()).adjusted(-10, -10, 10, 10);
        const QImage shot = saveScreenArea(area, QStringLiteral("quick-panel-language-menu.png"));
        QVERIFY(colours(shot) > 50);
        menu->close();
        controller.close();
    }

    // The floating button next to the pointer, and its click opening the
    // quick panel while the focus stays where it was.
    void floatingButton()
    {
        AppStateRig app;
        // Set in memory: the stored settings always load it off.
        app.state->editSettings([](MendoSettings& s) { s.floatingButtonVisible = true; });
        FakeWorkspace workspace;
        FocusService focus { workspace };
        QuickPanelController quick { { *m_desktop, *m_global, app.defaults, focus, app.focused } };
        FloatingButtonController button(*m_desktop);
        runTool(QStringLiteral("xdotool"), { "mousemove", "400", "500" });
        button.show(*app.state, quick);
        QVERIFY(QTest::qWaitForWindowExposed(button.panel()));
        QCOMPARE(button.panel()->geometry(), QRect(412, 500 - 8 - 54, 54, 54));
        QTest::qWait(300);
        const QImage shot = saveScreenArea(button.panel()->frameGeometry().adjusted(-12, -12, 12, 12),
            QStringLiteral("floating-button.png"));
        QVERIFY(colours(shot) > 10);
        const QPoint center = button.panel()->geometry().center();
        runTool(QStringLiteral("xdotool"),
            { "mousemove", QString::number(center.x()), QString::number(center.y()), "click", "1" });
        QTRY_VERIFY(quick.isPanelVisible());
        QVERIFY(!button.isPanelVisible());
        quick.close();
    }

private:
    RealClock m_clock;
    x11::X11Connection m_connection;
    x11::X11PostedKeys m_posted { m_clock };
    std::unique_ptr<X11GlobalInputMonitor> m_global;
    std::unique_ptr<X11PanelDesktop> m_desktop;
};

QTEST_MAIN(TestQuickPanelDisplay)
#include "test_quick_panel_display.moc"
