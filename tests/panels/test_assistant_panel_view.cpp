// The assistant panel's view: its rules as pure functions of the
// controller's state, the language codes, and the widgets offscreen over the
// controller and the mock service.

#include "model/MendoPromptLibrary.h"
#include "panels/AssistantComposerTextView.h"
#include "panels/AssistantPanel.h"
#include "panels/AssistantRig.h"
#include "ui/FloatingPanel.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QToolButton>
#include <QtTest>

using namespace mendo;

namespace {

AIReplyStyle replyStyle(const QString& id, const QString& name)
{
    return { id, name, QStringLiteral("Reply ") + name, QStringLiteral("Not assigned") };
}

QString symbolOf(const QObject* widget)
{
    return widget->property("symbol").toString();
}

}  // namespace

class TestAssistantPanelView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void composerRules_data();
    void composerRules();
    void replyBarRules_data();
    void replyBarRules();
    void headerAndTranscriptTexts_data();
    void headerAndTranscriptTexts();
    void languageCodes_data();
    void languageCodes();
    void everyLanguageHasItsCode();

    void languageChangeRelabelsTheOpenPanel();
    void symbolButtonsAreNamedForAssistiveTools();
    void replyStyleMenu();
    void copyMarkMovesAndClears();
    void languagePopup();
    void composerEditing();
    void rowsAreKeptByTurn();
};

void TestAssistantPanelView::composerRules_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("context");
    QTest::addColumn<bool>("contextOn");

    // Every combination: running or not, an empty, blank or typed request,
    // a context on, off or blank.
    for (const bool running : { false, true }) {
        for (const QString& request : { QString(), QStringLiteral("   "), QStringLiteral(" hi ") }) {
            for (const int context : { 0, 1, 2 }) {
                QTest::addRow("running=%d request='%s' context=%s", running, qPrintable(request),
                    context == 0 ? "on" : context == 1 ? "off" : "blank")
                    << running << request << (context == 2 ? QStringLiteral("   ") : QStringLiteral("  hello  "))
                    << (context != 1);
            }
        }
    }
}

void TestAssistantPanelView::composerRules()
{
    QFETCH(bool, running);
    QFETCH(QString, request);
    QFETCH(QString, context);
    QFETCH(bool, contextOn);

    AssistantPanelState state;
    state.isRunning = running;
    state.requestText = request;
    state.contextText = context;
    state.contextEnabled = contextOn;
    const bool typed = !request.trimmed().isEmpty();
    const bool blankContext = context.trimmed().isEmpty();

    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        state.uiLanguage = language;
        const bool ru = language == UiLanguage::ru;
        const AssistantPanelViewState view = describeAssistantPanel(state);
        QVERIFY(view.showsComposer);
        QVERIFY(!view.showsReplyBar);
        QCOMPARE(view.sendEnabled, !running && typed);
        QCOMPARE(view.sendLooksBlank, !typed);
        QCOMPARE(view.sendSymbol, running ? QStringLiteral("sparkles") : QStringLiteral("paperplane.fill"));
        QCOMPARE(view.sendTooltip, ru ? QStringLiteral("Отправить") : QStringLiteral("Send"));
        QCOMPARE(view.editorPlaceholder, ru ? QStringLiteral("Спросить AI...") : QStringLiteral("Ask AI..."));
        QCOMPARE(view.contextChipSymbol, contextOn ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle"));
        QCOMPARE(view.contextChipTitle,
            contextOn ? (ru ? QStringLiteral("Контекст включен") : QStringLiteral("Context on"))
                      : (ru ? QStringLiteral("Контекст") : QStringLiteral("Context")));
        // The untrimmed length: "  hello  " is 9, spaces alone show none.
        const std::optional<QString> count = blankContext
            ? std::nullopt
            : std::optional<QString>(ru ? QStringLiteral("9 симв.") : QStringLiteral("9 chars"));
        QCOMPARE(view.contextCount, count);
        QVERIFY(!view.pasteResultVisible);
    }
}

