// The Updates page over the real update manager with a scripted update
// client and a recording URL opener: the state line, the versions, the check
// button, the install hand-over, the alert and the two switches.

#include "settings/ClipboardUpdatesRig.h"

#include "settings/UpdatesSettingsView.h"
#include "updates/AppBuildConfiguration.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <ctime>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

const QDateTime checkedAt(QDate(2026, 11, 1), QTime(12, 4), Qt::UTC);

AppUpdateSnapshot snapshot(bool available, bool forced, bool withURL = true)
{
    AppUpdateSnapshot s;
    s.checkedAt = checkedAt;
    s.updateAvailable = available;
    s.forceUpdate = forced;
    if (available || forced) {
        s.latestVersion = QStringLiteral("2.4.0");
        s.latestBuild = 240;
        s.releaseNotes = QStringLiteral("Faster paste.\nA clearer clipboard page.");
        if (withURL)
            s.downloadURL = QUrl(QStringLiteral("https://downloads.example.org/mendo-2.4.0.tar.gz"));
    }
    return s;
}

// A manual check answered with `answer`, run to its end.
void checkWith(ClipboardUpdatesRig& rig, const AppUpdateSnapshot& answer)
{
    rig.scriptedClient.answer = answer;
    rig.manager.checkManually(rig.state->settings());
    rig.clock.advance(rig.scriptedClient.delay);
}

}  // namespace

class TestUpdatesSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void stateTable_data();
    void stateTable();
    void beforeAnyCheck();
    void datePatterns();
    void checkButtonWhileChecking();
    void installUpdate();
    void alertOpensOnlyOnTheShownPage();
    void alertButtons_data();
    void alertButtons();
    void switches();
    void screenshots();
};

void TestUpdatesSettings::initTestCase()
{
    // A zone with an offset and no daylight saving: local time differs from UTC.
    qputenv("TZ", "Europe/Moscow");
    tzset();
}

void TestUpdatesSettings::stateTable_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<UpdatesSettingsView::Tint>("tint");
    using T = UpdatesSettingsView::Tint;
    QTest::newRow("never checked") << false << false << false << "Not checked yet" << "clock" << T::secondary;
    QTest::newRow("up to date") << false << false << true << "Up to date" << "checkmark.circle.fill" << T::green;
    QTest::newRow("available") << true << false << true << "Update available" << "arrow.down.circle.fill" << T::blue;
    QTest::newRow("forced") << false << true << true << "Update required" << "exclamationmark.triangle.fill"
                            << T::orange;
    QTest::newRow("forced and available")
        << true << true << true << "Update required" << "exclamationmark.triangle.fill" << T::orange;
}

void TestUpdatesSettings::stateTable()
{
    QFETCH(bool, available);
    QFETCH(bool, forced);
    QFETCH(bool, checked);
    QFETCH(QString, title);
    QFETCH(QString, icon);
    QFETCH(UpdatesSettingsView::Tint, tint);
    ClipboardUpdatesRig rig;
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    if (checked)
        checkWith(rig, snapshot(available, forced));
    QCOMPARE(page->statusTitle()->text(), title);
    QCOMPARE(page->statusIconName(), icon);
    QCOMPARE(page->statusTint(), tint);
    QCOMPARE(page->statusTitle()->palette().color(QPalette::WindowText),
        UpdatesSettingsView::tintColor(tint, page->palette()));
    // The install button only with an update, whatever is forced.
    QCOMPARE(page->installButton()->isVisible(), available);

    // During the next check: its own title and symbol, the last state's tint.
    rig.scriptedClient.delay = 5s;
    rig.manager.checkManually(rig.state->settings());
    QCOMPARE(page->statusTitle()->text(), QStringLiteral("Checking for updates"));
    QCOMPARE(page->statusIconName(), QStringLiteral("arrow.triangle.2.circlepath"));
    QCOMPARE(page->statusTint(), tint);
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(page->statusTitle()->text(), QStringLiteral("Проверяем обновления"));
    rig.clock.advance(5s);
}

void TestUpdatesSettings::beforeAnyCheck()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    QCOMPARE(page->currentVersionValue()->text(), AppBuildConfiguration::currentVersion());
    QCOMPARE(page->availableVersionValue()->text(), QStringLiteral("Not checked"));
    QCOMPARE(page->lastCheckedValue()->text(), QStringLiteral("Never"));
    QVERIFY(!page->messageLabel()->isVisible());
    QVERIFY(!page->releaseNotesBox()->isVisible());
    QVERIFY(!page->installButton()->isVisible());
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(page->statusTitle()->text(), QStringLiteral("Ещё не проверяли"));
    QCOMPARE(page->availableVersionValue()->text(), QStringLiteral("Нет данных"));
    QCOMPARE(page->lastCheckedValue()->text(), QStringLiteral("Никогда"));

    // A check that names no version keeps "Not checked"; an empty notes text
    // shows no panel; the status line is the manager's.
    AppUpdateSnapshot bare = snapshot(true, false);
    bare.latestVersion.reset();
    bare.releaseNotes = QString();
    checkWith(rig, bare);
    QCOMPARE(page->availableVersionValue()->text(), QStringLiteral("Нет данных"));
    QVERIFY(!page->releaseNotesBox()->isVisible());
    QVERIFY(page->messageLabel()->isVisible());
    QCOMPARE(page->messageLabel()->text(), QStringLiteral("Доступна версия новая."));
}

