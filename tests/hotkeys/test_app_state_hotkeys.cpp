#include "app/AppStateRig.h"
#include "RecordingHotkeyTargets.h"
#include "fakes/FakeHotkeyRegistrar.h"
#include "fakes/FakeWorkspace.h"
#include "hotkeys/AppStateHotkeyBridge.h"
#include "hotkeys/HotkeyService.h"
#include "hotkeys/ParsedHotkey.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

HotkeyChord chord(const char* text)
{
    return ParsedHotkey::parse(QString::fromUtf8(text))->chord();
}

// The hotkey service reaching the real application state through the bridge.
struct Rig {
    AppStateRig app;
    AppStateHotkeyBridge bridge { *app.state };
    FakeHotkeyRegistrar registrar;
    FakeWorkspace workspace;
    FocusService focus { workspace };
    RecordingHotkeyTargets windows;
    HotkeyService service { registrar, focus, windows };

    Rig() { service.start(&bridge, &bridge, nullptr); }

    // Presses and re-registrations are handled from the event loop.
    bool press(const char* text)
    {
        const bool held = registrar.press(chord(text));
        QCoreApplication::processEvents();
        return held;
    }
    void editSettings(const std::function<void(MendoSettings&)>& edit)
    {
        app.state->editSettings(edit);
        QCoreApplication::processEvents();
    }
};

}  // namespace

class TestAppStateHotkeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void hotkeyRunsTheDriver();
    void settingsChangesRegisterAgainAndFailuresShow();
};

void TestAppStateHotkeys::hotkeyRunsTheDriver()
{
    Rig rig;
    QVERIFY(rig.press("Alt+4"));  // the professional style
    rig.app.clock.advance(5s);
    QCOMPARE(rig.app.engine.calls, QStringList { "style:professional [selected] English styles=17" });
    QCOMPARE(rig.app.statuses.value(4), QStringLiteral("30 done Pasted"));

    // The quiet layout fix.
    rig.app.focused.layoutSelection = QStringLiteral("ghbdtn");
    QVERIFY(rig.press("Alt+A"));
    QCOMPARE(rig.app.state->latestOutput(), QStringLiteral("привет"));
}

void TestAppStateHotkeys::settingsChangesRegisterAgainAndFailuresShow()
{
    Rig rig;
    rig.editSettings([](MendoSettings& s) { s.layoutHotkey = QStringLiteral("Alt+Y"); });
    QVERIFY(!rig.press("Alt+A"));
    QVERIFY(rig.press("Alt+Y"));

    rig.editSettings([](MendoSettings& s) { s.layoutHotkey = QStringLiteral("Alt+Nowhere"); });
    QCOMPARE(rig.app.state->status().kind(), ActionStatus::Kind::failed);
    QVERIFY(rig.app.state->status().text().contains(QLatin1String("Alt+Nowhere")));
}

QTEST_GUILESS_MAIN(TestAppStateHotkeys)
#include "test_app_state_hotkeys.moc"
