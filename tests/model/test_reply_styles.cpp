#include "model/AIReplyStyleLibrary.h"

#include <QTest>

using namespace mendo;

class TestReplyStyles : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void restored();
    void styleWords_data();
    void styleWords();
    void jsonCoding();
};

void TestReplyStyles::restored()
{
    const auto& builtIns = AIReplyStyleLibrary::defaultStyles();
    QCOMPARE(AIReplyStyleLibrary::restoredStyles({}), builtIns);
    QCOMPARE(builtIns.at(0).hotkey, QStringLiteral("Command+Alt+1"));
    QCOMPARE(builtIns.at(13).prompt,
        QStringLiteral("Write an empathetic, supportive reply that acknowledges the other person's feelings."));

    const AIReplyStyle userA { "custom-reply-0000000a", "A", "a", "Not assigned" };
    const AIReplyStyle userB { "custom-reply-0000000b", "B", "b", "Alt+B" };
    const AIReplyStyle polite { "polite", "", "Be gentle.", "" };
    const AIReplyStyle secondPolite { "polite", "Other", "other", "Alt+O" };
    const auto restored = AIReplyStyleLibrary::restoredStyles({ userB, polite, userA, secondPolite });

    QCOMPARE(restored.size(), 19);
    QCOMPARE(restored.at(3), (AIReplyStyle { "polite", QString::fromUtf8("Вежливо"), "Be gentle.", "Command+Alt+3" }));
    QCOMPARE(restored.at(0), builtIns.at(0));
    QCOMPARE(restored.at(17), userB);
    QCOMPARE(restored.at(18), userA);
}

void TestReplyStyles::styleWords_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("word");
    QTest::newRow("original") << "original"
                              << "Friendly";
    QTest::newRow("translate") << "translate"
                               << "Friendly";
    QTest::newRow("emoji") << "emoji"
                           << "Emoji";
    QTest::newRow("social") << "social"
                            << "Social";
    QTest::newRow("user") << "custom-reply-01234567"
                          << "";
    QTest::newRow("other case") << "Polite"
                                << "";
}

void TestReplyStyles::styleWords()
{
    QFETCH(QString, id);
    QFETCH(QString, word);
    QCOMPARE(AIReplyStyleLibrary::backendStyleName(AIReplyStyle { id, "n", "p", "h" }), word);
}

void TestReplyStyles::jsonCoding()
{
    const AIReplyStyle style { "custom-reply-0a0b0c0d", "N", "P", "Alt+1" };
    QCOMPARE(AIReplyStyle::fromJson(style.toJson()), style);
    QJsonObject missing = style.toJson();
    missing.remove("hotkey");
    QVERIFY(!AIReplyStyle::fromJson(missing));
    QVERIFY(!AIReplyStyle::fromJson(QJsonValue("text")));
}

QTEST_GUILESS_MAIN(TestReplyStyles)
#include "test_reply_styles.moc"
