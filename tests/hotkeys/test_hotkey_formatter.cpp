#include "fakes/FakeHotkeyRegistrar.h"
#include "hotkeys/HotkeyFormatter.h"
#include "hotkeys/ParsedHotkey.h"

#include <QtTest>

using namespace mendo;

// X key codes of the keys pressed below (a PC keyboard under evdev).
enum NativeKey : quint32 {
    escapeKey = 9,
    tabKey = 23,
    qKey = 24,
    aKey = 38,
    usPeriodKey = 60,
    usSlashKey = 61,
    altKey = 64,
    f5Key = 71,
    keypad1Key = 87,
    leftKey = 113,
};

class TestHotkeyFormatter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void display_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("modifiers and arrow") << "Control+Alt+Shift+Left"
                                             << "⌃ ⌥ ⇧ ←";
        QTest::newRow("command") << "Command+Shift+K"
                                 << "⌘ ⇧ K";
        QTest::newRow("only exact case becomes symbols") << "alt+q"
                                                         << "alt q";
        QTest::newRow("empty") << ""
                               << "Not assigned";
        QTest::newRow("sentinel in any case") << "not assigned"
                                              << "Not assigned";
        QTest::newRow("option and space") << "Option+Space"
                                          << "⌥ Space";
        QTest::newRow("symbol modifier and punctuation") << "⌘+Period"
                                                         << "⌘ .";
        QTest::newRow("short words") << "Cmd+Ctrl+Return"
                                     << "⌘ ⌃ ↩";
        QTest::newRow("empty pieces dropped") << "Alt++Up"
                                              << "⌥ ↑";
        QTest::newRow("unknown pieces unchanged") << "Hyper+Backquote"
                                                  << "Hyper `";
    }
    void display()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(HotkeyFormatter::display(text), shown);
    }

    void keyCodeNamesAreParsedBackToTheirCodes()
    {
        const auto& names = HotkeyFormatter::keyCodeNames();
        QCOMPARE(names.size(), 65);
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            const auto parsed = ParsedHotkey::parse("Alt+" + it.value());
            QVERIFY2(parsed && parsed->keyCode == it.key(), qPrintable(it.value()));
        }
        QVERIFY(!names.contains(48));  // Tab
        QVERIFY(!names.contains(53));  // Escape
    }

    void capture_data()
    {
        QTest::addColumn<QStringList>("layouts");
        QTest::addColumn<quint32>("nativeKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("characters");
        QTest::addColumn<QString>("captured");  // empty: nothing

        const QStringList usRu { "us", "ru" }, ruUs { "ru", "us" };
        const Qt::KeyboardModifiers alt = Qt::AltModifier, super = Qt::MetaModifier;
        for (const QStringList& layouts : { usRu, ruUs }) {
            const QByteArray in = " in " + layouts.join(',').toLatin1();
            auto row = [&](const char* name) -> QTestData& { return QTest::newRow((name + in).constData()); };
            row("option shift left") << layouts << quint32(leftKey) << (alt | Qt::ShiftModifier) << ""
                                     << "Alt+Shift+Left";
            row("super F5") << layouts << quint32(f5Key) << super << ""
                            << "Command+F5";
            row("Q alone") << layouts << quint32(qKey) << Qt::KeyboardModifiers() << "q"
                           << "";
            row("command tab") << layouts << quint32(tabKey) << super << "\t"
                               << "";
            row("command escape") << layouts << quint32(escapeKey) << super << "\x1b"
                                  << "";
            row("the Q key typing a Cyrillic letter") << layouts << quint32(qKey) << alt << "й"
                                                      << "Alt+Q";
            row("alt and keypad 1") << layouts << quint32(keypad1Key) << alt << "1"
                                    << "";
            row("alt alone") << layouts << quint32(altKey) << alt << ""
                             << "";
            row("all modifiers in order")
                << layouts << quint32(aKey) << (Qt::ShiftModifier | alt | Qt::ControlModifier | super) << ""
                << "Command+Control+Alt+Shift+A";
        }
        // The key is named by the first group where its symbol is a key name.
        QTest::newRow("slash key in us,ru") << usRu << quint32(usSlashKey) << alt << "/"
                                            << "Alt+Slash";
        QTest::newRow("slash key in ru,us") << ruUs << quint32(usSlashKey) << alt << "."
                                            << "Alt+Period";
        // Its period is another key's in the first group, and Period would grab that one.
        QTest::newRow("period key in ru,us") << ruUs << quint32(usPeriodKey) << alt << "ю"
                                             << "";
    }
    void capture()
    {
        QFETCH(QStringList, layouts);
        QFETCH(quint32, nativeKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, characters);
        QFETCH(QString, captured);
        FakeHotkeyRegistrar keys;
        keys.useLayouts(layouts);
        const HotkeyKeyPress press { Qt::Key_unknown, nativeKey, modifiers, characters };
        QCOMPARE(HotkeyFormatter::capture(press, keys).value_or(QString()), captured);
    }
};

QTEST_GUILESS_MAIN(TestHotkeyFormatter)
#include "test_hotkey_formatter.moc"
