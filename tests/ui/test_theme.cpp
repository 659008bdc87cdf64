#include "ui/MendoTheme.h"
#include "fakes/FakeSystemTransparency.h"

#include <QTest>

using namespace mendo;

namespace {

bool sameColor(const QColor& a, const QColor& b)
{
    auto close = [](float x, float y) { return std::abs(x - y) < 0.002f; };
    return close(a.redF(), b.redF()) && close(a.greenF(), b.greenF()) && close(a.blueF(), b.blueF())
        && close(a.alphaF(), b.alphaF());
}

QColor rgba(double r, double g, double b, double a)
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

}  // namespace

Q_DECLARE_METATYPE(std::optional<QVariant>)

class TestTheme : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void systemModeFollowsTheDesktop();
    void liquidModesForceTheDarkScheme();
    void systemResolved_data();
    void systemResolved();
};

void TestTheme::systemModeFollowsTheDesktop()
{
    const SystemColors desktop { rgba(0.9, 0.1, 0.2, 1), rgba(0.5, 0.6, 0.7, 1) };
    const auto mode = AppearanceMode::system;
    QCOMPARE(theme::accentColor(mode, desktop), desktop.accent);
    for (const QColor& stop : theme::backgroundColors(mode))
        QCOMPARE(stop.alpha(), 0);
    QCOMPARE(theme::surfaceTint(mode).alpha(), 0);
    QVERIFY(!theme::preferredColorScheme(mode));
    QVERIFY(sameColor(theme::systemSolidGlassOverlay(mode, desktop), rgba(0.5, 0.6, 0.7, 0.12)));

    // The wash follows the scheme the view is drawn in; the border stays white.
    QVERIFY(sameColor(theme::glassWash(mode, SurfaceMode::solid, ColorScheme::light), rgba(1, 1, 1, 0.34)));
    QVERIFY(sameColor(theme::glassWash(mode, SurfaceMode::translucent, ColorScheme::light), rgba(1, 1, 1, 0.18)));
    QVERIFY(sameColor(theme::glassWash(mode, SurfaceMode::solid, ColorScheme::dark), rgba(0, 0, 0, 0.36)));
    QVERIFY(sameColor(theme::floatingBorderColor(mode, SurfaceMode::solid), rgba(1, 1, 1, 0.10)));
    QVERIFY(sameColor(theme::floatingBorderColor(mode, SurfaceMode::translucent), rgba(1, 1, 1, 0.16)));
}

void TestTheme::liquidModesForceTheDarkScheme()
{
    for (AppearanceMode mode : { AppearanceMode::liquidSky, AppearanceMode::liquidViolet, AppearanceMode::liquidMint,
             AppearanceMode::liquidRose, AppearanceMode::liquidNoir }) {
        const QByteArray name = rawValue(mode).toUtf8();
        QCOMPARE(theme::preferredColorScheme(mode), std::optional(ColorScheme::dark));
        // Drawn in a light desktop, still the dark wash, border and overlay.
        QVERIFY2(sameColor(theme::glassWash(mode, SurfaceMode::solid, ColorScheme::light), rgba(0, 0, 0, 0.36)), name);
        QVERIFY2(
            sameColor(theme::glassWash(mode, SurfaceMode::translucent, ColorScheme::light), rgba(0, 0, 0, 0.24)), name);
        QVERIFY2(sameColor(theme::floatingBorderColor(mode, SurfaceMode::solid), rgba(1, 1, 1, 0.12)), name);
        QVERIFY2(sameColor(theme::systemSolidGlassOverlay(mode), rgba(0.11, 0.11, 0.115, 0.16)), name);
        QVERIFY2(theme::backgroundColors(mode)[0].alpha() == 255, name);

        QPalette light;
        light.setColor(QPalette::Window, Qt::white);
        const QPalette forced = theme::palette(mode, light);
        QVERIFY2(theme::colorSchemeOf(forced) == ColorScheme::dark, name);
        QVERIFY2(forced.color(QPalette::Highlight) == theme::accentColor(mode), name);
    }
    QVERIFY(sameColor(theme::accentColor(AppearanceMode::liquidSky), rgba(0.25, 0.62, 1.0, 1)));
    QVERIFY(sameColor(theme::surfaceTint(AppearanceMode::liquidRose), rgba(1.0, 0.28, 0.5, 1)));
}

void TestTheme::systemResolved_data()
{
    QTest::addColumn<bool>("reduce");
    QTest::addColumn<std::optional<QVariant>>("standard");
    QTest::addColumn<std::optional<QVariant>>("global");
    QTest::addColumn<SurfaceMode>("expected");
    const std::optional<QVariant> none;
    auto v = [](QVariant value) { return std::optional<QVariant>(std::move(value)); };
    const auto solid = SurfaceMode::solid;
    const auto translucent = SurfaceMode::translucent;

    QTest::newRow("nothing set") << false << none << none << translucent;
    QTest::newRow("reduce transparency wins") << true << v(qint64(0)) << v(qint64(0)) << solid;
    QTest::newRow("standard 1") << false << v(qint64(1)) << none << solid;
    QTest::newRow("standard negative") << false << v(qint64(-4)) << none << solid;
    QTest::newRow("standard 0 hides global") << false << v(qint64(0)) << v(qint64(1)) << translucent;
    QTest::newRow("standard whole double") << false << v(2.0) << none << solid;
    QTest::newRow("standard boolean") << false << v(true) << none << solid;
    QTest::newRow("standard text, global decides") << false << v(QStringLiteral("1")) << v(qint64(1)) << solid;
    QTest::newRow("standard fraction, global decides") << false << v(0.5) << v(qint64(0)) << translucent;
    QTest::newRow("global text") << false << none << v(QStringLiteral("yes")) << translucent;
    QTest::newRow("global 3") << false << none << v(qint64(3)) << solid;
}

void TestTheme::systemResolved()
{
    QFETCH(bool, reduce);
    QFETCH(std::optional<QVariant>, standard);
    QFETCH(std::optional<QVariant>, global);
    QFETCH(SurfaceMode, expected);
    FakeSystemTransparency system;
    system.reduce = reduce;
    system.standard = standard;
    system.global = global;
    QCOMPARE(theme::systemResolvedSurfaceMode(system), expected);
    QCOMPARE(theme::systemResolvedSurfaceMode(UnsetSystemTransparency()), SurfaceMode::translucent);
}

QTEST_MAIN(TestTheme)
#include "test_theme.moc"
