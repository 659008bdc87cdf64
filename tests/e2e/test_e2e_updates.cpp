// The Updates page of the real mendo against the mock service's update
// answer: the check by hand with its "Checking..." and its result, the
// download handed to the desktop's URL opener (a stand-in xdg-open on the
// PATH records it), an http address that leaves "Install Update" disabled,
// and the launch check's alert shown once, not again after a restart. The
// page's controls are found by name through the accessibility bus.

#include "e2e/MendoSession.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <atspi/atspi.h>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::clickAt;

namespace {

constexpr int kTimeoutMs = 20000;
const QString httpsDownload = QStringLiteral("https://downloads.example.org/mendo-2.4.0.tar.gz");

AccessibleElement element(const MendoSession& session, const QString& name, AtspiRole role = ATSPI_ROLE_INVALID)
{
    return accessibleElement(session.mendoPid(), name, role);
}

bool shows(const MendoSession& session, const QString& name, AtspiRole role = ATSPI_ROLE_INVALID)
{
    return element(session, name, role).shown();
}

void click(const MendoSession& session, const QString& name, AtspiRole role = ATSPI_ROLE_PUSH_BUTTON)
{
    QVERIFY2(clickAccessible(session.mendoPid(), name, role, kTimeoutMs), qPrintable(name));
}

QJsonObject updateAnswer(const QString& download, int delayMs, bool repeat)
{
    const QJsonObject body { { "ok", true }, { "update_available", true }, { "latest_version", "2.4.0" },
        { "latest_build", 240 }, { "download_url", download },
        { "release_notes", QJsonObject { { "en", "Faster paste." }, { "ru", "Быстрее." } } } };
    return { { "status", 200 }, { "json", body }, { "path", "/macos/app/version" }, { "delayMs", delayMs },
        { "repeat", repeat } };
}

const QJsonObject windowOnLaunch { { "mendo.openMainWindowOnLaunch", true } };

}  // namespace

class TestE2eUpdates : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void checkInstallAndTheLaunchAlertOnce();
    void anHttpAddressCannotBeInstalled();

private:
    QTemporaryDir m_bin;
    QString m_opened;
};

void TestE2eUpdates::initTestCase()
{
    // The desktop's URL opener is xdg-open: a stand-in records what it gets.
    m_opened = m_bin.filePath(QStringLiteral("opened.txt"));
    QFile script(m_bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '%1'\n").arg(m_opened).toUtf8());
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("PATH", QFile::encodeName(m_bin.path()) + ":" + qgetenv("PATH"));
}

void TestE2eUpdates::checkInstallAndTheLaunchAlertOnce()
{
    MendoSession session({ .answers = { updateAnswer(httpsDownload, 0, false), updateAnswer(httpsDownload, 1500, true) },
        .serviceDown = false,
        .defaults = windowOnLaunch });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(!session.requests(QStringLiteral("/macos/app/version")).isEmpty(), kTimeoutMs);

    // The launch check found 2.4.0: the Updates page shows its alert once.
    click(session, QStringLiteral("Updates"));
    // The alert's own buttons: no other control of the page has these names.
    QTRY_VERIFY_WITH_TIMEOUT(shows(session, QStringLiteral("OK"), ATSPI_ROLE_PUSH_BUTTON), kTimeoutMs);
    QVERIFY(shows(session, QStringLiteral("Install"), ATSPI_ROLE_PUSH_BUTTON));
    click(session, QStringLiteral("OK"));
    QTRY_VERIFY_WITH_TIMEOUT(!shows(session, QStringLiteral("OK")), kTimeoutMs);
    click(session, QStringLiteral("General"));
    click(session, QStringLiteral("Updates"));
    QTest::qWait(1000);
    QVERIFY(!shows(session, QStringLiteral("OK")));

    // A check by hand: "Checking..." while the service takes its time, then
    // the result with both versions and the notes.
    click(session, QStringLiteral("Check for Updates"));
    QTRY_VERIFY_WITH_TIMEOUT(shows(session, QStringLiteral("Checking..."), ATSPI_ROLE_PUSH_BUTTON), kTimeoutMs);
    QVERIFY(!element(session, QStringLiteral("Checking..."), ATSPI_ROLE_PUSH_BUTTON).enabled);
    QTRY_VERIFY_WITH_TIMEOUT(shows(session, QStringLiteral("Check for Updates"), ATSPI_ROLE_PUSH_BUTTON), kTimeoutMs);
    QVERIFY(shows(session, QStringLiteral("Update available")));
    QVERIFY(shows(session, QStringLiteral("0.1.0")));
    QVERIFY(shows(session, QStringLiteral("2.4.0")));
    QVERIFY(shows(session, QStringLiteral("Faster paste.")));
    // A check by hand always says what it found.
    click(session, QStringLiteral("OK"));
    QTRY_VERIFY_WITH_TIMEOUT(!shows(session, QStringLiteral("OK")), kTimeoutMs);

    click(session, QStringLiteral("Install Update"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_opened), kTimeoutMs);
    QFile opened(m_opened);
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(opened.readAll().trimmed(), httpsDownload.toUtf8());

    // After a restart the launch check finds the same build: no alert.
    const qsizetype checks = session.requests(QStringLiteral("/macos/app/version")).size();
    QVERIFY2(session.restartMendo(), qPrintable(session.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(session.requests(QStringLiteral("/macos/app/version")).size() > checks, kTimeoutMs);
    click(session, QStringLiteral("Updates"));
    QTRY_VERIFY_WITH_TIMEOUT(shows(session, QStringLiteral("Update available")), kTimeoutMs);
    QTest::qWait(1000);
    QVERIFY(!shows(session, QStringLiteral("OK")));
    QVERIFY(!shows(session, QStringLiteral("Install"), ATSPI_ROLE_PUSH_BUTTON));
}

void TestE2eUpdates::anHttpAddressCannotBeInstalled()
{
    MendoSession session(
        { .answers = { updateAnswer(QStringLiteral("http://downloads.example.org/mendo-2.4.0.tar.gz"), 0, true) },
            .serviceDown = false,
            .defaults = windowOnLaunch });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    QTRY_VERIFY_WITH_TIMEOUT(!session.requests(QStringLiteral("/macos/app/version")).isEmpty(), kTimeoutMs);
    click(session, QStringLiteral("Updates"));
    QTRY_VERIFY_WITH_TIMEOUT(shows(session, QStringLiteral("OK"), ATSPI_ROLE_PUSH_BUTTON), kTimeoutMs);
    QVERIFY(!shows(session, QStringLiteral("Install"), ATSPI_ROLE_PUSH_BUTTON));
    click(session, QStringLiteral("OK"));
    QTRY_VERIFY_WITH_TIMEOUT(!shows(session, QStringLiteral("OK")), kTimeoutMs);
    AccessibleElement install;
    QTRY_VERIFY_WITH_TIMEOUT((install = element(session, QStringLiteral("Install Update"))).shown(), kTimeoutMs);
    QVERIFY(!install.enabled);
    const qint64 before = QFileInfo(m_opened).size();
    clickAt(install.rect.center());
    QTest::qWait(1000);
    QCOMPARE(QFileInfo(m_opened).size(), before);
}

QTEST_MAIN(TestE2eUpdates)
#include "test_e2e_updates.moc"
