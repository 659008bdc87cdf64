#include "ui/GlassSurface.h"
#include "ui/NativeMaterials.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

using namespace mendo;

class TestGlassSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void glowsAndShadow_data();
    void glowsAndShadow();
    void cardIsClippedAndOpaqueWithoutCompositor();
    void shadowFallsBelowTheCard();
    void floatingSurfaceWearsTheMode();
    void surfaceLaidIntoAPanelLosesItsWindowShape();
    void closeButton();
    void dragHandleKeepsThePress();
};

void TestGlassSurface::glowsAndShadow_data()
{
    QTest::addColumn<AppearanceMode>("mode");
    QTest::addColumn<SurfaceMode>("surface");
    QTest::addColumn<double>("radius");
    QTest::addColumn<bool>("shadow");
    QTest::addColumn<double>("tintAlpha");  // -1: no tint glow
    QTest::addColumn<double>("topReach");
    QTest::addColumn<double>("tintReach");
    QTest::addColumn<double>("shadowAlpha");
    QTest::newRow("panel solid") << AppearanceMode::liquidSky << SurfaceMode::solid << 22.0 << true << 0.0495 << 220.0
                                 << 308.0 << 0.30;
    QTest::newRow("panel translucent") << AppearanceMode::liquidMint << SurfaceMode::translucent << 20.0 << true
                                       << 0.0288 << 200.0 << 280.0 << 0.22;
    QTest::newRow("square corners reach the minimum")
        << AppearanceMode::liquidRose << SurfaceMode::solid << 0.0 << false << 0.0495 << 120.0 << 180.0 << 0.0;
    QTest::newRow("system has no tint glow")
        << AppearanceMode::system << SurfaceMode::translucent << 8.0 << true << -1.0 << 120.0 << 180.0 << 0.22;
}

void TestGlassSurface::glowsAndShadow()
{
    QFETCH(AppearanceMode, mode);
    QFETCH(SurfaceMode, surface);
    QFETCH(double, radius);
    QFETCH(bool, shadow);
    QFETCH(double, tintAlpha);
    QFETCH(double, topReach);
    QFETCH(double, tintReach);
    QFETCH(double, shadowAlpha);
    LiquidGlassSurfaceModifier glass { ColorScheme::dark, mode, surface, radius, shadow, 0.9 };
    const auto tint = glass.tintGlowColor();
    QCOMPARE(tint.has_value(), tintAlpha >= 0);
    if (tint)
        QVERIFY(qAbs(tint->alphaF() - tintAlpha) < 0.001);
    QCOMPARE(glass.topGlowRadius(), topReach);
    QCOMPARE(glass.tintGlowRadius(), tintReach);
    QVERIFY(qAbs(glass.shadowColor().alphaF() - shadowAlpha) < 0.002);
}