void TestUpdatesSettings::datePatterns()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    checkWith(rig, snapshot(false, false));
    QCOMPARE(page->lastCheckedValue()->text(), QStringLiteral("Nov 1, 2026, 3:04 PM"));
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(page->lastCheckedValue()->text(), QStringLiteral("1 нояб. 2026 г., 15:04"));
    QCOMPARE(UpdatesSettingsView::lastCheckedTitle(QDateTime(QDate(2027, 3, 9), QTime(23, 30), Qt::UTC),
                 UiLanguage::en),
        QStringLiteral("Mar 10, 2027, 2:30 AM"));
}

void TestUpdatesSettings::checkButtonWhileChecking()
{
    ClipboardUpdatesRig rig([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    QPushButton* button = page->checkButton();
    QCOMPARE(button->text(), QStringLiteral("Проверить обновление"));
    QVERIFY(button->isEnabled());
    QVERIFY(button->icon().isNull());
    rig.scriptedClient.answer = snapshot(false, false);
    rig.scriptedClient.delay = 2s;
    button->click();
    QCOMPARE(rig.scriptedClient.languages, QList<UiLanguage> { UiLanguage::ru });
    QCOMPARE(button->text(), QStringLiteral("Проверяем..."));
    QVERIFY(!button->isEnabled());
    QVERIFY(button->property("showsProgress").toBool());
    QVERIFY(!button->icon().isNull());
    rig.setLanguage(UiLanguage::en);
    QCOMPARE(button->text(), QStringLiteral("Checking..."));
    rig.clock.advance(2s);
    QCOMPARE(button->text(), QStringLiteral("Check for Updates"));
    QVERIFY(button->isEnabled());
    QVERIFY(!button->property("showsProgress").toBool());
    // The manager's text, in the language the check ran in.
    QCOMPARE(page->messageLabel()->text(), QStringLiteral("Установлена актуальная версия MendoAI."));
}

void TestUpdatesSettings::installUpdate()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    checkWith(rig, snapshot(true, false, false));
    // Without an https address (the answer's http one never reaches the
    // snapshot) there is nothing to install from.
    QVERIFY(page->installButton()->isVisible());
    QVERIFY(!page->installButton()->isEnabled());
    QCOMPARE(page->installButton()->text(), QStringLiteral("Install Update"));
    if (page->alert())
        page->alertOkButton()->click();

    checkWith(rig, snapshot(true, false));
    if (page->alert())
        page->alertOkButton()->click();
    QVERIFY(page->installButton()->isEnabled());
    page->installButton()->click();
    QCOMPARE(rig.urlOpener.opened, QList<QUrl> { *snapshot(true, false).downloadURL });

    // The desktop cannot open it: the manager's message, and its alert.
    rig.urlOpener.succeeds = false;
    page->installButton()->click();
    QCOMPARE(page->messageLabel()->text(), QStringLiteral("Could not open update download."));
    QVERIFY(page->alert());
    QCOMPARE(page->alert()->text(), QStringLiteral("Could not open update download."));
}

void TestUpdatesSettings::alertOpensOnlyOnTheShownPage()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    QVERIFY(page);
    rig.state->setSelectedSettingsPage(SettingsPage::general);

    // Set while another page is shown: opens when the page is shown, and only
    // then counts as announced.
    checkWith(rig, snapshot(true, false));
    QCOMPARE(rig.manager.alertMessage(), std::optional(QStringLiteral("Version 2.4.0 is available.")));
    QVERIFY(!page->alert());
    QCOMPARE(rig.manager.lastNotifiedBuild(), 0);
    rig.state->setSelectedSettingsPage(SettingsPage::updates);
    QVERIFY(page->alert());
    QVERIFY(page->alert()->isVisible());
    QCOMPARE(page->alert()->text(), QStringLiteral("Version 2.4.0 is available."));
    QCOMPARE(page->alert()->windowTitle(), QStringLiteral("Updates"));
    QCOMPARE(page->alert()->parentWidget(), rig.window.get());
    QCOMPARE(rig.manager.lastNotifiedBuild(), 240);
    page->alertOkButton()->click();
    QVERIFY(!page->alert());

    // An empty text opens nothing.
    rig.manager.setAlertMessage(QString());
    QVERIFY(!page->alert());

    // Set while the page is shown, as after a failed manual check: at once.
    rig.scriptedClient.failure = QStringLiteral("Update server returned HTTP 503.");
    rig.manager.checkManually(rig.state->settings());
    rig.clock.advance(10ms);
    QVERIFY(page->alert());
    QCOMPARE(page->alert()->text(), QStringLiteral("Update server returned HTTP 503."));
    // A new manual check clears it: the alert goes.
    rig.manager.checkManually(rig.state->settings());
    QVERIFY(!page->alert());
    QCOMPARE(rig.manager.alertMessage(), std::nullopt);
    rig.clock.advance(10ms);
    page->alertOkButton()->click();

    // Never over a hidden window; shown with it.
    rig.window->hide();
    rig.manager.setAlertMessage(QStringLiteral("Version 2.5.0 is available."));
    QVERIFY(!page->alert());
    rig.window->show();
    QVERIFY(page->alert());
    QCOMPARE(page->alert()->text(), QStringLiteral("Version 2.5.0 is available."));
}

