#include "ServiceFixture.h"

#include "model/AIReplyStyleLibrary.h"
#include "platform/LanguageDetector.h"

#include <QTest>

using namespace mendo;
using Answer = MockAiService::Answer;

class TestReply : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void judgesAnswers_data();
    void judgesAnswers();
    void instructionOnlyWhenChanged();
    void composesTheReplyRequest();
    void asksOnceMoreThenGivesUp();
    void detectedLanguageOnTheWire();
};

namespace {

QString words(const QString& prefix, int from, int to, bool reversed = false)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << prefix + QString::number(i);
    if (reversed)
        std::reverse(list.begin(), list.end());
    return list.join(u' ');
}

AIReplyStyle builtIn(const QString& id)
{
    for (const auto& style : AIReplyStyleLibrary::defaultStyles())
        if (style.id == id)
            return style;
    return {};
}

}  // namespace

void TestReply::judgesAnswers_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("bad");

    QTest::newRow("a real reply") << "Sure, see you at six!"
                                  << "Can we meet tomorrow?" << false;
    QTest::newRow("nothing but punctuation") << "... !!"
                                             << "Can we meet?" << true;
    QTest::newRow("instruction echoed") << "Here is the REPLY-instruction: be nice"
                                        << "Can we meet?" << true;
    QTest::newRow("Russian marker") << "Сообщение из чата: привет"
                                    << "Привет" << true;
    QTest::newRow("message in other case and punctuation") << "CAN we meet... tomorrow"
                                                           << "Can we meet tomorrow?" << true;
    QTest::newRow("message inside the answer") << "Sure. Can we meet tomorrow? Yes"
                                               << "can we meet tomorrow" << true;
    const QString longSource = QStringLiteral("We should talk about the quarterly numbers before the board meeting "
                                              "next week, ideally on Tuesday afternoon");
    QTest::newRow("first 80 characters of a long message")
        << "Reply: " + longSource.left(85) + " maybe Friday" << longSource << true;
    // 41 of 50 distinct words shared: exactly 0.82 is still a reply.
    QTest::newRow("overlap exactly 0.82")
        << words("x", 1, 9) + " " + words("w", 1, 41, true) << words("w", 1, 50) << false;
    QTest::newRow("overlap 0.9") << "b1 " + words("a", 1, 9, true) << words("a", 1, 10) << true;
    QTest::newRow("short texts are not judged by overlap") << "see you soon"
                                                           << "soon you see" << false;
    // An emoji-only message has no words: no answer "contains" it.
    QTest::newRow("reply to an emoji") << "Thanks, glad you like it!"
                                       << "👍" << false;
    // A presentation selector or skin tone leaves a mark or symbol behind,
    // still no word of the message.
    QTest::newRow("heart with its selector") << "Love you too ❤️"
                                             << "❤️" << false;
    QTest::newRow("smile with its selector") << "☺️ Same to you!"
                                             << "☺️" << false;
    QTest::newRow("thumb with a skin tone") << "Great, 👍🏽 see you then"
                                            << "👍🏽" << false;
}

void TestReply::judgesAnswers()
{
    QFETCH(QString, reply);
    QFETCH(QString, source);
    QFETCH(bool, bad);
    QCOMPARE(looksLikeBadReply(reply, source), bad);
}

void TestReply::instructionOnlyWhenChanged()
{
    AIReplyStyle original = builtIn("original");
    QVERIFY(!original.prompt.isEmpty());
    original.prompt = "  " + original.prompt + "\n";
    QCOMPARE(BackendClient::replyUserInstruction(original), QString());
    original.prompt = QStringLiteral(" Answer like a pirate. ");
    QCOMPARE(BackendClient::replyUserInstruction(original), QStringLiteral("Answer like a pirate."));
    AIReplyStyle user { QStringLiteral("custom-reply-0000abcd"), QStringLiteral("Mine"), builtIn("friendly").prompt,
        {} };
    QCOMPARE(BackendClient::replyUserInstruction(user), builtIn("friendly").prompt);
}

