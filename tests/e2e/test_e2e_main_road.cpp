// The user's whole promise, with the real mendo: select text in another
// application, press a hotkey, and the text is replaced by the service's
// answer (or converted locally for a wrong layout), with the clipboard the
// user had given back.

#include "e2e/MendoSession.h"

#include <QJsonDocument>
#include <QStandardPaths>
#include <QTest>
#include <QUrlQuery>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::OtherApp;

namespace {

constexpr int kActionTimeoutMs = 20000;

// The request body the service gets for one text action.
QJsonObject wireBody(const QString& action, const QString& style, const QString& text, const QString& targetLanguage)
{
    const QString model = QStringLiteral("gpt-4.1-mini");
    return {
        { QStringLiteral("action"), action },
        { QStringLiteral("model"), model },
        { QStringLiteral("preferredModel"), model },
        { QStringLiteral("fallbackModel"), model },
        { QStringLiteral("text"), text },
        { QStringLiteral("sourceText"), text },
        { QStringLiteral("targetLanguage"), targetLanguage },
        { QStringLiteral("keyboardLanguage"), QString() },
        { QStringLiteral("writingStyle"), style },
        { QStringLiteral("styleId"), style },
        { QStringLiteral("gender"), QString() },
        { QStringLiteral("voiceGender"), QString() },
        { QStringLiteral("userInstruction"), QString() },
        { QStringLiteral("replyTo"), QString() },
        { QStringLiteral("assistantSessionId"), QString() },
        { QStringLiteral("assistantKeepContext"), false },
        { QStringLiteral("keepContext"), false },
        { QStringLiteral("mode"), action },
        { QStringLiteral("task"), action },
        { QStringLiteral("rewriteMode"), action },
        { QStringLiteral("replyMode"), QStringLiteral("chat_reply") },
    };
}

QString pretty(const QJsonObject& object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// The one request of an action: to the AI endpoint, with the account's
// headers and exactly `body`.
void verifyOneRequest(const QList<QJsonObject>& requests, const QJsonObject& body)
{
    QCOMPARE(requests.size(), 1);
    const QJsonObject& request = requests.first();
    QCOMPARE(request.value(QStringLiteral("method")).toString(), QStringLiteral("POST"));
    QCOMPARE(request.value(QStringLiteral("path")).toString(), QStringLiteral("/macos/ai"));
    const QJsonObject headers = request.value(QStringLiteral("headers")).toObject();
    QCOMPARE(headers.value(QStringLiteral("content-type")).toString(), QStringLiteral("application/json"));
    QCOMPARE(headers.value(QStringLiteral("authorization")).toString(), QStringLiteral("Bearer ") + MendoSession::accessToken);
    QCOMPARE(headers.value(QStringLiteral("x-mendo-device-id")).toString(), MendoSession::deviceId);
    const QJsonObject sent = request.value(QStringLiteral("body")).toObject();
    QVERIFY2(sent == body, qPrintable(pretty(sent) + QStringLiteral("\n!=\n") + pretty(body)));
}

}  // namespace

class TestE2eMainRoad : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void professionalStyleReplacesTheSelection_data();
    void professionalStyleReplacesTheSelection();
    void translateUsesTheTargetLanguageOfTheSettings();
    void layoutFixConvertsInPlaceAndSelectsRussian();
    void aFailedRequestLeavesTextAndClipboard_data();
    void aFailedRequestLeavesTextAndClipboard();
    void theFirstActionAfterEveryStartArrives();
    void theHistoryKeepsOnlyTheUsersCopies();
    void checksForUpdatesOnceAtStart();
};

void TestE2eMainRoad::initTestCase()
{
    for (const char* tool : { "xdotool", "xclip", "setxkbmap", "zenity" })
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
}

// The Qt field reports its text on every change; zenity prints its field's
// text when the dialog is accepted.
enum class Field { qt, gtk };
Q_DECLARE_METATYPE(Field)

