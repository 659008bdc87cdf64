#include "base/Async.h"
#include "engine/BackendClientError.h"
#include "fakes/FakeClock.h"
#include "support/MockAiService.h"
#include "updates/AppBuildConfiguration.h"
#include "updates/AppUpdateClient.h"
#include "updates/AppUpdateClientError.h"

#include <QNetworkAccessManager>
#include <QTest>
#include <QUrlQuery>

using namespace mendo;
using namespace std::chrono_literals;
using Answer = MockAiService::Answer;

class TestUpdateClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void buildNumbers_data();
    void buildNumbers();
    void derivations_data();
    void derivations();
    void localizedTexts();
    void statuses_data();
    void statuses();
    void asksWithTheQueryInOrder();
    void heldAnswerTimesOut();
    void refusesAddressesThatAreNotSafe_data();
    void refusesAddressesThatAreNotSafe();
};

namespace {

template <class T> Outcome<T> finish(Task<T>&& task)
{
    return QCoro::waitFor(capture(std::move(task)));
}

// Over the mock service on loopback, on virtual time.
struct Rig {
    FakeClock clock;
    MockAiService mock { clock };
    bool listening = mock.listen();
    QNetworkAccessManager network;
    AppUpdateClient client { mock.baseURL(), network, clock };
};

const QDateTime checkedAt(QDate(2026, 12, 1), QTime(9, 30), Qt::UTC);

}  // namespace

void TestUpdateClient::buildNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");  // -1: does not parse
    QTest::newRow("digits") << "42" << qint64(42);
    QTest::newRow("plus sign") << "+7" << qint64(7);
    QTest::newRow("minus sign") << "-3" << qint64(-3);
    QTest::newRow("largest") << "9223372036854775807" << std::numeric_limits<qint64>::max();
    QTest::newRow("overflow") << "9223372036854775808" << qint64(-1);
    QTest::newRow("decimal") << "1.2" << qint64(-1);
    QTest::newRow("letters") << "abc" << qint64(-1);
    QTest::newRow("space") << " 5" << qint64(-1);
    QTest::newRow("sign alone") << "+" << qint64(-1);
    QTest::newRow("empty") << "" << qint64(-1);
}

void TestUpdateClient::buildNumbers()
{
    QFETCH(QString, text);
    QFETCH(qint64, value);
    const auto parsed = AppBuildConfiguration::parseBuildNumber(text);
    QCOMPARE(parsed.value_or(-1), value);
}

// Each row: the answer's JSON, then what the snapshot says for a running
// build of 100 ("-" where the whole answer fails to decode).
void TestUpdateClient::derivations_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, const char* json, const char* expected) {
        QTest::newRow(name) << QByteArray(json) << QString::fromUtf8(expected);
    };
    row("empty object", "{}", "available=0 force=0 build=- url=- title=-");
    row("update_available false wins", R"({"update_available":false,"latest_build":200})",
        "available=0 force=0 build=200 url=- title=-");
    row("latest build above", R"({"latest_build":101})", "available=1 force=0 build=101 url=- title=-");
    row("latest build equal", R"({"latest_build":100})", "available=0 force=0 build=100 url=- title=-");
    row("minimum above", R"({"min_supported_build":101})", "available=0 force=1 build=- url=- title=-");
    row("minimum equal", R"({"min_supported_build":100})", "available=0 force=0 build=- url=- title=-");
    row("force_update given", R"({"force_update":false,"min_supported_build":500})",
        "available=0 force=0 build=- url=- title=-");
    row("nulls are absent", R"({"latest_build":null,"title":null,"ok":null})",
        "available=0 force=0 build=- url=- title=-");
    row("https download", R"({"download_url":"https://mendo.ai/get/MendoAI.tar.gz"})",
        "available=0 force=0 build=- url=https://mendo.ai/get/MendoAI.tar.gz title=-");
    row("download that does not parse", R"({"download_url":"https://exa mple.com/%%"})",
        "available=0 force=0 build=- url=- title=-");
    row("download to a local file", R"({"download_url":"file:///etc/passwd"})",
        "available=0 force=0 build=- url=- title=-");
    row("download over plain http", R"({"download_url":"http://mendo.ai/get"})",
        "available=0 force=0 build=- url=- title=-");
    row("title as plain text", R"({"title":"New!"})", "available=0 force=0 build=- url=- title=New!");
    row("other keys ignored", R"({"channel":5,"latest_build":7})", "available=0 force=0 build=7 url=- title=-");
    row("title as a number", R"({"title":5})", "-");
    row("title with a number", R"({"title":{"en":5}})", "-");
    row("build as text", R"({"latest_build":"101"})", "-");
    row("build with a fraction", R"({"latest_build":101.5})", "-");
    row("build beyond 64 bits", R"({"latest_build":92233720368547758070})", "-");
    row("boolean as number", R"({"ok":1})", "-");
    row("not an object", R"(["ok"])", "-");
    row("HTML", "<html>Bad gateway</html>", "-");
}

void TestUpdateClient::derivations()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    const auto response = AppUpdateResponse::decode(json);
    if (expected == u"-") {
        QVERIFY(!response);
        return;
    }
    QVERIFY(response);
    const AppUpdateSnapshot s = response->snapshot(UiLanguage::en, checkedAt, 100);
    QCOMPARE(s.checkedAt, std::optional(checkedAt));
    const QString described = QStringLiteral("available=%1 force=%2 build=%3 url=%4 title=%5")
                                  .arg(int(s.updateAvailable))
                                  .arg(int(s.forceUpdate))
                                  .arg(s.latestBuild ? QString::number(*s.latestBuild) : QStringLiteral("-"))
                                  .arg(s.downloadURL ? s.downloadURL->toString() : QStringLiteral("-"))
                                  .arg(s.title.value_or(QStringLiteral("-")));
    QCOMPARE(described, expected);
}

