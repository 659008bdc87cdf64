#include "ServiceFixture.h"

#include "engine/BackendClientError.h"
#include "fakes/RecordingSystemLog.h"

#include <QJsonArray>
#include <QTcpServer>
#include <QTest>
#include <QUuid>

using namespace mendo;
using namespace std::chrono_literals;
using Answer = MockAiService::Answer;

class TestBackendClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheExactRequest_data();
    void writesTheExactRequest();
    void optionalKeysOnlyWhenGiven();
    void longTextsGoInPiecesAndComeBackJoined();
    void assistantAndReplyAreNeverSplit();
    void statusAndBodyRules_data();
    void statusAndBodyRules();
    void unreadableAnswerDetailGoesToTheLog();
    void cleansDashesAndBlanks();
    void unchangedTranslationIsAskedOnceMore();
    void failsBeforeSendingAnything_data();
    void failsBeforeSendingAnything();
    void networkFailuresHaveClearMessages();
    void credentialsAndServiceAddress();
};

void TestBackendClient::writesTheExactRequest_data()
{
    QTest::addColumn<BackendAction>("action");
    QTest::addColumn<QString>("styleId");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("task");
    QTest::addColumn<QString>("writingStyle");
    QTest::addColumn<QString>("replyTo");

    QTest::newRow("fix") << BackendAction::fix << "original"
                         << "fix"
                         << "fix"
                         << ""
                         << "";
    QTest::newRow("improve built-in") << BackendAction::improve << "professional"
                                      << "style_rewrite"
                                      << "style_rewrite"
                                      << "Professional"
                                      << "";
    QTest::newRow("improve user style") << BackendAction::improve << "custom-0a1b2c3d"
                                        << "style_rewrite"
                                        << "style_rewrite"
                                        << "My Style"
                                        << "";
    QTest::newRow("emoji") << BackendAction::emoji << "emoji"
                           << "emoji"
                           << "emoji"
                           << "Emoji"
                           << "";
    QTest::newRow("translate") << BackendAction::translate << "friendly"
                               << "translate"
                               << "translate"
                               << ""
                               << "";
    QTest::newRow("assistant") << BackendAction::assistant << "friendly"
                               << "assistant"
                               << "assistant"
                               << ""
                               << "";
    QTest::newRow("reply") << BackendAction::reply << "polite"
                           << "chat_reply"
                           << "write_chat_reply"
                           << "Polite"
                           << " the message ";
}

void TestBackendClient::writesTheExactRequest()
{
    QFETCH(BackendAction, action);
    QFETCH(QString, styleId);
    QFETCH(QString, word);
    QFETCH(QString, task);
    QFETCH(QString, writingStyle);
    QFETCH(QString, replyTo);

    ServiceFixture f;
    f.mock.enqueue(Answer::result(QStringLiteral("done")));
    BackendSendOptions options;
    options.targetLanguage = QStringLiteral("English");
    options.keyboardLanguage = QStringLiteral("ru");
    options.userInstruction = QStringLiteral("be brief");
    options.assistantSessionId = QStringLiteral("session-7");
    options.assistantKeepContext = true;
    options.replyTo = QStringLiteral(" the message ");
    const auto outcome = finish(f.client.send(
        QStringLiteral("  Hello there \n"), action, promptStyle(styleId, QStringLiteral(" My Style\n")), options));
    QCOMPARE(outcome.error, QString());
    QCOMPARE(resultOf(outcome), QStringLiteral("done"));

    QCOMPARE(f.mock.requests().size(), 1);
    const auto& request = f.mock.requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QStringLiteral("/macos/ai"));
    QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(request.header("Authorization"), QByteArray("Bearer token-1"));
    QCOMPARE(request.header("x-mendo-device-id"), QByteArray("DEVICE-1"));

    const QString text = QStringLiteral("Hello there");
    const QJsonObject expected {
        { "action", word },
        { "model", "gpt-4.1-mini" },
        { "preferredModel", "gpt-4.1-mini" },
        { "fallbackModel", "gpt-4.1-mini" },
        { "text", text },
        { "sourceText", text },
        { "targetLanguage", "English" },
        { "keyboardLanguage", "ru" },
        { "writingStyle", writingStyle },
        { "styleId", writingStyle },
        { "gender", "" },
        { "voiceGender", "" },
        { "userInstruction", "be brief" },
        { "replyTo", replyTo },
        { "assistantSessionId", "session-7" },
        { "assistantKeepContext", true },
        { "keepContext", true },
        { "mode", word },
        { "task", task },
        { "rewriteMode", word },
        { "replyMode", "chat_reply" },
    };
    QCOMPARE(request.json(), expected);
    // Compact JSON, as the service has always received it.
    QVERIFY(!request.body.contains('\n'));
}

