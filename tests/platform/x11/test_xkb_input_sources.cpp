#include "engine/KeyboardLayoutService.h"
#include "engine/LayoutConversionCases.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/XkbInputSources.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace mendo;

namespace {

bool setxkbmap(const QStringList& args)
{
    return QProcess::execute(QStringLiteral("setxkbmap"), args) == 0;
}

// setxkbmap -query: "layout:     us,ru" and so on.
QString queryField(const QString& field)
{
    QProcess query;
    query.start(QStringLiteral("setxkbmap"), { QStringLiteral("-query") });
    query.waitForFinished();
    for (const QString& line : QString::fromUtf8(query.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(field + QLatin1Char(':')))
            return line.mid(field.size() + 1).trimmed();
    }
    return {};
}

std::optional<int> keyCodeTyping(const KeyLayout& layout, const QString& plain)
{
    for (const auto& [code, keys] : layout) {
        if (keys.plain == plain)
            return code;
    }
    return std::nullopt;
}

}  // namespace

// Runs against the session's X server: changes its keyboard layout and puts
// the one it found back at the end.
class TestXkbInputSources : public QObject {
    Q_OBJECT

    QString m_savedLayout;
    QString m_savedVariant;
    QString m_activeLayout;
    x11::X11Connection m_connection;
    XkbInputSources m_sources { m_connection };

    void useLayouts(const QString& layouts)
    {
        if (m_activeLayout == layouts)
            return;
        QVERIFY(setxkbmap({ "-layout", layouts, "-variant", "" }));
        m_activeLayout = layouts;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_sources.isConnected(), "no X server with the keyboard extension");
        m_savedLayout = queryField(QStringLiteral("layout"));
        m_savedVariant = queryField(QStringLiteral("variant"));
        QVERIFY(!m_savedLayout.isEmpty());
    }

    void cleanupTestCase()
    {
        const auto sources = m_sources.sources();
        if (!sources.isEmpty())
            m_sources.select(sources.first());
        setxkbmap({ "-layout", m_savedLayout, "-variant", m_savedVariant });
    }

    void groupsAreSources()
    {
        QSignalSpy changes(&m_sources, &InputSources::changed);
        useLayouts("us,ru");
        QCOMPARE(m_sources.sources(), QList<InputSource>({ { 0, "us", "English (US)" }, { 1, "ru", "Russian" } }));
        QTRY_VERIFY(changes.count() > 0);

        m_activeLayout.clear();
        QVERIFY(setxkbmap({ "-layout", "us,ru", "-variant", ",phonetic" }));
        QCOMPARE(m_sources.sources().value(1), InputSource({ 1, "ru(phonetic)", "Russian (phonetic)" }));
    }

    void keysPerLevel()
    {
        useLayouts("us,ru");
        const auto sources = m_sources.sources();
        QCOMPARE(sources.size(), 2);
        const auto latin = m_sources.keyLayout(sources[0]);
        const auto russian = m_sources.keyLayout(sources[1]);
        QVERIFY(latin && russian);

        // Latin key (plain) -> Latin shifted, Russian plain, Russian shifted.
        const QList<QStringList> keys = {
            { "a", "A", QStringLiteral("ф"), QStringLiteral("Ф") },
            { "`", "~", QStringLiteral("ё"), QStringLiteral("Ё") },
            { "/", "?", ".", "," },
            { "2", "@", "2", "\"" },
        };
        for (const QStringList& key : keys) {
            const auto code = keyCodeTyping(*latin, key[0]);
            QVERIFY2(code, qPrintable(key[0]));
            QCOMPARE(latin->at(*code).shifted, key[1]);
            QCOMPARE(russian->at(*code).plain, key[2]);
            QCOMPARE(russian->at(*code).shifted, key[3]);
        }
        // Keys that type no text are not part of the layout.
        QVERIFY(!keyCodeTyping(*latin, "\r"));
        QVERIFY(!m_sources.keyLayout({ 7, "xx", "Gone" }));
    }

    void selectLocksTheGroup()
    {
        useLayouts("us,ru");
        const auto sources = m_sources.sources();
        XkbInputSources observer(m_connection);
        QSignalSpy changes(&observer, &InputSources::changed);

        QCOMPARE(m_sources.select(sources[1]), 0);
        QCOMPARE(m_sources.current(), std::optional<InputSource>(sources[1]));
        QTRY_VERIFY(changes.count() > 0);
        QCOMPARE(observer.current(), std::optional<InputSource>(sources[1]));

        QCOMPARE(m_sources.select(sources[0]), 0);
        QCOMPARE(m_sources.current(), std::optional<InputSource>(sources[0]));
        QVERIFY(m_sources.select({ 3, "de", "German" }) != 0);
    }

    void serviceSwitchesByDefaultNames()
    {
        useLayouts("us,ru");
        KeyboardLayoutService service(m_sources);
        service.switchLayout(QStringLiteral("Русская — ПК"));
        QCOMPARE(service.currentLayoutName(), std::optional<QString>("Russian"));
        service.switchLayoutIfNeeded("ABC");
        QCOMPARE(m_sources.current()->id, QStringLiteral("us"));

        const KeyboardLayoutSuggestion suggestion = service.suggestion();
        QCOMPARE(suggestion.latinSource, QStringLiteral("English (US)"));
        QCOMPARE(suggestion.nativeSource, QStringLiteral("Russian"));
    }

    void serviceConvertsWithRealKeymap_data()
    {
        QTest::addColumn<QString>("layouts");
        QTest::addColumn<QString>("nativeName");
        QTest::addColumn<QString>("nativeSource");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("toLatin");
        for (const auto& c : testcases::russianConversions) {
            QTest::addRow("us,ru: %s", c.tag)
                << "us,ru" << QStringLiteral("Русская — ПК") << "Russian" << c.input << c.output << c.toLatin;
        }
        for (const auto& c : testcases::ukrainianConversions) {
            QTest::addRow("us,ua: %s", c.tag)
                << "us,ua" << QStringLiteral("Українська") << "Ukrainian" << c.input << c.output << c.toLatin;
        }
    }

    void serviceConvertsWithRealKeymap()
    {
        QFETCH(QString, layouts);
        QFETCH(QString, nativeName);
        QFETCH(QString, nativeSource);
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(bool, toLatin);
        useLayouts(layouts);

        KeyboardLayoutService service(m_sources);
        const KeyboardLayoutFixResult result = service.fix(input, "ABC", nativeName);
        QCOMPARE(result.text, output);
        QCOMPARE(result.toLatin, toLatin);
        // Unchanged text went on to the built-in rows, which name the
        // settings' sources; the keymap's maps name the groups.
        const bool fromKeymap = output != input;
        const QString expected
            = toLatin ? (fromKeymap ? "English (US)" : "ABC") : (fromKeymap ? nativeSource : nativeName);
        QCOMPARE(result.targetLayout, std::optional<QString>(expected));
    }
};

QTEST_GUILESS_MAIN(TestXkbInputSources)
#include "test_xkb_input_sources.moc"
