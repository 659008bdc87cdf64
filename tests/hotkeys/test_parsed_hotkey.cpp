#include "hotkeys/ParsedHotkey.h"

#include <QtTest>

using namespace mendo;

class TestParsedHotkey : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The expected signature is empty for a text that must not parse.
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("signature");
        QTest::newRow("all four modifiers' order") << "Control+Alt+Shift+Left" << "123:1:0:1:1";
        QTest::newRow("blanks and mixed case") << " ctrl + ALT +\tq\n" << "12:1:0:0:1";
        QTest::newRow("Option is Alt") << "Option+Q" << "12:1:0:0:0";
        QTest::newRow("option in lower case") << "option+q" << "12:1:0:0:0";
        QTest::newRow("symbol pieces") << "⌘+⇧+K" << "40:0:1:1:0";
        QTest::newRow("alt symbol") << "⌥+Q" << "12:1:0:0:0";
        QTest::newRow("control symbol") << "⌃+F5" << "96:0:0:0:1";
        QTest::newRow("cmd word") << "Cmd+Shift+F5" << "96:0:1:1:0";
        QTest::newRow("key alone") << "F5" << "96:0:0:0:0";
        QTest::newRow("repeated modifier") << "Shift+Shift+A" << "0:0:0:1:0";
        QTest::newRow("enter") << "enter" << "36:0:0:0:0";
        QTest::newRow("Return") << "Alt+Return" << "36:1:0:0:0";
        QTest::newRow("RETURN") << "Alt+RETURN" << "36:1:0:0:0";
        QTest::newRow("esc") << "esc" << "53:0:0:0:0";
        QTest::newRow("Escape") << "Escape" << "53:0:0:0:0";
        QTest::newRow("punctuation as character") << "Alt+;" << "41:1:0:0:0";
        QTest::newRow("punctuation as word") << "Alt+Semicolon" << "41:1:0:0:0";
        QTest::newRow("backslash") << "Ctrl+\\" << "42:0:0:0:1";
        QTest::newRow("digit") << "Alt+4" << "21:1:0:0:0";
        QTest::newRow("F12") << "F12" << "111:0:0:0:0";

        QTest::newRow("plus key cannot be bound") << "Alt++" << "";
        QTest::newRow("modifiers only") << "Ctrl+Alt" << "";
        QTest::newRow("key first") << "Q+Ctrl" << "";
        QTest::newRow("unknown modifier") << "Hyper+Q" << "";
        QTest::newRow("symbols run together") << "⌘⇧K" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("blanks") << "  \t " << "";
        QTest::newRow("only separators") << "+ + +" << "";
        QTest::newRow("sentinel") << "Not assigned" << "";
        QTest::newRow("key outside the table") << "Alt+F13" << "";
        QTest::newRow("other layout's letter") << "Alt+Ф" << "";
        QTest::newRow("modifier left open") << "Alt+" << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, signature);
        const auto parsed = ParsedHotkey::parse(text);
        if (signature.isEmpty()) {
            QVERIFY2(!parsed, qPrintable(parsed ? parsed->canonicalSignature() : QString()));
        } else {
            QVERIFY(parsed);
            QCOMPARE(parsed->canonicalSignature(), signature);
        }
    }

    void modifierMask()
    {
        QCOMPARE(ParsedHotkey::parse("F1")->modifierMask(), 0u);
        QCOMPARE(ParsedHotkey::parse("Command+Shift+Alt+Control+F1")->modifierMask(), 0x1B00u);
        QCOMPARE(ParsedHotkey::parse("Alt+Q")->chord(), (HotkeyChord{12, 0x800}));
    }

    void sentinelInAnyCase()
    {
        for (const char* text : {"Not assigned", "not assigned", "NOT ASSIGNED"})
            QVERIFY(ParsedHotkey::isNotAssigned(text));
        for (const char* text : {"", "Not  assigned", " Not assigned"})
            QVERIFY(!ParsedHotkey::isNotAssigned(text));
    }
};

QTEST_GUILESS_MAIN(TestParsedHotkey)
#include "test_parsed_hotkey.moc"
