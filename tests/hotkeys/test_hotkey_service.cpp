#include "fakes/FakeHotkeyRegistrar.h"
#include "hotkeys/HotkeyServiceRig.h"
#include "hotkeys/ParsedHotkey.h"

#include <QtTest>

using namespace mendo;
using Kind = RegisteredHotkeyAction::Kind;

namespace {

HotkeyChord chord(const char* text)
{
    return ParsedHotkey::parse(text)->chord();
}

PromptStyle style(QString id, QString hotkey)
{
    PromptStyle s;
    s.id = std::move(id);
    s.hotkey = std::move(hotkey);
    return s;
}

AIReplyStyle reply(QString id, QString hotkey)
{
    AIReplyStyle s;
    s.id = std::move(id);
    s.hotkey = std::move(hotkey);
    return s;
}

struct Rig : HotkeyServiceRig<FakeHotkeyRegistrar> {
    Rig() { app.current.windowTilingHotkeys.clear(); }
    void press(const char* text)
    {
        QVERIFY2(registrar.press(chord(text)), text);
        QCoreApplication::processEvents();
    }
    QList<Kind> kinds() const
    {
        QList<Kind> result;
        for (const auto& action : service.registeredActions())
            result.append(action.kind);
        return result;
    }
};

}  // namespace

