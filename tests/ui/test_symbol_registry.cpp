#include "model/QuickAction.h"
#include "ui/SymbolRegistry.h"

#include <QApplication>
#include <QImage>
#include <QTest>

using namespace mendo;

namespace {

// Solid pixels of the symbol's colour; -1 when one has another colour.
int coloured(const QPixmap& pixmap, const QColor& colour)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() <= 128)
                continue;  // edges: premultiplied, their hue rounds off
            if (qAbs(pixel.red() - colour.red()) > 3 || qAbs(pixel.green() - colour.green()) > 3
                || qAbs(pixel.blue() - colour.blue()) > 3)
                return -1;
            ++count;
        }
    }
    return count;
}

}  // namespace

class TestSymbolRegistry : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every name the panels draw shows something in the colour asked for,
    // from the icon theme or drawn here; so does a name nobody knows.
    void neverBlank_data()
    {
        QTest::addColumn<QString>("name");
        QStringList names { "progress.indicator", "checkmark.circle.fill", "checkmark.circle",
            "exclamationmark.triangle.fill", "bolt.fill", "xmark", "checkmark", "chevron.up.chevron.down", "no.such.symbol" };
        for (const char* id : { "ai", "translate", "clipboard", "layout", "style:original", "style:friendly",
                 "style:short", "style:romantic", "style:social" })
            names << QuickAction { id }.symbolName();
        names.removeDuplicates();
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << name;
    }
    void neverBlank()
    {
        QFETCH(QString, name);
        const QColor orange(0xff, 0x9f, 0x0a);
        const int pixels = coloured(SymbolRegistry::pixmap(name, 18, orange), orange);
        QVERIFY2(pixels > 12, qPrintable(QStringLiteral("%1 solid pixels").arg(pixels)));
    }

    // The status symbols come from the icon theme the dependencies install.
    void themeIconsWhereTheyMatch()
    {
        QVERIFY(SymbolRegistry::fromTheme(QStringLiteral("exclamationmark.triangle.fill")));
        QVERIFY(SymbolRegistry::fromTheme(QStringLiteral("keyboard")));
        QVERIFY(!SymbolRegistry::fromTheme(QStringLiteral("checkmark.circle.fill")));
        QVERIFY(!SymbolRegistry::fromTheme(QStringLiteral("bolt.fill")));
        QVERIFY(!SymbolRegistry::fromTheme(QStringLiteral("no.such.symbol")));
    }
};

QTEST_MAIN(TestSymbolRegistry)
#include "test_symbol_registry.moc"