void TestAssistantPanelView::replyBarRules_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<bool>("chipUsable");

    QTest::newRow("reply being written") << true << QString() << false << false;
    QTest::newRow("reply failed") << false << QString() << false << true;
    QTest::newRow("reply present") << false << QStringLiteral("Fine") << true << true;
    QTest::newRow("reply being translated") << true << QStringLiteral("Fine") << false << false;
}

void TestAssistantPanelView::replyBarRules()
{
    QFETCH(bool, running);
    QFETCH(QString, result);
    QFETCH(bool, usable);
    QFETCH(bool, chipUsable);

    AssistantPanelState state;
    state.isReplyMode = true;
    state.isRunning = running;
    state.resultText = result;
    state.replyTranslationLanguage = QStringLiteral("Chinese (Traditional)");
    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        state.uiLanguage = language;
        const bool ru = language == UiLanguage::ru;
        const AssistantPanelViewState view = describeAssistantPanel(state);
        QVERIFY(view.showsReplyBar);
        QVERIFY(!view.showsComposer);
        QCOMPARE(view.languageCode, QStringLiteral("ZH"));
        const QList<std::pair<AssistantBarItem, QString>> items {
            { view.regenerate, ru ? QStringLiteral("Повторить ответ") : QStringLiteral("Regenerate reply") },
            { view.addEmojis, ru ? QStringLiteral("Добавить смайлы") : QStringLiteral("Add emojis") },
            { view.translate, ru ? QStringLiteral("Перевести ответ") : QStringLiteral("Translate reply") },
            { view.copy, ru ? QStringLiteral("Скопировать ответ") : QStringLiteral("Copy reply") },
            { view.paste, ru ? QStringLiteral("Вставить ответ") : QStringLiteral("Paste reply") },
        };
        for (const auto& [item, tooltip] : items)
            QCOMPARE(item, (AssistantBarItem { usable, tooltip }));
        QCOMPARE(view.languageChip,
            (AssistantBarItem { chipUsable, ru ? QStringLiteral("Язык перевода") : QStringLiteral("Translation language") }));
        QCOMPARE(view.translateLabel, ru ? QStringLiteral("Перевод") : QStringLiteral("Translate"));
        QCOMPARE(view.replyStyleMenuEnabled, !running);
    }
}

void TestAssistantPanelView::headerAndTranscriptTexts_data()
{
    QTest::addColumn<bool>("reply");
    QTest::addColumn<bool>("running");
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("placeholder");

    QTest::newRow("chat en") << false << false << UiLanguage::en << "AI assistant" << "Response will appear here.";
    QTest::newRow("chat ru") << false << false << UiLanguage::ru << "AI помощник" << "Ответ появится здесь.";
    QTest::newRow("reply en") << true << true << UiLanguage::en << "AI Reply" << "Writing reply...";
    QTest::newRow("reply ru") << true << true << UiLanguage::ru << "AI Reply" << "Готовлю ответ...";
}

void TestAssistantPanelView::headerAndTranscriptTexts()
{
    QFETCH(bool, reply);
    QFETCH(bool, running);
    QFETCH(UiLanguage, language);
    QFETCH(QString, title);
    QFETCH(QString, placeholder);

    AssistantPanelState state;
    state.isReplyMode = reply;
    state.isRunning = running;
    state.uiLanguage = language;
    state.errorText = QStringLiteral("Oops");
    const AssistantPanelViewState view = describeAssistantPanel(state);
    QCOMPARE(view.title, title);
    QCOMPARE(view.placeholderText, placeholder);
    QCOMPARE(view.showsReplyStyleMenu, reply);
    QVERIFY(view.showsPlaceholder);
    QVERIFY(view.errorVisible);
    const bool ru = language == UiLanguage::ru;
    QCOMPARE(view.youLabel, ru ? QStringLiteral("Ты") : QStringLiteral("You"));
    QCOMPARE(view.newChatTooltip, ru ? QStringLiteral("Новый чат") : QStringLiteral("New chat"));
    QCOMPARE(view.replyStyleTooltip, ru ? QStringLiteral("Стиль ответа") : QStringLiteral("Reply style"));
    QCOMPARE(view.pasteResultTooltip, ru ? QStringLiteral("Вставить результат") : QStringLiteral("Paste result"));
}

