#include "hotkeys/HotkeyRecorderField.h"
#include "hotkeys/HotkeyServiceRig.h"
#include "model/AIReplyStyleLibrary.h"
#include "model/MendoPromptLibrary.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11HotkeyRegistrar.h"
#include "ui/MendoTheme.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QVBoxLayout>
#include <QtTest>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace mendo;

namespace {

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

int xdotool(const QStringList& args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args);
}

// The real hotkeys over the default settings and styles: Alt+4 runs the
// professional style.
struct Rig : HotkeyServiceRig<X11HotkeyRegistrar> {
    explicit Rig(x11::X11Connection& connection)
        : HotkeyServiceRig(connection)
    {
        app.styles = MendoPromptLibrary::defaultStyles();
        app.replies = AIReplyStyleLibrary::defaultStyles();
        start();
    }
};

const QString professional = QStringLiteral("run style:professional in org.example.Editor paste=1 sample=0");

}  // namespace

// A window holding one field, driven by real clicks and key presses.
class TestHotkeyRecorderDisplay : public QObject {
    Q_OBJECT
    Display* m_display = nullptr;
    std::unique_ptr<x11::X11Connection> m_connection;
    std::unique_ptr<Rig> m_rig;
    std::unique_ptr<QWidget> m_window;
    HotkeyRecorderField* m_field = nullptr;