void TestUpdatesSettings::alertButtons_data()
{
    QTest::addColumn<bool>("withURL");
    QTest::addColumn<bool>("install");
    QTest::newRow("OK") << true << false;
    QTest::newRow("Install") << true << true;
    QTest::newRow("OK, no address") << false << false;
}

void TestUpdatesSettings::alertButtons()
{
    QFETCH(bool, withURL);
    QFETCH(bool, install);
    ClipboardUpdatesRig rig([](MendoSettings& s) { s.uiLanguage = UiLanguage::ru; });
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    checkWith(rig, snapshot(true, false, withURL));
    QVERIFY(page->alert());
    QCOMPARE(page->alert()->windowTitle(), QStringLiteral("Обновления"));
    QCOMPARE(page->alertOkButton()->text(), QStringLiteral("ОК"));
    QCOMPARE(page->alertInstallButton()->isVisible(), withURL);
    if (withURL)
        QCOMPARE(page->alertInstallButton()->text(), QStringLiteral("Установить"));
    (install ? page->alertInstallButton() : page->alertOkButton())->click();
    QVERIFY(!page->alert());
    QCOMPARE(rig.manager.alertMessage(), std::nullopt);
    QCOMPARE(rig.urlOpener.opened.size(), install ? 1 : 0);
    // Escape answers as OK.
    rig.manager.setAlertMessage(QStringLiteral("again"));
    QVERIFY(page->alert());
    QTest::keyClick(page->alert(), Qt::Key_Escape);
    QVERIFY(!page->alert());
    QCOMPARE(rig.manager.alertMessage(), std::nullopt);
    QCOMPARE(rig.urlOpener.opened.size(), install ? 1 : 0);
}

void TestUpdatesSettings::switches()
{
    ClipboardUpdatesRig rig;
    auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
    QVERIFY(page->automaticChecksToggle()->isChecked());
    QVERIFY(page->notificationsToggle()->isChecked());
    page->automaticChecksToggle()->click();
    QCOMPARE(NativeSettingsStore(rig.defaults).load().automaticUpdateChecksEnabled, false);
    QCOMPARE(NativeSettingsStore(rig.defaults).load().updateNotificationsEnabled, true);
    page->notificationsToggle()->click();
    QCOMPARE(NativeSettingsStore(rig.defaults).load().updateNotificationsEnabled, false);
    QCOMPARE(page->automaticChecksToggle()->text(), QStringLiteral("Check for updates automatically"));
    QCOMPARE(page->notificationsToggle()->text(), QStringLiteral("Show update notifications"));
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(page->automaticChecksToggle()->text(), QStringLiteral("Автоматически проверять обновления"));
    QCOMPARE(page->notificationsToggle()->text(), QStringLiteral("Показывать уведомления об обновлениях"));
    QCOMPARE(page->note()->text(),
        QStringLiteral("Проверка идет при запуске и затем не чаще раза в день. Новую версию показываем один раз."));
}

void TestUpdatesSettings::screenshots()
{
    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        for (const bool dark : { false, true }) {
            ClipboardUpdatesRig rig([&](MendoSettings& s) {
                s.uiLanguage = language;
                s.appearanceMode = dark ? AppearanceMode::liquidNoir : AppearanceMode::system;
                s.updateNotificationsEnabled = false;
            });
            auto* page = rig.open<UpdatesSettingsView>(SettingsPage::updates);
            AppUpdateSnapshot shown = snapshot(true, false);
            shown.releaseNotes = language == UiLanguage::ru
                ? QStringLiteral("• Вставка быстрее.\n• Страница буфера показывает всю историю.")
                : QStringLiteral("• Faster paste.\n• The Clipboard page lists the whole history.");
            rig.scriptedClient.answer = shown;
            detach(rig.manager.checkAutomaticallyIfNeeded(rig.state->settings()));
            rig.clock.advance(10ms);
            QVERIFY(!page->alert());
            const QString name = QStringLiteral("settings-updates-%1-%2.png")
                                     .arg(rawValue(language), dark ? QStringLiteral("dark") : QStringLiteral("light"));
            QVERIFY(saveSettingsShot(rig.window.get(), name));
            if (language == UiLanguage::en && !dark) {
                rig.manager.setAlertMessage(QStringLiteral("Version 2.4.0 is available."));
                QVERIFY(page->alert());
                QVERIFY(saveSettingsShot(rig.window.get(), QStringLiteral("settings-updates-alert-en.png"), page->alert()));
            }
        }
    }
}

QTEST_MAIN(TestUpdatesSettings)
#include "test_updates_settings.moc"
