#include "app/AppStateRig.h"
#include "app/ClipboardHistoryClearing.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

class RecordingHistory final : public ClipboardHistoryClearing {
public:
    void clearHistory() override { ++clears; }
    int clears = 0;
};

PromptStyle userStyle(const QString& id, const QString& name = QStringLiteral("Pirate"))
{
    return PromptStyle { id, name, QStringLiteral("Talk like a pirate."), QStringLiteral("Not assigned"), true };
}

QStringList styleIds(const QList<PromptStyle>& styles)
{
    QStringList ids;
    for (const PromptStyle& style : styles)
        ids << style.id;
    return ids;
}

}  // namespace

Q_DECLARE_METATYPE(mendo::UiLanguage)

class TestAppState : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadsWithoutSaving();
    void everySettingsAssignmentSavesAndRepublishes();
    void titles_data();
    void titles();
    void clearClipboardHistory();
    void surfaceObserver();
    void surfaceObserverWithoutChanges();
    void addPromptStyle_data();
    void addPromptStyle();
    void deletePromptStyle();
    void updateStyles();
    void replyStyles();
    void requestPermissions();
    void resetPermissions_data();
    void resetPermissions();
    void resetFailure();
    void refreshSetsNoStatus();
    void openPermissionSettings();
};

void TestAppState::loadsWithoutSaving()
{
    AppStateRig rig([](MendoSettings& s) { s.targetLanguage = QStringLiteral("German"); });
    QCOMPARE(rig.defaults.writes, 0);
    QCOMPARE(rig.state->targetLanguage(), QStringLiteral("German"));
    QCOMPARE(rig.state->promptStyles(), rig.state->settings().promptStyles);
    QCOMPARE(rig.state->sampleText(), QStringLiteral("Hi, how are you?"));
    QVERIFY(rig.state->status().isIdle());
    QCOMPARE(rig.state->permissionState(), PermissionState {});
}

void TestAppState::everySettingsAssignmentSavesAndRepublishes()
{
    AppStateRig rig;
    // Working copies changed by hand are overwritten by the next settings change.
    rig.state->setTargetLanguage(QStringLiteral("French"));
    rig.state->setQuickActions({});
    QSignalSpy prompt(rig.state.get(), &MendoAppState::promptStylesChanged);
    QSignalSpy reply(rig.state.get(), &MendoAppState::aiReplyStylesChanged);
    QSignalSpy actions(rig.state.get(), &MendoAppState::quickActionsChanged);
    QSignalSpy language(rig.state.get(), &MendoAppState::targetLanguageChanged);
    QSignalSpy settings(rig.state.get(), &MendoAppState::settingsChanged);

    rig.setLanguage(UiLanguage::ru);
    for (QSignalSpy* spy : { &prompt, &reply, &actions, &language, &settings })
        QCOMPARE(spy->size(), 1);
    QCOMPARE(rig.store.load(), rig.state->settings());
    QCOMPARE(rig.store.load().uiLanguage, UiLanguage::ru);
    QCOMPARE(rig.state->targetLanguage(), QStringLiteral("English"));
    QCOMPARE(rig.state->quickActions(), QuickAction::defaultActions());

    // The working copy holds canonical ids; the record keeps what was assigned.
    MendoSettings assigned = rig.state->settings();
    assigned.quickMenuActions = { QStringLiteral(" fix "), QStringLiteral("friendly"), QStringLiteral("layout") };
    rig.state->setSettings(assigned);
    QCOMPARE(
        rig.state->quickActions(), (QList<QuickAction> { { "style:original" }, { "style:friendly" }, { "layout" } }));
    QCOMPARE(rig.state->settings().quickMenuActions.first(), QStringLiteral(" fix "));

    // An unchanged record is saved and published again all the same.
    const int writes = rig.defaults.writes;
    rig.state->setSettings(rig.state->settings());
    QVERIFY(rig.defaults.writes > writes);
    QCOMPARE(settings.size(), 3);
}

void TestAppState::titles_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("ru");

    QTest::newRow("assistant") << "ai"
                               << "AI assistant"
                               << "AI помощник";
    QTest::newRow("clipboard") << "clipboard"
                               << "Clipboard"
                               << "Буфер";
    QTest::newRow("layout") << "layout"
                            << "Layout"
                            << "Раскладка";
    QTest::newRow("translate") << "translate"
                               << "Translate"
                               << "Перевод";
    QTest::newRow("translate style") << "style:translate"
                                     << "Translate"
                                     << "Перевод";
    QTest::newRow("built-in style") << "style:original"
                                    << "Fix"
                                    << "Исправить";
    QTest::newRow("polite") << "style:polite"
                            << "Polite"
                            << "Вежливо";
    QTest::newRow("user style") << "style:custom-0badf00d"
                                << "Pirate"
                                << "Pirate";
    QTest::newRow("deleted user style") << "style:custom-deadbeef"
                                        << "Действие"
                                        << "Действие";
    QTest::newRow("unknown id") << "fix"
                                << "Действие"
                                << "Действие";
}

