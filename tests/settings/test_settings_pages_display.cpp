// The Clipboard and Updates pages in MendoAI as it starts, over the real
// desktop (Xvfb, openbox) with a Qt text field in front and the mock update
// service: copies made with xclip show in the list at once; delete, clear
// and a lowered limit reach the stored history; a paste lands in the field
// the user worked in; a check by hand, the install hand-over, and the
// launch check's alert shown once, also across a restart.

#include "app/MendoAppState.h"
#include "clipboard/ClipboardEntryList.h"
#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakeUrlOpener.h"
#include "platform/UserDefaults.h"
#include "settings/ClipboardSettingsView.h"
#include "settings/MainSettingsView.h"
#include "settings/SettingsSidebar.h"
#include "settings/UpdatesSettingsView.h"
#include "shell/MendoNativeApp.h"
#include "shell/RealPlatform.h"
#include "support/MockAiService.h"
#include "support/X11TestApps.h"
#include "updates/AppUpdateManager.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

using namespace mendo;
using namespace mendo::testing;

namespace {

const QString httpsDownload = QStringLiteral("https://downloads.example.org/mendo-2.4.0.tar.gz");

QJsonObject updateAnswer(const QString& download)
{
    return { { "ok", true }, { "update_available", true }, { "latest_version", "2.4.0" }, { "latest_build", 240 },
        { "download_url", download }, { "release_notes", QJsonObject { { "en", "Faster paste." }, { "ru", "Быстрее." } } } };
}

// Keeps the update manager it makes at hand.
class WatchingFactory final : public MendoNativeApp::Factory {
public:
    std::unique_ptr<AppUpdateManager> makeUpdateManager(const Platform& platform, AppUpdateClient& client) override
    {
        auto made = MendoNativeApp::Factory::makeUpdateManager(platform, client);
        manager = made.get();
        return made;
    }
    AppUpdateManager* manager = nullptr;
};

// Copies `text` to CLIPBOARD as another application does.
void xclipCopy(const QString& text)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), { QStringLiteral("-selection"), QStringLiteral("clipboard"), QStringLiteral("-i") });
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    QDeadlineTimer deadline(10000);
    while (xclip.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(10);
}

// A chord held as a hand holds it, about 150 ms.
void holdKeys(const QString& keys)
{
    xdotool({ QStringLiteral("keydown"), keys, QStringLiteral("sleep"), QStringLiteral("0.15"), QStringLiteral("keyup"), keys });
}

QPoint globalCentre(QWidget* widget)
{
    return widget->mapToGlobal(widget->rect().center());
}

QStringList listed(const ClipboardEntryList* list)
{
    QStringList texts;
    for (const auto& entry : list->entries())
        texts << entry.text;
    return texts;
}

}  // namespace

class TestSettingsPagesDisplay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void copiesAppearAtOnce();
    void deleteAndClearReachTheStore();
    void lowerLimitPrunes();
    void pasteLandsInTheTarget();
    void launchAlertShownOnce();
    void checkAndInstall();
    void noAlertAgainAfterRestart();

private:
    void startMendo();
    MainSettingsView* view() { return m_app->mainWindow()->findChild<MainSettingsView*>(); }
    void openPage(SettingsPage page);
    void clickRowButton(int row, int button);
    QStringList storedTexts() const;
    ClipboardSettingsView* clipboardPage()
    {
        return qobject_cast<ClipboardSettingsView*>(view()->page(SettingsPage::clipboard));
    }
    UpdatesSettingsView* updatesPage() { return qobject_cast<UpdatesSettingsView*>(view()->page(SettingsPage::updates)); }

    QTemporaryDir m_home;
    std::unique_ptr<OtherApp> m_target;
    std::unique_ptr<RealPlatform> m_real;
    Platform m_platform;
    FakeUrlOpener m_opener;
    std::unique_ptr<MockAiService> m_service;
    WatchingFactory m_factory;
    std::unique_ptr<MendoNativeApp> m_app;
    QStringList m_statuses;
};