void TestBackendClient::optionalKeysOnlyWhenGiven()
{
    ServiceFixture f;
    f.mock.enqueue({ Answer::result("a"), Answer::result("b") });
    BackendSendOptions options;
    QVERIFY(finish(f.client.send("x", BackendAction::fix, promptStyle("original"), options)).ok());
    options.forceRewrite = false;
    options.styleIntensity = QStringLiteral("maximum");
    QVERIFY(finish(f.client.send("x", BackendAction::fix, promptStyle("original"), options)).ok());

    QVERIFY(!f.body(0).contains("forceRewrite"));
    QVERIFY(!f.body(0).contains("styleIntensity"));
    QCOMPARE(f.body(1).value("forceRewrite"), QJsonValue(false));
    QCOMPARE(f.body(1).value("styleIntensity"), QJsonValue("maximum"));
}

void TestBackendClient::longTextsGoInPiecesAndComeBackJoined()
{
    ServiceFixture f;
    // 2600 characters with an empty line after character 1200.
    const QString first = QString(1200, QLatin1Char('a'));
    const QString second = QString(1398, QLatin1Char('b'));
    f.mock.enqueue({ Answer::result("A"), Answer::result("B") });
    auto outcome = finish(f.client.send(first + "\n\n" + second, BackendAction::fix, promptStyle("original"), {}));
    QCOMPARE(resultOf(outcome), QStringLiteral("A\n\nB"));
    QCOMPARE(f.body(0).value("text").toString(), first);
    QCOMPARE(f.body(1).value("text").toString(), second);

    // Sentences cut after ". " come back with one space, not an empty line
    // inside the paragraph; a piece is sent only after the previous answer.
    f.mock.clear();
    QString sentences;
    while (sentences.size() < 4000)
        sentences += QStringLiteral("This is a sentence. ");
    f.mock.enqueue({ Answer::result("One."), Answer::result("Two.") });
    outcome = finish(f.client.send(sentences, BackendAction::improve, promptStyle("friendly"), {}));
    QCOMPARE(resultOf(outcome), QStringLiteral("One. Two."));
    QVERIFY(f.body(0).value("text").toString().endsWith(QStringLiteral("sentence.")));
    QVERIFY(f.body(1).value("text").toString().startsWith(QStringLiteral("This is")));

    // A failing piece fails the whole call; no partial text comes back.
    f.mock.clear();
    f.mock.enqueue({ Answer::result("A"), Answer::json(500, { { "error", "Overloaded" } }) });
    outcome = finish(
        f.client.send(first + "\n\n" + second + "\n\n" + first, BackendAction::fix, promptStyle("original"), {}));
    QCOMPARE(outcome.error, QStringLiteral("Overloaded"));
    QCOMPARE(f.mock.requests().size(), 2);
}

void TestBackendClient::assistantAndReplyAreNeverSplit()
{
    ServiceFixture f;
    const QString longText = QStringLiteral("Why is the sky blue? ").repeated(200);
    for (BackendAction action : { BackendAction::assistant, BackendAction::reply }) {
        f.mock.clear();
        f.mock.enqueue(Answer::result("Because."));
        QCOMPARE(
            resultOf(finish(f.client.send(longText, action, promptStyle("original"), {}))), QStringLiteral("Because."));
        QCOMPARE(f.mock.requests().size(), 1);
        QCOMPARE(f.body(0).value("text").toString(), longText.trimmed());
    }
}