void TestAssistantPanelView::languageCodes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");

    QTest::newRow("English") << "English" << "EN";
    QTest::newRow("Russian") << "Russian" << "RU";
    QTest::newRow("German") << "German" << "DE";
    QTest::newRow("Japanese") << "Japanese" << "JA";
    QTest::newRow("Chinese (Simplified)") << "Chinese (Simplified)" << "ZH";
    QTest::newRow("Chinese (Traditional)") << "Chinese (Traditional)" << "ZH";
    QTest::newRow("Filipino") << "Filipino" << "TL";
    QTest::newRow("Bengali, renamed in newer locale data") << "Bengali" << "BN";
    QTest::newRow("Maori, renamed in newer locale data") << "Maori" << "MI";
    QTest::newRow("Frisian matches no name") << "Frisian" << "FR";
    QTest::newRow("a three-letter code is cut") << "Hawaiian" << "HA";
    QTest::newRow("names compare without case") << "gERMAN" << "DE";
    QTest::newRow("the Chinese rule is exact") << "chinese (simplified)" << "CH";
    QTest::newRow("unknown name") << "Klingon" << "KL";
    QTest::newRow("one character") << "x" << "X";
    QTest::newRow("empty") << "" << "";
}

void TestAssistantPanelView::languageCodes()
{
    QFETCH(QString, name);
    QFETCH(QString, code);
    QCOMPARE(languageCode(name), code);
}

void TestAssistantPanelView::everyLanguageHasItsCode()
{
    QStringList codes;
    for (const QString& name : MendoPromptLibrary::languages())
        codes << languageCode(name);
    QCOMPARE(codes.join(u' '),
        QStringLiteral("EN RU ES FR DE IT PT NL PL UK TR AR HE FA HI BN UR PA TA TE MR GU KN ML ZH ZH JA KO TH VI ID MS "
                       "TL MY KM LO MN EL CS SK HU RO BG SR HR BS SL MK SQ LT LV ET FI SV NO DA IS GA CY CA EU GL MT KA "
                       "HY AZ KK UZ KY TG TK BE SW AM HA YO IG ZU XH AF SO NE SI PS KU SU JV CE HT LA EO LB FR HA MI SM "
                       "YI BO BH OR"));
}

void TestAssistantPanelView::languageChangeRelabelsTheOpenPanel()
{
    AssistantRig rig;
    rig.controller.show(QStringLiteral("hello"));
    AssistantPanel* view = rig.controller.view();
    QCOMPARE(view->titleLabel()->text(), QStringLiteral("AI assistant"));
    QCOMPARE(view->newChatButton()->toolTip(), QStringLiteral("New chat"));
    QCOMPARE(view->placeholderLabel()->text(), QStringLiteral("Response will appear here."));
    QCOMPARE(view->contextChip()->text(), QStringLiteral("Context on"));
    QCOMPARE(view->contextCountLabel()->text(), QStringLiteral("5 chars"));

    rig.app.setLanguage(UiLanguage::ru);
    QCOMPARE(view->titleLabel()->text(), QStringLiteral("AI помощник"));
    QCOMPARE(view->newChatButton()->toolTip(), QStringLiteral("Новый чат"));
    QCOMPARE(view->placeholderLabel()->text(), QStringLiteral("Ответ появится здесь."));
    QCOMPARE(view->contextChip()->text(), QStringLiteral("Контекст включен"));
    QCOMPARE(view->contextCountLabel()->text(), QStringLiteral("5 симв."));
    QCOMPARE(view->sendButton()->toolTip(), QStringLiteral("Отправить"));
    QCOMPARE(view->composerEditor()->placeholderText(), QStringLiteral("Спросить AI..."));
}

namespace {

// What a screen reader announces for the widget.
QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name) : QString();
}

}  // namespace