namespace {

std::unique_ptr<OtherApp> startField(MendoSession& session, Field field, const QString& text)
{
    if (field == Field::qt)
        return session.startInFront(QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--text"), text });
    return session.startInFront(QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=") + text });
}

QString fieldText(OtherApp& app, Field field)
{
    return field == Field::qt ? app.reportedText() : QString::fromUtf8(app.output()).trimmed();
}

}  // namespace

void TestE2eMainRoad::professionalStyleReplacesTheSelection_data()
{
    QTest::addColumn<Field>("field");
    QTest::newRow("Qt field") << Field::qt;
    QTest::newRow("GTK field") << Field::gtk;
}

void TestE2eMainRoad::professionalStyleReplacesTheSelection()
{
    QFETCH(Field, field);
    const QString selected = QStringLiteral("hey can u send teh report");
    const QString answer = QStringLiteral("Could you please send the report?");
    // The answer waits a little, so that the clipboard's owner changes
    // counted from the request on are the paste's own.
    QJsonObject delayed = resultAnswer(answer);
    delayed.insert(QStringLiteral("delayMs"), 500);
    MendoSession session({ .answers = { delayed }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    auto target = startField(session, field, selected);
    QVERIFY(target);
    ClipboardOwnerChanges ownerChanges;

    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::press(QStringLiteral("alt+4"));

    QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kActionTimeoutMs);
    verifyOneRequest(session.requests(),
        wireBody(QStringLiteral("style_rewrite"), QStringLiteral("Professional"), selected, QStringLiteral("English")));
    // The answer goes on the clipboard for the paste, then the user's own
    // clipboard comes back.
    const int beforePaste = ownerChanges.count();
    QTRY_VERIFY_WITH_TIMEOUT(ownerChanges.count() >= beforePaste + 2, kActionTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(clipboardIsUsers(), kActionTimeoutMs);
    if (field == Field::gtk)
        MendoSession::press(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(fieldText(*target, field), answer, kActionTimeoutMs);
}

void TestE2eMainRoad::translateUsesTheTargetLanguageOfTheSettings()
{
    const QString selected = QStringLiteral("good morning");
    const QString answer = QStringLiteral("Guten Morgen");
    MendoSession session({ .answers = { resultAnswer(answer) },
        .serviceDown = false,
        .defaults = { { QStringLiteral("mendo.targetLanguage"), QStringLiteral("German") } } });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto target = startField(session, Field::qt, selected);
    QVERIFY(target);

    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::press(QStringLiteral("alt+t"));

    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), answer, kActionTimeoutMs);
    verifyOneRequest(session.requests(),
        wireBody(QStringLiteral("translate"), QString(), selected, QStringLiteral("German")));
}

void TestE2eMainRoad::layoutFixConvertsInPlaceAndSelectsRussian()
{
    MendoSession session({});
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    auto target = startField(session, Field::qt, QStringLiteral("ghbdtn"));
    QVERIFY(target);
    QCOMPARE(MendoSession::currentLayoutName(), QStringLiteral("English (US)"));

    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::press(QStringLiteral("alt+a"));

    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), QStringLiteral("привет"), kActionTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(MendoSession::currentLayoutName(), QStringLiteral("Russian"), kActionTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(clipboardIsUsers(), kActionTimeoutMs);
    QVERIFY(session.requests().isEmpty());
}

void TestE2eMainRoad::aFailedRequestLeavesTextAndClipboard_data()
{
    QTest::addColumn<bool>("serviceDown");
    QTest::addColumn<QString>("message");
    QTest::newRow("HTTP 500 with an error") << false << QStringLiteral("Daily limit reached.");
    QTest::newRow("service down") << true << QStringLiteral("Could not connect to the server.");
}

void TestE2eMainRoad::aFailedRequestLeavesTextAndClipboard()
{
    QFETCH(bool, serviceDown);
    QFETCH(QString, message);
    MendoSession session({ .answers = { serviceAnswer(500, { { QStringLiteral("error"), message } }) },
        .serviceDown = serviceDown,
        .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    auto target = session.startInFront(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--text"), QStringLiteral("keep me as I am") });
    QVERIFY(target);

    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::press(QStringLiteral("alt+4"));

    // The status display's panel carries the message it shows as its title.
    QTRY_VERIFY2_WITH_TIMEOUT(session.visibleWindowTitles().contains(message),
        qPrintable(session.visibleWindowTitles().join(QLatin1Char('|'))), 20000);
    QCOMPARE(session.requests().size(), serviceDown ? 0 : 1);
    QVERIFY(clipboardIsUsers());
    // The field reports every change of its text: there was none.
    QVERIFY2(!target->output().contains("\"text\""), target->output().constData());
}

// A new user's first hotkey comes right after start. Typing that moves from
// one keyboard to another (the user's, XTest's) makes X announce a keyboard
// change, here just before the press: mendo must hold its hotkeys throughout.
void TestE2eMainRoad::theFirstActionAfterEveryStartArrives()
{
    constexpr int kStarts = 20;
    QJsonArray answers;
    for (int i = 0; i < kStarts; ++i)
        answers.append(resultAnswer(QStringLiteral("Answer number %1.").arg(i)));
    MendoSession session({ .answers = answers, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto target = startField(session, Field::qt, QStringLiteral("teh first words"));
    QVERIFY(target);

    for (int i = 0; i < kStarts; ++i) {
        if (i > 0) {
            QVERIFY2(session.restartMendo(), qPrintable(session.failure()));
            // mendo's window (shown as there is no tray) took the focus.
            QVERIFY(session.bringToFront(*target));
        }
        QCOMPARE(
            QProcess::execute(QStringLiteral("setxkbmap"), { QStringLiteral("-layout"), QStringLiteral("us,ru") }), 0);
        MendoSession::press(QStringLiteral("ctrl+a"));
        MendoSession::press(QStringLiteral("alt+4"));
        const QString expected = QStringLiteral("Answer number %1.").arg(i);
        QTRY_VERIFY2_WITH_TIMEOUT(target->reportedText() == expected,
            qPrintable(QStringLiteral("start %1: %2 request(s) in all, field \"%3\", mendo said:\n%4")
                           .arg(i)
                           .arg(session.requests().size())
                           .arg(target->reportedText(), QString::fromUtf8(session.mendoOutput()))),
            kActionTimeoutMs);
    }
}

void TestE2eMainRoad::theHistoryKeepsOnlyTheUsersCopies()
{
    const QString answer = QStringLiteral("Could you please send the report?");
    MendoSession session({ .answers = { resultAnswer(answer) }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    const QStringList usersCopies{ QString::fromUtf8(usersClipboard[0].second) };
    QTRY_COMPARE_WITH_TIMEOUT(session.storedHistory(), usersCopies, kActionTimeoutMs);
    auto target = startField(session, Field::qt, QStringLiteral("hey can u send teh report"));
    QVERIFY(target);

    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::press(QStringLiteral("alt+4"));
    QTRY_COMPARE_WITH_TIMEOUT(target->reportedText(), answer, kActionTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(clipboardIsUsers(), kActionTimeoutMs);

    // Several polls later, neither the selection nor the answer got in.
    QTest::qWait(2000);
    QCOMPARE(session.storedHistory(), usersCopies);
}

// No windows of its own: the test process stays off the accessibility bus
// that it reads the other applications through.
void TestE2eMainRoad::checksForUpdatesOnceAtStart()
{
    QJsonObject update = serviceAnswer(200, { { QStringLiteral("latest_build"), 1 } });
    update.insert(QStringLiteral("path"), QStringLiteral("/macos/app/version"));
    MendoSession session({ .answers = { update }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    const QString path = QStringLiteral("/macos/app/version");
    QTRY_COMPARE_WITH_TIMEOUT(session.requests(path).size(), 1, kActionTimeoutMs);
    const QJsonObject request = session.requests(path).first();
    QCOMPARE(request.value(QStringLiteral("method")).toString(), QStringLiteral("GET"));
    const QUrlQuery query(QUrl(QStringLiteral("http://host") + request.value(QStringLiteral("path")).toString()));
    QCOMPARE(query.queryItemValue(QStringLiteral("channel")), QStringLiteral("release"));
    QCOMPARE(query.queryItemValue(QStringLiteral("bundle_id")), QStringLiteral("ai.mendo.MendoAI"));
    // One only: the next comes from the six-hour timer.
    QTest::qWait(500);
    QCOMPARE(session.requests(path).size(), 1);
}

QTEST_GUILESS_MAIN(TestE2eMainRoad)
#include "test_e2e_main_road.moc"
