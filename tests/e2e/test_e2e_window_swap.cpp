// The real mendo swaps two windows of the target app: by its hotkeys with the
// neighbouring half or quarter, and when the user drags one onto the other
// with Alt held (openbox moving it along). Leaves the screenshot after a drag
// in the artifacts.

#include "MendoSession.h"

#include "desktop/WindowTilingService.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowSystem.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using namespace mendo::testing;

namespace {

using S = WindowTileSlot;

QString text(const QRect& r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

class TestE2eWindowSwap : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hotkeysSwapNeighbours();
    void altDrag_data();
    void altDrag();

private:
    // Starts windows B and then A (in front) of the target app, with these
    // outer frames.
    bool startTwo(MendoSession& session, const QRect& a, const QRect& b);
    QRect frame(WindowId window) { return m_windows.frame(window).value_or(QRect()); }
    bool place(WindowId window, const QRect& frame);

    x11::X11Connection m_connection;
    X11WindowSystem m_windows { m_connection };
    std::unique_ptr<OtherApp> m_appA, m_appB;
    WindowId m_a = 0, m_b = 0;
};

bool TestE2eWindowSwap::place(WindowId window, const QRect& target)
{
    return m_windows.setFrame(window, target) && QTest::qWaitFor([&] { return frame(window) == target; }, 5000);
}

bool TestE2eWindowSwap::startTwo(MendoSession& session, const QRect& a, const QRect& b)
{
    m_appA.reset();
    m_appB.reset();
    const auto target = [](const QString& name) {
        return QStringList { QStringLiteral("--text"), QStringLiteral("Window ") + name, QStringLiteral("--title"),
            QStringLiteral("Window ") + name, QStringLiteral("--geometry"), QStringLiteral("400x300+300+300") };
    };
    m_appB = session.startInFront(QStringLiteral(MENDO_TARGET_APP), target(QStringLiteral("B")));
    m_b = m_appB ? m_windows.focusedWindow().value_or(0) : 0;
    if (!m_b || !place(m_b, b))
        return false;
    m_appA = session.startInFront(QStringLiteral(MENDO_TARGET_APP), target(QStringLiteral("A")));
    m_a = m_appA ? m_windows.focusedWindow().value_or(0) : 0;
    return m_a && m_a != m_b && place(m_a, a);
}

void TestE2eWindowSwap::hotkeysSwapNeighbours()
{
    // The next swap is asked for of the same focused window, once the window
    // manager has answered the last move (mendo waits up to 250 ms for it).
    const auto settle = [&] {
        QTRY_COMPARE_WITH_TIMEOUT(m_windows.focusedWindow().value_or(0), m_a, 5000);
        QTest::qWait(300);
    };
    MendoSession session({});
    QVERIFY2(session.start(), qPrintable(session.failure()));
    const QRect visible = m_windows.screens().first().visibleFrame;
    const auto cell = [&](S slot) { return WindowTilingService::cell(slot, visible); };

    // A starts in `a` next to B in `b`; `there` trades their places and
    // `back` trades them again.
    const auto swapAndBack = [&](S a, S b, const char* there, const char* back) {
        QVERIFY(startTwo(session, cell(a), cell(b)));
        MendoSession::press(QString::fromLatin1(there));
        QTRY_COMPARE_WITH_TIMEOUT(frame(m_a), cell(b), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(frame(m_b), cell(a), 5000);
        settle();
        MendoSession::press(QString::fromLatin1(back));
        QTRY_COMPARE_WITH_TIMEOUT(frame(m_a), cell(a), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(frame(m_b), cell(b), 5000);
    };
    swapAndBack(S::leftHalf, S::rightHalf, "ctrl+alt+Right", "ctrl+alt+Left");
    if (QTest::currentTestFailed())
        return;
    swapAndBack(S::bottomLeft, S::topLeft, "ctrl+alt+Up", "ctrl+alt+Down");
}

void TestE2eWindowSwap::altDrag_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("distance");  // to the right, from A's centre
    QTest::addColumn<bool>("exchanged");
    // From A's centre to B's.
    QTest::newRow("onto the other window") << true << 900 << true;
    QTest::newRow("a drag of 5 pixels") << true << 5 << false;
    QTest::newRow("window tiling off") << false << 900 << false;
}

void TestE2eWindowSwap::altDrag()
{
    QFETCH(bool, enabled);
    QFETCH(int, distance);
    QFETCH(bool, exchanged);
    MendoSession session({ .answers = {},
        .serviceDown = false,
        .defaults = { { QStringLiteral("mendo.windowTiling.enabled"), enabled } } });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    // Of different sizes, so that a plain move of A never lands on B's frame.
    const QRect a(150, 200, 600, 400), b(1000, 150, 700, 500);
    QVERIFY(startTwo(session, a, b));

    const QPoint from = a.center();
    const QPoint halfway = from + QPoint(distance / 2, 0);
    const QPoint to = from + QPoint(distance, 0);
    // Paced as a hand would, in two steps: openbox starts the move on the
    // first and moves the window from the second on.
    runTool(QStringLiteral("xdotool"),
        { "keydown", "alt", "mousemove", QString::number(from.x()), QString::number(from.y()), "sleep", "0.3",
            "mousedown", "1", "sleep", "0.3", "mousemove", QString::number(halfway.x()),
            QString::number(halfway.y()), "sleep", "0.2", "mousemove", QString::number(to.x()),
            QString::number(to.y()), "sleep", "0.5", "mouseup", "1", "sleep", "0.3", "keyup", "alt" });

    if (exchanged) {
        QTRY_COMPARE_WITH_TIMEOUT(frame(m_a), b, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(frame(m_b), a, 5000);
        const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
        QVERIFY(QDir().mkpath(dir));
        QTest::qWait(300);  // both repaint at their new sizes
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(dir + QStringLiteral("/drag-swap.png")));
    } else {
        QTest::qWait(1000);
        QCOMPARE(frame(m_b), b);
        QVERIFY2(frame(m_a) != b, qPrintable(text(frame(m_a))));
        // Only the window manager moved A, by the drag.
        if (distance > 10)
            QCOMPARE(frame(m_a), a.translated(distance, 0));
        QCOMPARE(frame(m_a).size(), a.size());
    }
}

QTEST_MAIN(TestE2eWindowSwap)
#include "test_e2e_window_swap.moc"
