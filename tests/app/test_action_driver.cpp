#include "app/AppStateRig.h"
#include "app/ActionDriver.h"
#include "engine/BackendClientError.h"
#include "engine/MendoCoreError.h"
#include "engine/PasteboardServiceError.h"

#include <QRegularExpression>
#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

enum class Fault { none, read, engine, paste };

template <class E> std::function<void()> thrower(E error)
{
    return [error] { throw error; };
}

}  // namespace

Q_DECLARE_METATYPE(mendo::UiLanguage)
Q_DECLARE_METATYPE(Fault)

class TestActionDriver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void statusSequences_data();
    void statusSequences();
    void selectAll_data();
    void selectAll();
    void silentLayoutFix_data();
    void silentLayoutFix();
    void layoutSwitchAfterTheFix_data();
    void layoutSwitchAfterTheFix();
    void engineGetsTheStateLists();
    void sampleTextOnlyWhenAsked();
    void selectionWhitespaceIsPutBack_data();
    void selectionWhitespaceIsPutBack();
    void resultGoesBackToItsWindow_data();
    void resultGoesBackToItsWindow();
    void onePastingRunPerWindow_data();
    void onePastingRunPerWindow();
};

void TestActionDriver::statusSequences_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("pasteResult");
    QTest::addColumn<QString>("input");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QStringList>("statuses");
    QTest::addColumn<QString>("latestOutput");

    const auto en = UiLanguage::en;
    const auto ru = UiLanguage::ru;
    QTest::newRow("engine, pasted") << en << "style:professional" << true << "" << Fault::none
                                    << QStringList { "0 running Professional running", "0 running Reading selection",
                                           "10 running Профессионально running", "20 running Pasting", "30 done Pasted",
                                           "930 idle" }
                                    << "result";
    QTest::newRow("engine, pasted, ru") << ru << "style:professional" << true << "" << Fault::none
                                        << QStringList { "0 running Выполняю: Профессионально",
                                               "0 running Читаю выделение", "10 running Профессионально running",
                                               "20 running Вставляю", "30 done Вставлено", "930 idle" }
                                        << "result";
    QTest::newRow("engine, shown") << en << "translate" << false << "" << Fault::none
                                   << QStringList { "0 running Translate running", "0 running Перевод running",
                                          "10 done result", "910 idle" }
                                   << "result";
    QTest::newRow("engine, shown, ru") << ru << "translate" << false << "" << Fault::none
                                       << QStringList { "0 running Выполняю: Перевод", "0 running Перевод running",
                                              "10 done result", "910 idle" }
                                       << "result";
    QTest::newRow("layout, shown") << en << "layout" << false << "ghbdtn" << Fault::none
                                   << QStringList { "0 running Layout running", "0 running Раскладка running",
                                          "0 done привет", "900 idle" }
                                   << "привет";
    QTest::newRow("layout, shown, ru") << ru << "layout" << false << "ghbdtn" << Fault::none
                                       << QStringList { "0 running Выполняю: Раскладка", "0 running Раскладка running",
                                              "0 done привет", "900 idle" }
                                       << "привет";
    QTest::newRow("layout, silent") << en << "layout" << true << "ghbdtn" << Fault::none << QStringList { "20 idle" }
                                    << "привет";

    QTest::newRow("no selection") << en << "style:friendly" << true << "" << Fault::read
                                  << QStringList { "0 running Friendly running", "0 running Reading selection",
                                         "10 failed No selected text.", "1310 idle" }
                                  << "";
    QTest::newRow("service fails, ru") << ru << "style:friendly" << true << "" << Fault::engine
                                       << QStringList { "0 running Выполняю: Дружелюбно", "0 running Читаю выделение",
                                              "10 running Дружелюбно running", "20 failed AI returned an empty result.",
                                              "1320 idle" }
                                       << "";
    // The answer the service gave survives a paste that fails.
    QTest::newRow("paste fails") << en << "translate" << true << "" << Fault::paste
                                 << QStringList { "0 running Translate running", "0 running Reading selection",
                                        "10 running Перевод running", "20 running Pasting",
                                        "30 failed No app to paste into.", "1330 idle" }
                                 << "result";
    QTest::newRow("silent, copy fails, ru") << ru << "layout" << true << "" << Fault::read
                                            << QStringList { "10 failed No selected text.", "1310 idle" } << "";
    QTest::newRow("silent, paste fails") << en << "layout" << true << "ghbdtn" << Fault::paste
                                         << QStringList { "20 failed No app to paste into.", "1320 idle" } << "привет";
    QTest::newRow("assistant reaches the engine")
        << en << "ai" << true << "" << Fault::none
        << QStringList { "0 running AI assistant running", "0 running Reading selection",
               "10 running AI помощник running", "20 failed This action is not available natively yet: AI assistant",
               "1320 idle" }
        << "";
}