void TestAppState::titles()
{
    QFETCH(QString, action);
    QFETCH(QString, en);
    QFETCH(QString, ru);

    AppStateRig rig([](MendoSettings& s) { s.promptStyles.append(userStyle(QStringLiteral("custom-0badf00d"))); });
    QCOMPARE(rig.state->title(QuickAction { action }), en);
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(rig.state->title(QuickAction { action }), ru);
}

void TestAppState::clearClipboardHistory()
{
    AppStateRig rig;
    RecordingHistory history;
    rig.state->setClipboardHistory(&history);
    rig.setLanguage(UiLanguage::ru);
    rig.state->clearClipboardHistory();
    QCOMPARE(history.clears, 1);
    rig.clock.advance(900ms);
    QCOMPARE(rig.statuses, QStringList({ "0 done История буфера очищена", "900 idle" }));
}

void TestAppState::surfaceObserver()
{
    AppStateRig rig;
    QSignalSpy changes(rig.state.get(), &MendoAppState::systemSurfaceModeChanged);
    const int timersBefore = rig.clock.pendingTimers();
    rig.state->startSystemSurfaceObserver();
    rig.state->startSystemSurfaceObserver();
    QCOMPARE(rig.clock.pendingTimers(), timersBefore + 1);
    QCOMPARE(rig.state->systemSurfaceMode(), SurfaceMode::translucent);

    // No notice comes from the desktop: the poll picks the change up.
    rig.transparency.reduce = true;
    rig.clock.advance(750ms);
    QCOMPARE(rig.state->systemSurfaceMode(), SurfaceMode::solid);
    rig.clock.advance(3s);
    QCOMPARE(changes.size(), 1);

    // A change of the user defaults refreshes at once.
    rig.transparency.reduce = false;
    rig.defaults.set(QStringLiteral("NSGlassDiffusionSetting"), qint64(0));
    QCOMPARE(rig.state->systemSurfaceMode(), SurfaceMode::translucent);
}

// Wishes that cannot change (X11 has none) are read at start and on the
// notices that come anyway, never polled.
void TestAppState::surfaceObserverWithoutChanges()
{
    AppStateRig rig;
    rig.transparency.changes = false;
    const int timersBefore = rig.clock.pendingTimers();
    rig.state->startSystemSurfaceObserver();
    QCOMPARE(rig.clock.pendingTimers(), timersBefore);
    QVERIFY(rig.state->isObservingSystemSurface());
    rig.transparency.reduce = true;
    rig.clock.advance(3s);
    QCOMPARE(rig.state->systemSurfaceMode(), SurfaceMode::translucent);
    rig.defaults.set(QStringLiteral("NSGlassDiffusionSetting"), qint64(0));
    QCOMPARE(rig.state->systemSurfaceMode(), SurfaceMode::solid);
}

void TestAppState::addPromptStyle_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("prompt");

    QTest::newRow("en") << UiLanguage::en << "New Style"
                        << "Rewrite the text in the requested style. Preserve the meaning and return only the final "
                           "text.";
    QTest::newRow("ru") << UiLanguage::ru << "Новый стиль"
                        << "Перепиши текст в нужном стиле. Сохрани смысл и верни только готовый текст.";
}

void TestAppState::addPromptStyle()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, name);
    QFETCH(QString, prompt);

    AppStateRig rig;
    rig.setLanguage(language);
    rig.state->addPromptStyle();

    const PromptStyle added = rig.state->settings().promptStyles.last();
    QVERIFY2(
        QRegularExpression(QStringLiteral("^custom-[0-9a-f]{8}$")).match(added.id).hasMatch(), qPrintable(added.id));
    QCOMPARE(added, (PromptStyle { added.id, name, prompt, QStringLiteral("Not assigned"), true }));
    const QString key = QStringLiteral("style:") + added.id;
    QCOMPARE(rig.state->settings().quickMenuActions.last(), key);
    QCOMPARE(rig.state->settings().quickMenuOrder.last(), key);
    QCOMPARE(rig.state->quickActions().last(), QuickAction { key });
    QCOMPARE(rig.state->promptStyles().last(), added);
    QCOMPARE(rig.state->selectedSettingsPage(), SettingsPage::styles);
    QCOMPARE(rig.store.load().promptStyles.last(), added);

    rig.state->addPromptStyle();
    QVERIFY(rig.state->promptStyles().last().id != added.id);
}

