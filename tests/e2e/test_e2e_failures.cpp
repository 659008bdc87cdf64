// A failed request, with the real mendo: the user's text and clipboard stay
// as they were and the status display shows why.

#include "e2e/MendoSession.h"

using namespace mendo;
using namespace mendo::e2e;

class TestE2eFailures : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aFailedRequestLeavesTextAndClipboard_data();
    void aFailedRequestLeavesTextAndClipboard();
};

void TestE2eFailures::aFailedRequestLeavesTextAndClipboard_data()
{
    QTest::addColumn<bool>("serviceDown");
    QTest::addColumn<QString>("message");
    QTest::newRow("HTTP 500 with an error") << false << QStringLiteral("Daily limit reached.");
    QTest::newRow("service down") << true << QStringLiteral("Could not connect to the server.");
}

void TestE2eFailures::aFailedRequestLeavesTextAndClipboard()
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

QTEST_GUILESS_MAIN(TestE2eFailures)
#include "test_e2e_failures.moc"
