#include "model/AIReplyStyleLibrary.h"
#include "model/MendoPromptLibrary.h"
#include "hotkeys/HotkeyServiceRig.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11HotkeyRegistrar.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>

using namespace mendo;

namespace {

const HotkeyChord altQ{12, hotkeyOption};
const HotkeyChord altA{0, hotkeyOption};
const HotkeyChord alt4{21, hotkeyOption};
const HotkeyChord altK{40, hotkeyOption};
const HotkeyChord controlShiftF5{96, hotkeyControl | hotkeyShift};

QList<quint32> ids(const QSignalSpy& spy)
{
    QList<quint32> result;
    for (const auto& args : spy)
        result.append(args.at(0).toUInt());
    return result;
}

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Every key grab and release any client asks the server for, in order, as the
// X RECORD extension reports them.
class KeyGrabRecorder {
public:
    struct Request {
        bool grab = false;
        int keycode = 0;
        unsigned modifiers = 0;
    };

    KeyGrabRecorder()
        : m_control(XOpenDisplay(nullptr))
        , m_data(XOpenDisplay(nullptr))
    {
        XRecordRange* range = XRecordAllocRange();
        range->core_requests.first = X_GrabKey;
        range->core_requests.last = X_UngrabKey;
        XRecordClientSpec clients = XRecordAllClients;
        m_context = XRecordCreateContext(m_control, 0, &clients, 1, &range, 1);
        XFree(range);
        XSync(m_control, False);
        XRecordEnableContextAsync(m_data, m_context, &KeyGrabRecorder::intercept, reinterpret_cast<XPointer>(this));
    }
    ~KeyGrabRecorder()
    {
        // The data connection answers nothing else until its stream has ended.
        XRecordDisableContext(m_control, m_context);
        XSync(m_control, False);
        QElapsedTimer timer;
        timer.start();
        while (!m_ended && timer.elapsed() < 5000) {
            XRecordProcessReplies(m_data);
            settle(5);
        }
        XRecordFreeContext(m_control, m_context);
        XCloseDisplay(m_data);
        XCloseDisplay(m_control);
    }

    // What was asked until now: a release of a marker chord of its own is
    // asked last, and everything before it has arrived once it has.
    QList<Request> requests()
    {
        const KeyCode marker = XKeysymToKeycode(m_control, XK_F12);
        const unsigned markerModifiers = ControlMask | ShiftMask | Mod1Mask | Mod4Mask;
        XUngrabKey(m_control, marker, markerModifiers, DefaultRootWindow(m_control));
        XSync(m_control, False);
        QElapsedTimer timer;
        timer.start();
        auto markerSeen = [&] {
            return !m_requests.isEmpty() && m_requests.last().keycode == marker
                && m_requests.last().modifiers == markerModifiers;
        };
        while (!markerSeen() && timer.elapsed() < 5000) {
            XRecordProcessReplies(m_data);
            settle(5);
        }
        QList<Request> result = m_requests;
        if (markerSeen())
            result.removeLast();
        m_requests.clear();
        return result;
    }

private:
    static void intercept(XPointer self, XRecordInterceptData* data)
    {
        auto* recorder = reinterpret_cast<KeyGrabRecorder*>(self);
        if (data->category == XRecordEndOfData)
            recorder->m_ended = true;
        if (data->category == XRecordFromClient && data->data) {
            const auto* request = reinterpret_cast<const unsigned char*>(data->data);
            if (request[0] == X_GrabKey) {
                const auto* grab = reinterpret_cast<const xGrabKeyReq*>(request);
                recorder->m_requests.append({ true, grab->key, grab->modifiers });
            } else if (request[0] == X_UngrabKey) {
                const auto* ungrab = reinterpret_cast<const xUngrabKeyReq*>(request);
                recorder->m_requests.append({ false, ungrab->key, ungrab->modifiers });
            }
        }
        XRecordFreeData(data);
    }

    Display* m_control;
    Display* m_data;
    XRecordContext m_context = 0;
    QList<Request> m_requests;
    bool m_ended = false;
};

}  // namespace

// Presses real keys through XTest on the test's own connection, as the user
// would; the registrar under test sees them only through its grabs.
class TestX11Hotkeys : public QObject {
    Q_OBJECT
    Display* m_display = nullptr;

    KeyCode key(KeySym sym) { return XKeysymToKeycode(m_display, sym); }