void TestBackendClient::statusAndBodyRules_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");

    const QString decoding = QStringLiteral("The AI service's answer could not be read.");
    QTest::newRow("500 with error") << 500 << QByteArray(R"({"error":"Model overloaded"})") << "Model overloaded";
    QTest::newRow("404 empty object") << 404 << QByteArray("{}") << "Backend returned HTTP 404.";
    QTest::newRow("500 null error") << 500 << QByteArray(R"({"error":null})") << "Backend returned HTTP 500.";
    QTest::newRow("401 empty error") << 401 << QByteArray(R"({"error":""})") << "";
    QTest::newRow("502 HTML is a decoding error") << 502 << QByteArray("<html>Bad gateway</html>") << decoding;
    QTest::newRow("result of wrong type") << 200 << QByteArray(R"({"result":5})") << decoding;
    QTest::newRow("error of wrong type, any status") << 500 << QByteArray(R"({"error":{"m":1}})") << decoding;
    QTest::newRow("array body") << 200 << QByteArray(R"(["ok"])") << decoding;
    QTest::newRow("result null") << 200 << QByteArray(R"({"result":null})") << "AI returned an empty result.";
    QTest::newRow("result missing") << 200 << QByteArray(R"({"error":"ignored"})") << "AI returned an empty result.";
    QTest::newRow("result blank") << 200 << QByteArray(R"({"result":" \n\t"})") << "AI returned an empty result.";
    QTest::newRow("success judged by result alone") << 201 << QByteArray(R"({"result":"ok","error":"x"})") << "=ok";
}

void TestBackendClient::statusAndBodyRules()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);

    ServiceFixture f;
    Answer answer;
    answer.status = status;
    answer.body = body;
    f.mock.enqueue(answer);
    const auto outcome = finish(f.client.send("text", BackendAction::fix, promptStyle("original"), {}));
    if (expected.startsWith(u'=')) {
        QCOMPARE(resultOf(outcome), expected.mid(1));
    } else {
        QVERIFY(!outcome.ok());
        QVERIFY2(outcome.error.startsWith(expected) && (expected.size() > 0 || outcome.error.isEmpty()),
            qPrintable(outcome.error));
    }
    QCOMPARE(f.mock.requests().size(), 1);
}

void TestBackendClient::unreadableAnswerDetailGoesToTheLog()
{
    ServiceFixture f;
    RecordingSystemLog log;
    BackendClient client { f.mock.aiURL(), f.credentials, f.network, f.clock, f.languages, &log };
    Answer page;
    page.status = 502;
    page.body = "<html><body>Bad gateway</body></html>";
    f.mock.enqueue(page);
    const auto outcome = finish(client.send("text", BackendAction::fix, promptStyle("original"), {}));
    QCOMPARE(outcome.error, QStringLiteral("The AI service's answer could not be read."));
    QCOMPARE(log.lines.size(), 1);
    QVERIFY2(log.lines.first().contains("HTTP 502") && log.lines.first().contains("offset"), qPrintable(log.lines.first()));
}

void TestBackendClient::cleansDashesAndBlanks()
{
    ServiceFixture f;
    f.mock.enqueue(Answer::result(QStringLiteral("\n  Well \u2014 yes \u2013 no - maybe  \n")));
    QCOMPARE(resultOf(finish(f.client.send("x", BackendAction::fix, promptStyle("original"), {}))),
        QStringLiteral("Well - yes - no - maybe"));
}