// Buttons that show a symbol only are named by their tooltips, in the
// interface language; buttons with a text keep it as their name.
void TestAssistantPanelView::symbolButtonsAreNamedForAssistiveTools()
{
    AssistantRig rig;
    rig.controller.show(QString());
    rig.ask(QStringLiteral("Friday?"), QStringLiteral("Yes."));
    AssistantPanel* view = rig.controller.view();
    QCOMPARE(accessibleName(view->newChatButton()), QStringLiteral("New chat"));
    QCOMPARE(accessibleName(view->sendButton()), QStringLiteral("Send"));
    QCOMPARE(accessibleName(view->pasteResultButton()), QStringLiteral("Paste result"));
    QCOMPARE(accessibleName(view->contextChip()), view->contextChip()->text());
    rig.app.setLanguage(UiLanguage::ru);
    QCOMPARE(accessibleName(view->pasteResultButton()), QStringLiteral("Вставить результат"));
    rig.app.setLanguage(UiLanguage::en);

    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Sure, Friday works.")));
    rig.controller.showReply(
        QStringLiteral("Can we move the call?"), replyStyle(QStringLiteral("friendly"), QStringLiteral("Friendly")),
        QStringLiteral("English"));
    QTRY_VERIFY(!rig.controller.state().isRunning);
    QCOMPARE(accessibleName(view->replyStyleButton()), QStringLiteral("Friendly"));
    QCOMPARE(accessibleName(view->regenerateButton()), QStringLiteral("Regenerate reply"));
    QCOMPARE(accessibleName(view->addEmojisButton()), QStringLiteral("Add emojis"));
    QCOMPARE(accessibleName(view->languageChip()), QStringLiteral("Translation language"));
    QCOMPARE(accessibleName(view->translateButton()), QStringLiteral("Translate"));
    QCOMPARE(accessibleName(view->copyReplyButton()), QStringLiteral("Copy reply"));
    QCOMPARE(accessibleName(view->pasteReplyButton()), QStringLiteral("Paste reply"));
}

void TestAssistantPanelView::replyStyleMenu()
{
    AssistantRig rig;
    const AIReplyStyle friendly = replyStyle(QStringLiteral("friendly"), QStringLiteral("Friendly"));
    const AIReplyStyle brief = replyStyle(QStringLiteral("short"), QStringLiteral("Short"));
    rig.app.state->editSettings([](MendoSettings& s) { s.aiReplyStyles = {}; });
    MockAiService::Answer slow = MockAiService::Answer::result(QStringLiteral("Fine"));
    slow.delay = Millis(100);
    rig.mock.enqueue(slow);
    rig.controller.showReply(QStringLiteral("Hi?"), friendly, QStringLiteral("English"));
    AssistantPanel* view = rig.controller.view();
    QVERIFY(view->replyStyleButton()->isVisibleTo(view));
    QVERIFY(!view->newChatButton()->isVisibleTo(view));
    QCOMPARE(view->replyStyleButton()->text(), QStringLiteral("Friendly"));
    QCOMPARE(view->replyStyleMenu()->actions().size(), 0);
    // Written now: the menu cannot be opened.
    QVERIFY(!view->replyStyleButton()->isEnabled());
    QVERIFY(rig.waitForRequests(1));
    rig.advance(100);
    QTRY_VERIFY(view->replyStyleButton()->isEnabled());

    // An id in no entry checks nothing; the selected one is checked.
    rig.app.state->editSettings([&](MendoSettings& s) { s.aiReplyStyles = { brief }; });
    QList<QAction*> actions = view->replyStyleMenu()->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions[0]->text(), QStringLiteral("Short"));
    QVERIFY(actions[0]->icon().isNull());
    rig.app.state->editSettings([&](MendoSettings& s) { s.aiReplyStyles = { friendly, brief }; });
    actions = view->replyStyleMenu()->actions();
    QVERIFY(!actions[0]->icon().isNull());
    QVERIFY(actions[1]->icon().isNull());
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Ok")));
    actions[1]->trigger();
    QCOMPARE(rig.controller.state().selectedReplyStyleID, QStringLiteral("short"));
    QTRY_VERIFY(!rig.controller.state().isRunning);

    // In chat mode New chat stays usable during a run.
    rig.controller.show(QString());
    rig.controller.setRequestText(QStringLiteral("Q"));
    rig.mock.enqueue(slow);
    rig.controller.run();
    QVERIFY(rig.controller.state().isRunning);
    QVERIFY(view->newChatButton()->isVisibleTo(view));
    QVERIFY(view->newChatButton()->isEnabled());
    QVERIFY(!view->sendButton()->isEnabled());
    QCOMPARE(symbolOf(view->sendButton()), QStringLiteral("sparkles"));
    QVERIFY(rig.waitForRequests(3));
    rig.advance(100);
    QTRY_VERIFY(!rig.controller.state().isRunning);
    QCOMPARE(symbolOf(view->sendButton()), QStringLiteral("paperplane.fill"));
}