void TestAppState::deletePromptStyle()
{
    const QString id = QStringLiteral("custom-0badf00d");
    AppStateRig rig([&](MendoSettings& s) {
        s.promptStyles.append(userStyle(id));
        s.promptStyles.append(userStyle(QStringLiteral("custom-12345678"), QStringLiteral("Other")));
        // Entries that only normalise to the style's key go too.
        s.quickMenuActions = { QStringLiteral("ai"), QStringLiteral(" style:custom-0badf00d "),
            QStringLiteral("layout"), QStringLiteral("style:custom-0badf00d") };
        s.quickMenuOrder = { QStringLiteral("style:custom-0badf00d\n"), QStringLiteral("translate") };
        s.selectedStyleId = QStringLiteral("custom-0badf00d");
    });
    const MendoSettings before = rig.state->settings();

    rig.state->deletePromptStyle(rig.state->promptStyles().at(1));  // a built-in one
    QCOMPARE(rig.state->settings(), before);

    rig.state->deletePromptStyle(userStyle(id));
    QVERIFY(!styleIds(rig.state->promptStyles()).contains(id));
    QCOMPARE(styleIds(rig.state->promptStyles()).last(), QStringLiteral("custom-12345678"));
    QCOMPARE(rig.state->settings().quickMenuActions, QStringList({ "ai", "layout" }));
    QCOMPARE(rig.state->settings().quickMenuOrder, QStringList({ "translate" }));
    QCOMPARE(rig.state->settings().selectedStyleId, id);
    QCOMPARE(rig.store.load().quickMenuActions, QStringList({ "ai", "layout" }));

    // Handed an element of the state's own list, which the first edit replaces.
    rig.state->deletePromptStyle(rig.state->settings().promptStyles.last());
    QVERIFY(!styleIds(rig.state->promptStyles()).contains(QStringLiteral("custom-12345678")));
}

void TestAppState::updateStyles()
{
    const QString id = QStringLiteral("custom-0badf00d");
    AppStateRig rig([&](MendoSettings& s) { s.promptStyles.append(userStyle(id)); });

    PromptStyle edited = userStyle(id, QStringLiteral("Buccaneer"));
    edited.hotkey = QStringLiteral("Alt+P");
    edited.autoReplace = false;
    rig.state->updatePromptStyle(edited);
    QCOMPARE(rig.state->promptStyles().last(), edited);
    QCOMPARE(rig.store.load().promptStyles.last(), edited);

    const MendoSettings before = rig.state->settings();
    rig.state->updatePromptStyle(userStyle(QStringLiteral("custom-ffffffff")));
    QCOMPARE(rig.state->settings(), before);
}

void TestAppState::replyStyles()
{
    AppStateRig rig;
    rig.setLanguage(UiLanguage::ru);
    const MendoSettings before = rig.state->settings();
    AIReplyStyle casual = rig.state->aiReplyStyles().first();
    for (const AIReplyStyle& style : rig.state->aiReplyStyles()) {
        if (style.id == QLatin1String("casual"))
            casual = style;
    }
    rig.state->deleteAIReplyStyle(casual);
    QCOMPARE(rig.state->settings(), before);

    rig.state->addAIReplyStyle();
    const AIReplyStyle added = rig.state->aiReplyStyles().last();
    QVERIFY2(QRegularExpression(QStringLiteral("^custom-reply-[0-9a-f]{8}$")).match(added.id).hasMatch(),
        qPrintable(added.id));
    QCOMPARE(added.name, QStringLiteral("Новый стиль ответа"));
    QCOMPARE(
        added.prompt, QStringLiteral("Напиши естественный готовый ответ в нужном стиле. Верни только текст ответа."));
    QCOMPARE(added.hotkey, QStringLiteral("Not assigned"));
    QCOMPARE(rig.state->selectedSettingsPage(), SettingsPage::aiReply);
    QCOMPARE(rig.state->settings().quickMenuActions, before.quickMenuActions);

    AIReplyStyle edited = added;
    edited.name = QStringLiteral("Сухо");
    rig.state->updateAIReplyStyle(edited);
    QCOMPARE(rig.store.load().aiReplyStyles.last(), edited);

    rig.state->deleteAIReplyStyle(edited);
    QCOMPARE(rig.state->aiReplyStyles(), before.aiReplyStyles);
}

