// The five panel hotkeys as the hotkey service runs them: the quick panel,
// the assistant in chat and in reply mode, the clipboard window and the
// translation preview.

#include "panels/AssistantFakes.h"
#include "clipboard/ClipboardPanelController.h"
#include "clipboard/ClipboardPanelRig.h"
#include "fakes/FakeHotkeyRegistrar.h"
#include "hotkeys/HotkeyReadGate.h"
#include "hotkeys/PanelHotkeys.h"
#include "panels/QuickPanelRig.h"
#include "panels/AssistantPanelController.h"
#include "panels/TranslationPreviewFakes.h"
#include "panels/TranslationPreviewPanelController.h"

#include <QTest>

using namespace mendo;

namespace {

struct Rig : QuickPanelRig {
    ClipboardPanelRig clipboardRig { app.clock, app.defaults };
    ClipboardPanelController& clipboard = *clipboardRig.controller;
    AssistantFakes assistantFakes { app.clock, app.defaults, focus };
    AssistantPanelController& assistant = assistantFakes.controller;
    TranslationPreviewFakes previewFakes { app.clock, app.defaults, app.selection };
    CountingTranslationPreview translation { previewFakes.services() };
    FakeHotkeyRegistrar registrar;
    HotkeyReadGate readGate { registrar, app.clock, app.focused };
    PanelHotkeys hotkeys { *app.state, { focus, app.focused, app.selection, &readGate },
        { &quick, &clipboard, &assistant, &translation } };

    Rig()
    {
        assistant.attach(*app.state);
        app.state->setAIReplyStyles({ AIReplyStyle { "polite", "Polite", "Answer politely.", "Not assigned" } });
    }
    void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            app.clock.advance(Millis(1000));
        }
    }
};

}  // namespace

class TestPanelHotkeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void quickMenuAndClipboardToggle()
    {
        Rig rig;
        rig.hotkeys.toggleQuickPanel();
        QVERIFY(rig.quick.isPanelVisible());
        QCOMPARE(rig.focus.rememberedBundleIdentifier(), Rig::editor.bundleIdentifier);
        rig.hotkeys.toggleQuickPanel();
        QVERIFY(!rig.quick.isPanelVisible());

        rig.hotkeys.toggleClipboard();
        QVERIFY(rig.clipboard.isPanelVisible());
        rig.hotkeys.toggleClipboard();
        QVERIFY(!rig.clipboard.isPanelVisible());
    }

    void translationPreviewShowsFromTheSelection()
    {
        Rig rig;
        rig.hotkeys.showTranslationPreview();
        QCOMPARE(rig.translation.showFromSelectionRequests, 1);
    }

    // Chat mode reads accessibility only, and opens even with nothing
    // selected.
    void assistantTakesTheAccessibleSelection_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::newRow("selected") << "what about friday?";
        QTest::newRow("nothing selected") << "";
    }
    void assistantTakesTheAccessibleSelection()
    {
        QFETCH(QString, selection);
        Rig rig;
        rig.app.focused.selection = selection;
        rig.hotkeys.showAssistant();
        QCOMPARE(rig.focus.rememberedBundleIdentifier(), Rig::editor.bundleIdentifier);
        rig.settle();
        QCOMPARE(rig.assistantFakes.shown(), QStringLiteral("chat [%1]").arg(selection));
        QVERIFY(rig.app.selection.calls.isEmpty());
    }

    // A hotkey fires while its key is down, and while it is down its grab
    // holds the keyboard: GTK then reports its entry unfocused and nothing
    // selected. Every read waits for the release and for the focus.
    void readsWaitForTheReleaseAndTheFocus_data()
    {
        QTest::addColumn<QString>("hotkey");
        QTest::addColumn<bool>("focusReturns");
        QTest::addColumn<QString>("opened");
        QTest::newRow("assistant") << "assistant" << true << "chat [guten morgen]";
        QTest::newRow("reply") << "reply" << true << "reply [guten morgen] polite";
        QTest::newRow("translation preview") << "translation" << true << "translation";
        // An application without accessibility never reports it: read anyway.
        QTest::newRow("focus never reported") << "assistant" << false << "chat []";
    }
    void readsWaitForTheReleaseAndTheFocus()
    {
        QFETCH(QString, hotkey);
        QFETCH(bool, focusReturns);
        QFETCH(QString, opened);
        Rig rig;
        rig.app.focused.selection = QStringLiteral("guten morgen");
        rig.app.selection.selection = QString();
        rig.registrar.held = { 7 };
        rig.app.focused.focused = false;
        const auto openedNow = [&] {
            return rig.translation.showFromSelectionRequests > 0 ? QStringLiteral("translation")
                                                                 : rig.assistantFakes.shown();
        };
        const auto run = [&](Millis time) {
            QCoreApplication::processEvents();
            rig.app.clock.advance(time);
            QCoreApplication::processEvents();
        };

        if (hotkey == u"assistant")
            rig.hotkeys.showAssistant();
        else if (hotkey == u"reply")
            rig.hotkeys.showReply(QStringLiteral("polite"));
        else
            rig.hotkeys.showTranslationPreview();
        run(Millis(1500));  // held a second and a half
        QCOMPARE(openedNow(), QString());
        rig.registrar.release();
        run(Millis(100));
        QCOMPARE(openedNow(), QString());
        QVERIFY(rig.app.focused.focusChecks > 0);
        rig.app.focused.focused = focusReturns;
        run(HotkeyReadGate::focusLimit);
        QCOMPARE(openedNow(), opened);
        // Nothing was copied: the selection was there to be read.
        if (focusReturns)
            QVERIFY(rig.app.selection.calls.isEmpty());
    }

    void reply_data()
    {
        QTest::addColumn<QString>("styleId");
        QTest::addColumn<QString>("accessible");
        QTest::addColumn<QString>("copied");  // "!" for a failing copy
        QTest::addColumn<UiLanguage>("language");
        QTest::addColumn<QStringList>("copies");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("status");
        // From the remembered application ("window 0": none named).
        const QStringList copy { "read selectAll=0 fallback=0 quick window 0" };
        QTest::newRow("accessible selection, no copy")
            << "polite" << "  see you at 5?\n" << "" << UiLanguage::en << QStringList()
            << QStringList { "reply [see you at 5?] polite" } << "";
        QTest::newRow("found only by the copy")
            << "polite" << " " << "lunch tomorrow?" << UiLanguage::en << copy
            << QStringList { "reply [lunch tomorrow?] polite" } << "";
        QTest::newRow("nothing selected") << "polite" << "" << "" << UiLanguage::en << copy << QStringList()
                                          << "failed Select a message to reply to";
        QTest::newRow("the copy fails, in Russian") << "polite" << "" << "!" << UiLanguage::ru << copy
                                                    << QStringList() << "failed Выделите сообщение для ответа";
        QTest::newRow("a deleted style") << "gone" << "hello" << "" << UiLanguage::en << QStringList()
                                         << QStringList() << "";
    }
    void reply()
    {
        QFETCH(QString, styleId);
        QFETCH(QString, accessible);
        QFETCH(QString, copied);
        QFETCH(UiLanguage, language);
        QFETCH(QStringList, copies);
        QFETCH(QStringList, opened);
        QFETCH(QString, status);
        Rig rig;
        rig.app.setLanguage(language);
        rig.app.focused.selection = accessible;
        rig.app.selection.selection = copied;
        if (copied == u"!")
            rig.app.selection.readError = [] { throw std::runtime_error("No selected text."); };
        rig.app.statuses.clear();

        rig.hotkeys.showReply(styleId);
        rig.settle();
        QCOMPARE(rig.app.selection.calls, copies);
        QCOMPARE(rig.assistantFakes.shown(), opened.value(0));
        // Only failures of the hotkey itself; the assistant reports its own.
        QString failure;
        for (const QString& shown : std::as_const(rig.app.statuses)) {
            if (shown.section(' ', 1, 1) == u"failed" && failure.isEmpty())
                failure = shown.section(' ', 1);
        }
        QCOMPARE(failure, status);
        // A deleted style does not even remember the application.
        QCOMPARE(rig.focus.rememberedBundleIdentifier().has_value(), styleId != u"gone");
    }
};

QTEST_MAIN(TestPanelHotkeys)
#include "test_panel_hotkeys.moc"