void TestSettingsPagesDisplay::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("MendoAI"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    m_target = startTargetApp(QStringLiteral("target"));
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), m_target->pid(), 10000);

    m_real = std::make_unique<RealPlatform>();
    m_platform = m_real->platform();
    m_platform.urlOpener = &m_opener;
    m_service = std::make_unique<MockAiService>(*m_platform.clock);
    QVERIFY(m_service->listen());
    MockAiService::Answer answer = MockAiService::Answer::json(200, updateAnswer(httpsDownload));
    answer.path = QString::fromLatin1(MockAiService::updatePath);
    answer.repeat = true;
    m_service->enqueue(answer);
    m_platform.defaults->set(QStringLiteral("mendo.service.baseURL"), m_service->baseURL());
    startMendo();
}

void TestSettingsPagesDisplay::startMendo()
{
    m_app = std::make_unique<MendoNativeApp>(m_platform, m_factory);
    m_app->launch();
    connect(&m_app->appState(), &MendoAppState::statusChanged, this,
        [this](const ActionStatus& status) { m_statuses << status.text(); });
    QTest::qWait(300);  // the hotkeys are held on the next turn
}

void TestSettingsPagesDisplay::cleanupTestCase()
{
    m_app.reset();
    m_service.reset();
    m_real.reset();
    m_target.reset();
}

void TestSettingsPagesDisplay::openPage(SettingsPage page)
{
    m_app->openMainWindow();
    QMainWindow* window = m_app->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    if (window->size() != QSize(900, 640)) {
        window->resize(900, 640);
        QTRY_COMPARE_WITH_TIMEOUT(window->windowHandle()->geometry().size(), QSize(900, 640), 5000);
    }
    QTest::qWait(200);
    // As the user does: a click on the sidebar row.
    clickAt(globalCentre(view()->sidebar()->row(page)));
    QTRY_COMPARE_WITH_TIMEOUT(m_app->appState().selectedSettingsPage(), page, 5000);
    QTest::qWait(200);
}

void TestSettingsPagesDisplay::clickRowButton(int row, int button)
{
    ClipboardEntryList* list = clipboardPage()->list();
    clickAt(list->viewport()->mapToGlobal(list->buttonRect(row, button).center()));
}

QStringList TestSettingsPagesDisplay::storedTexts() const
{
    QStringList texts;
    // The history's own file, once what is pending is written; the user
    // defaults only where the file cannot be used.
    ClipboardHistoryStore& store = m_app->clipboardHistory().store();
    store.flush();
    QByteArray bytes;
    if (store.usesFile()) {
        QFile file(store.path());
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
    } else {
        bytes = m_platform.defaults->object(ClipboardHistoryService::storageKey).value_or(QVariant()).toByteArray();
    }
    if (const auto decoded = ClipboardHistoryService::decode(bytes)) {
        for (const auto& item : decoded->items)
            texts << item.text;
    }
    return texts;
}

void TestSettingsPagesDisplay::copiesAppearAtOnce()
{
    openPage(SettingsPage::clipboard);
    ClipboardSettingsView* page = clipboardPage();
    QVERIFY(page);
    for (const QString& text : { QStringLiteral("first copy from xclip"), QStringLiteral("вторая копия из xclip") }) {
        xclipCopy(text);
        // The open page follows without being shown again.
        QTRY_VERIFY_WITH_TIMEOUT(!listed(page->list()).isEmpty() && listed(page->list()).first() == text, 5000);
    }
    QVERIFY(page->list()->isVisible());
    QVERIFY(!page->emptyText()->isVisible());
    QVERIFY(!saveScreenArea(m_app->mainWindow()->frameGeometry(), QStringLiteral("settings-clipboard-display-en.png"))
                 .isNull());
}