    void openWindow(const QString& hotkey, const QPalette& palette = QApplication::palette())
    {
        m_window = std::make_unique<QWidget>();
        m_window->setPalette(palette);
        m_window->setAutoFillBackground(true);
        auto* layout = new QVBoxLayout(m_window.get());
        layout->setContentsMargins(20, 16, 20, 16);
        m_field = new HotkeyRecorderField(m_rig->registrar, &m_rig->service, hotkey, 130, m_window.get());
        layout->addWidget(m_field, 0, Qt::AlignCenter);
        m_window->move(200, 200);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get(), 10000));
    }

    void click()
    {
        const QPoint centre = m_field->mapToGlobal(m_field->rect().center());
        XTestFakeMotionEvent(m_display, -1, centre.x(), centre.y(), CurrentTime);
        XTestFakeButtonEvent(m_display, 1, True, CurrentTime);
        XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
        XSync(m_display, False);
        QTRY_VERIFY(m_field->isRecording());
        QCOMPARE(m_field->text(), QString("Press shortcut..."));
    }

    void key(const QString& chord) { QCOMPARE(xdotool({ "key", chord }), 0); }

    void screenshot(const QString& name)
    {
        settle(100);
        const QString dir = QStringLiteral(MENDO_ARTIFACT_DIR);
        QDir().mkpath(dir);
        QVERIFY(m_window->grab().save(dir + "/" + name));
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_display = XOpenDisplay(nullptr);
        QVERIFY(m_display);
    }
    void init()
    {
        m_connection = std::make_unique<x11::X11Connection>();
        m_rig = std::make_unique<Rig>(*m_connection);
    }
    void cleanup()
    {
        m_window.reset();
        m_rig.reset();
        m_connection.reset();
        XkbLockGroup(m_display, XkbUseCoreKbd, 0);
        XSync(m_display, False);
        QCOMPARE(QProcess::execute("setxkbmap", { "-layout", "us" }), 0);
    }
    void cleanupTestCase() { XCloseDisplay(m_display); }

    void recordsAChordAndShowsItInSymbols_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark") << true;
    }
    void recordsAChordAndShowsItInSymbols()
    {
        QFETCH(bool, dark);
        const QString suffix = dark ? "-dark.png" : ".png";
        openWindow("Alt+I",
            dark ? theme::palette(AppearanceMode::liquidSky, QApplication::palette()) : QApplication::palette());
        click();
        screenshot("hotkey-recorder-recording" + suffix);
        key("alt+shift+Left");
        QTRY_COMPARE(m_field->hotkey(), QString("Alt+Shift+Left"));
        QVERIFY(!m_field->isRecording());
        QCOMPARE(m_field->text(), QString("⌥ ⇧ ←"));
        screenshot("hotkey-recorder" + suffix);
    }

    void recordsEveryModifier_data()
    {
        QTest::addColumn<QString>("pressed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("super is command") << "super+F5"
                                          << "Command+F5";
        QTest::newRow("all four in order") << "shift+alt+ctrl+super+period"
                                           << "Command+Control+Alt+Shift+Period";
    }
    void recordsEveryModifier()
    {
        QFETCH(QString, pressed);
        QFETCH(QString, stored);
        openWindow("Alt+I");
        click();
        key(pressed);
        QTRY_COMPARE(m_field->hotkey(), stored);
    }

    void escapeCancelsAndBackspaceOrDeleteClear()
    {
        openWindow("Alt+I");
        click();
        key("q");  // no modifier: ignored
        key("Tab");
        settle(100);
        QVERIFY(m_field->isRecording());
        key("Escape");
        QTRY_VERIFY(!m_field->isRecording());
        QCOMPARE(m_field->hotkey(), QString("Alt+I"));

        for (const char* clearing : { "BackSpace", "Delete" }) {
            m_field->setHotkey("Alt+I");
            click();
            key(clearing);
            QTRY_COMPARE(m_field->hotkey(), QString("Not assigned"));
            QCOMPARE(m_field->text(), QString("Not assigned"));
            QVERIFY(!m_field->isRecording());
        }
    }

    void recordsTheKeyWhateverTheLayout_data()
    {
        QTest::addColumn<QString>("layouts");
        QTest::addColumn<int>("russianGroup");
        QTest::newRow("us,ru") << "us,ru" << 1;
        QTest::newRow("ru,us") << "ru,us" << 0;
    }
    void recordsTheKeyWhateverTheLayout()
    {
        QFETCH(QString, layouts);
        QFETCH(int, russianGroup);
        QCOMPARE(QProcess::execute("setxkbmap", { "-layout", layouts }), 0);
        XkbLockGroup(m_display, XkbUseCoreKbd, russianGroup);
        XSync(m_display, False);
        settle(200);  // the registrar takes the new keymap
        openWindow("Alt+I");

        click();
        key("alt+q");
        QTRY_COMPARE(m_field->hotkey(), QString("Alt+Q"));
        // Still in the Russian group: the key was pressed there.
        XkbStateRec state;
        XkbGetState(m_display, XkbUseCoreKbd, &state);
        QCOMPARE(int(state.locked_group), russianGroup);

        // The Russian letter's key is still named by its Latin letter, and a
        // press with it typing "й" records the same.
        m_field->setHotkey("Alt+I");
        click();
        QCOMPARE(xdotool({ "key", "alt+Cyrillic_shorti" }), 0);
        QTRY_COMPARE(m_field->hotkey(), QString("Alt+Q"));
    }

    void chordMendoHoldsIsRecordedNotRun()
    {
        openWindow("Alt+I");
        key("alt+4");
        QTRY_COMPARE(m_rig->app.calls, QStringList { professional });
        m_rig->app.calls.clear();

        click();
        key("alt+4");
        QTRY_COMPARE(m_field->hotkey(), QString("Alt+4"));
        settle(300);
        QCOMPARE(m_rig->app.calls, QStringList());

        key("alt+4");
        QTRY_COMPARE(m_rig->app.calls, QStringList { professional });
        m_rig->app.calls.clear();

        // Another window taking the focus ends recording, and the hotkey is back.
        click();
        QWidget other;
        other.resize(200, 100);
        other.move(600, 200);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other, 10000));
        QTRY_VERIFY(!m_field->isRecording());
        key("alt+4");
        QTRY_COMPARE(m_rig->app.calls, QStringList { professional });
        QCOMPARE(m_field->hotkey(), QString("Alt+4"));
    }
};

QTEST_MAIN(TestHotkeyRecorderDisplay)
#include "test_hotkey_recorder_display.moc"