void TestUpdateClient::localizedTexts()
{
    const auto snapshot = [](const char* json, UiLanguage language) {
        return AppUpdateResponse::decode(json)->snapshot(language, checkedAt, 1);
    };
    const char* both = R"({"message":{"en":"Faster","ru":"Быстрее"},"release_notes":"Notes"})";
    QCOMPARE(snapshot(both, UiLanguage::en).message, std::optional(QStringLiteral("Faster")));
    QCOMPARE(snapshot(both, UiLanguage::ru).message, std::optional(QString::fromUtf8("Быстрее")));
    QCOMPARE(snapshot(both, UiLanguage::ru).releaseNotes, std::optional(QStringLiteral("Notes")));
    // Only English: English for Russian too. An empty Russian text is a text.
    QCOMPARE(snapshot(R"({"title":{"en":"Hi"}})", UiLanguage::ru).title, std::optional(QStringLiteral("Hi")));
    QCOMPARE(snapshot(R"({"title":{"en":"Hi","ru":""}})", UiLanguage::ru).title, std::optional(QString("")));
    QCOMPARE(snapshot(R"({"title":{}})", UiLanguage::en).title, std::nullopt);
}

void TestUpdateClient::statuses_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");  // "=" for success, else the error's text
    QTest::newRow("ok false without error") << 200 << QByteArray(R"({"ok":false})") << "Update check failed.";
    QTest::newRow("ok false with error") << 200 << QByteArray(R"({"ok":false,"error":"Channel closed"})")
                                         << "Channel closed";
    QTest::newRow("ok false, empty error") << 200 << QByteArray(R"({"ok":false,"error":""})") << "";
    QTest::newRow("ok true") << 200 << QByteArray(R"({"ok":true})") << "=";
    QTest::newRow("2xx not an answer") << 200 << QByteArray("<html/>") << "The update answer could not be read.";
    QTest::newRow("503 with error") << 503 << QByteArray(R"({"error":"Maintenance"})") << "Maintenance";
    QTest::newRow("503 empty error") << 503 << QByteArray(R"({"error":""})") << "Update server returned HTTP 503.";
    QTest::newRow("503 HTML") << 503 << QByteArray("<html>busy</html>") << "Update server returned HTTP 503.";
    QTest::newRow("503 no body") << 503 << QByteArray() << "Update server returned HTTP 503.";
    QTest::newRow("over 1 MiB") << 200 << QByteArray(R"({"title":")") + QByteArray(2 << 20, 'x') + "\"}"
                                << "The update answer could not be read.";
}

void TestUpdateClient::statuses()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    Rig rig;
    QVERIFY(rig.listening);
    Answer answer;
    answer.status = status;
    answer.body = body;
    rig.mock.enqueue(answer);
    const auto outcome = finish(rig.client.check(UiLanguage::en));
    if (expected == u"=")
        QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    else
        QCOMPARE(outcome.error, expected);
}

void TestUpdateClient::asksWithTheQueryInOrder()
{
    Rig rig;
    Answer answer = Answer::json(200, { { "latest_build", 3 } });
    answer.path = QString::fromLatin1(MockAiService::updatePath);
    rig.mock.enqueue(answer);
    const auto outcome = finish(rig.client.check(UiLanguage::ru));
    QVERIFY2(outcome.ok(), qPrintable(outcome.error));
    QCOMPARE(outcome.value->checkedAt, std::optional(rig.clock.wallNow()));

    QCOMPARE(rig.mock.requests().size(), 1);
    const auto& request = rig.mock.requests().first();
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(request.body, QByteArray());
    const QUrl url(QStringLiteral("http://host") + request.path);
    QCOMPARE(url.path(), QStringLiteral("/macos/app/version"));
    QList<QPair<QString, QString>> expected {
        { "channel", "release" },
        { "platform", "macos" },
        { "current_version", AppBuildConfiguration::currentVersion() },
        { "current_build", QString::number(AppBuildConfiguration::currentBuild()) },
        { "bundle_id", "ai.mendo.MendoAI" },
        { "locale", "ru" },
    };
    QCOMPARE(QUrlQuery(url).queryItems(), expected);
}

void TestUpdateClient::heldAnswerTimesOut()
{
    Rig rig;
    Answer held;
    held.hold = true;
    rig.mock.enqueue(held);
    auto task = capture(rig.client.check(UiLanguage::en));
    QTRY_COMPARE(rig.mock.requests().size(), 1);
    rig.clock.advance(19s);
    QCoreApplication::processEvents();
    QVERIFY(!task.isReady());
    rig.clock.advance(1s);
    const auto outcome = QCoro::waitFor(std::move(task));
    QCOMPARE(outcome.error, NetworkError::timedOut().description());
}

void TestUpdateClient::refusesAddressesThatAreNotSafe_data()
{
    QTest::addColumn<QString>("base");
    QTest::newRow("plain http elsewhere") << "http://updates.example.com";
    QTest::newRow("no scheme") << "updates.example.com";
    QTest::newRow("empty") << "";
    QTest::newRow("a file") << "file:///tmp";
}

void TestUpdateClient::refusesAddressesThatAreNotSafe()
{
    QFETCH(QString, base);
    Rig rig;
    AppUpdateClient client { base, rig.network, rig.clock };
    QCOMPARE(finish(client.check(UiLanguage::en)).error, QStringLiteral("Update URL is invalid."));
    QCOMPARE(rig.mock.requests().size(), 0);
}

QTEST_GUILESS_MAIN(TestUpdateClient)
#include "test_update_client.moc"
