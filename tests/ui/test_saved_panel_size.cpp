#include "fakes/MemoryUserDefaults.h"
#include "ui/SavedPanelSize.h"

#include <QTest>

#include <cmath>

using namespace mendo;

// The clipboard window's numbers: minimum 340 x 380, default 380 x 520,
// at most 760 x 860.
class TestSavedPanelSize : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QVariant>("width");
        QTest::addColumn<QVariant>("height");
        QTest::addColumn<QSizeF>("expected");
        const QVariant none;
        QTest::newRow("missing") << none << none << QSizeF(380, 520);
        QTest::newRow("only the width") << QVariant(500.0) << none << QSizeF(380, 520);
        QTest::newRow("stored") << QVariant(500.0) << QVariant(600.0) << QSizeF(500, 600);
        QTest::newRow("exactly the minimum") << QVariant(340.0) << QVariant(380.0) << QSizeF(340, 380);
        QTest::newRow("width too small: the whole default") << QVariant(300.0) << QVariant(900.0) << QSizeF(380, 520);
        QTest::newRow("height too small") << QVariant(700.0) << QVariant(379.5) << QSizeF(380, 520);
        QTest::newRow("too large: capped side by side") << QVariant(1000.0) << QVariant(1000.0) << QSizeF(760, 860);
        QTest::newRow("one side too large") << QVariant(400.0) << QVariant(2000.0) << QSizeF(400, 860);
        QTest::newRow("not a number") << QVariant(QStringLiteral("wide")) << QVariant(600.0) << QSizeF(380, 520);
        QTest::newRow("NaN") << QVariant(std::nan("")) << QVariant(600.0) << QSizeF(380, 520);
        QTest::newRow("a list") << QVariant(QVariantList { 500.0 }) << QVariant(600.0) << QSizeF(380, 520);
        QTest::newRow("integers count") << QVariant(qint64(500)) << QVariant(qint64(600)) << QSizeF(500, 600);
    }
    void read()
    {
        QFETCH(QVariant, width);
        QFETCH(QVariant, height);
        QFETCH(QSizeF, expected);
        MemoryUserDefaults defaults;
        if (width.isValid())
            defaults.set(QStringLiteral("mendo.clipboardPanel.width"), width);
        if (height.isValid())
            defaults.set(QStringLiteral("mendo.clipboardPanel.height"), height);
        SavedPanelSize saved(defaults, QStringLiteral("mendo.clipboardPanel"), QSizeF(340, 380));
        QCOMPARE(saved.read(QSizeF(380, 520), QSizeF(760, 860)), expected);
    }

    // Saved as doubles, never below the minimum, never capped on the way in.
    void save()
    {
        MemoryUserDefaults defaults;
        SavedPanelSize saved(defaults, QStringLiteral("mendo.clipboardPanel"), QSizeF(340, 380));
        saved.save(QSizeF(200, 1200));
        QCOMPARE(defaults.object(QStringLiteral("mendo.clipboardPanel.width")), QVariant(340.0));
        QCOMPARE(defaults.object(QStringLiteral("mendo.clipboardPanel.height")), QVariant(1200.0));
        QCOMPARE(saved.read(QSizeF(380, 520), QSizeF(760, 860)), QSizeF(340, 860));
    }
};

QTEST_GUILESS_MAIN(TestSavedPanelSize)
#include "test_saved_panel_size.moc"