void TestActionDriver::statusSequences()
{
    QFETCH(UiLanguage, language);
    QFETCH(QString, action);
    QFETCH(bool, pasteResult);
    QFETCH(QString, input);
    QFETCH(Fault, fault);
    QFETCH(QStringList, statuses);
    QFETCH(QString, latestOutput);

    AppStateRig rig;
    rig.setLanguage(language);
    rig.state->setSampleText(input);
    rig.selection.selection = input;
    if (action == QLatin1String("ai"))
        rig.engine.error = thrower(MendoCoreError::actionNotPortedYet(QStringLiteral("AI assistant")));
    if (fault == Fault::read)
        rig.selection.readError = thrower(PasteboardServiceError(PasteboardServiceError::emptySelection));
    if (fault == Fault::engine)
        rig.engine.error = thrower(BackendClientError::emptyResult());
    if (fault == Fault::paste)
        rig.selection.pasteError = thrower(PasteboardServiceError(PasteboardServiceError::pasteTargetUnavailable));

    rig.state->run(QuickAction { action }, pasteResult, false);
    rig.clock.advance(5s);

    QCOMPARE(rig.statuses, statuses);
    QCOMPARE(rig.state->latestOutput(), latestOutput);
    QCOMPARE(rig.state->sampleText(), input);
}

void TestActionDriver::selectAll_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("setting");
    QTest::addColumn<bool>("selectAll");

    QTest::newRow("translate") << "translate" << true << true;
    QTest::newRow("style") << "style:friendly" << true << true;
    QTest::newRow("user style") << "style:custom-12345678" << true << true;
    QTest::newRow("assistant") << "ai" << true << false;
    QTest::newRow("clipboard") << "clipboard" << true << false;
    QTest::newRow("setting off") << "style:friendly" << false << false;
}

void TestActionDriver::selectAll()
{
    QFETCH(QString, action);
    QFETCH(bool, setting);
    QFETCH(bool, selectAll);

    AppStateRig rig([&](MendoSettings& s) { s.autoSelectAllBeforeAction = setting; });
    rig.state->run(QuickAction { action }, true, false);
    rig.clock.advance(5s);
    QCOMPARE(rig.selection.calls.value(0), QStringLiteral("read selectAll=%1 fallback=1 standard").arg(int(selectAll)));
}

void TestActionDriver::silentLayoutFix_data()
{
    QTest::addColumn<QString>("accessibilityText");
    QTest::addColumn<bool>("replaceSucceeds");
    QTest::addColumn<QStringList>("calls");

    QTest::newRow("replaced in place") << "ghbdtn" << true << QStringList { "replace привет" };
    QTest::newRow("refused in place, pasted quickly")
        << "ghbdtn" << false << QStringList { "replace привет", "paste привет quick" };
    QTest::newRow("only blanks: copied quickly, no select-all, no field fallback")
        << " \n\t" << true << QStringList { "read selectAll=0 fallback=0 quick", "paste привет quick" };
}

void TestActionDriver::silentLayoutFix()
{
    QFETCH(QString, accessibilityText);
    QFETCH(bool, replaceSucceeds);
    QFETCH(QStringList, calls);

    AppStateRig rig;
    rig.focused.layoutSelection = accessibilityText;
    rig.selection.selection = QStringLiteral("ghbdtn");
    rig.selection.replaceSucceeds = replaceSucceeds;
    // A finished earlier action still shows; the quiet fix clears it.
    rig.state->setStatus(ActionStatus::done(QStringLiteral("earlier")));
    rig.statuses.clear();

    rig.state->run(QuickAction { QStringLiteral("layout") }, true, false);
    rig.clock.advance(5s);

    QCOMPARE(rig.selection.calls, calls);
    QCOMPARE(rig.statuses.size(), 1);
    QVERIFY(rig.statuses.first().endsWith(QLatin1String(" idle")));
    QCOMPARE(rig.state->latestOutput(), QStringLiteral("привет"));
}

