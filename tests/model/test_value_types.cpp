#include "model/SettingsValueTypes.h"
#include "model/WindowTileSlot.h"

#include <QTest>

using namespace mendo;

class TestValueTypes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void enums_data();
    void enums();
    void settingsPageSymbols();
    void exactConstruction_data();
    void exactConstruction();
};

template <class E> static QStringList raws()
{
    QStringList result;
    for (E value : allCases<E>())
        result << rawValue(value);
    return result;
}

template <class E> static QStringList titles(UiLanguage language)
{
    QStringList result;
    for (E value : allCases<E>())
        result << localizedTitle(value, language);
    return result;
}

// Each enum's cases as their raw values and, where it has titles, the English
// and Russian ones; expected lists are written '|'-separated.
void TestValueTypes::enums_data()
{
    QTest::addColumn<QStringList>("actualRaws");
    QTest::addColumn<QStringList>("actualEnglish");
    QTest::addColumn<QStringList>("actualRussian");
    QTest::addColumn<QString>("expectedRaws");
    QTest::addColumn<QString>("expectedEnglish");
    QTest::addColumn<QString>("expectedRussian");

    QTest::newRow("AppearanceMode")
        << raws<AppearanceMode>() << titles<AppearanceMode>(UiLanguage::en) << titles<AppearanceMode>(UiLanguage::ru)
        << "system|liquid-sky|liquid-violet|liquid-mint|liquid-rose|liquid-noir"
        << "System|Sky Glass|Violet Glass|Mint Glass|Rose Glass|Noir Glass"
        << QString::fromUtf8("Системный|Небесное стекло|Фиолетовое стекло|Мятное стекло|Розовое стекло|Темное стекло");
    QTest::newRow("MenuScale") << raws<MenuScale>() << titles<MenuScale>(UiLanguage::en)
                               << titles<MenuScale>(UiLanguage::ru) << "tiny|small|medium|large|xlarge"
                               << "Tiny|Small|Medium|Large|Extra Large"
                               << QString::fromUtf8("Мини|Маленький|Средний|Большой|Очень большой");
    QTest::newRow("SettingsPage")
        << raws<SettingsPage>() << titles<SettingsPage>(UiLanguage::en) << titles<SettingsPage>(UiLanguage::ru)
        << "general|actions|styles|aiReply|quickMenu|clipboard|layout|permissions|shortcuts|updates"
        << "General|Actions|Styles|AI Reply|Quick Menu|Clipboard|Layout|Permissions|Shortcuts|Updates"
        << QString::fromUtf8(
               "Основные|Действия|Стили|AI Reply|Быстрое меню|Буфер|Раскладка|Разрешения|Хоткеи|Обновления");
    const QStringList none;
    QTest::newRow("SurfaceMode") << raws<SurfaceMode>() << none << none << "translucent|solid"
                                 << ""
                                 << "";
    QTest::newRow("UiLanguage") << raws<UiLanguage>() << none << none << "en|ru"
                                << ""
                                << "";
    QTest::newRow("QuickMenuOpenMode") << raws<QuickMenuOpenMode>() << none << none << "input|button"
                                       << ""
                                       << "";
    QTest::newRow("WindowTileSlot") << raws<WindowTileSlot>() << none << none
                                    << "full|leftHalf|rightHalf|topLeft|topRight|bottomLeft|bottomRight"
                                    << ""
                                    << "";
    QTest::newRow("WindowSwapDirection") << raws<WindowSwapDirection>() << none << none << "left|right|up|down"
                                         << ""
                                         << "";
}

void TestValueTypes::enums()
{
    QFETCH(QStringList, actualRaws);
    QFETCH(QStringList, actualEnglish);
    QFETCH(QStringList, actualRussian);
    QFETCH(QString, expectedRaws);
    QFETCH(QString, expectedEnglish);
    QFETCH(QString, expectedRussian);
    const auto split = [](const QString& s) { return s.isEmpty() ? QStringList() : s.split(u'|'); };
    QCOMPARE(actualRaws, split(expectedRaws));
    QCOMPARE(actualEnglish, split(expectedEnglish));
    QCOMPARE(actualRussian, split(expectedRussian));
}

void TestValueTypes::settingsPageSymbols()
{
    QCOMPARE(enumId(AppearanceMode::liquidNoir), QStringLiteral("liquid-noir"));
    QStringList symbols;
    for (SettingsPage page : allCases<SettingsPage>())
        symbols << symbolName(page);
    QCOMPARE(symbols,
        QString("gearshape sparkles text.badge.star bubble.left.and.text.bubble.right bolt.circle "
                "clipboard keyboard lock.shield keyboard arrow.down.circle")
            .split(' '));
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