    void hold(const QList<KeyCode>& keys, int ms = 0)
    {
        for (KeyCode k : keys)
            XTestFakeKeyEvent(m_display, k, True, CurrentTime);
        XSync(m_display, False);
        settle(ms);
        for (auto it = keys.crbegin(); it != keys.crend(); ++it)
            XTestFakeKeyEvent(m_display, *it, False, CurrentTime);
        XSync(m_display, False);
    }

    static void setLayout(const QStringList& args) { QCOMPARE(QProcess::execute("setxkbmap", args), 0); }

    void grabForAnotherClient(KeyCode k, unsigned mods, bool grab)
    {
        for (unsigned lock : {0u, unsigned(LockMask), unsigned(Mod2Mask), unsigned(LockMask | Mod2Mask)}) {
            if (grab)
                XGrabKey(m_display, k, mods | lock, DefaultRootWindow(m_display), False, GrabModeAsync,
                         GrabModeAsync);
            else
                XUngrabKey(m_display, k, mods | lock, DefaultRootWindow(m_display));
        }
        XSync(m_display, False);
    }

    // The service with the real grabs over the default settings and styles.
    struct Rig : HotkeyServiceRig<X11HotkeyRegistrar> {
        explicit Rig(x11::X11Connection& connection) : HotkeyServiceRig(connection)
        {
            app.styles = MendoPromptLibrary::defaultStyles();
            app.replies = AIReplyStyleLibrary::defaultStyles();
            start();
        }
    };

private Q_SLOTS:
    void initTestCase()
    {
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
    }
    void cleanup()
    {
        XkbLockGroup(m_display, XkbUseCoreKbd, 0);
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, 0);
        XSync(m_display, False);
        setLayout({"-layout", "us"});
    }
    void cleanupTestCase() { XCloseDisplay(m_display); }

    void eachPressFiresItsOwnIdOnce()
    {
        x11::X11Connection connection;
        X11HotkeyRegistrar registrar(connection);
        QCOMPARE(registrar.install(), 0);
        QCOMPARE(registrar.registerHotkey(1, alt4), 0);
        QCOMPARE(registrar.registerHotkey(2, controlShiftF5), 0);
        QSignalSpy spy(&registrar, &HotkeyRegistrar::pressed);

        QCOMPARE(QProcess::execute("xdotool", {"key", "alt+4"}), 0);
        QTRY_COMPARE(ids(spy), (QList<quint32>{1}));

        // CapsLock on: still the same chord.
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, LockMask);
        hold({key(XK_Control_L), key(XK_Shift_L), key(XK_F5)});
        QTRY_COMPARE(ids(spy), (QList<quint32>{1, 2}));
        XkbLockModifiers(m_display, XkbUseCoreKbd, LockMask, 0);

        // Held past the auto-repeat delay: one action, not one per repeat.
        hold({key(XK_Alt_L), key(XK_4)}, 1200);
        settle(200);
        QCOMPARE(ids(spy), (QList<quint32>{1, 2, 1}));

        // Alt+5 and a plain 4 are other chords.
        hold({key(XK_Alt_L), key(XK_5)});
        hold({key(XK_4)});
        registrar.unregisterHotkey(1);
        hold({key(XK_Alt_L), key(XK_4)});
        settle(200);
        QCOMPARE(ids(spy), (QList<quint32>{1, 2, 1}));
    }

    // A fired chord's key stays held (its grab with it) until that key is
    // let go, auto-repeat or not and whichever modifier goes first.
    void heldUntilItsKeyIsLetGo()
    {
        x11::X11Connection connection;
        X11HotkeyRegistrar registrar(connection);
        QCOMPARE(registrar.install(), 0);
        QCOMPARE(registrar.registerHotkey(1, alt4), 0);
        QSignalSpy pressed(&registrar, &HotkeyRegistrar::pressed);
        QSignalSpy released(&registrar, &HotkeyRegistrar::released);
        QVERIFY(!registrar.isAnyHeld());

        XTestFakeKeyEvent(m_display, key(XK_Alt_L), True, CurrentTime);
        XTestFakeKeyEvent(m_display, key(XK_4), True, CurrentTime);
        XSync(m_display, False);
        QTRY_COMPARE(pressed.size(), 1);
        settle(1200);  // past the auto-repeat delay
        QVERIFY(registrar.isAnyHeld());
        XTestFakeKeyEvent(m_display, key(XK_Alt_L), False, CurrentTime);
        XSync(m_display, False);
        settle(150);
        QVERIFY(registrar.isAnyHeld());
        QCOMPARE(released.size(), 0);
        XTestFakeKeyEvent(m_display, key(XK_4), False, CurrentTime);
        XSync(m_display, False);
        QTRY_COMPARE(released.size(), 1);
        QCOMPARE(released.first().first().toUInt(), 1u);
        QVERIFY(!registrar.isAnyHeld());
        QCOMPARE(pressed.size(), 1);
    }

    void chordHeldByAnotherClientFailsAlone()
    {
        const KeyCode k = key(XK_k);
        grabForAnotherClient(k, Mod1Mask, true);

        x11::X11Connection connection;
        X11HotkeyRegistrar registrar(connection);
        QCOMPARE(registrar.install(), 0);
        QCOMPARE(registrar.registerHotkey(1, altK), HotkeyRegistrar::refused);
        QCOMPARE(registrar.registerHotkey(2, alt4), 0);
        QCOMPARE(registrar.registerHotkey(3, alt4), HotkeyRegistrar::refused);  // already ours under id 2
        QSignalSpy spy(&registrar, &HotkeyRegistrar::pressed);
        hold({key(XK_Alt_L), key(XK_4)});
        QTRY_COMPARE(ids(spy), (QList<quint32>{2}));

        // Once the other program lets go, the chord can be had.
        grabForAnotherClient(k, Mod1Mask, false);
        QCOMPARE(registrar.registerHotkey(1, altK), 0);
        hold({key(XK_Alt_L), k});
        QTRY_COMPARE(ids(spy), (QList<quint32>{2, 1}));
    }

    void firesInTheSecondLayoutGroup()
    {
        x11::X11Connection connection;
        X11HotkeyRegistrar registrar(connection);
        QCOMPARE(registrar.install(), 0);
        QCOMPARE(registrar.registerHotkey(1, altA), 0);
        QCOMPARE(registrar.registerHotkey(2, alt4), 0);
        const KeyCode a = key(XK_a), four = key(XK_4), alt = key(XK_Alt_L);
        setLayout({"-layout", "us,ru"});
        XkbLockGroup(m_display, XkbUseCoreKbd, 1);
        XSync(m_display, False);
        XkbStateRec state;
        XkbGetState(m_display, XkbUseCoreKbd, &state);
        QCOMPARE(int(state.locked_group), 1);
        QSignalSpy spy(&registrar, &HotkeyRegistrar::pressed);
        settle(200);  // lets the registrar renew its grabs after the layout change

        // The key of "a" types "ф" here, and still is Alt+A.
        hold({alt, a});
        hold({alt, four});
        QTRY_COMPARE(ids(spy), (QList<quint32>{1, 2}));
    }

    // X announces a keyboard change on every switch between keyboards too:
    // a chord whose key stayed is never let go, and one that moved is held at
    // its new key before the old is released, so no press finds it unheld.
    void grabsFollowTheKeyWhenTheMappingChanges()
    {
        x11::X11Connection connection;
        X11HotkeyRegistrar registrar(connection);
        QCOMPARE(registrar.install(), 0);
        QCOMPARE(registrar.registerHotkey(1, altQ), 0);
        QCOMPARE(registrar.registerHotkey(2, alt4), 0);
        const KeyCode usQ = key(XK_q), four = key(XK_4), alt = key(XK_Alt_L);
        QSignalSpy spy(&registrar, &HotkeyRegistrar::pressed);
        KeyGrabRecorder recorder;

        setLayout({"-layout", "us", "-variant", "dvorak"});
        Display* fresh = XOpenDisplay(nullptr);  // a connection that knows only the new mapping
        const KeyCode dvorakQ = XKeysymToKeycode(fresh, XK_q);
        XCloseDisplay(fresh);
        QVERIFY(dvorakQ != usQ);

        // The renewal follows the server's notification; press until it has.
        QElapsedTimer timer;
        timer.start();
        while (spy.isEmpty() && timer.elapsed() < 5000) {
            hold({alt, dvorakQ});
            settle(100);
        }
        QCOMPARE(ids(spy), (QList<quint32>{1}));

        hold({alt, usQ});  // now the apostrophe key
        settle(300);
        QCOMPARE(ids(spy), (QList<quint32>{1}));

        const auto neverTouches = [](const QList<KeyGrabRecorder::Request>& requests, KeyCode keycode) {
            return std::none_of(requests.begin(), requests.end(),
                [&](const KeyGrabRecorder::Request& request) { return request.keycode == keycode; });
        };
        int lastGrabAtNewKey = -1, firstReleaseAtOldKey = -1;
        const QList<KeyGrabRecorder::Request> requests = recorder.requests();
        QVERIFY2(neverTouches(requests, four), "Alt+4 was let go although its key stayed");
        for (int i = 0; i < requests.size(); ++i) {
            const KeyGrabRecorder::Request& request = requests[i];
            if (request.grab && request.keycode == dvorakQ)
                lastGrabAtNewKey = i;
            if (!request.grab && request.keycode == usQ && firstReleaseAtOldKey < 0)
                firstReleaseAtOldKey = i;
        }
        QVERIFY(lastGrabAtNewKey >= 0);
        QVERIFY(firstReleaseAtOldKey > lastGrabAtNewKey);

        setLayout({"-layout", "us"});
        settle(300);
        QVERIFY(neverTouches(recorder.requests(), four));
        hold({alt, four});
        QTRY_COMPARE(ids(spy), (QList<quint32>{1, 2}));
    }

    void serviceRunsTheStyleOfTheChordInEveryLayout()
    {
        x11::X11Connection connection;
        Rig rig(connection);
        QCOMPARE(rig.app.failures, QStringList());
        const QStringList professional{"run style:professional in org.example.Editor paste=1 sample=0"};

        QCOMPARE(QProcess::execute("xdotool", {"key", "alt+4"}), 0);
        QTRY_COMPARE(rig.app.calls, professional);

        const KeyCode four = key(XK_4), alt = key(XK_Alt_L);
        setLayout({"-layout", "us,ru"});
        XkbLockGroup(m_display, XkbUseCoreKbd, 1);
        XSync(m_display, False);
        settle(200);
        rig.app.calls.clear();
        hold({alt, four});
        QTRY_COMPARE(rig.app.calls, professional);
    }

    // After a keyboard change Alt+Q sits where another client holds Alt:
    // that hotkey's failure is shown, and the others keep working.
    void serviceShowsAChordLostAtAMappingChange()
    {
        x11::X11Connection connection;
        Rig rig(connection);
        QCOMPARE(rig.app.failures, QStringList());
        const KeyCode qInDvorak = key(XK_x);
        grabForAnotherClient(qInDvorak, Mod1Mask, true);

        setLayout({"-layout", "us", "-variant", "dvorak"});
        Display* fresh = XOpenDisplay(nullptr);
        const KeyCode movedQ = XKeysymToKeycode(fresh, XK_q);
        XCloseDisplay(fresh);
        QCOMPARE(movedQ, qInDvorak);
        QTRY_COMPARE_WITH_TIMEOUT(rig.app.failures, QStringList{"Could not register Alt+Q: 10"}, 5000);

        hold({key(XK_Alt_L), key(XK_4)});
        QTRY_COMPARE(rig.app.calls, QStringList{"run style:professional in org.example.Editor paste=1 sample=0"});
        grabForAnotherClient(qInDvorak, Mod1Mask, false);
    }

    void serviceLeavesOutOnlyTheChordAnotherClientHolds()
    {
        const KeyCode v = key(XK_v);
        grabForAnotherClient(v, Mod1Mask, true);
        x11::X11Connection connection;
        Rig rig(connection);
        QCOMPARE(rig.app.failures, QStringList{"Could not register Alt+V: 10"});
        hold({key(XK_Alt_L), key(XK_4)});
        hold({key(XK_Alt_L), key(XK_i)});
        QTRY_COMPARE(rig.app.calls,
                     (QStringList{"run style:professional in org.example.Editor paste=1 sample=0", "assistant"}));

        // Released by the other program, the chord is taken at the next settings change.
        grabForAnotherClient(v, Mod1Mask, false);
        rig.app.changeSettings();
        settle(100);
        rig.app.calls.clear();
        hold({key(XK_Alt_L), v});
        QTRY_COMPARE(rig.app.calls, QStringList{"clipboard"});
    }
};

QTEST_GUILESS_MAIN(TestX11Hotkeys)
#include "test_x11_hotkeys.moc"
