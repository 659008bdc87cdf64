#include "model/AppLayoutRule.h"
#include "model/WindowTilingHotkeys.h"

#include <QTest>

using namespace mendo;

class TestWindowTiling : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tables();
    void actionNames_data();
    void actionNames();
    void layoutRuleCoding();
};

void TestWindowTiling::tables()
{
    const auto& defaults = WindowTilingHotkeys::defaults();
    const auto& order = WindowTilingHotkeys::order();
    QCOMPARE(QSet<QString>(order.begin(), order.end()), QSet<QString>(defaults.keyBegin(), defaults.keyEnd()));
    QCOMPARE(order.size(), defaults.size());
    QCOMPARE(order.at(7), QStringLiteral("full"));
    QCOMPARE(defaults.value("fill"), QStringLiteral("Control+Alt+Shift+Up"));
    QCOMPARE(defaults.value("builtInDisplay"), QStringLiteral("Control+Alt+0"));
}

void TestWindowTiling::actionNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("slot");  // empty: none
    QTest::addColumn<QString>("direction");  // empty: none
    QTest::newRow("topLeft") << "topLeft"
                             << "topLeft"
                             << "";
    QTest::newRow("rightHalf") << "rightHalf"
                               << "rightHalf"
                               << "";
    QTest::newRow("full") << "full"
                          << "full"
                          << "";
    QTest::newRow("fill") << "fill"
                          << "full"
                          << "";
    QTest::newRow("capitalised") << "TopLeft"
                                 << ""
                                 << "";
    QTest::newRow("tileAll") << "tileAll"
                             << ""
                             << "";
    QTest::newRow("builtInDisplay") << "builtInDisplay"
                                    << ""
                                    << "";
    QTest::newRow("swapLeft") << "swapLeft"
                              << ""
                              << "left";
    QTest::newRow("swapDown") << "swapDown"
                              << ""
                              << "down";
    QTest::newRow("swapdown") << "swapdown"
                              << ""
                              << "";
    QTest::newRow("swap") << "swap"
                          << ""
                          << "";
}

void TestWindowTiling::actionNames()
{
    QFETCH(QString, name);
    QFETCH(QString, slot);
    QFETCH(QString, direction);
    const auto s = WindowTilingHotkeys::slot(name);
    QCOMPARE(s ? rawValue(*s) : QString(), slot);
    const auto d = WindowTilingHotkeys::swapDirection(name);
    QCOMPARE(d ? rawValue(*d) : QString(), direction);
}

void TestWindowTiling::layoutRuleCoding()
{
    const AppLayoutRule rule { QUuid("{6f1c2b3a-0000-4d5e-8f90-aabbccddeeff}"), "org.gnome.TextEditor", "Text Editor",
        "/usr/bin/gnome-text-editor", "Russian", false };
    const QJsonObject json = rule.toJson();
    QCOMPARE(json.value("id").toString(), QStringLiteral("6F1C2B3A-0000-4D5E-8F90-AABBCCDDEEFF"));
    QCOMPARE(AppLayoutRule::fromJson(json), rule);

    QJsonObject extra = json;
    extra["note"] = "ignored";
    QCOMPARE(AppLayoutRule::fromJson(extra), rule);
    QJsonObject lowerId = json;
    lowerId["id"] = "6f1c2b3a-0000-4d5e-8f90-aabbccddeeff";
    QCOMPARE(AppLayoutRule::fromJson(lowerId), rule);
    for (const auto& [key, value] :
        std::initializer_list<std::pair<const char*, QJsonValue>> { { "id", "{6f1c2b3a-0000-4d5e-8f90-aabbccddeeff}" },
            { "id", "xyz" }, { "isEnabled", "true" }, { "appPath", 3 } }) {
        QJsonObject broken = json;
        broken[key] = value;
        QVERIFY2(!AppLayoutRule::fromJson(broken), key);
    }
    QJsonObject missing = json;
    missing.remove("layoutName");
    QVERIFY(!AppLayoutRule::fromJson(missing));
}

QTEST_GUILESS_MAIN(TestWindowTiling)
#include "test_window_tiling.moc"