void TestAssistantPanelView::copyMarkMovesAndClears()
{
    AssistantRig rig;
    rig.controller.show(QString());
    rig.ask(QStringLiteral("one"), QStringLiteral("ONE"));
    rig.ask(QStringLiteral("two"), QStringLiteral("TWO"));
    AssistantPanel* view = rig.controller.view();
    const QList<AssistantConversationTurn> turns = rig.controller.state().turns;
    const auto marks = [&] {
        return QStringList { symbolOf(view->copyButton(turns[0].id)), symbolOf(view->copyButton(turns[1].id)) };
    };
    QCOMPARE(marks(), QStringList({ "doc.on.doc", "doc.on.doc" }));
    view->copyButton(turns[0].id)->click();
    QCOMPARE(marks(), QStringList({ "checkmark", "doc.on.doc" }));
    QCOMPARE(rig.pasteboard.string(), QStringLiteral("ONE"));
    rig.advance(500);
    view->copyButton(turns[1].id)->click();
    QCOMPARE(marks(), QStringList({ "doc.on.doc", "checkmark" }));
    rig.advance(1099);
    QCOMPARE(marks(), QStringList({ "doc.on.doc", "checkmark" }));
    rig.advance(1);
    QCOMPARE(marks(), QStringList({ "doc.on.doc", "doc.on.doc" }));
}

void TestAssistantPanelView::languagePopup()
{
    AssistantRig rig;
    rig.app.state->editSettings([](MendoSettings& s) { s.aiReplyStyles = {}; });
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Fine")));
    rig.controller.showReply(QStringLiteral("Hi?"), replyStyle("friendly", "Friendly"), QStringLiteral("English"));
    QTRY_VERIFY(!rig.controller.state().isRunning);
    FloatingPanel* panel = rig.controller.panel();
    AssistantPanel* view = rig.controller.view();
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    QCOMPARE(view->languageChip()->findChildren<QLabel*>()[1]->text(), QStringLiteral("EN"));

    view->languageChip()->click();
    QVERIFY(view->isLanguageListVisible());
    QWidget* list = view->replyLanguageList();
    QTRY_VERIFY(list && list->isVisible());
    const auto chipBottomLeft = [&] {
        return view->languageChip()->mapTo(view->content(), QPoint(0, view->languageChip()->height()));
    };
    QCOMPARE(list->size(), QSize(230, 280));
    QTRY_COMPARE(list->geometry().bottomLeft() + QPoint(0, 1), chipBottomLeft() - QPoint(0, 34));
    // It stands over the transcript: what is under its middle is the list.
    QWidget* hit = view->content()->childAt(list->geometry().center());
    QVERIFY(hit == list || list->isAncestorOf(hit));
    const auto mark = [&](const QString& name) { return symbolOf(view->languageRow(name)->findChildren<QLabel*>()[0]); };
    QCOMPARE(mark(QStringLiteral("English")), QStringLiteral("checkmark"));
    QCOMPARE(mark(QStringLiteral("German")), QString());

    // Closed by the chip, open again after hiding and showing the panel.
    view->languageChip()->click();
    QVERIFY(!list->isVisible());
    view->languageChip()->click();
    QVERIFY(list->isVisible());
    rig.controller.hidePanel();
    panel->show();
    QVERIFY(view->isLanguageListVisible());
    QVERIFY(list->isVisible());

    // Choosing a language closes it and translates.
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("Gut")));
    view->languageRow(QStringLiteral("German"))->click();
    QVERIFY(!view->isLanguageListVisible());
    QVERIFY(!list->isVisible());
    QCOMPARE(rig.controller.state().replyTranslationLanguage, QStringLiteral("German"));
    QTRY_COMPARE(rig.controller.state().resultText, QStringLiteral("Gut"));
    QCOMPARE(view->languageChip()->findChildren<QLabel*>()[1]->text(), QStringLiteral("DE"));
}

