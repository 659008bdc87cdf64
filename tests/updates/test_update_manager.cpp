#include "app/AppStateRig.h"
#include "fakes/FakeUrlOpener.h"
#include "updates/AppUpdateClient.h"
#include "updates/AppUpdateClientError.h"
#include "updates/AppUpdateManager.h"
#include "updates/ScriptedUpdateClient.h"

#include <QNetworkAccessManager>
#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

class TestUpdateManager : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void launchCheckAndTimer();
    void dailyThrottle_data();
    void dailyThrottle();
    void automaticChecksOff();
    void oneCheckAtATime();
    void alerts_data();
    void alerts();
    void buildAlertsUntilShown();
    void failuresByTrigger();
    void statusTexts();
    void openDownload();
};

namespace {

AppUpdateSnapshot available(std::optional<qint64> build, const QString& version = QStringLiteral("2.0"))
{
    AppUpdateSnapshot s;
    s.updateAvailable = true;
    s.latestBuild = build;
    s.latestVersion = version;
    return s;
}

struct Rig {
    AppStateRig app;
    QNetworkAccessManager network;
    ScriptedUpdateClient client { network, app.clock };
    FakeUrlOpener opener;
    std::unique_ptr<AppUpdateManager> manager;

    explicit Rig(const std::function<void(MendoSettings&)>& prepare = {})
        : app(prepare)
    {
        remake();
    }
    // A new manager over the same defaults, as after a restart.
    void remake() { manager = std::make_unique<AppUpdateManager>(client, app.defaults, opener, app.clock); }
    MendoSettings settings() const { return app.state->settings(); }
    void run(Task<>&& task)
    {
        detach(std::move(task));
        app.clock.advance(10ms);
    }
    void manual()
    {
        manager->checkManually(settings());
        app.clock.advance(10ms);
    }
    QString alert() const { return manager->alertMessage().value_or(QStringLiteral("<none>")); }
    std::optional<QDateTime> lastAutomatic() const
    {
        return app.defaults.date(QString::fromLatin1(AppUpdateManager::lastAutomaticCheckKey));
    }
};

}  // namespace

void TestUpdateManager::launchCheckAndTimer()
{
    Rig rig;
    // A timer check a minute before the previous quit does not hold back the launch check.
    rig.app.defaults.set(
        QString::fromLatin1(AppUpdateManager::lastAutomaticCheckKey), rig.app.clock.wallNow().addSecs(-60));
    rig.manager->startAutomaticChecks(*rig.app.state);
    rig.app.clock.advance(10ms);
    QCOMPARE(rig.client.languages.size(), 1);
    QCOMPARE(rig.lastAutomatic(), std::optional(rig.app.clock.wallNow().addSecs(-60).addMSecs(-10)));

    // The first tick comes six hours later, the date then a day old: checked and renewed.
    rig.app.clock.advance(AppUpdateManager::automaticCheckInterval - 10ms - 1ms);
    QCOMPARE(rig.client.languages.size(), 1);
    rig.app.defaults.set(
        QString::fromLatin1(AppUpdateManager::lastAutomaticCheckKey), rig.app.clock.wallNow().addDays(-1));
    rig.app.clock.advance(1ms + 10ms);
    QCOMPARE(rig.client.languages.size(), 2);
    QCOMPARE(rig.lastAutomatic(), std::optional(rig.app.clock.wallNow()));

    // Starting again replaces the launch check and the timer.
    rig.manager->startAutomaticChecks(*rig.app.state);
    rig.manager->startAutomaticChecks(*rig.app.state);
    rig.app.clock.advance(10ms);
    QCOMPARE(rig.client.languages.size(), 3);
}

void TestUpdateManager::dailyThrottle_data()
{
    QTest::addColumn<qint64>("ageSeconds");  // of the stored date; < 0 lies in the future
    QTest::addColumn<bool>("checks");
    QTest::newRow("one second short of a day") << qint64(86399) << false;
    QTest::newRow("exactly a day") << qint64(86400) << true;
    QTest::newRow("older") << qint64(200000) << true;
    QTest::newRow("in the future") << qint64(-3600) << false;
}