static QImage paintCard(const LiquidGlassSurfaceModifier& glass, bool opaque)
{
    QImage image(200, 140, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    glass.paintBackground(painter, QRectF(0, 0, 200, 140), QColor(40, 40, 44), opaque);
    glass.paintRim(painter, QRectF(0, 0, 200, 140));
    return image;
}

void TestGlassSurface::cardIsClippedAndOpaqueWithoutCompositor()
{
    LiquidGlassSurfaceModifier glass { ColorScheme::dark, AppearanceMode::liquidViolet, SurfaceMode::translucent, 22,
        true, 0.9 };
    const QImage opaque = paintCard(glass, true);
    QCOMPARE(qAlpha(opaque.pixel(1, 1)), 0);  // outside the rounded corner
    QCOMPARE(qAlpha(opaque.pixel(100, 70)), 255);  // nothing shows through
    const QImage glassy = paintCard(glass, false);
    QCOMPARE(qAlpha(glassy.pixel(1, 1)), 0);
    QVERIFY(qAlpha(glassy.pixel(100, 70)) < 230);  // the desktop shows through
    QVERIFY(qAlpha(glassy.pixel(100, 70)) > 0);
}

void TestGlassSurface::shadowFallsBelowTheCard()
{
    const QRectF card(40, 30, 120, 80);
    auto paint = [&](bool shadow) {
        LiquidGlassSurfaceModifier glass { ColorScheme::dark, AppearanceMode::liquidNoir, SurfaceMode::solid, 16,
            shadow, 0.9 };
        QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QImage cache;
        glass.paintShadow(painter, card, cache);
        return image;
    };
    const QImage withShadow = paint(true);
    const int below = qAlpha(withShadow.pixel(100, int(card.bottom()) + 10));
    const int above = qAlpha(withShadow.pixel(100, int(card.top()) - 10));
    QVERIFY(below > above);  // cast 16 points downwards
    QVERIFY(below > 0);
    QCOMPARE(qAlpha(withShadow.pixel(100, 70)), 0);  // never drawn under the card itself
    const QImage without = paint(false);
    QCOMPARE(qAlpha(without.pixel(100, int(card.bottom()) + 10)), 0);
}

void TestGlassSurface::floatingSurfaceWearsTheMode()
{
    MendoFloatingSurface surface(AppearanceMode::liquidRose, SurfaceMode::solid, 22);
    QCOMPARE(surface.glass().accentStrength, 0.9);
    QVERIFY(surface.glass().shadow);
    QCOMPARE(surface.glass().colorScheme, ColorScheme::dark);
    QCOMPARE(surface.palette().color(QPalette::Highlight), theme::accentColor(AppearanceMode::liquidRose));

    surface.resize(300, 200);
    surface.show();
    QCOMPARE(surface.cardRect(), QRectF(0, 0, 300, 200));
    QCOMPARE(surface.content()->geometry(), QRect(0, 0, 300, 200));
    // With a compositor the shadow needs room around the card.
    surface.setTranslucentWindow(true);
    QCOMPARE(surface.content()->geometry(), QRect(0, 0, 300, 200) - LiquidGlassSurfaceModifier::shadowMargins());

    surface.setAppearance(AppearanceMode::system, SurfaceMode::translucent);
    QCOMPARE(surface.glass().colorScheme, theme::colorSchemeOf(QApplication::palette()));
}

void TestGlassSurface::surfaceLaidIntoAPanelLosesItsWindowShape()
{
    // Made on its own it is a window, shaped to its card; laid into a panel
    // that shape must not clip it once the panel grows.
    auto* surface = new MendoFloatingSurface(AppearanceMode::system, SurfaceMode::solid, 22);
    surface->resize(300, 200);
    QVERIFY(!surface->mask().isEmpty());
    QWidget panel;
    surface->setParent(&panel);
    surface->resize(700, 500);
    QVERIFY(surface->mask().isEmpty());
}

void TestGlassSurface::closeButton()
{
    QWidget panel;
    panel.resize(200, 120);
    int clicks = 0;
    MacCloseButton* button = panelCloseButton(&panel, [&] { ++clicks; });
    QCOMPARE(button->geometry(), QRect(12, 12, 18, 18));
    QCOMPARE(button->accessibleName(), QStringLiteral("Close"));

    // The cross shows only under the pointer.
    const QImage plain = button->grab().toImage();
    QEnterEvent enter(QPointF(9, 9), QPointF(9, 9), QPointF(21, 21));
    QApplication::sendEvent(button, &enter);
    QVERIFY(button->isHovered());
    const QImage hovered = button->grab().toImage();
    QVERIFY(qRed(hovered.pixel(9, 9)) < qRed(plain.pixel(9, 9)));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QVERIFY(!button->isHovered());

    // The whole square takes the click, also its corner outside the disc.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(0, 0));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(9, 9));
    QCOMPARE(clicks, 2);
}

namespace {
class PressRecorder final : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};
}  // namespace

void TestGlassSurface::dragHandleKeepsThePress()
{
    PressRecorder header;
    auto* handle = new WindowDragHandle(&header);
    handle->setGeometry(0, 0, 100, 30);
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(header.presses, 0);
}

QTEST_MAIN(TestGlassSurface)
#include "test_glass_surface.moc"