void TestBackendClient::unchangedTranslationIsAskedOnceMore()
{
    ServiceFixture f;
    BackendSendOptions options;
    options.targetLanguage = QStringLiteral("German");
    options.retryOnUnchangedTranslation = true;
    options.keyboardLanguage = QStringLiteral("en");
    const QString source = QStringLiteral("Say \"hello\"  to   Bob");

    // Other case, quotes and spacing count as unchanged: one repetition,
    // whose answer is taken even when unchanged again.
    f.mock.enqueue({ Answer::result(QStringLiteral("say \u201Chello\u201D to bob")), Answer::result(source) });
    QCOMPARE(
        resultOf(finish(f.client.send(source, BackendAction::translate, promptStyle("translate"), options))), source);
    QCOMPARE(f.mock.requests().size(), 2);
    QCOMPARE(f.body(1).value("text").toString(), source);
    QCOMPARE(f.body(1).value("targetLanguage").toString(), QStringLiteral("German"));
    QCOMPARE(f.body(1).value("keyboardLanguage").toString(), QString());

    // The repetition's failure is the call's failure.
    f.mock.clear();
    f.mock.enqueue({ Answer::result(source), Answer::json(503, {}) });
    QCOMPARE(finish(f.client.send(source, BackendAction::translate, promptStyle("translate"), options)).error,
        QStringLiteral("Backend returned HTTP 503."));

    // Without the flag, or for another action, an unchanged answer stands.
    f.mock.clear();
    options.retryOnUnchangedTranslation = false;
    f.mock.enqueue(Answer::result(source));
    QCOMPARE(
        resultOf(finish(f.client.send(source, BackendAction::translate, promptStyle("translate"), options))), source);
    options.retryOnUnchangedTranslation = true;
    f.mock.enqueue(Answer::result(source));
    QCOMPARE(resultOf(finish(f.client.send(source, BackendAction::fix, promptStyle("original"), options))), source);
    QCOMPARE(f.mock.requests().size(), 2);
}

void TestBackendClient::failsBeforeSendingAnything_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("blank text") << ""
                                << " \n\t\u3000 "
                                << "No text to process.";
    QTest::newRow("not a URL") << "::not a url::"
                               << "hi"
                               << "Backend URL is invalid.";
    QTest::newRow("no host") << "https:///macos/ai"
                             << "hi"
                             << "Backend URL is invalid.";
    // The token would travel in the clear.
    QTest::newRow("plain http to another host") << "http://example.com/macos/ai"
                                                << "hi"
                                                << "Backend URL is invalid.";
    QTest::newRow("other scheme") << "ftp://127.0.0.1/macos/ai"
                                  << "hi"
                                  << "Backend URL is invalid.";
}

void TestBackendClient::failsBeforeSendingAnything()
{
    QFETCH(QString, url);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ServiceFixture f;
    BackendClient client(url.isEmpty() ? f.mock.aiURL() : url, f.credentials, f.network, f.clock, f.languages);
    QCOMPARE(finish(client.send(text, BackendAction::fix, promptStyle("original"), {})).error, expected);
    QCOMPARE(f.mock.requests().size(), 0);
}

void TestBackendClient::networkFailuresHaveClearMessages()
{
    ServiceFixture f;
    // Nobody listens on a port that was just given up.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    BackendClient refused(
        QStringLiteral("http://127.0.0.1:%1/macos/ai").arg(closedPort), f.credentials, f.network, f.clock, f.languages);
    QCOMPARE(finish(refused.send("hi", BackendAction::fix, promptStyle("original"), {})).error,
        QStringLiteral("Could not connect to the server."));

    // A service that never answers times out after 60 s of virtual time.
    Answer silent;
    silent.hold = true;
    f.mock.enqueue(silent);
    auto pending = capture(f.client.send("hi", BackendAction::fix, promptStyle("original"), {}));
    QTRY_COMPARE(f.mock.requests().size(), 1);
    f.clock.advance(59s);
    QCoreApplication::processEvents();
    QVERIFY(!pending.isReady());
    f.clock.advance(1s);
    QCOMPARE(QCoro::waitFor(pending).error, QStringLiteral("The request timed out."));
}

void TestBackendClient::credentialsAndServiceAddress()
{
    MemoryUserDefaults defaults;
    DefaultsAccountCredentials credentials(defaults);
    QCOMPARE(credentials.accessToken(), QString());
    const QString device = credentials.deviceId();
    QVERIFY(!QUuid::fromString(device).isNull());
    QCOMPARE(credentials.deviceId(), device);
    QCOMPARE(defaults.values.value("mendo.account.deviceId").toString(), device);

    QCOMPARE(aiServiceURL(defaults), QStringLiteral(MENDO_SERVICE_URL "/macos/ai"));
    defaults.values.insert("mendo.service.baseURL", QStringLiteral(" http://127.0.0.1:8080/ "));
    QCOMPARE(aiServiceURL(defaults), QStringLiteral("http://127.0.0.1:8080/macos/ai"));
}

QTEST_GUILESS_MAIN(TestBackendClient)
#include "test_backend_client.moc"