void TestSettingsPagesDisplay::deleteAndClearReachTheStore()
{
    openPage(SettingsPage::clipboard);
    ClipboardSettingsView* page = clipboardPage();
    const QStringList before = listed(page->list());
    QVERIFY(before.size() >= 2);
    clickRowButton(0, 1);
    QTRY_COMPARE_WITH_TIMEOUT(listed(page->list()), before.mid(1), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(storedTexts(), before.mid(1), 3000);

    clickAt(globalCentre(page->clearButton()));
    QTRY_VERIFY_WITH_TIMEOUT(page->emptyText()->isVisible(), 3000);
    QVERIFY(!page->list()->isVisible());
    QVERIFY(m_app->clipboardHistory().items().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(storedTexts().isEmpty(), 3000);
    QVERIFY(m_statuses.contains(QStringLiteral("Clipboard history cleared")));
}

void TestSettingsPagesDisplay::lowerLimitPrunes()
{
    openPage(SettingsPage::clipboard);
    ClipboardSettingsView* page = clipboardPage();
    m_app->appState().editSettings([](MendoSettings& s) { s.clipboardLimit = 12; });
    for (int i = 0; i < 12; ++i)
        m_app->clipboardHistory().record(QStringLiteral("entry number %1").arg(i));
    QTRY_COMPARE_WITH_TIMEOUT(page->list()->entries().size(), 12, 3000);
    clickAt(globalCentre(page->decreaseButton()));
    QTRY_COMPARE_WITH_TIMEOUT(page->limitLabel()->text(), QStringLiteral("History limit: 11"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(page->list()->entries().size(), 11, 3000);
    QCOMPARE(listed(page->list()).first(), QStringLiteral("entry number 11"));
    QTRY_COMPARE_WITH_TIMEOUT(storedTexts().size(), 11, 3000);
    QVERIFY(!storedTexts().contains(QStringLiteral("entry number 0")));
}

void TestSettingsPagesDisplay::pasteLandsInTheTarget()
{
    // The user works in the target and uses a hotkey there (the clipboard
    // window opens, and closes at its second press), then opens the settings.
    m_app->mainWindow()->hide();
    xdotool({ "windowactivate", "--sync",
        QString::fromUtf8(runTool(QStringLiteral("xdotool"),
                              { "search", "--pid", QString::number(m_target->pid()) }))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .value(0) });
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), m_target->pid(), 5000);
    holdKeys(QStringLiteral("alt+v"));
    QTRY_VERIFY_WITH_TIMEOUT(m_app->clipboardPanel().isPanelVisible(), 5000);
    QTest::qWait(300);
    holdKeys(QStringLiteral("alt+v"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_app->clipboardPanel().isPanelVisible(), 5000);

    const QString text = QStringLiteral("pasted from the settings, вставлено");
    m_app->clipboardHistory().record(text);
    openPage(SettingsPage::clipboard);
    QCOMPARE(listed(clipboardPage()->list()).first(), text);
    m_statuses.clear();
    clickRowButton(0, 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_target->reportedText().contains(text), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_statuses.contains(QStringLiteral("Pasted")), 5000);
    // The entry keeps its place.
    QCOMPARE(listed(clipboardPage()->list()).first(), text);
}

void TestSettingsPagesDisplay::launchAlertShownOnce()
{
    // The launch check found 2.4.0 while no Updates page was shown.
    AppUpdateManager* manager = m_factory.manager;
    QTRY_VERIFY_WITH_TIMEOUT(manager->snapshot().updateAvailable, 10000);
    QCOMPARE(manager->alertMessage(), std::optional(QStringLiteral("Version 2.4.0 is available.")));
    QCOMPARE(manager->lastNotifiedBuild(), 0);
    openPage(SettingsPage::updates);
    UpdatesSettingsView* page = updatesPage();
    QTRY_VERIFY_WITH_TIMEOUT(page->alert() && page->alert()->isVisible(), 5000);
    QCOMPARE(manager->lastNotifiedBuild(), 240);
    QTest::qWait(300);
    const QRect area = m_app->mainWindow()->frameGeometry().united(page->alert()->frameGeometry());
    QVERIFY(!saveScreenArea(area, QStringLiteral("settings-updates-alert-display-en.png")).isNull());
    clickAt(globalCentre(page->alertOkButton()));
    QTRY_VERIFY_WITH_TIMEOUT(!page->alert(), 5000);
    QCOMPARE(manager->alertMessage(), std::nullopt);

    // Shown once: leaving and coming back opens nothing.
    openPage(SettingsPage::general);
    openPage(SettingsPage::updates);
    QTest::qWait(300);
    QVERIFY(!page->alert());
}

void TestSettingsPagesDisplay::checkAndInstall()
{
    openPage(SettingsPage::updates);
    UpdatesSettingsView* page = updatesPage();
    AppUpdateManager* manager = m_factory.manager;
    m_service->clear();
    MockAiService::Answer slow = MockAiService::Answer::json(200, updateAnswer(httpsDownload));
    slow.path = QString::fromLatin1(MockAiService::updatePath);
    slow.delay = Millis(800);
    m_service->enqueue(slow);

    clickAt(globalCentre(page->checkButton()));
    QTRY_COMPARE_WITH_TIMEOUT(page->checkButton()->text(), QStringLiteral("Checking..."), 3000);
    QVERIFY(!page->checkButton()->isEnabled());
    QCOMPARE(page->statusTitle()->text(), QStringLiteral("Checking for updates"));
    QTRY_COMPARE_WITH_TIMEOUT(page->statusTitle()->text(), QStringLiteral("Update available"), 10000);
    QCOMPARE(page->currentVersionValue()->text(), QStringLiteral("0.1.0"));
    QCOMPARE(page->availableVersionValue()->text(), QStringLiteral("2.4.0"));
    QCOMPARE(page->releaseNotes()->text(), QStringLiteral("Faster paste."));
    QVERIFY(page->releaseNotes()->isVisible());
    // A manual check that finds an update always announces it.
    QTRY_VERIFY_WITH_TIMEOUT(page->alert(), 3000);
    clickAt(globalCentre(page->alertOkButton()));
    QTRY_VERIFY_WITH_TIMEOUT(!page->alert(), 5000);

    clickAt(globalCentre(page->installButton()));
    QTRY_COMPARE_WITH_TIMEOUT(m_opener.opened, QList<QUrl> { QUrl(httpsDownload) }, 3000);

    // An http address never reaches the page: Install Update stays disabled
    // and the alert offers no Install.
    m_service->clear();
    MockAiService::Answer plain
        = MockAiService::Answer::json(200, updateAnswer(QStringLiteral("http://downloads.example.org/mendo.tar.gz")));
    plain.path = QString::fromLatin1(MockAiService::updatePath);
    plain.repeat = true;
    m_service->enqueue(plain);
    clickAt(globalCentre(page->checkButton()));
    QTRY_VERIFY_WITH_TIMEOUT(page->alert(), 10000);
    QVERIFY(!manager->snapshot().downloadURL);
    QVERIFY(page->installButton()->isVisible());
    QVERIFY(!page->installButton()->isEnabled());
    QVERIFY(!page->alertInstallButton()->isVisible());
    clickAt(globalCentre(page->alertOkButton()));
    QTRY_VERIFY_WITH_TIMEOUT(!page->alert(), 5000);
    clickAt(globalCentre(page->installButton()));
    QTest::qWait(300);
    QCOMPARE(m_opener.opened.size(), 1);

    // The https answer again for the restart.
    m_service->clear();
    MockAiService::Answer again = MockAiService::Answer::json(200, updateAnswer(httpsDownload));
    again.path = QString::fromLatin1(MockAiService::updatePath);
    again.repeat = true;
    m_service->enqueue(again);
}

void TestSettingsPagesDisplay::noAlertAgainAfterRestart()
{
    const int checks = int(m_service->requests().size());
    m_app.reset();
    startMendo();
    AppUpdateManager* manager = m_factory.manager;
    QTRY_VERIFY_WITH_TIMEOUT(m_service->requests().size() > checks, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(manager->snapshot().updateAvailable, 10000);
    QCOMPARE(manager->lastNotifiedBuild(), 240);
    QCOMPARE(manager->alertMessage(), std::nullopt);
    openPage(SettingsPage::updates);
    QTest::qWait(500);
    QVERIFY(!updatesPage()->alert());
}

QTEST_MAIN(TestSettingsPagesDisplay)
#include "test_settings_pages_display.moc"