void TestUpdateManager::dailyThrottle()
{
    QFETCH(qint64, ageSeconds);
    QFETCH(bool, checks);
    Rig rig;
    const QDateTime stored = rig.app.clock.wallNow().addSecs(-ageSeconds);
    rig.app.defaults.set(QString::fromLatin1(AppUpdateManager::lastAutomaticCheckKey), stored);
    rig.run(rig.manager->checkAutomaticallyIfNeeded(rig.settings()));
    QCOMPARE(rig.client.languages.size(), checks ? 1 : 0);
    QCOMPARE(rig.lastAutomatic(), std::optional(checks ? rig.app.clock.wallNow() : stored));

    // A failed check leaves the date alone.
    rig.client.failure = QStringLiteral("down");
    rig.app.defaults.set(QString::fromLatin1(AppUpdateManager::lastAutomaticCheckKey), stored);
    rig.run(rig.manager->checkAutomaticallyIfNeeded(rig.settings()));
    QCOMPARE(rig.lastAutomatic(), std::optional(stored));
}

void TestUpdateManager::automaticChecksOff()
{
    Rig rig([](MendoSettings& s) { s.automaticUpdateChecksEnabled = false; });
    rig.manager->startAutomaticChecks(*rig.app.state);
    rig.app.clock.advance(AppUpdateManager::automaticCheckInterval * 2);
    QCOMPARE(rig.client.languages.size(), 0);
    rig.manual();
    QCOMPARE(rig.client.languages.size(), 1);
}

void TestUpdateManager::oneCheckAtATime()
{
    Rig rig;
    rig.client.answer = available(5);
    rig.manual();
    QCOMPARE(rig.alert(), QStringLiteral("Version 2.0 is available."));

    // A manual check while another runs does nothing at all.
    detach(rig.manager->checkAutomaticallyIfNeeded(rig.settings()));
    QVERIFY(rig.manager->isChecking());
    rig.manager->checkManually(rig.settings());
    QCOMPARE(rig.alert(), QStringLiteral("Version 2.0 is available."));
    rig.app.clock.advance(10ms);
    QVERIFY(!rig.manager->isChecking());
    QCOMPARE(rig.client.languages.size(), 2);
}

// Which checks raise an alert, for a manager that has announced build 5.
void TestUpdateManager::alerts_data()
{
    QTest::addColumn<bool>("notifications");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<AppUpdateSnapshot>("snapshot");
    QTest::addColumn<bool>("alerted");
    QTest::addColumn<qint64>("storedBuild");
    AppUpdateSnapshot forced = available(5);
    forced.forceUpdate = true;
    QTest::newRow("newer build") << true << "automatic" << available(6) << true << qint64(6);
    QTest::newRow("same build") << true << "automatic" << available(5) << false << qint64(5);
    QTest::newRow("notifications off") << false << "automatic" << available(6) << false << qint64(5);
    QTest::newRow("notifications off, forced") << false << "automatic" << forced << true << qint64(5);
    QTest::newRow("notifications off, manual") << false << "manual" << available(5) << true << qint64(5);
    QTest::newRow("no latest build") << true << "automatic" << available(std::nullopt) << true << qint64(5);
    QTest::newRow("no update, manual") << true << "manual" << AppUpdateSnapshot() << false << qint64(5);
}

void TestUpdateManager::alerts()
{
    QFETCH(bool, notifications);
    QFETCH(QString, trigger);
    QFETCH(AppUpdateSnapshot, snapshot);
    QFETCH(bool, alerted);
    QFETCH(qint64, storedBuild);
    Rig rig([&](MendoSettings& s) { s.updateNotificationsEnabled = notifications; });
    rig.app.defaults.set(QString::fromLatin1(AppUpdateManager::lastNotifiedBuildKey), qint64(5));
    rig.remake();
    rig.client.answer = snapshot;
    if (trigger == u"manual")
        rig.manual();
    else
        rig.run(rig.manager->checkAutomaticallyIfNeeded(rig.settings()));
    QCOMPARE(rig.manager->alertMessage().has_value(), alerted);
    rig.manager->alertShown();
    QCOMPARE(rig.manager->lastNotifiedBuild(), storedBuild);
    QCOMPARE(rig.app.defaults.integer(QString::fromLatin1(AppUpdateManager::lastNotifiedBuildKey)), storedBuild);
}