void TestAssistantPanelView::composerEditing()
{
    AssistantRig rig;
    rig.controller.show(QString());
    AssistantComposerTextView* editor = rig.controller.view()->composerEditor();
    QToolButton* send = rig.controller.view()->sendButton();
    QVERIFY(!send->isEnabled());
    // The editor draws its placeholder while its text is empty: with the
    // empty request, never with a blank one.
    QVERIFY(editor->document()->isEmpty());

    // Keys straight to the editor: typing binds, Shift/Alt+Return break the
    // line with a line feed, Control+Return and Return submit.
    QTest::keyClicks(editor, QStringLiteral("ab"));
    QCOMPARE(rig.controller.state().requestText, QStringLiteral("ab"));
    QVERIFY(send->isEnabled());
    QTest::keyClick(editor, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(editor, QStringLiteral("c"));
    QTest::keyClick(editor, Qt::Key_Return, Qt::AltModifier);
    QTest::keyClicks(editor, QStringLiteral("d"));
    QCOMPARE(rig.controller.state().requestText, QStringLiteral("ab\nc\nd"));
    rig.mock.enqueue(MockAiService::Answer::result(QStringLiteral("ok")));
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(rig.waitForRequests(1));
    QCOMPARE(rig.body(0).value(QStringLiteral("text")).toString(), QStringLiteral("ab\nc\nd"));
    QTRY_VERIFY(!rig.controller.state().isRunning);
    QCOMPARE(editor->toPlainText(), QString());

    // Blank text: Return still asks for a request.
    QTest::keyClicks(editor, QStringLiteral("  "));
    QVERIFY(!send->isEnabled());
    QVERIFY(!editor->document()->isEmpty());
    QTest::keyClick(editor, Qt::Key_Enter);
    QCOMPARE(rig.controller.state().errorText, QStringLiteral("Enter a request."));
    QVERIFY(rig.controller.view()->errorLabel()->isVisibleTo(rig.controller.view()));

    // An outside change replaces the text; an unchanged one keeps the
    // cursor where it is.
    rig.controller.setRequestText(QStringLiteral("hello world"));
    QCOMPARE(editor->toPlainText(), QStringLiteral("hello world"));
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(3);
    editor->setTextCursor(cursor);
    rig.controller.setContextEnabled(true);
    QCOMPARE(editor->textCursor().position(), 3);
}

void TestAssistantPanelView::rowsAreKeptByTurn()
{
    AssistantRig rig;
    rig.controller.show(QString());
    rig.ask(QStringLiteral("one"), QStringLiteral("ONE"));
    AssistantPanel* view = rig.controller.view();
    QToolButton* first = view->copyButton(rig.controller.state().turns[0].id);
    QVERIFY(first);
    rig.ask(QStringLiteral("two"), QStringLiteral("TWO"));
    QCOMPARE(view->copyButton(rig.controller.state().turns[0].id), first);
    QCOMPARE(view->shownTurnIds().size(), 2);
    rig.controller.newChat();
    QCOMPARE(view->shownTurnIds().size(), 0);
    QVERIFY(view->placeholderLabel()->isVisibleTo(view));
}

QTEST_MAIN(TestAssistantPanelView)
#include "test_assistant_panel_view.moc"
