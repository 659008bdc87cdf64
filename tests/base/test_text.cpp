#include "base/Text.h"

#include <QTest>

using namespace mendo;

class TestText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void graphemeCount_data();
    void graphemeCount();
    void prefixAndMidNeverSplitACharacter();
    void searchOnlyMatchesWholeCharacters();
    void trimsUnicodeWhiteSpace_data();
    void trimsUnicodeWhiteSpace();
    void nfcAndUnicodeRegex();
};

static const QString family = QString::fromUtf8("👨‍👩‍👧‍👦");   // ZWJ sequence
static const QString flag = QString::fromUtf8("🇺🇦");           // two regional indicators
static const QString thumb = QString::fromUtf8("👍🏽");           // skin tone modifier
static const QString eAcute = QStringLiteral("e\u0301");       // combining mark

void TestText::graphemeCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("count");
    QTest::newRow("empty") << QString() << qsizetype(0);
    QTest::newRow("latin") << QStringLiteral("hello") << qsizetype(5);
    QTest::newRow("cyrillic") << QString::fromUtf8("привет") << qsizetype(6);
    QTest::newRow("zwj family") << family << qsizetype(1);
    QTest::newRow("two flags") << flag + flag << qsizetype(2);
    QTest::newRow("skin tone") << thumb << qsizetype(1);
    QTest::newRow("combining") << eAcute + eAcute << qsizetype(2);
    QTest::newRow("crlf is one") << QStringLiteral("a\r\nb") << qsizetype(3);
    QTest::newRow("lf cr is two") << QStringLiteral("\n\r") << qsizetype(2);
    QTest::newRow("mixed") << QString::fromUtf8("Да ") + family + flag + eAcute << qsizetype(6);
    // Letters next to what joins them, in runs long enough to be walked fast.
    QTest::newRow("mark after a letter run") << QStringLiteral("abcdee\u0301fg") << qsizetype(8);
    QTest::newRow("cyrillic titlo") << QStringLiteral("абв\u0483гд") << qsizetype(5);
    QTest::newRow("zwj after a letter") << QStringLiteral("ab\u200Dcd") << qsizetype(4);
    QTest::newRow("spacing mark after latin") << QStringLiteral("ab\u0903c") << qsizetype(3);
    QTest::newRow("tab and newlines") << QStringLiteral("a\tb\nc\r\nd\r") << qsizetype(8);
    QTest::newRow("soft hyphen then mark") << QStringLiteral("a\u00AD\u0301b") << qsizetype(4);
    QTest::newRow("letters around a flag") << QStringLiteral("ab") + flag + QStringLiteral("cd") << qsizetype(5);
}

void TestText::graphemeCount()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, count);
    QCOMPARE(text::graphemeCount(text), count);
    QCOMPARE(qsizetype(text::graphemeBoundaries(text).size()), count + 1);
}

void TestText::prefixAndMidNeverSplitACharacter()
{
    const QString text = family + QStringLiteral("ab\r\n") + flag + thumb + eAcute;
    QCOMPARE(text::graphemePrefix(text, 1), family);
    QCOMPARE(text::graphemePrefix(text, 4), family + QStringLiteral("ab\r\n"));
    QCOMPARE(text::graphemePrefix(text, 100), text);
    QCOMPARE(text::graphemePrefix(text, 0), QString());
    QCOMPARE(text::graphemeMid(text, 4, 2), flag + thumb);
    QCOMPARE(text::graphemeMid(text, 6), eAcute);
    QCOMPARE(text::graphemeMid(text, 9), QString());
}

void TestText::searchOnlyMatchesWholeCharacters()
{
    const QString text = QStringLiteral("caf") + eAcute + QStringLiteral(" e ") + flag;
    // The "e" inside "é" is not a character of its own.
    QCOMPARE(text::indexOf(text, QStringLiteral("e")), text.indexOf(QStringLiteral(" e ")) + 1);
    QVERIFY(text::contains(text, eAcute));
    QVERIFY(text::contains(text, QStringLiteral("CAF"), Qt::CaseInsensitive));
    // Half of a flag is not found.
    QCOMPARE(text::indexOf(text, flag.left(2)), -1);
    QCOMPARE(text::indexOf(family, QString::fromUtf8("👩")), -1);
}

void TestText::trimsUnicodeWhiteSpace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("ascii") << QStringLiteral(" \t\r\n hi \n") << QStringLiteral("hi");
    QTest::newRow("nbsp, ideographic, line separator")
        << QStringLiteral("\u00A0\u3000\u2028hi\u2029\u202F\u0085") << QStringLiteral("hi");
    QTest::newRow("zero-width space stays") << QStringLiteral("\u200Bhi") << QStringLiteral("\u200Bhi");
    QTest::newRow("inner kept") << QStringLiteral(" a \n b ") << QStringLiteral("a \n b");
    QTest::newRow("only blanks") << QStringLiteral(" \r\n\u00A0") << QString();
}

void TestText::trimsUnicodeWhiteSpace()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text::trimmed(text), expected);
    QCOMPARE(text::isBlank(text), expected.isEmpty());
}

void TestText::nfcAndUnicodeRegex()
{
    QCOMPARE(text::nfc(eAcute), QStringLiteral("\u00E9"));
    QCOMPARE(text::graphemeCount(text::nfc(eAcute)), 1);
    const auto spaces = text::unicodeRegex(QStringLiteral("\\s+"));
    QCOMPARE(QStringLiteral("a\u00A0\u2003b").replace(spaces, QStringLiteral(" ")), QStringLiteral("a b"));
    QVERIFY(text::unicodeRegex(QStringLiteral("^\\w+$")).match(QString::fromUtf8("привет")).hasMatch());
}

QTEST_GUILESS_MAIN(TestText)
#include "test_text.moc"
