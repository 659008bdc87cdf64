#include "model/SettingsValueTypes.h"
#include "model/WindowTileSlot.h"

#include <QTest>

using namespace mendo;

class TestValueTypes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void appearanceModes();
    void menuScales();
    void settingsPages();
    void plainEnums();
    void exactConstruction_data();
    void exactConstruction();
};

template <class E>
static QStringList raws()
{
    QStringList result;
    for (E value : allCases<E>())
        result << rawValue(value);
    return result;
}

template <class E>
static QStringList titles(UiLanguage language)
{
    QStringList result;
    for (E value : allCases<E>())
        result << localizedTitle(value, language);
    return result;
}

void TestValueTypes::appearanceModes()
{
    QCOMPARE(raws<AppearanceMode>(), QString("system liquid-sky liquid-violet liquid-mint liquid-rose liquid-noir").split(' '));
    QCOMPARE(titles<AppearanceMode>(UiLanguage::en),
             QString("System|Sky Glass|Violet Glass|Mint Glass|Rose Glass|Noir Glass").split('|'));
    QCOMPARE(titles<AppearanceMode>(UiLanguage::ru),
             QString::fromUtf8("Системный|Небесное стекло|Фиолетовое стекло|Мятное стекло|Розовое стекло|Темное стекло").split('|'));
    QCOMPARE(enumId(AppearanceMode::liquidNoir), QStringLiteral("liquid-noir"));
}

void TestValueTypes::menuScales()
{
    QCOMPARE(raws<MenuScale>(), QString("tiny small medium large xlarge").split(' '));
    QCOMPARE(titles<MenuScale>(UiLanguage::en), QString("Tiny|Small|Medium|Large|Extra Large").split('|'));
    QCOMPARE(titles<MenuScale>(UiLanguage::ru),
             QString::fromUtf8("Мини|Маленький|Средний|Большой|Очень большой").split('|'));
}

void TestValueTypes::settingsPages()
{
    QCOMPARE(raws<SettingsPage>(),
             QString("general actions styles aiReply quickMenu clipboard layout permissions shortcuts updates").split(' '));
    QCOMPARE(titles<SettingsPage>(UiLanguage::en),
             QString("General|Actions|Styles|AI Reply|Quick Menu|Clipboard|Layout|Permissions|Shortcuts|Updates").split('|'));
    QCOMPARE(titles<SettingsPage>(UiLanguage::ru),
             QString::fromUtf8("Основные|Действия|Стили|AI Reply|Быстрое меню|Буфер|Раскладка|Разрешения|Хоткеи|Обновления").split('|'));
    QStringList symbols;
    for (SettingsPage page : allCases<SettingsPage>())
        symbols << symbolName(page);
    QCOMPARE(symbols, QString("gearshape sparkles text.badge.star bubble.left.and.text.bubble.right bolt.circle "
                              "clipboard keyboard lock.shield keyboard arrow.down.circle").split(' '));
}

void TestValueTypes::plainEnums()
{
    QCOMPARE(raws<SurfaceMode>(), QString("translucent solid").split(' '));
    QCOMPARE(raws<UiLanguage>(), QString("en ru").split(' '));
    QCOMPARE(raws<QuickMenuOpenMode>(), QString("input button").split(' '));
    QCOMPARE(raws<WindowTileSlot>(), QString("full leftHalf rightHalf topLeft topRight bottomLeft bottomRight").split(' '));
    QCOMPARE(raws<WindowSwapDirection>(), QString("left right up down").split(' '));
}

void TestValueTypes::exactConstruction_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("valid");
    QTest::newRow("raw value") << QStringLiteral("liquid-sky") << true;
    QTest::newRow("case name") << QStringLiteral("liquidSky") << false;
    QTest::newRow("other letter case") << QStringLiteral("Liquid-Sky") << false;
    QTest::newRow("padded") << QStringLiteral(" liquid-sky") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestValueTypes::exactConstruction()
{
    QFETCH(QString, raw);
    QFETCH(bool, valid);
    const auto mode = fromRawValue<AppearanceMode>(raw);
    QCOMPARE(mode.has_value(), valid);
    if (valid)
        QCOMPARE(*mode, AppearanceMode::liquidSky);
    // Every case round-trips through its raw value, in every enum.
    for (auto page : allCases<SettingsPage>())
        QCOMPARE(fromRawValue<SettingsPage>(rawValue(page)), page);
    QCOMPARE(fromRawValue<MenuScale>(QStringLiteral("XLarge")), std::nullopt);
    QCOMPARE(fromRawValue<UiLanguage>(QStringLiteral("ru")), UiLanguage::ru);
}

QTEST_GUILESS_MAIN(TestValueTypes)
#include "test_value_types.moc"