class TestHotkeyService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registersInOrderWithIdsWithoutGaps()
    {
        Rig rig;
        rig.app.styles = {style("pro", "Alt+P"), style("none", "NOT ASSIGNED"), style("fun", "Alt+F")};
        rig.app.replies = {reply("short", "Alt+S")};
        rig.app.current.windowTilingHotkeys = {{"leftHalf", "Control+Alt+Shift+Left"}, {"tileAll", "Control+Alt+4"}};
        rig.start();

        const QMap<quint32, RegisteredHotkeyAction> expected{
            {1, {Kind::assistant, {}}},
            {2, {Kind::clipboard, {}}},
            {3, {Kind::layout, {}}},
            {4, {Kind::translationPreview, {}}},
            {5, RegisteredHotkeyAction::style("pro")},
            {6, RegisteredHotkeyAction::style("fun")},
            {7, RegisteredHotkeyAction::reply("short")},
            {8, {Kind::quickMenu, {}}},
            {9, RegisteredHotkeyAction::windowTiling("tileAll")},
            {10, RegisteredHotkeyAction::windowTiling("leftHalf")},
        };
        QCOMPARE(rig.service.registeredActions(), expected);
        QCOMPARE(rig.registrar.registered.value(1), chord("Alt+I"));
        QCOMPARE(rig.registrar.registered.value(6), chord("Alt+F"));
        QCOMPARE(rig.registrar.registered.value(10), chord("Control+Alt+Shift+Left"));
        QVERIFY(rig.app.failures.isEmpty());
    }

    void firstHotkeyWithAChordKeepsIt()
    {
        Rig rig;
        rig.app.styles = {style("pro", "Alt+Shift+P")};
        rig.app.replies = {reply("short", "shift + alt + p")};
        rig.app.current.quickMenuHotkey = "Option+I";  // the assistant's chord
        rig.start();

        QCOMPARE(rig.kinds(), (QList<Kind>{Kind::assistant, Kind::clipboard, Kind::layout, Kind::translationPreview,
                                           Kind::style}));
        QVERIFY(rig.app.failures.isEmpty());
        rig.press("Alt+Shift+P");
        QCOMPARE(rig.app.calls, (QStringList{"run style:pro in org.example.Editor paste=1 sample=0"}));
    }

    void windowHotkeysOnlyWhileTilingIsOn()
    {
        Rig rig;
        rig.app.current.windowTilingEnabled = false;
        rig.app.current.windowTilingHotkeys = {{"full", "Control+Alt+Return"}};
        rig.start();
        QCOMPARE(rig.service.registeredActions().size(), 5);

        // Turned on: registered, and the bad ones left out without a word.
        rig.app.current.windowTilingEnabled = true;
        rig.app.current.windowTilingHotkeys = {
            {"full", "Control+Alt+Return"}, {"fill", "Hyper+Up"}, {"swapUp", "Alt+I"}, {"tileAll", "Control+Alt+9"}};
        rig.registrar.heldElsewhere = {chord("Control+Alt+9")};
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QCOMPARE(rig.service.registeredActions().value(6), RegisteredHotkeyAction::windowTiling("full"));
        QCOMPARE(rig.service.registeredActions().size(), 6);
        QVERIFY(rig.app.failures.isEmpty());
    }

    // A bad hotkey costs only itself, and mending it needs no restart.
    void failuresStandAlone()
    {
        Rig rig;
        rig.app.current.assistantHotkey = "Alt+";
        rig.registrar.heldElsewhere = {chord("Alt+V")};
        rig.app.styles = {style("pro", "Ctrl+Alt+P")};
        rig.start();

        QCOMPARE(rig.kinds(), (QList<Kind>{Kind::layout, Kind::translationPreview, Kind::style, Kind::quickMenu}));
        QCOMPARE(rig.service.registeredActions().firstKey(), 1u);
        QCOMPARE(rig.app.failures, (QStringList{"Invalid hotkey: Alt+"}));

        rig.app.current.assistantHotkey = "Alt+I";
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        // The mended hotkey is grabbed after the others, which stay as they were.
        QCOMPARE(rig.kinds(), (QList<Kind>{Kind::layout, Kind::translationPreview, Kind::style, Kind::quickMenu,
                                           Kind::assistant}));
        QCOMPARE(rig.app.failures.last(), "Could not register Alt+V: 10");
        rig.press("Alt+I");
        QCOMPARE(rig.app.calls, (QStringList{"assistant"}));
    }

    // A hotkey lost after a keyboard change is told like one refused at
    // registration; the others keep working.
    void lostHotkeyIsReported()
    {
        Rig rig;
        rig.app.styles = {style("pro", "Alt+4"), style("fun", "Alt+F")};
        rig.app.current.windowTilingHotkeys = {{"leftHalf", "Control+Alt+Shift+Left"}};
        rig.start();
        QVERIFY(rig.app.failures.isEmpty());
        const auto idOf = [&](const RegisteredHotkeyAction& action) { return rig.service.registeredActions().key(action); };

        rig.registrar.lose(idOf(RegisteredHotkeyAction::windowTiling("leftHalf")));
        QVERIFY(rig.app.failures.isEmpty());
        rig.registrar.lose(idOf(RegisteredHotkeyAction::style("pro")));
        QCOMPARE(rig.app.failures, (QStringList{"Could not register Alt+4: 10"}));
        rig.press("Alt+F");
        QCOMPARE(rig.app.calls.size(), 1);
        QVERIFY2(rig.app.calls.first().startsWith("run style:fun"), qPrintable(rig.app.calls.first()));
    }

    void failedInstallIsTriedAgainAtTheNextChange()
    {
        Rig rig;
        rig.registrar.installStatus = HotkeyRegistrar::notConnected;
        rig.start();
        QVERIFY(rig.service.registeredActions().isEmpty());
        QCOMPARE(rig.app.failures, (QStringList{"Could not install hotkey handler: -2"}));

        rig.registrar.installStatus = 0;
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QCOMPARE(rig.service.registeredActions().size(), 5);
    }

    void pressesRunTheirActions()
    {
        Rig rig;
        rig.app.styles = {style("translate", "Alt+T"), style("pro", "Alt+4")};
        rig.app.replies = {reply("short", "Alt+S")};
        rig.app.current.windowTilingHotkeys = {
            {"builtInDisplay", "Control+Alt+0"}, {"leftHalf", "Control+Alt+Shift+Left"},
            {"rightHalf", "Control+Alt+Shift+Right"}, {"fill", "Control+Alt+Shift+Up"},
            {"swapUp", "Control+Alt+Up"}, {"tileAll", "Control+Alt+4"}};
        rig.start();

        const QList<std::pair<const char*, QStringList>> cases{
            {"Alt+4", {"run style:pro in org.example.Editor paste=1 sample=0"}},
            {"Alt+T", {"run translate in org.example.Editor paste=1 sample=0"}},
            {"Alt+A", {"run layout in org.example.Editor paste=1 sample=0"}},
            {"Alt+Q", {"quick panel"}},
            {"Alt+I", {"assistant"}},
            {"Alt+S", {"reply short"}},
            {"Alt+V", {"clipboard"}},
            {"Alt+R", {"translation preview in org.example.Editor"}},
            {"Control+Alt+0", {"display off"}},
            {"Control+Alt+0", {"display on"}},
            {"Control+Alt+Shift+Left", {"pop out leftHalf", "tile leftHalf"}},
            {"Control+Alt+Shift+Up", {"tile full"}},
            {"Control+Alt+Up", {"swap up"}},
            {"Control+Alt+4", {"tile all"}},
        };
        for (const auto& [text, calls] : cases) {
            rig.app.calls.clear();
            rig.press(text);
            QCOMPARE(rig.app.calls, calls);
        }
        rig.app.tabPopsOut = true;
        rig.app.calls.clear();
        rig.press("Control+Alt+Shift+Right");
        QCOMPARE(rig.app.calls, (QStringList{"pop out rightHalf"}));
    }

    void pressRunsTheActionRegisteredAtThatMoment()
    {
        Rig rig;
        rig.start();
        QVERIFY(rig.registrar.press(chord("Alt+I")));
        // Before the press is handled, a settings change lets the chord go.
        rig.app.current.assistantHotkey = "Not assigned";
        rig.service.reloadConfiguredHotkeys();
        QVERIFY(!rig.service.registeredActions().contains(1));
        QCoreApplication::processEvents();
        QCOMPARE(rig.app.calls, (QStringList{"assistant"}));
    }

    // A change of the settings grabs only what changed: a chord held
    // throughout is never let go (a press in between would be lost).
    void onlyChangedChordsAreGrabbedAgain()
    {
        Rig rig;
        rig.start();
        const auto before = rig.registrar.registered;
        rig.app.changeSettings();
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QCOMPARE(rig.registrar.registrations, 5);
        QCOMPARE(rig.registrar.registered, before);

        // A new text: its old chord goes, the new one is grabbed, the rest stay.
        rig.app.current.assistantHotkey = "Alt+J";
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QCOMPARE(rig.registrar.registrations, 6);
        QVERIFY(!rig.registrar.registered.values().contains(chord("Alt+I")));
        QVERIFY(rig.registrar.registered.values().contains(chord("Alt+J")));
        for (const quint32 id : { 2u, 3u, 4u, 5u })
            QCOMPARE(rig.registrar.registered.value(id), before.value(id));

        // A chord that moves to another action stays held and does the new one.
        rig.app.current.clipboardHotkey = "Not assigned";
        rig.app.current.quickMenuHotkey = "Alt+V";
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QCOMPARE(rig.registrar.registrations, 6);
        QVERIFY(!rig.registrar.registered.values().contains(chord("Alt+Q")));
        rig.press("Alt+V");
        QCOMPARE(rig.app.calls, (QStringList{"quick panel"}));
    }

    // A chord the desktop refuses is told once over a run of changes, and
    // again only after its text changed.
    void refusedChordIsToldOnce()
    {
        Rig rig;
        rig.registrar.heldElsewhere = {chord("Alt+K")};
        rig.start();
        rig.app.current.layoutHotkey = "Alt+K";
        for (int i = 0; i < 4; ++i) {
            rig.app.changeSettings();
            QCoreApplication::processEvents();
        }
        QCOMPARE(rig.app.failures, (QStringList{"Could not register Alt+K: 10"}));
        // Still tried at each change: released elsewhere, it is taken.
        rig.registrar.heldElsewhere.clear();
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QVERIFY(rig.registrar.registered.values().contains(chord("Alt+K")));

        rig.registrar.heldElsewhere = {chord("Alt+L")};
        rig.app.current.layoutHotkey = "Alt+L";
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        rig.app.current.layoutHotkey = "Alt+";
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QCOMPARE(rig.app.failures,
            (QStringList{"Could not register Alt+K: 10", "Could not register Alt+L: 10", "Invalid hotkey: Alt+"}));
    }

    void stopReleasesEverything()
    {
        Rig rig;
        rig.start();
        rig.service.stop();
        QVERIFY(rig.registrar.registered.isEmpty());
        QVERIFY(!rig.registrar.installed);
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QVERIFY(rig.registrar.registered.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestHotkeyService)
#include "test_hotkey_service.moc"