void TestActionDriver::layoutSwitchAfterTheFix_data()
{
    QTest::addColumn<bool>("autoSwitch");
    QTest::addColumn<bool>("sourceInstalled");
    QTest::addColumn<int>("selections");

    QTest::newRow("switched") << true << true << 1;
    QTest::newRow("switch fails quietly") << true << false << 0;
    QTest::newRow("auto switch off") << false << true << 0;
}

void TestActionDriver::layoutSwitchAfterTheFix()
{
    QFETCH(bool, autoSwitch);
    QFETCH(bool, sourceInstalled);
    QFETCH(int, selections);

    AppStateRig rig([&](MendoSettings& s) { s.layoutAutoSwitch = autoSwitch; });
    if (sourceInstalled)
        rig.inputSources.add(QStringLiteral("ru"), QStringLiteral("Русская — ПК"),
            FakeInputSources::layoutFromRows(QStringLiteral("йцукен"), QStringLiteral("ЙЦУКЕН")));
    rig.focused.layoutSelection = QStringLiteral("ghbdtn");

    rig.state->run(QuickAction { QStringLiteral("layout") }, true, false);
    rig.clock.advance(5s);

    QCOMPARE(rig.inputSources.selected.size(), selections);
    QVERIFY(rig.state->status().isIdle());
    QCOMPARE(rig.statuses.size(), 1);
}

void TestActionDriver::engineGetsTheStateLists()
{
    // The state's working copies, not the settings fields, reach the engine.
    AppStateRig rig;
    rig.state->setTargetLanguage(QStringLiteral("German"));
    rig.state->setPromptStyles(rig.state->promptStyles().mid(0, 2));
    rig.state->setSampleText(QStringLiteral("Hallo"));
    rig.state->run(QuickAction { QStringLiteral("translate") }, false, false);
    rig.clock.advance(5s);
    QCOMPARE(rig.engine.calls, QStringList { "translate [Hallo] German styles=2" });
    QCOMPARE(rig.state->settings().targetLanguage, QStringLiteral("English"));
}

void TestActionDriver::sampleTextOnlyWhenAsked()
{
    AppStateRig rig;
    rig.state->setSampleText(QStringLiteral("ghbdtn"));
    rig.state->run(QuickAction { QStringLiteral("style:short") }, false, false);
    rig.clock.advance(5s);
    QCOMPARE(rig.state->sampleText(), QStringLiteral("ghbdtn"));

    rig.state->run(QuickAction { QStringLiteral("layout") }, false, true);
    rig.clock.advance(5s);
    QCOMPARE(rig.state->sampleText(), QStringLiteral("привет"));

    rig.state->run(QuickAction { QStringLiteral("style:short") }, false, true);
    rig.clock.advance(5s);
    QCOMPARE(rig.state->sampleText(), QStringLiteral("result"));
}

void TestActionDriver::selectionWhitespaceIsPutBack_data()
{
    QTest::addColumn<QString>("selection");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("pasted");

    QTest::newRow("triple-clicked paragraph") << "Helo wrld\n"
                                              << "Hello world"
                                              << "Hello world\n";
    QTest::newRow("both sides") << "  \u00a0teh cat \n\n"
                                << "the cat"
                                << "  \u00a0the cat \n\n";
    QTest::newRow("answer keeps its own") << "\nteh cat\n"
                                          << " the cat\r\n"
                                          << " the cat\r\n";
    QTest::newRow("nothing around") << "teh cat"
                                    << "the cat"
                                    << "the cat";
}

void TestActionDriver::selectionWhitespaceIsPutBack()
{
    QFETCH(QString, selection);
    QFETCH(QString, result);
    QFETCH(QString, pasted);

    AppStateRig rig;
    rig.selection.selection = selection;
    rig.engine.result = result;
    rig.state->run(QuickAction { QStringLiteral("style:original") }, true, false);
    rig.clock.advance(5s);

    QCOMPARE(rig.selection.calls.value(1), QStringLiteral("paste ") + pasted + QStringLiteral(" standard"));
    QCOMPARE(rig.state->latestOutput(), result);
}

void TestActionDriver::resultGoesBackToItsWindow_data()
{
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<quint64>("pastedInto");  // 0: nowhere
    QTest::addColumn<QString>("outcome");

    const quint64 editor = FakeDesktop::editor.window;
    const QString pasted = QStringLiteral("done Pasted");
    const QString gone = QStringLiteral("failed No app to paste into.");
    QTest::newRow("user moved to another application") << "other" << editor << pasted;
    QTest::newRow("user moved to another window of the same program") << "sibling" << editor << pasted;
    QTest::newRow("source window closed") << "close" << quint64(0) << gone;
    QTest::newRow("source window closed, another of its program open") << "close sibling" << quint64(0) << gone;
}

