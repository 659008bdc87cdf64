#include "base/Text.h"
#include "engine/BackendText.h"

#include <QTest>

using namespace mendo;

class TestBackendText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cutsAtTheBestPlaceInEachWindow_data();
    void cutsAtTheBestPlaceInEachWindow();
    void everyPieceFitsAndNothingIsLost();
    void degenerateLimits();
    void comparisonForm_data();
    void comparisonForm();
};

namespace {

QString repeat(const QString& unit, qsizetype count)
{
    return unit.repeated(count);
}

// Joins pieces back the way the client joins their results.
QString rejoin(const std::vector<BackendTextPiece>& pieces)
{
    QString text;
    for (const auto& piece : pieces)
        text += piece.text + piece.joinAfter;
    return text;
}

}  // namespace

void TestBackendText::cutsAtTheBestPlaceInEachWindow_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("maxChars");
    QTest::addColumn<QStringList>("pieces");
    QTest::addColumn<QStringList>("joins");

    const QString a1200 = repeat(QStringLiteral("a"), 1200);
    const QString b1398 = repeat(QStringLiteral("b"), 1398);
    QTest::newRow("empty line after 1200 of 2600") << a1200 + QStringLiteral("\n\n") + b1398 << qsizetype(2500)
                                                   << QStringList { a1200, b1398 } << QStringList { "\n\n", "" };
    const QString x3000 = repeat(QStringLiteral("x"), 3000);
    QTest::newRow("hard cut inside a word")
        << x3000 << qsizetype(2500) << QStringList { x3000.left(2500), x3000.mid(2500) } << QStringList { "", "" };
    // The empty line wins over later single line breaks and full stops.
    QTest::newRow("empty line beats line break")
        << QStringLiteral("ab\n\ncd\nef. gh\nij") << qsizetype(12) << QStringList { "ab", "cd\nef. gh\nij" }
        << QStringList { "\n\n", "" };
    QTest::newRow("line break beats full stop") << QStringLiteral("ab. cd\nef. gh ij") << qsizetype(12)
                                                << QStringList { "ab. cd", "ef. gh ij" } << QStringList { "\n", "" };
    QTest::newRow("full stop stays with its sentence")
        << QStringLiteral("One two. Three four. Five six.") << qsizetype(12)
        << QStringList { "One two.", "Three four.", "Five six." } << QStringList { " ", " ", "" };
    QTest::newRow("whitespace around cuts is dropped")
        << QStringLiteral("  ab  \n\n\n  cd ef gh  ") << qsizetype(8) << QStringList { "ab", "cd ef gh" }
        << QStringList { "\n\n", "" };
    QTest::newRow("CRLF line break is one character")
        << QStringLiteral("abc\r\ndefgh") << qsizetype(6) << QStringList { "abc", "defgh" } << QStringList { "\n", "" };
    // A family emoji is one character: a window of 3 holds three of them.
    const QString family = QStringLiteral("👨‍👩‍👧");
    QTest::newRow("graphemes, not code units")
        << repeat(family, 4) << qsizetype(3) << QStringList { repeat(family, 3), family } << QStringList { "", "" };
}

void TestBackendText::cutsAtTheBestPlaceInEachWindow()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, maxChars);
    QFETCH(QStringList, pieces);
    QFETCH(QStringList, joins);

    const auto result = splitTextForBackendPieces(text, maxChars);
    QStringList texts, separators;
    for (const auto& piece : result) {
        texts << piece.text;
        separators << piece.joinAfter;
    }
    QCOMPARE(texts, pieces);
    QCOMPARE(separators, joins);
    QCOMPARE(splitTextForBackend(text, maxChars), pieces);
}

void TestBackendText::everyPieceFitsAndNothingIsLost()
{
    // A long mixed text: paragraphs, lines, sentences and one endless word.
    QString text;
    for (int i = 0; i < 40; ++i) {
        text += QStringLiteral("Paragraph %1 starts here. It has sentences, Привет мир! 👍🏽 and more. ")
                    .arg(i)
                    .repeated(i % 7 + 1);
        text += i % 3 ? QStringLiteral("\n") : QStringLiteral("\n\n");
        if (i == 20)
            text += repeat(QStringLiteral("z"), 700);
    }
    const auto pieces = splitTextForBackendPieces(text, 300);
    QVERIFY(pieces.size() > 10);
    for (const auto& piece : pieces) {
        QVERIFY(text::graphemeCount(piece.text) <= 300);
        QVERIFY(!piece.text.isEmpty());
        QCOMPARE(text::trimmed(piece.text), piece.text);
    }
    // Joining with what each cut removed gives the text back, apart from
    // runs of blanks at the cuts.
    const auto squeeze = [](QString s) { return s.remove(QLatin1Char(' ')).remove(QLatin1Char('\n')); };
    QCOMPARE(squeeze(rejoin(pieces)), squeeze(text));
    QVERIFY(rejoin(pieces).contains(QStringLiteral("starts here. It has")));
}

void TestBackendText::degenerateLimits()
{
    // A text that fits comes back untouched, blanks included.
    QCOMPARE(splitTextForBackend(QStringLiteral("  hi \n"), 6), QStringList { QStringLiteral("  hi \n") });
    // No limit below one character: the text is its only piece, no endless loop.
    QCOMPARE(splitTextForBackend(QStringLiteral("abc"), 0), QStringList { QStringLiteral("abc") });
    QCOMPARE(splitTextForBackend(QStringLiteral("abc"), -5), QStringList { QStringLiteral("abc") });
    // A text longer than the limit but blank yields no pieces.
    QCOMPARE(splitTextForBackend(QStringLiteral("      "), 3), QStringList {});
}

void TestBackendText::comparisonForm_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("spacing and case") << QStringLiteral("  Hello \n\t World  ") << QStringLiteral("hello world");
    QTest::newRow("quotes dropped") << QStringLiteral("\u201CHi\u201D \u00ABthere\"") << QStringLiteral("hi there");
    QTest::newRow("closing guillemet stays") << QStringLiteral("\u00ABПривет\u00BB") << QStringLiteral("привет\u00BB");
    QTest::newRow("no-break space is whitespace") << QStringLiteral("a\u00A0\u00A0b") << QStringLiteral("a b");
}

void TestBackendText::comparisonForm()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(normalizeTranslationCompare(text), expected);
}

QTEST_GUILESS_MAIN(TestBackendText)
#include "test_backend_text.moc"
