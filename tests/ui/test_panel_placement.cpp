#include "ui/PanelPlacement.h"

#include <QTest>

using namespace mendo;

Q_DECLARE_METATYPE(PointerOffsets)
Q_DECLARE_METATYPE(MonitorFrame)

namespace {

// 1440 x 900 with a 25-pixel dock at its top.
const MonitorFrame single { QRect(0, 0, 1440, 900), QRect(0, 25, 1440, 875), true };
// Two 960 x 1080 monitors side by side; the left is primary.
const MonitorFrame left { QRect(0, 0, 960, 1080), QRect(0, 0, 960, 1080), true };
const MonitorFrame right { QRect(960, 0, 960, 1080), QRect(960, 30, 960, 1050), false };

}  // namespace

class TestPanelPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nearPointer_data()
    {
        QTest::addColumn<QList<MonitorFrame>>("monitors");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<PointerOffsets>("offsets");
        QTest::addColumn<QPoint>("expected");

        const QList<MonitorFrame> one { single };
        const QList<MonitorFrame> two { left, right };
        const QSize panel(340, 420);
        const QSize button(44, 44);
        const PointerOffsets p = PointerOffsets::panel();
        const PointerOffsets b = PointerOffsets::floatingButton();

        // The quick panel: left edge 14 right of the pointer, top edge 18 above it.
        QTest::newRow("panel, pointer centred") << one << QPoint(720, 450) << panel << p << QPoint(734, 432);
        QTest::newRow("panel, top-left corner") << one << QPoint(0, 25) << panel << p << QPoint(16, 41);
        QTest::newRow("panel, top-right corner") << one << QPoint(1439, 25) << panel << p << QPoint(1084, 41);
        QTest::newRow("panel, bottom-left corner") << one << QPoint(0, 899) << panel << p << QPoint(16, 464);
        QTest::newRow("panel, bottom-right corner") << one << QPoint(1439, 899) << panel << p << QPoint(1084, 464);
        // Larger than the area: the right and top limits win.
        QTest::newRow("panel larger than the area")
            << one << QPoint(720, 450) << QSize(1600, 1000) << p << QPoint(1440 - 1600 - 16, 25 + 16);
        QTest::newRow("panel, right monitor") << two << QPoint(1500, 600) << panel << p << QPoint(1514, 582);
        QTest::newRow("panel, right monitor's right edge")
            << two << QPoint(1919, 40) << panel << p << QPoint(1920 - 340 - 16, 46);
        // Between the monitors' frames: the primary one.
        QTest::newRow("panel, pointer outside every monitor")
            << two << QPoint(3000, 500) << panel << p << QPoint(960 - 340 - 16, 482);
        QTest::newRow("panel, no monitor")
            << QList<MonitorFrame>() << QPoint(300, 300) << panel << p << QPoint(-340 - 16, 16);

        // The floating button: bottom edge 8 above the pointer, left edge 12 right.
        QTest::newRow("button, pointer centred") << one << QPoint(720, 450) << button << b << QPoint(732, 398);
        QTest::newRow("button, bottom-left corner") << one << QPoint(0, 899) << button << b << QPoint(12, 844);
        QTest::newRow("button, top-right corner") << one << QPoint(1439, 25) << button << b << QPoint(1384, 37);
        QTest::newRow("button, right monitor") << two << QPoint(1000, 1079) << button << b << QPoint(1012, 1024);
    }
    void nearPointer()
    {
        QFETCH(QList<MonitorFrame>, monitors);
        QFETCH(QPoint, pointer);
        QFETCH(QSize, size);
        QFETCH(PointerOffsets, offsets);
        QFETCH(QPoint, expected);
        QCOMPARE(placeNearPointer(pointer, monitors, size, offsets), expected);
    }

    // The status display: centred, its bottom 82 above the visible frame's.
    void aboveBottom_data()
    {
        QTest::addColumn<QList<MonitorFrame>>("monitors");
        QTest::addColumn<QPoint>("pointer");
        QTest::addColumn<QPoint>("expected");
        QTest::newRow("one monitor") << QList<MonitorFrame> { single } << QPoint(5, 5) << QPoint(590, 900 - 82 - 72);
        QTest::newRow("pointer on the right monitor")
            << QList<MonitorFrame> { left, right } << QPoint(1500, 10) << QPoint(1310, 1080 - 82 - 72);
        QTest::newRow("pointer outside: the primary")
            << QList<MonitorFrame> { right, left } << QPoint(-50, 10) << QPoint(350, 1080 - 82 - 72);
        QTest::newRow("no monitor") << QList<MonitorFrame>() << QPoint(5, 5) << QPoint(-130, -82 - 72);
    }
    void aboveBottom()
    {
        QFETCH(QList<MonitorFrame>, monitors);
        QFETCH(QPoint, pointer);
        QFETCH(QPoint, expected);
        QCOMPARE(placeAboveBottom(pointer, monitors, QSize(260, 72), 82), expected);
    }
};

QTEST_GUILESS_MAIN(TestPanelPlacement)
#include "test_panel_placement.moc"
