// The real mendo tiles the window in front on its hotkey, and leaves it
// alone while window tiling is switched off.

#include "MendoSession.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowSystem.h"

#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using namespace mendo::testing;

class TestE2eTiling : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void leftHalfHotkey_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("tiling on") << true;
        QTest::newRow("tiling off") << false;
    }
    void leftHalfHotkey()
    {
        QFETCH(bool, enabled);
        MendoSession session({ .answers = {},
            .serviceDown = false,
            .defaults = { { QStringLiteral("mendo.windowTiling.enabled"), enabled } } });
        QVERIFY2(session.start(), qPrintable(session.failure()));
        auto target = session.startInFront(
            QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--geometry"), QStringLiteral("400x300+700+300") });
        QVERIFY(target);

        x11::X11Connection connection;
        X11WindowSystem windows(connection);
        const auto window = windows.focusedWindow();
        QVERIFY(window);
        const QRect before = *windows.frame(*window);
        const QRect visible = windows.screens().first().visibleFrame;
        const QRect leftHalf(visible.x(), visible.y(), visible.width() / 2, visible.height());
        QVERIFY(before != leftHalf);

        MendoSession::press(QStringLiteral("ctrl+alt+shift+Left"));
        if (enabled) {
            QTRY_COMPARE_WITH_TIMEOUT(windows.frame(*window).value_or(QRect()), leftHalf, 5000);
        } else {
            QTest::qWait(1000);
            QCOMPARE(windows.frame(*window).value_or(QRect()), before);
        }
    }
};

QTEST_MAIN(TestE2eTiling)
#include "test_e2e_tiling.moc"
