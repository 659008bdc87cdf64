#include "platform/VisibleFrame.h"

#include <QTest>

using namespace mendo;

Q_DECLARE_METATYPE(DockStrut)

namespace {

// A dock along the top or bottom edge of the screen, spanning x from
// `startX` to `endX`.
DockStrut horizontalDock(bool top, int height, int startX, int endX)
{
    DockStrut s;
    (top ? s.top : s.bottom) = height;
    (top ? s.topStartX : s.bottomStartX) = startX;
    (top ? s.topEndX : s.bottomEndX) = endX;
    return s;
}

DockStrut topDock(int height, int startX, int endX)
{
    return horizontalDock(true, height, startX, endX);
}

DockStrut bottomDock(int height, int startX, int endX)
{
    return horizontalDock(false, height, startX, endX);
}

}  // namespace

class TestVisibleFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Two 960 x 1080 monitors side by side on a 1920 x 1080 screen; docks
    // state their struts against the whole screen's edges.
    void frames_data()
    {
        QTest::addColumn<QRect>("monitor");
        QTest::addColumn<QList<DockStrut>>("struts");
        QTest::addColumn<QRect>("expected");
        const QRect leftMonitor(0, 0, 960, 1080);
        const QRect rightMonitor(960, 0, 960, 1080);
        QTest::newRow("no docks") << rightMonitor << QList<DockStrut>() << rightMonitor;
        QTest::newRow("top panel across both")
            << rightMonitor << QList<DockStrut> { topDock(30, 0, 1919) } << QRect(960, 30, 960, 1050);
        QTest::newRow("bottom panel on the left only: the right keeps its bottom")
            << rightMonitor << QList<DockStrut> { bottomDock(40, 0, 959) } << rightMonitor;
        QTest::newRow("bottom panel on the left only")
            << leftMonitor << QList<DockStrut> { bottomDock(40, 0, 959) } << QRect(0, 0, 960, 1040);
        DockStrut rightEdge;
        rightEdge.right = 48;
        rightEdge.rightStartY = 0;
        rightEdge.rightEndY = 1079;
        QTest::newRow("dock on the screen's right edge")
            << rightMonitor << QList<DockStrut> { rightEdge } << QRect(960, 0, 912, 1080);
        QTest::newRow("... does not reach the left monitor")
            << leftMonitor << QList<DockStrut> { rightEdge } << leftMonitor;
        QTest::newRow("old-style strut across the whole edge")
            << leftMonitor << QList<DockStrut> { DockStrut::wholeEdges(0, 0, 0, 24, QSize(1920, 1080)) }
            << QRect(0, 0, 960, 1056);
        QTest::newRow("docks covering everything leave the monitor")
            << leftMonitor << QList<DockStrut> { topDock(600, 0, 1919), bottomDock(600, 0, 1919) } << leftMonitor;
    }
    void frames()
    {
        QFETCH(QRect, monitor);
        QFETCH(QList<DockStrut>, struts);
        QFETCH(QRect, expected);
        QCOMPARE(visibleFrame(monitor, struts, QSize(1920, 1080)), expected);
    }
};

QTEST_GUILESS_MAIN(TestVisibleFrame)
#include "test_visible_frame.moc"
