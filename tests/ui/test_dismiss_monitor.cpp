#include "fakes/FakeGlobalInputMonitor.h"
#include "ui/FloatingPanelDismissMonitor.h"

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>

using namespace mendo;

// A visible panel with a menu of its own, another MendoAI window, and the
// monitor counting its dismissals.
struct DismissRig {
    QWidget panel;
    QWidget other;
    QMenu* menu = new QMenu(&panel);
    FakeGlobalInputMonitor global;
    int dismissed = 0;
    FloatingPanelDismissMonitor monitor { &panel, [this] { ++dismissed; }, global };

    DismissRig()
    {
        panel.setGeometry(100, 100, 200, 200);
        other.setGeometry(400, 100, 200, 200);
        panel.show();
        other.show();
        menu->addAction(QStringLiteral("English"));
        menu->popup(QPoint(120, 120));
    }
};

class TestDismissMonitor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void localDecisions_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("mouse");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("dismisses");
        QTest::newRow("Escape in the panel") << true << false << int(Qt::Key_Escape) << "panel" << true;
        QTest::newRow("Escape in another MendoAI window") << true << false << int(Qt::Key_Escape) << "other" << true;
        QTest::newRow("a letter in the panel") << true << false << int(Qt::Key_A) << "panel" << false;
        QTest::newRow("a letter in another window") << true << false << int(Qt::Key_A) << "other" << false;
        QTest::newRow("a click in the panel") << true << true << 0 << "panel" << false;
        QTest::newRow("a click in the panel's menu") << true << true << 0 << "menu" << false;
        QTest::newRow("a click in another MendoAI window") << true << true << 0 << "other" << true;
        QTest::newRow("a click in a window since gone") << true << true << 0 << "none" << true;
        QTest::newRow("Escape while hidden") << false << false << int(Qt::Key_Escape) << "panel" << false;
        QTest::newRow("a click elsewhere while hidden") << false << true << 0 << "other" << false;
    }
    void localDecisions()
    {
        QFETCH(bool, visible);
        QFETCH(bool, mouse);
        QFETCH(int, key);
        QFETCH(QString, where);
        QFETCH(bool, dismisses);
        DismissRig rig;
        rig.panel.setVisible(visible);
        LocalInputEvent event;
        event.type = mouse ? LocalInputEvent::Type::mouseDown : LocalInputEvent::Type::keyDown;
        event.key = key;
        event.window = where == QLatin1String("panel") ? rig.panel.windowHandle()
            : where == QLatin1String("menu")           ? rig.menu->windowHandle()
            : where == QLatin1String("other")          ? rig.other.windowHandle()
                                                       : nullptr;
        rig.monitor.handleLocalEvent(event);
        QCOMPARE(rig.dismissed, dismisses ? 1 : 0);
    }

    // Clicks in other applications dismiss a visible panel, on a later turn
    // of the event loop.
    void globalClicks()
    {
        DismissRig rig;
        rig.monitor.install();
        rig.global.send(GlobalInputEvent::Type::rightMouseDown);
        QCOMPARE(rig.dismissed, 0);
        QTRY_COMPARE(rig.dismissed, 1);
        rig.global.send(GlobalInputEvent::Type::keyDown);  // not watched
        rig.panel.hide();
        rig.global.send(GlobalInputEvent::Type::leftMouseDown);
        QTest::qWait(10);
        QCOMPARE(rig.dismissed, 1);
    }

    // Through Qt's own delivery: the click in the other window dismisses,
    // the click in the panel still reaches the panel.
    void watchesTheApplicationsEvents()
    {
        DismissRig rig;
        rig.menu->hide();
        rig.monitor.install();
        QTest::mouseClick(rig.panel.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
        QTest::qWait(10);
        QCOMPARE(rig.dismissed, 0);
        QTest::mouseClick(rig.other.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
        QTRY_COMPARE(rig.dismissed, 1);
    }

    void installAndRemove()
    {
        DismissRig rig;
        rig.monitor.remove();  // before any install
        rig.monitor.remove();
        rig.monitor.install();
        QCOMPARE(rig.global.installed(), 1);
        rig.monitor.remove();
        rig.monitor.remove();
        QCOMPARE(rig.global.installed(), 0);
        QVERIFY(!rig.monitor.isInstalled());
        QTest::mouseClick(rig.other.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        rig.global.send(GlobalInputEvent::Type::leftMouseDown);
        QTest::qWait(10);
        QCOMPARE(rig.dismissed, 0);

        rig.monitor.remove();
        rig.monitor.install();
        QCOMPARE(rig.global.installed(), 1);
        {
            FloatingPanelDismissMonitor second(
                &rig.panel, [] {}, rig.global);
            second.install();
            QCOMPARE(rig.global.installed(), 2);
        }
        QCOMPARE(rig.global.installed(), 1);  // a monitor released takes its watches along
    }
};

QTEST_MAIN(TestDismissMonitor)
#include "test_dismiss_monitor.moc"
