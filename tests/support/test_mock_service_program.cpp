// The mock service as the end-to-end tests start it: a separate program that
// says its port, answers from a script file and records every request.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestMockServiceProgram : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answersFromItsScriptAndRecords();
    void refusesABrokenScript();
};

namespace {

struct Reply {
    int status = 0;
    QByteArray body;
};

Reply fetch(QNetworkAccessManager& network, const QByteArray& method, const QString& url, const QByteArray& body = {})
{
    QNetworkRequest request { QUrl(url) };
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    QNetworkReply* reply = network.sendCustomRequest(request, method, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    Reply result { reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll() };
    reply->deleteLater();
    return result;
}

}  // namespace

void TestMockServiceProgram::answersFromItsScriptAndRecords()
{
    QTemporaryDir dir;
    const QString script = dir.filePath("script.json");
    const QString record = dir.filePath("requests.jsonl");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"answers": [
        {"path": "/update", "json": {"version": "2.0"}, "repeat": true},
        {"status": 500, "json": {"error": "Overloaded"}}],
      "fallback": {"status": 404, "body": "nope", "contentType": "text/plain"}})");
    file.close();

    QProcess program;
    program.start(MOCK_SERVICE_PROGRAM, { "--script", script, "--record", record });
    QVERIFY(program.waitForReadyRead(10000));
    const QByteArray line = program.readLine().trimmed();
    QVERIFY2(line.startsWith("port "), line.constData());
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(QString::fromLatin1(line.mid(5)));

    QNetworkAccessManager network;
    const Reply first = fetch(network, "POST", base + "/macos/ai", R"({"text":"hi"})");
    QCOMPARE(first.status, 500);
    QCOMPARE(first.body, QByteArray(R"({"error":"Overloaded"})"));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(fetch(network, "GET", base + "/update").body, QByteArray(R"({"version":"2.0"})"));
    const Reply unscripted = fetch(network, "POST", base + "/macos/ai", "{}");
    QCOMPARE(unscripted.status, 404);
    QCOMPARE(unscripted.body, QByteArray("nope"));

    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QFile log(record);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    const QJsonObject recorded = QJsonDocument::fromJson(lines.first()).object();
    QCOMPARE(recorded.value("method").toString(), QStringLiteral("POST"));
    QCOMPARE(recorded.value("path").toString(), QStringLiteral("/macos/ai"));
    QCOMPARE(recorded.value("body").toString(), QStringLiteral(R"({"text":"hi"})"));
    QCOMPARE(recorded.value("headers").toObject().value("content-type").toString(), QStringLiteral("application/json"));
}

void TestMockServiceProgram::refusesABrokenScript()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("script.json"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"answers": [{"status": 200, "body": {"result": "not a string"}}]})");
    file.close();
    QProcess program;
    program.start(MOCK_SERVICE_PROGRAM, { "--script", file.fileName() });
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardError().contains("\"body\" must be a string"));
}

QTEST_GUILESS_MAIN(TestMockServiceProgram)
#include "test_mock_service_program.moc"
