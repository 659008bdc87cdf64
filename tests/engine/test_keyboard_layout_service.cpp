#include "engine/KeyboardLayoutService.h"
#include "engine/LayoutConversionCases.h"
#include "fakes/FakeInputSources.h"

#include <QTest>

using namespace mendo;

namespace {

// "Name|id" entries, in list order.
void addSources(FakeInputSources& fake, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QStringList parts = entry.split(QLatin1Char('|'));
        fake.add(parts.value(1), parts.value(0));
    }
}

}  // namespace

class TestKeyboardLayoutService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fallbackConversion_data()
    {
        QTest::addColumn<QString>("latinName");
        QTest::addColumn<QString>("nativeName");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("toLatin");
        QTest::addColumn<QString>("target");

        const QString ru = QStringLiteral("Русская — ПК");
        const QString ua = QStringLiteral("Українська");
        auto row = [](const char* tag, const QString& latin, const QString& native, const QString& input,
                       const QString& output, bool toLatin, const QString& target) {
            QTest::newRow(tag) << latin << native << input << output << toLatin << target;
        };
        auto addTable = [](const auto& cases, const QString& native, const char* prefix) {
            for (const auto& c : cases) {
                QTest::addRow("%s: %s", prefix, c.tag) << QStringLiteral("ABC") << native << c.input << c.output
                                                       << c.toLatin << (c.toLatin ? QStringLiteral("ABC") : native);
            }
        };
        addTable(testcases::russianConversions, ru, "ru");
        addTable(testcases::ukrainianConversions, ua, "ua");

        // The Ukrainian PC row puts "/" on Shift+grave.
        row("ua: tilde", "ABC", ua, "~", "/", false, ua);
        const QString padded = " UKRAINIAN keyboard\n";
        row("ua row chosen by a blank-padded english name", "ABC", padded, "s]", "ії", false, padded);
        row("empty names use the defaults, latin", "", "", "руддщ", "hello", true, "ABC");
        row("empty names use the defaults, native", "", "", "", "", false, ru);
        row("a name is kept as given, blanks and all", " U.S. ", "Russian", "руддщ", "hello", true, " U.S. ");
    }

    // No input source is enabled: the built-in rows do the work and the
    // result names the sources as the settings name them.
    void fallbackConversion()
    {
        QFETCH(QString, latinName);
        QFETCH(QString, nativeName);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(bool, toLatin);
        QFETCH(QString, target);

        FakeInputSources fake;
        KeyboardLayoutService service(fake);
        const KeyboardLayoutFixResult result = service.fix(input, latinName, nativeName);
        QCOMPARE(result.text, output);
        QCOMPARE(result.toLatin, toLatin);
        QCOMPARE(result.targetLayout, std::optional<QString>(target));
    }

    void installedLayoutsConvert()
    {
        FakeInputSources fake;
        fake.add("us", "English (US)", FakeInputSources::layoutFromRows("qwe", "QWE"));
        fake.add("ru(phonetic)", "Russian (phonetic)", FakeInputSources::layoutFromRows("яве", "ЯВЕ"));
        KeyboardLayoutService service(fake);

        auto result = service.fix("qwe", MendoSettings {});
        QCOMPARE(result.text, QStringLiteral("яве"));
        QCOMPARE(result.targetLayout, std::optional<QString>("Russian (phonetic)"));

        result = service.fix(QStringLiteral("ЯВЕ!"), "ABC", QStringLiteral("Русская — ПК"));
        QCOMPARE(result.text, QStringLiteral("QWE!"));
        QVERIFY(result.toLatin);
        QCOMPARE(result.targetLayout, std::optional<QString>("English (US)"));

        // What the installed keys leave unchanged goes to the built-in rows,
        // and then the settings' names are the target, not the sources' names.
        result = service.fix("ghbdtn", "ABC", QStringLiteral("Русская — ПК"));
        QCOMPARE(result.text, QStringLiteral("привет"));
        QCOMPARE(result.targetLayout, std::optional<QString>(QStringLiteral("Русская — ПК")));
    }

    void unusableSourcesFallBack_data()
    {
        QTest::addColumn<bool>("nativeHasKeys");
        QTest::addColumn<QString>("nativeName");
        QTest::newRow("both names find the same source") << true << "English";
        QTest::newRow("native source without key layout") << false << "Russian";
    }

    void unusableSourcesFallBack()
    {
        QFETCH(bool, nativeHasKeys);
        QFETCH(QString, nativeName);
        FakeInputSources fake;
        fake.add("us", "English (US)", FakeInputSources::layoutFromRows("qwe", "QWE"));
        if (nativeHasKeys)
            fake.add("ru", "Russian", FakeInputSources::layoutFromRows("яве", "ЯВЕ"));
        else
            fake.add("ru", "Russian");
        KeyboardLayoutService service(fake);

        const auto result = service.fix("qwe", "English", nativeName);
        QCOMPARE(result.text, QStringLiteral("йцу"));
        QCOMPARE(result.targetLayout, std::optional<QString>(nativeName));
    }

    void mapsAreBuiltOncePerPair()
    {
        FakeInputSources fake;
        fake.add("us", "English (US)", FakeInputSources::layoutFromRows("qwe", "QWE"));
        fake.add("ru", "Russian", FakeInputSources::layoutFromRows("яве", "ЯВЕ"));
        fake.add("ua", "Ukrainian", FakeInputSources::layoutFromRows("їіє", "ЇІЄ"));
        KeyboardLayoutService service(fake);

        service.fix("qwe", "us", "ru");
        const int firstBuild = fake.keyLayoutReads;
        QVERIFY(firstBuild > 0);
        QCOMPARE(service.fix("ewq", "us", "ru").text, QStringLiteral("евя"));
        QCOMPARE(fake.keyLayoutReads, firstBuild);

        QCOMPARE(service.fix("qwe", "us", "ua").text, QStringLiteral("їіє"));
        QCOMPARE(fake.keyLayoutReads, 2 * firstBuild);
        // Only the last pair is kept.
        service.fix("qwe", "us", "ru");
        QCOMPARE(fake.keyLayoutReads, 3 * firstBuild);
    }

    void keyTranslationRules()
    {
        // key  Latin  native
        //  10   .      ю       the lowest key code that types "." decides
        //  11   a      a       the same on both keys: not part of the map
        //  12   .      ,       a later key typing "." (a keypad) is ignored
        //  13   z      😀      two UTF-16 units: not a key character
        //  14   x     (none)   a dead key types nothing
        FakeInputSources fake;
        KeyLayout latin = FakeInputSources::layoutFromRows(".a.zx", "");
        KeyLayout native = FakeInputSources::layoutFromRows(QStringLiteral("юa,"), "");
        native[13].plain = QStringLiteral("😀");
        native[14] = {};
        fake.add("us", "English (US)", latin);
        fake.add("ru", "Russian", native);
        KeyboardLayoutService service(fake);

        const auto result = service.fix("a.zx", "us", "ru");
        QCOMPARE(result.text, QStringLiteral("aюzx"));
        QCOMPARE(result.targetLayout, std::optional<QString>("Russian"));
    }

    void findsSourceByFreeFormName_data()
    {
        QTest::addColumn<QStringList>("sources");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");  // empty: not found

        const QStringList abcFirst = { "ABC|layout.abc", QStringLiteral("Русская — ПК|layout.russianpc") };
        const QStringList russianFirst = { QStringLiteral("Русская — ПК|layout.russianpc"), "ABC|layout.abc" };
        const QStringList xkb = { "English (US)|us", "Russian|ru" };

        auto row = [](const char* tag, const QStringList& sources, const QString& name, const QString& expected) {
            QTest::newRow(tag) << sources << name << expected;
        };
        const QString russianPc = QStringLiteral("Русская — ПК");
        row("case and blanks", abcFirst, " aBc\n", "ABC");
        row("part of a name", abcFirst, QStringLiteral("русская"), russianPc);
        row("part of an id", abcFirst, "russianp", russianPc);
        row("list order, ABC first", abcFirst, "A", "ABC");
        row("list order, Russian first", russianFirst, "A", russianPc);
        row("layout code", xkb, "RU", "Russian");
        row("russian words", { "ABC|layout.abc", "Russian|layout.russian" }, russianPc, "Russian");
        row("russian words, xkb names", xkb, russianPc, "Russian");
        row("ukrainian words", { "ABC|layout.abc", "Keyboard|layout.ua" }, "Ukrainian PC", "Keyboard");
        row("ukrainian words, cyrillic", { "English (US)|us", "Ukrainian|ua" }, QStringLiteral("Українська"),
            "Ukrainian");
        row("latin words", russianFirst, "U.S.", "ABC");
        row("ABC is not Russian", { "Russian|ru", "English (US)|us" }, "ABC", "English (US)");
        row("ABC is not Belarusian", { "Belarusian|by", "English (US)|us" }, "ABC", "English (US)");
        row("no such layout", xkb, "Dvorak", "");
        row("no language group applies", { "Russian|ru" }, "latin", "");
        row("blank name", xkb, " \t", "");
    }

    void findsSourceByFreeFormName()
    {
        QFETCH(QStringList, sources);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        FakeInputSources fake;
        addSources(fake, sources);
        KeyboardLayoutService service(fake);

        try {
            service.switchLayout(name);
            QVERIFY2(!expected.isEmpty(), "a source was selected");
            QCOMPARE(fake.selected.size(), 1);
            QCOMPARE(fake.selected.first().name, expected);
        } catch (const KeyboardLayoutError& e) {
            QVERIFY2(expected.isEmpty(), qPrintable(e.description()));
            QCOMPARE(e.kind(), KeyboardLayoutError::Case::layoutNotFound);
            QCOMPARE(e.description(), "Keyboard layout not found: " + name);
            QVERIFY(fake.selected.isEmpty());
        }
    }

    void switchRetriesThreeTimes()
    {
        FakeInputSources fake;
        addSources(fake, { "English (US)|us", "Russian|ru" });
        KeyboardLayoutService service(fake);

        fake.selectStatuses = { -50, -50 };
        service.switchLayout("russian");
        QCOMPARE(fake.selected.size(), 3);
        QCOMPARE(fake.currentIndex, 1);

        fake.selected.clear();
        fake.selectStatuses = { -50, -51, -52 };
        try {
            service.switchLayout(" Russian");
            QFAIL("no error");
        } catch (const KeyboardLayoutError& e) {
            QCOMPARE(e.kind(), KeyboardLayoutError::Case::switchFailed);
            QCOMPARE(e.status(), -52);
            QCOMPARE(e.description(), QStringLiteral("Could not switch keyboard layout to  Russian: -52"));
        }
        QCOMPARE(fake.selected.size(), 3);
    }

    void switchOnlyWhenNeeded()
    {
        FakeInputSources fake;
        addSources(fake, { "English (US)|us", "Russian|ru" });
        fake.currentIndex = 1;
        KeyboardLayoutService service(fake);

        service.switchLayoutIfNeeded(QStringLiteral("Русская — ПК"));
        QVERIFY(fake.selected.isEmpty());
        service.switchLayout("Russian");
        QCOMPARE(fake.selected.size(), 1);
        service.switchLayoutIfNeeded("ABC");
        QCOMPARE(fake.selected.size(), 2);
        QCOMPARE(fake.currentIndex, 0);
        QVERIFY_THROWS_EXCEPTION(KeyboardLayoutError, service.switchLayoutIfNeeded("Dvorak"));
    }

    void latinClassification_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<bool>("latin");
        QTest::newRow("ABC") << "ABC|layout.abc" << true;
        QTest::newRow("U.S.") << "U.S.|layout.us" << true;
        QTest::newRow("xkb US") << "English (US)|us" << true;
        QTest::newRow("xkb US variant") << "English (US, intl., with dead keys)|us(intl)" << true;
        QTest::newRow("latin in the name") << "Serbian (Latin)|rs(latin)" << true;
        QTest::newRow("roman in the name") << "Romanian|ro" << true;
        QTest::newRow("Russian") << "Russian|ru" << false;
        QTest::newRow("Russian, reverse-domain id") << "Russian|layout.russian" << false;
        QTest::newRow("Belarusian") << "Belarusian|by" << false;
        QTest::newRow("German") << "German|de" << false;
    }

    void latinClassification()
    {
        QFETCH(QString, source);
        QFETCH(bool, latin);
        FakeInputSources fake;
        addSources(fake, { source });
        KeyboardLayoutService service(fake);
        const QString name = source.section(QLatin1Char('|'), 0, 0);

        const KeyboardLayoutSuggestion s = service.suggestion();
        QCOMPARE(s.latinSource, latin ? name : QStringLiteral("ABC"));
        QCOMPARE(s.nativeSource, latin ? QStringLiteral("Русская — ПК") : name);
    }

    void suggestionFollowsListOrder()
    {
        FakeInputSources fake;
        addSources(fake, { "|broken", "Russian|ru", "German|de", "English (US)|us", "ABC|abc" });
        KeyboardLayoutService service(fake);
        const KeyboardLayoutSuggestion s = service.suggestion();
        QCOMPARE(s.latinSource, QStringLiteral("English (US)"));
        QCOMPARE(s.nativeSource, QStringLiteral("Russian"));
        QCOMPARE(s.layouts, QStringList({ "Russian", "German", "English (US)", "ABC" }));

        FakeInputSources none;
        KeyboardLayoutService empty(none);
        const KeyboardLayoutSuggestion d = empty.suggestion();
        QCOMPARE(d.latinSource, QStringLiteral("ABC"));
        QCOMPARE(d.nativeSource, QStringLiteral("Русская — ПК"));
        QCOMPARE(d.layouts, QStringList({ "ABC", "U.S.", QStringLiteral("Русская — ПК"), "Russian" }));
    }

    void currentLayoutName()
    {
        FakeInputSources fake;
        addSources(fake, { "English (US)|us", "Russian|ru" });
        KeyboardLayoutService service(fake);
        QCOMPARE(service.currentLayoutName(), std::nullopt);
        fake.currentIndex = 1;
        QCOMPARE(service.currentLayoutName(), std::optional<QString>("Russian"));
    }
};

QTEST_GUILESS_MAIN(TestKeyboardLayoutService)
#include "test_keyboard_layout_service.moc"
