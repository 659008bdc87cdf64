#include "fakes/FakeHotkeyRegistrar.h"
#include "hotkeys/HotkeyRecorderField.h"
#include "hotkeys/HotkeyServiceRig.h"
#include "hotkeys/ParsedHotkey.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

using namespace mendo;

Q_DECLARE_METATYPE(HotkeyKeyPress)

namespace {

HotkeyKeyPress press(int key, quint32 nativeKey, Qt::KeyboardModifiers modifiers = {}, QString characters = {})
{
    return { key, nativeKey, modifiers, std::move(characters) };
}

struct Rig : HotkeyServiceRig<FakeHotkeyRegistrar> {
    Rig()
    {
        registrar.useLayouts({ "us", "ru" });
        app.current.windowTilingHotkeys.clear();
    }
};

}  // namespace

class TestHotkeyRecorderField : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void handle_data()
    {
        QTest::addColumn<HotkeyKeyPress>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("recording");
        QTest::addColumn<QString>("shown");

        QTest::newRow("escape cancels") << press(Qt::Key_Escape, 9) << "Alt+I" << false << "⌥ I";
        QTest::newRow("backspace clears") << press(Qt::Key_Backspace, 22) << "Not assigned" << false << "Not assigned";
        QTest::newRow("delete clears") << press(Qt::Key_Delete, 119) << "Not assigned" << false << "Not assigned";
        QTest::newRow("unnamed key goes on")
            << press(Qt::Key_End, 87, Qt::AltModifier, "1") << "Alt+I" << true << "Press shortcut...";
        QTest::newRow("key alone goes on") << press(Qt::Key_Q, 24, {}, "q") << "Alt+I" << true << "Press shortcut...";
        QTest::newRow("chord is stored") << press(Qt::Key_Q, 24, Qt::AltModifier, "q") << "Alt+Q" << false << "⌥ Q";
    }
    void handle()
    {
        QFETCH(HotkeyKeyPress, key);
        QFETCH(QString, stored);
        QFETCH(bool, recording);
        QFETCH(QString, shown);
        Rig rig;
        HotkeyRecorderField field(rig.registrar, nullptr, "Alt+I", 120);
        QSignalSpy edits(&field, &HotkeyRecorderField::hotkeyEdited);
        QCOMPARE(field.text(), QString("⌥ I"));
        field.beginRecording();
        QCOMPARE(field.text(), QString("Press shortcut..."));

        field.handle(key);
        QCOMPARE(field.hotkey(), stored);
        QCOMPARE(field.isRecording(), recording);
        QCOMPARE(field.text(), shown);
        QCOMPARE(edits.size(), stored == u"Alt+I" ? 0 : 1);
    }

    // What the field shows of a stored text: symbols for a readable one, the
    // text itself for one no hotkey reads as; showing writes nothing.
    void storedTextsAreShown()
    {
        Rig rig;
        HotkeyRecorderField field(rig.registrar, nullptr, "Alt+I", 120);
        QSignalSpy edits(&field, &HotkeyRecorderField::hotkeyEdited);
        const QList<std::pair<QString, QString>> cases {
            { "Control+Alt+Shift+Left", "⌃ ⌥ ⇧ ←" },
            { "not assigned", "Not assigned" },
            { "Hyper+Q", "Hyper+Q" },
            { "Alt+", "Alt+" },
        };
        for (const auto& [stored, shown] : cases) {
            field.setHotkey(stored);
            QCOMPARE(field.text(), shown);
            QCOMPARE(field.hotkey(), stored);
        }
        QCOMPARE(edits.size(), 0);
    }

    // While recording, every key press of the application is the field's:
    // nothing is typed elsewhere and Tab does not move the focus.
    void keyPressesGoToTheFieldOnly()
    {
        Rig rig;
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* edit = new QLineEdit(&window);
        auto* field = new HotkeyRecorderField(rig.registrar, nullptr, "Alt+I", 120, &window);
        layout->addWidget(edit);
        layout->addWidget(field);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        edit->setFocus();
        QTest::mouseClick(field, Qt::LeftButton);
        QVERIFY(field->isRecording());

        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, 23, 0, 0, "\t");
        QApplication::sendEvent(edit, &tab);
        QKeyEvent q(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, 24, 0, 0, "q");
        QApplication::sendEvent(edit, &q);
        QVERIFY(field->isRecording());
        QKeyEvent altQ(QEvent::KeyPress, Qt::Key_Q, Qt::AltModifier, 24, 0, 0, "q");
        QApplication::sendEvent(edit, &altQ);
        QCOMPARE(field->hotkey(), QString("Alt+Q"));
        QCOMPARE(edit->text(), QString());

        // Recording over, keys are typed again.
        QApplication::sendEvent(edit, &q);
        QCOMPARE(edit->text(), QString("q"));
    }

    void hotkeysAreLetGoWhileRecording()
    {
        Rig rig;
        rig.start();
        const auto held = rig.registrar.registered;
        QVERIFY(held.values().contains(ParsedHotkey::parse("Alt+I")->chord()));
        QWidget window;
        auto* first = new HotkeyRecorderField(rig.registrar, &rig.service, "Alt+I", 120, &window);
        auto* second = new HotkeyRecorderField(rig.registrar, &rig.service, "Alt+V", 120, &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Recording, the chord reaches the field; a settings change waits.
        // One field records at a time: the one clicked last.
        first->beginRecording();
        second->beginRecording();
        QVERIFY(!first->isRecording());
        QVERIFY(second->isRecording());
        QVERIFY(rig.registrar.registered.isEmpty());
        rig.app.changeSettings();
        QCoreApplication::processEvents();
        QVERIFY(rig.registrar.registered.isEmpty());

        // Back when recording ends, by whichever road.
        second->handle(press(Qt::Key_Q, 24, Qt::AltModifier, "q"));
        QCOMPARE(rig.registrar.registered, held);
        QCOMPARE(first->hotkey(), QString("Alt+I"));
        second->beginRecording();
        second->beginRecording();  // asked twice, it still holds one suspension
        window.hide();
        QVERIFY(!second->isRecording());
        QCOMPARE(rig.registrar.registered, held);

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        {
            HotkeyRecorderField gone(rig.registrar, &rig.service, "Alt+I", 120);
            gone.beginRecording();
            QVERIFY(rig.registrar.registered.isEmpty());
        }
        QCOMPARE(rig.registrar.registered, held);
    }
};

QTEST_MAIN(TestHotkeyRecorderField)
#include "test_hotkey_recorder_field.moc"