// The service takes its time; the user works on elsewhere meanwhile.
void TestActionDriver::resultGoesBackToItsWindow()
{
    QFETCH(QString, meanwhile);
    QFETCH(quint64, pastedInto);
    QFETCH(QString, outcome);

    AppStateRig rig({}, true);
    FakeDesktop& desktop = *rig.desktop;
    const RunningApplication sibling { FakeDesktop::editor.processIdentifier, FakeDesktop::editor.bundleIdentifier,
        FakeDesktop::editor.window + 1 };
    desktop.pasteboard.copyFromOutside(QStringLiteral("user's own"));
    rig.engine.delay = 2s;
    QList<quint64> pastes;
    desktop.keyboard.onPost = [&](EditShortcut shortcut) {
        const quint64 front = desktop.workspace.front ? desktop.workspace.front->window : 0;
        if (shortcut == EditShortcut::Copy)
            desktop.pasteboard.copyFromOutside(QStringLiteral("teh text"), front);
        if (shortcut == EditShortcut::Paste) {
            pastes << front;
            desktop.pasteboard.serve(front);
        }
    };

    rig.state->run(QuickAction { QStringLiteral("style:professional") }, true, false);
    rig.clock.advance(1s);
    if (meanwhile.startsWith(QLatin1String("close")))
        desktop.workspace.closedWindows << FakeDesktop::editor.window;
    if (meanwhile.endsWith(QLatin1String("sibling"))) {
        desktop.workspace.applications << sibling;
        desktop.workspace.bringToFront(sibling);
    } else {
        desktop.workspace.bringToFront(FakeDesktop::other);
    }
    rig.clock.advance(10s);

    QCOMPARE(pastes, pastedInto ? QList<quint64> { pastedInto } : QList<quint64> {});
    QVERIFY2(rig.statuses.join(QLatin1Char('\n')).contains(outcome), qPrintable(rig.statuses.join(QLatin1Char('\n'))));
    // The answer is kept either way.
    QCOMPARE(rig.state->latestOutput(), QStringLiteral("result"));
    QCOMPARE(desktop.pasteboard.string(), std::optional<QString>(QStringLiteral("user's own")));
}

void TestActionDriver::onePastingRunPerWindow_data()
{
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("secondAtMs");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("pastes");
    QTest::addColumn<int>("logLines");

    QTest::newRow("a second press in the same window") << "same" << 50 << 1 << 1 << 1;
    QTest::newRow("a quiet layout fix in the same window") << "layout" << 50 << 1 << 1 << 1;
    QTest::newRow("a press in another window") << "other" << 50 << 2 << 2 << 0;
    QTest::newRow("a sample run of the settings window") << "sample" << 50 << 2 << 1 << 0;
    QTest::newRow("a press after the first run ended") << "same" << 3000 << 2 << 2 << 0;
}

void TestActionDriver::onePastingRunPerWindow()
{
    QFETCH(QString, second);
    QFETCH(int, secondAtMs);
    QFETCH(int, requests);
    QFETCH(int, pastes);
    QFETCH(int, logLines);

    AppStateRig rig;
    rig.engine.delay = 1s;
    rig.focused.layoutSelection = QStringLiteral("ghbdtn");
    const QuickAction action { QStringLiteral("style:friendly") };
    rig.state->run(action, true, false);
    rig.clock.advance(Millis(secondAtMs));
    const QStringList statusesBefore = rig.statuses;
    if (second == QLatin1String("other"))
        rig.selection.source = RunningApplication { 200, QStringLiteral("org.example.Other"), 21 };
    if (second == QLatin1String("layout"))
        rig.state->run(QuickAction { QStringLiteral("layout") }, true, false);
    else
        rig.state->run(action, second != QLatin1String("sample"), false);
    if (logLines)
        QCOMPARE(rig.statuses, statusesBefore);  // the running one's status stays
    rig.clock.advance(10s);

    const qsizetype layoutPastes = rig.selection.calls.filter(QStringLiteral("replace ")).size();
    QCOMPARE(rig.engine.calls.size(), requests);
    QCOMPARE(rig.selection.calls.filter(QRegularExpression(QStringLiteral("^paste "))).size() + layoutPastes, pastes);
    QCOMPARE(rig.log.lines.size(), logLines);
}

QTEST_GUILESS_MAIN(TestActionDriver)
#include "test_action_driver.moc"