void TestReply::composesTheReplyRequest()
{
    ServiceFixture f;
    f.languages.language = QStringLiteral("de");
    const QString message = QStringLiteral("  Wie geht es dir?\n");

    f.mock.enqueue({ Answer::result("Gut, danke!"), Answer::result("¡Muy bien!") });
    QCOMPARE(resultOf(finish(f.client.sendReply(message, builtIn("original"), QStringLiteral("Spanish")))),
        QStringLiteral("Gut, danke!"));
    QCOMPARE(resultOf(finish(f.client.sendReply(message, builtIn("translate"), QStringLiteral("Spanish")))),
        QStringLiteral("¡Muy bien!"));

    const QJsonObject plain = f.body(0);
    QCOMPARE(plain.value("action").toString(), QStringLiteral("chat_reply"));
    QCOMPARE(plain.value("task").toString(), QStringLiteral("write_chat_reply"));
    QCOMPARE(plain.value("text").toString(), QStringLiteral("Wie geht es dir?"));
    QCOMPARE(plain.value("replyTo").toString(), message);
    QCOMPARE(plain.value("writingStyle").toString(), QStringLiteral("Friendly"));
    QCOMPARE(plain.value("userInstruction").toString(), QString());
    QCOMPARE(plain.value("targetLanguage").toString(), QString());
    QCOMPARE(plain.value("keyboardLanguage").toString(), QStringLiteral("de"));
    QVERIFY(!plain.contains("forceRewrite"));
    QCOMPARE(f.languages.asked.first(), message);

    const QJsonObject translating = f.body(1);
    QCOMPARE(translating.value("targetLanguage").toString(), QStringLiteral("Spanish"));
    QCOMPARE(translating.value("keyboardLanguage").toString(), QStringLiteral("Spanish"));
}

void TestReply::asksOnceMoreThenGivesUp()
{
    ServiceFixture f;
    const QString message = QStringLiteral("Are you coming tonight?");

    // An echo is followed by one forced rewrite.
    f.mock.enqueue({ Answer::result("are you coming TONIGHT"), Answer::result("Yes, on my way!") });
    QCOMPARE(resultOf(finish(f.client.sendReply(message, builtIn("friendly"), "English"))),
        QStringLiteral("Yes, on my way!"));
    QCOMPARE(f.mock.requests().size(), 2);
    QVERIFY(!f.body(0).contains("forceRewrite"));
    QCOMPARE(f.body(1).value("forceRewrite"), QJsonValue(true));
    QCOMPARE(f.body(1).value("styleIntensity"), QJsonValue("maximum"));

    // Two echoes: a fixed message, never the echo.
    f.mock.clear();
    f.mock.enqueue({ Answer::result(message), Answer::result("Reply instruction: answer briefly") });
    QCOMPARE(finish(f.client.sendReply(message, builtIn("friendly"), "English")).error,
        QStringLiteral("AI Reply returned the original message instead of a reply."));

    // A failed attempt ends it at once.
    f.mock.clear();
    f.mock.enqueue(Answer::json(500, { { "error", "Quota exceeded" } }));
    QCOMPARE(
        finish(f.client.sendReply(message, builtIn("friendly"), "English")).error, QStringLiteral("Quota exceeded"));
    QCOMPARE(f.mock.requests().size(), 1);
}

void TestReply::detectedLanguageOnTheWire()
{
    ServiceFixture f;
    const Cld2LanguageDetector detector;
    BackendClient client { f.mock.aiURL(), f.credentials, f.network, f.clock, detector };
    f.mock.enqueue(Answer::result(QString::fromUtf8("Добре, ще се видим утре сутринта.")));
    const QString message
        = QString::fromUtf8("Здравейте, ще дойдете ли утре на срещата в офиса? Трябва да обсъдим новия проект.");
    QVERIFY(finish(client.sendReply(message, builtIn("friendly"), QStringLiteral("English"))).ok());
    QCOMPARE(f.body(0).value("keyboardLanguage").toString(), QStringLiteral("bg"));
}

QTEST_GUILESS_MAIN(TestReply)
#include "test_reply.moc"