void TestAppState::requestPermissions()
{
    AppStateRig rig;
    rig.accessibility.granted = false;
    rig.setLanguage(UiLanguage::ru);
    rig.state->requestPermissions();
    rig.clock.advance(2s);
    QCOMPARE(rig.statuses,
        QStringList({ "0 running Запрашиваю разрешения", "0 done Запрос разрешений отправлен", "900 idle" }));
    QCOMPARE(rig.state->permissionState(), (PermissionState { true, true }));

    // The same text when the desktop grants nothing.
    AppStateRig denied;
    denied.inputMonitoring.grantOnRequest = false;
    denied.state->requestPermissions();
    QCOMPARE(denied.state->status(), ActionStatus::done(QStringLiteral("Permission request sent")));
    QCOMPARE(denied.state->permissionState(), (PermissionState { true, false }));
}

void TestAppState::resetPermissions_data()
{
    QTest::addColumn<bool>("requestAgain");
    QTest::addColumn<QString>("done");
    QTest::addColumn<int>("requests");

    QTest::newRow("read again") << false << "Разрешения Mendo сброшены" << 0;
    QTest::newRow("asked again") << true << "Разрешения сброшены. Новый запрос отправлен." << 1;
}

void TestAppState::resetPermissions()
{
    QFETCH(bool, requestAgain);
    QFETCH(QString, done);
    QFETCH(int, requests);

    AppStateRig rig;
    rig.processes.clock = &rig.clock;
    rig.processes.runTime = 10ms;
    rig.inputMonitoring.granted = true;
    rig.state->resetMendoPermissions(requestAgain);
    QCOMPARE(rig.statuses, QStringList { "0 running Resetting permissions" });

    // Ten resets of 10 ms, then the grants are read 350 ms later, in the
    // language of that moment.
    rig.clock.advance(100ms);
    rig.setLanguage(UiLanguage::ru);
    rig.clock.advance(349ms);
    QCOMPARE(rig.state->permissionState(), PermissionState {});
    rig.clock.advance(1ms);
    QCOMPARE(rig.state->permissionState(), (PermissionState { true, true }));
    QCOMPARE(rig.statuses.last(), QStringLiteral("450 done ") + done);
    QCOMPARE(rig.processes.runs.size(), 10);
    QCOMPARE(rig.accessibility.requests, requests);
    QCOMPARE(rig.inputMonitoring.requests, requests);
}

void TestAppState::resetFailure()
{
    // No reset tool on this system: the launch failure is the status.
    AppStateRig rig;
    rig.processes.launchError = QStringLiteral("execve: No such file or directory");
    rig.state->resetMendoPermissions(true);
    rig.clock.advance(2s);
    QCOMPARE(rig.statuses,
        QStringList({ "0 running Resetting permissions", "0 failed execve: No such file or directory", "1300 idle" }));
    QCOMPARE(rig.state->permissionState(), PermissionState {});
    QCOMPARE(rig.accessibility.requests, 0);
}

void TestAppState::refreshSetsNoStatus()
{
    AppStateRig rig;
    rig.inputMonitoring.granted = true;
    QSignalSpy changes(rig.state.get(), &MendoAppState::permissionStateChanged);
    rig.state->refreshPermissions();
    QCOMPARE(rig.state->permissionState(), (PermissionState { true, true }));
    QCOMPARE(changes.size(), 1);
    QVERIFY(rig.statuses.isEmpty());
}

void TestAppState::openPermissionSettings()
{
    AppStateRig rig;
    int windowShown = 0;
    rig.state->setMainWindowOpener([&] { ++windowShown; });

    rig.processes.installed.insert(
        QStringLiteral("gnome-control-center"), QStringLiteral("/usr/bin/gnome-control-center"));
    rig.state->openPermissionSettings(PermissionSettingsTarget::inputMonitoring);
    QCOMPARE(rig.processes.started, QStringList { "/usr/bin/gnome-control-center universal-access" });
    QCOMPARE(windowShown, 0);

    // Without the desktop's settings, MendoAI's own page.
    rig.processes.installed.clear();
    rig.state->openPermissionSettings(PermissionSettingsTarget::accessibility);
    QCOMPARE(windowShown, 1);
    QCOMPARE(rig.state->selectedSettingsPage(), SettingsPage::permissions);
    QVERIFY(rig.statuses.isEmpty());
}

QTEST_GUILESS_MAIN(TestAppState)
#include "test_app_state.moc"