void TestUpdateManager::buildAlertsUntilShown()
{
    Rig rig;
    rig.client.answer = available(7);
    const auto timerCheck = [&] {
        rig.manager->setAlertMessage(std::nullopt);
        rig.app.defaults.remove(QString::fromLatin1(AppUpdateManager::lastAutomaticCheckKey));
        rig.run(rig.manager->checkAutomaticallyIfNeeded(rig.settings()));
    };
    // Found while the Updates page stays closed: announced again.
    timerCheck();
    QVERIFY(rig.manager->alertMessage());
    timerCheck();
    QVERIFY(rig.manager->alertMessage());
    QCOMPARE(rig.manager->lastNotifiedBuild(), 0);
    // Shown once: never again, also after a restart.
    rig.manager->alertShown();
    rig.remake();
    timerCheck();
    QCOMPARE(rig.manager->alertMessage(), std::nullopt);
    QCOMPARE(rig.manager->message(), std::optional(QStringLiteral("Version 2.0 is available.")));

    // An empty service message is never shown as an alert: it counts at once.
    rig.client.answer = available(8);
    rig.client.answer.message = QString();
    timerCheck();
    QCOMPARE(rig.manager->alertMessage(), std::optional(QString()));
    QCOMPARE(rig.manager->message(), std::optional(QString()));
    QCOMPARE(rig.manager->lastNotifiedBuild(), 8);
}

void TestUpdateManager::failuresByTrigger()
{
    Rig rig;
    rig.client.failure = QStringLiteral("Update server returned HTTP 503.");
    rig.manager->setAlertMessage(QStringLiteral("older alert"));
    rig.run(rig.manager->checkAutomaticallyIfNeeded(rig.settings()));
    QCOMPARE(rig.manager->message(), rig.client.failure);
    QCOMPARE(rig.alert(), QStringLiteral("older alert"));
    QCOMPARE(rig.manager->snapshot(), AppUpdateSnapshot::empty());

    rig.manual();
    QCOMPARE(rig.manager->message(), rig.client.failure);
    QCOMPARE(rig.alert(), *rig.client.failure);
}

void TestUpdateManager::statusTexts()
{
    const auto messageFor = [](UiLanguage language, const AppUpdateSnapshot& snapshot) {
        Rig rig([language](MendoSettings& s) { s.uiLanguage = language; });
        rig.client.answer = snapshot;
        rig.manual();
        return rig.manager->message().value_or(QStringLiteral("<none>"));
    };
    QCOMPARE(messageFor(UiLanguage::en, {}), QStringLiteral("MendoAI is up to date."));
    QCOMPARE(messageFor(UiLanguage::ru, {}), QString::fromUtf8("Установлена актуальная версия MendoAI."));
    AppUpdateSnapshot noVersion = available(9);
    noVersion.latestVersion.reset();
    QCOMPARE(messageFor(UiLanguage::en, noVersion), QStringLiteral("Version new is available."));
    QCOMPARE(messageFor(UiLanguage::ru, noVersion), QString::fromUtf8("Доступна версия новая."));
    QCOMPARE(messageFor(UiLanguage::ru, available(9, "3.1")), QString::fromUtf8("Доступна версия 3.1."));
    AppUpdateSnapshot told = available(9);
    told.message = QStringLiteral("Big release");
    QCOMPARE(messageFor(UiLanguage::en, told), QStringLiteral("Big release"));
}

void TestUpdateManager::openDownload()
{
    Rig rig;
    rig.manager->openDownload();
    QCOMPARE(rig.manager->message(), std::optional(QStringLiteral("Update download URL is not available.")));
    QCOMPARE(rig.manager->alertMessage(), std::nullopt);

    rig.client.answer = available(3);
    rig.client.answer.downloadURL = QUrl(QStringLiteral("https://mendo.ai/download"));
    rig.manual();
    rig.manager->setAlertMessage(std::nullopt);
    rig.opener.succeeds = false;
    rig.manager->openDownload();
    QCOMPARE(rig.opener.opened, QList { QUrl(QStringLiteral("https://mendo.ai/download")) });
    QCOMPARE(rig.manager->message(), std::optional(QStringLiteral("Could not open update download.")));
    QCOMPARE(rig.alert(), QStringLiteral("Could not open update download."));
}

QTEST_GUILESS_MAIN(TestUpdateManager)
#include "test_update_manager.moc"
