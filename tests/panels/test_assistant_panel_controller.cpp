// The assistant panel's controller over fakes and the in-process mock
// service: what each request sends, what each outcome shows and reports,
// the reply cycle, stale outcomes of overlapping requests, copy, paste back
// and the panel's size and place.

#include "engine/PasteboardServiceError.h"
#include "model/AIReplyStyleLibrary.h"
#include "panels/AssistantRig.h"
#include "ui/FloatingPanel.h"

#include <QtTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

AIReplyStyle replyStyle(const QString& id, const QString& name)
{
    return { id, name, QStringLiteral("Reply ") + name, QStringLiteral("Not assigned") };
}

const AIReplyStyle kFriendly = replyStyle(QStringLiteral("friendly"), QStringLiteral("Friendly"));
const AIReplyStyle kShort = replyStyle(QStringLiteral("short"), QStringLiteral("Short"));

MockAiService::Answer answer(const QString& text, int delayMs = 0)
{
    MockAiService::Answer a = MockAiService::Answer::result(text);
    a.delay = Millis(delayMs);
    return a;
}

MockAiService::Answer failure(const QString& error, int delayMs = 0)
{
    MockAiService::Answer a = MockAiService::Answer::json(500, { { QStringLiteral("error"), error } });
    a.delay = Millis(delayMs);
    return a;
}

// The body the engine would send for these arguments.
QJsonObject expectedBody(
    const QString& text, BackendAction action, const PromptStyle& style, const BackendSendOptions& options)
{
    return BackendClient::requestBody(text, action, style, options);
}

QStringList turnTexts(const AssistantPanelState& state)
{
    QStringList texts;
    for (const AssistantConversationTurn& turn : state.turns)
        texts << turn.request + QStringLiteral(" -> ") + turn.result;
    return texts;
}

// Opens a reply to `message` and lets its answer `reply` arrive.
void openReply(AssistantRig& rig, const QString& reply, const QString& message = QStringLiteral("How are you?"))
{
    const int before = rig.mock.requests().size();
    rig.app.state->editSettings([](MendoSettings& s) { s.aiReplyStyles = { kFriendly, kShort }; });
    rig.mock.enqueue(answer(reply));
    rig.controller.showReply(message, kFriendly, QStringLiteral("English"));
    rig.waitForRequests(before + 1);
    QTRY_VERIFY(!rig.controller.state().isRunning);
}

}  // namespace

class TestAssistantPanelController : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chatRequestBodies_data();
    void chatRequestBodies();
    void sessionKeptWithinAConversation();
    void replyTransformBodies();
    void statuses_data();
    void statuses();
    void requestEdgeCases();
    void replyCycle();
    void translationsStartFromTheUntranslatedReply();
    void copyMarks();
    void panelSizeAndPlace_data();
    void panelSizeAndPlace();
    void closeHidesAndKeepsTheTranscript();
    void newChatEndsTheRequestInFlight_data();
    void newChatEndsTheRequestInFlight();
    void refusedCopyIsNotConfirmed();
    void anAnswerAfterTheControllerIsGone();
    void replyOpenedDuringAChatRequest_data();
    void replyOpenedDuringAChatRequest();
    void translationOverriddenByChatNewChatAndReply_data();
    void translationOverriddenByChatNewChatAndReply();
    void draftTypedDuringARunSurvives();
    void pasteGoesWhereThePanelWasOpened();
    void pasteWithoutTarget();
};

void TestAssistantPanelController::chatRequestBodies_data()
{
    QTest::addColumn<QString>("context");
    QTest::addColumn<bool>("contextOn");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("sent");

    QTest::newRow("with context") << QStringLiteral("  Hello there \n") << true << QStringLiteral(" Fix it\n")
                                  << QStringLiteral("Selected text:\nHello there\n\nRequest:\nFix it");
    QTest::newRow("context off") << QStringLiteral("Hello there") << false << QStringLiteral("Fix it")
                                 << QStringLiteral("Fix it");
    QTest::newRow("blank context") << QString() << true << QStringLiteral("What is 2+2?")
                                   << QStringLiteral("What is 2+2?");
}

void TestAssistantPanelController::chatRequestBodies()
{
    QFETCH(QString, context);
    QFETCH(bool, contextOn);
    QFETCH(QString, request);
    QFETCH(QString, sent);

    AssistantRig rig;
    rig.controller.show(context);
    rig.controller.setContextEnabled(contextOn);
    rig.controller.setRequestText(request);
    rig.mock.enqueue(answer(QStringLiteral("Answer")));
    rig.controller.run();
    QVERIFY(rig.waitForRequests(1));

    BackendSendOptions options;
    options.targetLanguage = QStringLiteral("English");
    options.retryOnUnchangedTranslation = true;
    options.assistantSessionId = rig.controller.assistantSessionId();
    options.assistantKeepContext = true;
    QCOMPARE(rig.body(0), expectedBody(sent, BackendAction::assistant, AssistantPanelController::assistantStyle(), options));
    QCOMPARE(AssistantPanelController::assistantStyle(),
        (PromptStyle { "assistant", "AI", "", "Not assigned", false }));

    QTRY_VERIFY(!rig.controller.state().isRunning);
    QCOMPARE(turnTexts(rig.controller.state()), QStringList { request.trimmed() + QStringLiteral(" -> Answer") });
    QCOMPARE(rig.controller.state().resultText, QStringLiteral("Answer"));
    QCOMPARE(rig.controller.state().requestText, QString());
}

void TestAssistantPanelController::sessionKeptWithinAConversation()
{
    AssistantRig rig;
    rig.controller.show(QString());
    const auto ask = [&](const QString& text) { rig.ask(text, text + QStringLiteral("!")); };
    ask(QStringLiteral("one"));
    ask(QStringLiteral("two"));
    rig.controller.newChat();
    ask(QStringLiteral("three"));
    // A chat opened after a reply continues the reply's conversation.
    openReply(rig, QStringLiteral("Fine"));
    rig.controller.show(QString());
    ask(QStringLiteral("four"));

    const auto session = [&](int i) { return rig.body(i).value(QStringLiteral("assistantSessionId")).toString(); };
    QCOMPARE(rig.mock.requests().size(), 5);
    QVERIFY(!session(0).isEmpty());
    QCOMPARE(session(1), session(0));
    QVERIFY(session(2) != session(0));
    QCOMPARE(session(4), rig.controller.assistantSessionId());
    QVERIFY(session(4) != session(2));
    QCOMPARE(turnTexts(rig.controller.state()),
        QStringList({ QStringLiteral("How are you? -> Fine"), QStringLiteral("four -> four!") }));
}

void TestAssistantPanelController::replyTransformBodies()
{
    AssistantRig rig;
    rig.languages.language = QStringLiteral("English");
    rig.app.state->editSettings([](MendoSettings& s) { s.targetLanguage = QStringLiteral("Spanish"); });
    openReply(rig, QStringLiteral("I'm fine"), QStringLiteral("  How are you? "));

    // The reply as the engine writes it.
    PromptStyle composed { kFriendly.id, AIReplyStyleLibrary::backendStyleName(kFriendly),
        BackendClient::replyUserInstruction(kFriendly), kFriendly.hotkey, false };
    BackendSendOptions replyOptions;
    replyOptions.keyboardLanguage = QStringLiteral("English");
    replyOptions.retryOnUnchangedTranslation = true;
    replyOptions.userInstruction = composed.prompt;
    replyOptions.replyTo = QStringLiteral("How are you?");
    QCOMPARE(rig.body(0),
        expectedBody(QStringLiteral("How are you?"), BackendAction::reply, composed, replyOptions));

    rig.mock.enqueue(answer(QStringLiteral("I'm fine 🙂")));
    rig.controller.addEmojisToReply();
    QVERIFY(rig.waitForRequests(2));
    BackendSendOptions emojiOptions;
    emojiOptions.targetLanguage = QStringLiteral("Spanish");
    emojiOptions.retryOnUnchangedTranslation = true;
    QCOMPARE(rig.body(1),
        expectedBody(QStringLiteral("I'm fine"), BackendAction::emoji, AssistantPanelController::emojiStyle(), emojiOptions));
    QCOMPARE(AssistantPanelController::emojiStyle().prompt,
        QStringLiteral("Add 1-3 relevant emojis while preserving the wording, meaning, language, and tone. "
                       "Return only the updated text."));
    QTRY_VERIFY(!rig.controller.state().isRunning);

    rig.mock.enqueue(answer(QStringLiteral("Estoy bien 🙂")));
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("German"));
    QVERIFY(rig.waitForRequests(3));
    BackendSendOptions translateOptions;
    translateOptions.targetLanguage = QStringLiteral("German");
    QCOMPARE(rig.body(2),
        expectedBody(QStringLiteral("I'm fine 🙂"), BackendAction::translate, AssistantPanelController::translationStyle(),
            translateOptions));
    QCOMPARE(AssistantPanelController::translationStyle(),
        (PromptStyle { "original", "Translate", "", "Not assigned", false }));
    QTRY_VERIFY(!rig.controller.state().isRunning);
}

void TestAssistantPanelController::statuses_data()
{
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("en") << UiLanguage::en
                        << QStringList { "running AI running", "done AI ready", "running AI running",
                               "failed Server down", "done Copied", "done New AI chat", "failed No app found for paste",
                               "done New AI chat", "running Writing reply", "done Reply ready", "running Adding emojis",
                               "done Emojis added", "running Translating reply", "done Reply translated",
                               "running Translating reply", "failed Bad language", "done Copied" };
    QTest::newRow("ru") << UiLanguage::ru
                        << QStringList { "running AI выполняется", "done AI готов", "running AI выполняется",
                               "failed Server down", "done Скопировано", "done Новый AI-чат",
                               "failed Не найдено приложение для вставки", "done Новый AI-чат",
                               "running Готовлю ответ", "done Ответ готов", "running Добавляю смайлы",
                               "done Смайлы добавлены", "running Перевожу ответ", "done Ответ переведён",
                               "running Перевожу ответ", "failed Bad language", "done Скопировано" };
}

void TestAssistantPanelController::statuses()
{
    QFETCH(UiLanguage, language);
    QFETCH(QStringList, expected);

    AssistantRig rig;
    rig.app.setLanguage(language);
    rig.controller.show(QString());
    rig.app.statuses.clear();
    const auto strip = [&] {
        QStringList kinds;
        for (const QString& line : std::as_const(rig.app.statuses))
            kinds << line.section(u' ', 1);
        return kinds;
    };

    rig.controller.setRequestText(QStringLiteral("Hi"));
    rig.mock.enqueue({ answer(QStringLiteral("Hello")), failure(QStringLiteral("Server down")) });
    rig.controller.run();
    QTRY_VERIFY(!rig.controller.state().isRunning);
    rig.controller.setRequestText(QStringLiteral("Again"));
    rig.controller.run();
    QTRY_VERIFY(!rig.controller.state().isRunning);
    QCOMPARE(rig.controller.state().errorText, QStringLiteral("Server down"));
    QCOMPARE(rig.controller.state().requestText, QStringLiteral("Again"));
    rig.controller.copyResult();
    rig.controller.newChat();
    rig.controller.pasteResult();

    rig.app.state->editSettings([](MendoSettings& s) { s.aiReplyStyles = { kFriendly }; });
    rig.mock.enqueue({ answer(QStringLiteral("Fine")), answer(QStringLiteral("Fine 🙂")),
        answer(QStringLiteral("Gut 🙂")), failure(QStringLiteral("Bad language")) });
    rig.controller.showReply(QStringLiteral("How are you?"), kFriendly, QStringLiteral("English"));
    QTRY_VERIFY(!rig.controller.state().isRunning);
    rig.controller.addEmojisToReply();
    QTRY_VERIFY(!rig.controller.state().isRunning);
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("German"));
    QTRY_VERIFY(!rig.controller.state().isRunning);
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("Klingon"));
    QTRY_VERIFY(!rig.controller.state().isRunning);
    // The failed translation left the reply as it was.
    QCOMPARE(rig.controller.state().resultText, QStringLiteral("Gut 🙂"));
    rig.controller.copyResult();

    QCOMPARE(strip(), expected);
}

void TestAssistantPanelController::requestEdgeCases()
{
    AssistantRig rig;
    rig.app.state->editSettings([](MendoSettings& s) { s.aiContextEnabled = false; });
    rig.controller.show(QStringLiteral("  first selection "));
    QCOMPARE(rig.controller.state().contextText, QStringLiteral("first selection"));
    QVERIFY(rig.controller.state().contextEnabled);
    QVERIFY(rig.app.state->settings().aiContextEnabled);

    // A blank selection keeps the context and its switch.
    rig.controller.setContextEnabled(false);
    rig.controller.show(QStringLiteral(" \n\t"));
    QCOMPARE(rig.controller.state().contextText, QStringLiteral("first selection"));
    QVERIFY(!rig.controller.state().contextEnabled);
    QVERIFY(!rig.app.state->settings().aiContextEnabled);

    // A blank request asks for one, sends nothing and reports nothing.
    rig.app.statuses.clear();
    rig.controller.setRequestText(QStringLiteral("   "));
    rig.controller.run();
    QCOMPARE(rig.controller.state().errorText, QStringLiteral("Enter a request."));
    rig.app.setLanguage(UiLanguage::ru);
    rig.controller.run();
    QCOMPARE(rig.controller.state().errorText, QStringLiteral("Введите запрос."));
    QCOMPARE(rig.app.statuses, QStringList());
    QTest::qWait(50);
    QCOMPARE(rig.mock.requests().size(), 0);

    // A second run while one is in flight sends nothing either.
    rig.controller.setRequestText(QStringLiteral("Q"));
    rig.mock.enqueue(answer(QStringLiteral("A"), 100));
    rig.controller.run();
    QVERIFY(rig.controller.state().errorText.isEmpty());
    rig.controller.run();
    QVERIFY(rig.waitForRequests(1));
    rig.advance(100);
    QTRY_VERIFY(!rig.controller.state().isRunning);
    QTest::qWait(50);
    QCOMPARE(rig.mock.requests().size(), 1);
    QCOMPARE(rig.controller.state().turns.size(), 1);

    // Showing the chat after an error clears it; pasting without a result
    // finds no application.
    rig.controller.setRequestText(QString());
    rig.controller.run();
    QVERIFY(!rig.controller.state().errorText.isEmpty());
    rig.controller.show(QString());
    QVERIFY(rig.controller.state().errorText.isEmpty());
}

void TestAssistantPanelController::replyCycle()
{
    AssistantRig rig;
    rig.controller.show(QStringLiteral("old context"));
    rig.controller.setRequestText(QStringLiteral("Q"));
    rig.mock.enqueue(answer(QStringLiteral("A")));
    rig.controller.run();
    QTRY_VERIFY(!rig.controller.state().isRunning);

    // A blank message opens nothing.
    rig.controller.hidePanel();
    rig.controller.showReply(QStringLiteral("  \n"), kFriendly, QStringLiteral("English"));
    QVERIFY(!rig.controller.state().isReplyMode);
    QVERIFY(!rig.controller.panel()->isVisible());

    rig.app.state->editSettings([](MendoSettings& s) {
        s.aiReplyStyles = { kFriendly, kShort };
        s.targetLanguage = QStringLiteral("French");
    });
    rig.mock.enqueue(answer(QStringLiteral("Fine"), 50));
    rig.controller.showReply(QStringLiteral(" How are you? "), kFriendly, QStringLiteral("German"));
    QVERIFY(rig.controller.panel()->isVisible());
    const AssistantPanelState& state = rig.controller.state();
    QVERIFY(state.isReplyMode);
    QVERIFY(state.isRunning);
    QVERIFY(state.turns.isEmpty());
    QCOMPARE(state.contextText, QStringLiteral("How are you?"));
    QCOMPARE(state.replyStyleName, QStringLiteral("Friendly"));
    QVERIFY(rig.waitForRequests(2));
    QCOMPARE(rig.body(1).value(QStringLiteral("replyTo")).toString(), QStringLiteral("How are you?"));

    // While it is written, another reply does not open.
    rig.controller.showReply(QStringLiteral("Other"), kShort, QStringLiteral("English"));
    QCOMPARE(state.contextText, QStringLiteral("How are you?"));
    rig.advance(50);
    QTRY_VERIFY(!state.isRunning);
    QCOMPARE(turnTexts(state), QStringList { QStringLiteral("How are you? -> Fine") });
    QCOMPARE(rig.controller.replyTranslationSource(), QStringLiteral("Fine"));

    // An unknown style does nothing; the selected one writes anew, in the
    // settings' current language.
    rig.controller.selectReplyStyle(QStringLiteral("nope"));
    QVERIFY(!state.isRunning);
    rig.mock.enqueue(answer(QStringLiteral("Fine, thanks")));
    rig.controller.selectReplyStyle(kFriendly.id);
    QVERIFY(rig.waitForRequests(3));
    QTRY_VERIFY(!state.isRunning);
    rig.mock.enqueue(answer(QStringLiteral("Ok")));
    rig.controller.selectReplyStyle(kShort.id);
    QVERIFY(rig.waitForRequests(4));
    QTRY_VERIFY(!state.isRunning);
    QCOMPARE(state.replyStyleName, QStringLiteral("Short"));
    QCOMPARE(state.selectedReplyStyleID, kShort.id);
    rig.app.state->editSettings([](MendoSettings& s) { s.targetLanguage = QStringLiteral("Japanese"); });
    rig.mock.enqueue(answer(QStringLiteral("Ok!")));
    rig.controller.regenerateReply();
    QVERIFY(rig.waitForRequests(5));
    QTRY_VERIFY(!state.isRunning);
    QCOMPARE(turnTexts(state), QStringList { QStringLiteral("How are you? -> Ok!") });
    // Only the translate reply style sends its language to the service.
    const AIReplyStyle translateStyle = replyStyle(QStringLiteral("translate"), QStringLiteral("Translate"));
    rig.app.state->editSettings([&](MendoSettings& s) { s.aiReplyStyles = { kFriendly, kShort, translateStyle }; });
    rig.mock.enqueue(answer(QStringLiteral("Daijoubu")));
    rig.controller.selectReplyStyle(translateStyle.id);
    QVERIFY(rig.waitForRequests(6));
    QCOMPARE(rig.body(5).value(QStringLiteral("targetLanguage")).toString(), QStringLiteral("Japanese"));
    QTRY_VERIFY(!state.isRunning);

    // A failed reply leaves the transcript empty and can be tried again.
    rig.mock.enqueue(failure(QStringLiteral("Busy")));
    rig.controller.regenerateReply();
    QTRY_VERIFY(!state.isRunning);
    QVERIFY(state.turns.isEmpty());
    QVERIFY(state.resultText.isEmpty());
    QCOMPARE(state.errorText, QStringLiteral("Busy"));
    // Without a reply there is nothing to decorate or translate, not even
    // the reply the failed one replaced.
    QVERIFY(rig.controller.replyTranslationSource().isEmpty());
    rig.controller.addEmojisToReply();
    rig.controller.translateReply();
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("Polish"));
    QVERIFY(!state.isRunning);

    // Opening the chat leaves reply mode and keeps the message.
    rig.controller.show(QString());
    QVERIFY(!state.isReplyMode);
    rig.controller.selectReplyStyle(kFriendly.id);
    rig.controller.regenerateReply();
    QVERIFY(!state.isRunning);
}

void TestAssistantPanelController::translationsStartFromTheUntranslatedReply()
{
    AssistantRig rig;
    openReply(rig, QStringLiteral("Fine"));
    const AssistantPanelState& state = rig.controller.state();
    const auto textSent = [&](int i) { return rig.body(i).value(QStringLiteral("text")).toString(); };

    rig.mock.enqueue(answer(QStringLiteral("Fine 🙂")));
    rig.controller.addEmojisToReply();
    QTRY_VERIFY(!state.isRunning);
    const QUuid beforeTranslation = state.turns.last().id;
    rig.controller.copyMessage(state.turns.last());

    rig.mock.enqueue(answer(QStringLiteral("Gut 🙂"), 100));
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("German"));
    QVERIFY(rig.waitForRequests(3));
    // A second translation while one runs is ignored, and choosing another
    // language meanwhile only records it.
    rig.controller.translateReply();
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("Italian"));
    QCOMPARE(state.replyTranslationLanguage, QStringLiteral("Italian"));
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("German"));
    rig.advance(100);
    QTRY_VERIFY(!state.isRunning);
    QTest::qWait(50);
    QCOMPARE(rig.mock.requests().size(), 3);
    QCOMPARE(textSent(2), QStringLiteral("Fine 🙂"));
    QCOMPARE(turnTexts(state), QStringList { QStringLiteral("How are you? -> Gut 🙂") });
    // The replaced turn has a new id, and with it the copy mark is gone.
    QVERIFY(state.turns.last().id != beforeTranslation);
    QVERIFY(state.copiedTurnID != state.turns.last().id);

    // Choosing the language already chosen does not translate again.
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("German"));
    QVERIFY(!state.isRunning);

    rig.mock.enqueue(answer(QStringLiteral("Bien 🙂")));
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("French"));
    QTRY_VERIFY(!state.isRunning);
    QCOMPARE(textSent(3), QStringLiteral("Fine 🙂"));
    QCOMPARE(rig.controller.replyTranslationSource(), QStringLiteral("Fine 🙂"));

    // Emojis on the translation make it the new source.
    rig.mock.enqueue({ answer(QStringLiteral("Bien 🙂👍")), answer(QStringLiteral("Good 🙂👍")) });
    rig.controller.addEmojisToReply();
    QTRY_VERIFY(!state.isRunning);
    QCOMPARE(textSent(4), QStringLiteral("Bien 🙂"));
    QCOMPARE(rig.controller.replyTranslationSource(), QStringLiteral("Bien 🙂👍"));
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("English"));
    QTRY_VERIFY(!state.isRunning);
    QCOMPARE(textSent(5), QStringLiteral("Bien 🙂👍"));
    QCOMPARE(state.resultText, QStringLiteral("Good 🙂👍"));
}

void TestAssistantPanelController::copyMarks()
{
    AssistantRig rig;
    rig.controller.show(QString());
    for (const QString& question : { QStringLiteral("one"), QStringLiteral("two") })
        rig.ask(question, question.toUpper());
    const AssistantPanelState& state = rig.controller.state();
    const AssistantConversationTurn first = state.turns[0];
    const AssistantConversationTurn second = state.turns[1];

    rig.controller.copyMessage(first);
    QCOMPARE(rig.pasteboard.string(), QStringLiteral("ONE"));
    QCOMPARE(state.copiedTurnID, first.id);
    rig.advance(600);
    rig.controller.copyMessage(second);
    QCOMPARE(state.copiedTurnID, second.id);
    // The first copy's time is up: the second's mark stays.
    rig.advance(600);
    QCOMPARE(state.copiedTurnID, second.id);
    rig.advance(499);
    QCOMPARE(state.copiedTurnID, second.id);
    rig.advance(1);
    QCOMPARE(state.copiedTurnID, std::nullopt);

    rig.controller.copyResult();
    QCOMPARE(rig.pasteboard.string(), QStringLiteral("TWO"));
    rig.controller.newChat();
    rig.pasteboard.copyFromOutside(QStringLiteral("mine"));
    rig.app.statuses.clear();
    rig.controller.copyResult();
    QCOMPARE(rig.pasteboard.string(), QStringLiteral("mine"));
    QCOMPARE(rig.app.statuses, QStringList());
}

// The clipboard can refuse a write (another client took it a moment
// before): the clipboard then holds what it held, and nothing says "Copied".
void TestAssistantPanelController::refusedCopyIsNotConfirmed()
{
    AssistantRig rig;
    rig.controller.show(QString());
    rig.ask(QStringLiteral("Q"), QStringLiteral("A"));
    rig.app.statuses.clear();
    rig.pasteboard.refuseWrites = 2;
    rig.controller.copyResult();
    rig.controller.copyMessage(rig.controller.state().turns.first());
    QCOMPARE(rig.pasteboard.refusedWrites, 2);
    QCOMPARE(rig.app.statuses, QStringList());
    QCOMPARE(rig.controller.state().copiedTurnID, std::nullopt);

    rig.controller.copyResult();
    QCOMPARE(rig.pasteboard.string(), QStringLiteral("A"));
    QCOMPARE(rig.app.statuses.size(), 1);
    QVERIFY(rig.app.statuses[0].endsWith(QStringLiteral("done Copied")));
}

// The request runs inside the controller's service client; an answer that
// arrives once the controller is gone finds that client still there and
// reports nothing.
void TestAssistantPanelController::anAnswerAfterTheControllerIsGone()
{
    AssistantRig rig;
    auto controller = std::make_unique<AssistantPanelController>(AssistantPanelServices { rig.app.clock,
        rig.app.defaults, rig.desktop, rig.pasteboard, rig.focus, rig.pasteboardService, rig.mock.aiURL(),
        rig.credentials, rig.network, rig.languages, nullptr });
    controller->attach(*rig.app.state);
    controller->show(QString());
    controller->setRequestText(QStringLiteral("Q"));
    rig.mock.enqueue(answer(QStringLiteral("A"), 100));
    controller->run();
    QVERIFY(rig.waitForRequests(1));
    rig.app.statuses.clear();
    controller.reset();
    rig.advance(100);
    QTest::qWait(100);
    QCOMPARE(rig.app.statuses, QStringList());
}

void TestAssistantPanelController::panelSizeAndPlace_data()
{
    QTest::addColumn<QVariant>("savedWidth");
    QTest::addColumn<QVariant>("savedHeight");
    QTest::addColumn<QSize>("size");

    QTest::newRow("nothing saved") << QVariant() << QVariant() << QSize(620, 680);
    QTest::newRow("too narrow") << QVariant(400.0) << QVariant(900.0) << QSize(620, 680);
    QTest::newRow("too large") << QVariant(1200.0) << QVariant(1200.0) << QSize(920, 900);
    QTest::newRow("within limits") << QVariant(500.0) << QVariant(600.0) << QSize(500, 600);
}

void TestAssistantPanelController::panelSizeAndPlace()
{
    QFETCH(QVariant, savedWidth);
    QFETCH(QVariant, savedHeight);
    QFETCH(QSize, size);

    AssistantRig rig;
    if (savedWidth.isValid()) {
        rig.app.defaults.values.insert(QStringLiteral("mendo.assistantPanel.width"), savedWidth);
        rig.app.defaults.values.insert(QStringLiteral("mendo.assistantPanel.height"), savedHeight);
    }
    // Near the bottom-right corner: 16 inside the visible frame's right
    // and bottom edges.
    rig.desktop.pointer = QPoint(1430, 890);
    rig.controller.show(QString());
    FloatingPanel* panel = rig.controller.panel();
    QCOMPARE(panel->size(), size);
    // Taller than the visible frame allows: its top edge stays 16 inside.
    const QPoint corner(1440 - 16 - size.width(), std::max(25 + 16, 900 - 16 - size.height()));
    QCOMPARE(panel->pos(), corner);
    QCOMPARE(panel->focus(), FloatingPanel::Focus::onPresent);
    QCOMPARE(panel->minimumSize(), QSize(480, 560));

    // Shown again while visible: it stays where it is.
    rig.desktop.pointer = QPoint(100, 100);
    rig.controller.show(QString());
    QCOMPARE(panel->pos(), corner);
    rig.controller.hidePanel();
    rig.controller.show(QString());
    QCOMPARE(panel->pos(), QPoint(100 + 14, std::max(25 + 16, std::min(100 - 18, 900 - 16 - size.height()))));

    // A resize stores at least the minimum.
    rig.controller.savePanelSize(QSizeF(300, 2000));
    QCOMPARE(rig.app.defaults.number(QStringLiteral("mendo.assistantPanel.width")), 480.0);
    QCOMPARE(rig.app.defaults.number(QStringLiteral("mendo.assistantPanel.height")), 2000.0);
}

void TestAssistantPanelController::closeHidesAndKeepsTheTranscript()
{
    AssistantRig rig;
    rig.controller.show(QString());
    rig.ask(QStringLiteral("Q"), QStringLiteral("A"));
    FloatingPanel* panel = rig.controller.panel();
    QVERIFY(panel->isVisible());
    QVERIFY(!panel->close());
    QVERIFY(!panel->isVisible());
    rig.controller.show(QString());
    QCOMPARE(rig.controller.panel(), panel);
    QVERIFY(panel->isVisible());
    QCOMPARE(turnTexts(rig.controller.state()), QStringList { QStringLiteral("Q -> A") });
}

void TestAssistantPanelController::newChatEndsTheRequestInFlight_data()
{
    QTest::addColumn<QString>("inFlight");
    QTest::addColumn<bool>("staleFirst");
    for (const char* request : { "chat", "reply", "emojis" }) {
        QTest::addRow("%s, its answer first", request) << QString::fromLatin1(request) << true;
        QTest::addRow("%s, the new chat's answer first", request) << QString::fromLatin1(request) << false;
    }
}

// New chat starts over: whatever was on its way belongs to the old
// conversation, neither shown, nor pasted, nor ending the new request's run.
void TestAssistantPanelController::newChatEndsTheRequestInFlight()
{
    QFETCH(QString, inFlight);
    QFETCH(bool, staleFirst);

    AssistantRig rig;
    const int staleDelay = staleFirst ? 100 : 300;
    if (inFlight == u"emojis")
        openReply(rig, QStringLiteral("Fine"));
    const int before = rig.mock.requests().size() + 1;
    if (inFlight == u"chat") {
        rig.controller.show(QString());
        rig.controller.setRequestText(QStringLiteral("Old question"));
        rig.mock.enqueue(answer(QStringLiteral("Old answer"), staleDelay));
        rig.controller.run();
    } else if (inFlight == u"reply") {
        rig.app.state->editSettings([](MendoSettings& s) { s.aiReplyStyles = { kFriendly }; });
        rig.mock.enqueue(answer(QStringLiteral("Fine :)"), staleDelay));
        rig.controller.showReply(QStringLiteral("How are you?"), kFriendly, QStringLiteral("English"));
    } else {
        rig.mock.enqueue(answer(QStringLiteral("Fine :)"), staleDelay));
        rig.controller.addEmojisToReply();
    }
    QVERIFY(rig.waitForRequests(before));
    QVERIFY(rig.controller.state().isRunning);

    rig.controller.newChat();
    rig.controller.setRequestText(QStringLiteral("Capital of France?"));
    rig.mock.enqueue(answer(QStringLiteral("Paris"), 200));
    rig.controller.run();
    QVERIFY(rig.waitForRequests(before + 1));
    rig.advance(100);
    // Still this request's run: another one cannot start beside it.
    QVERIFY(rig.controller.state().isRunning);
    rig.controller.setRequestText(QStringLiteral("And of Spain?"));
    rig.controller.run();
    for (int step = 0; step < 2; ++step)
        rig.advance(100);
    QTest::qWait(100);
    QCOMPARE(rig.mock.requests().size(), before + 1);

    const AssistantPanelState& state = rig.controller.state();
    QCOMPARE(turnTexts(state), QStringList { QStringLiteral("Capital of France? -> Paris") });
    QCOMPARE(state.resultText, QStringLiteral("Paris"));
    QVERIFY(!state.isReplyMode);
    QVERIFY(!state.isRunning);
    QCOMPARE(state.errorText, QString());

    rig.controller.pasteResult();
    rig.advance(5000);
    QTRY_COMPARE(AssistantRig::textOf(rig.chatEditor), QStringLiteral(">Paris"));
}

void TestAssistantPanelController::replyOpenedDuringAChatRequest_data()
{
    QTest::addColumn<bool>("chatAnswersFirst");
    QTest::addColumn<bool>("chatFails");
    QTest::newRow("chat answer first") << true << false;
    QTest::newRow("reply first") << false << false;
    QTest::newRow("chat error first") << true << true;
}

void TestAssistantPanelController::replyOpenedDuringAChatRequest()
{
    QFETCH(bool, chatAnswersFirst);
    QFETCH(bool, chatFails);

    AssistantRig rig;
    rig.controller.show(QString());
    rig.controller.setRequestText(QStringLiteral("Q"));
    rig.mock.enqueue(chatFails ? failure(QStringLiteral("Late error"), chatAnswersFirst ? 100 : 300)
                               : answer(QStringLiteral("Old chat answer"), chatAnswersFirst ? 100 : 300));
    rig.controller.run();
    QVERIFY(rig.waitForRequests(1));
    rig.controller.newChat();
    rig.app.state->editSettings([](MendoSettings& s) { s.aiReplyStyles = { kFriendly }; });
    rig.mock.enqueue(answer(QStringLiteral("Fine"), 200));
    rig.controller.showReply(QStringLiteral("How are you?"), kFriendly, QStringLiteral("English"));
    QVERIFY(rig.waitForRequests(2));
    rig.app.statuses.clear();
    for (int step = 0; step < 3; ++step)
        rig.advance(100);
    QTest::qWait(100);

    const AssistantPanelState& state = rig.controller.state();
    QCOMPARE(turnTexts(state), QStringList { QStringLiteral("How are you? -> Fine") });
    QCOMPARE(state.resultText, QStringLiteral("Fine"));
    QCOMPARE(state.errorText, QString());
    QVERIFY(!state.isRunning);
    QVERIFY(state.isReplyMode);
    QCOMPARE(rig.app.statuses.size(), 1);
    QVERIFY(rig.app.statuses[0].endsWith(QStringLiteral("done Reply ready")));
}

void TestAssistantPanelController::translationOverriddenByChatNewChatAndReply_data()
{
    QTest::addColumn<bool>("translationFirst");
    QTest::newRow("translation arrives first") << true;
    QTest::newRow("new reply arrives first") << false;
}

void TestAssistantPanelController::translationOverriddenByChatNewChatAndReply()
{
    QFETCH(bool, translationFirst);

    AssistantRig rig;
    openReply(rig, QStringLiteral("Fine"));
    rig.mock.enqueue(answer(QStringLiteral("Gut"), translationFirst ? 100 : 300));
    rig.controller.selectReplyTranslationLanguage(QStringLiteral("German"));
    QVERIFY(rig.waitForRequests(2));
    rig.controller.show(QString());
    rig.controller.newChat();
    rig.mock.enqueue(answer(QStringLiteral("Sure"), 200));
    rig.controller.showReply(QStringLiteral("Coffee?"), kFriendly, QStringLiteral("English"));
    QVERIFY(rig.waitForRequests(3));
    for (int step = 0; step < 3; ++step)
        rig.advance(100);
    QTest::qWait(100);

    const AssistantPanelState& state = rig.controller.state();
    QCOMPARE(turnTexts(state), QStringList { QStringLiteral("Coffee? -> Sure") });
    QCOMPARE(state.resultText, QStringLiteral("Sure"));
    QCOMPARE(rig.controller.replyTranslationSource(), QStringLiteral("Sure"));
    QVERIFY(!state.isRunning);
}

void TestAssistantPanelController::draftTypedDuringARunSurvives()
{
    AssistantRig rig;
    rig.controller.show(QString());
    rig.controller.setRequestText(QStringLiteral("First question"));
    rig.mock.enqueue({ answer(QStringLiteral("A1"), 100), failure(QStringLiteral("Nope"), 100) });
    rig.controller.run();
    QVERIFY(rig.waitForRequests(1));
    rig.controller.setRequestText(QStringLiteral("Next question, still typing"));
    rig.advance(100);
    QTRY_VERIFY(!rig.controller.state().isRunning);
    QCOMPARE(rig.controller.state().requestText, QStringLiteral("Next question, still typing"));
    QCOMPARE(turnTexts(rig.controller.state()), QStringList { QStringLiteral("First question -> A1") });
}

void TestAssistantPanelController::pasteGoesWhereThePanelWasOpened()
{
    AssistantRig rig;
    openReply(rig, QStringLiteral("Fine"));
    QCOMPARE(rig.controller.pasteTarget(), std::optional<RunningApplication>(AssistantRig::chat));

    // Meanwhile another application was remembered (a hotkey used there).
    rig.workspace.bringToFront(AssistantRig::other);
    rig.workspace.front = AssistantRig::self;
    QCOMPARE(rig.focus.rememberedProcessIdentifier(), AssistantRig::other.processIdentifier);

    rig.app.statuses.clear();
    rig.controller.pasteResult();
    QVERIFY(!rig.controller.panel()->isVisible());
    rig.advance(5000);
    QTRY_COMPARE(AssistantRig::textOf(rig.chatEditor), QStringLiteral(">Fine"));
    QCOMPARE(AssistantRig::textOf(rig.otherEditor), QStringLiteral(">"));
    QCOMPARE(rig.workspace.front, std::optional<RunningApplication>(AssistantRig::chat));
    QCOMPARE(rig.pasteboard.string(), QStringLiteral("user clipboard"));
    QTRY_VERIFY(!rig.app.statuses.isEmpty());
    QVERIFY(rig.app.statuses[0].endsWith(QStringLiteral("done Pasted")));

    // The chat quit: the engine's message is the failure.
    rig.controller.show(QString());
    rig.workspace.applications.removeAll(AssistantRig::chat);
    rig.app.statuses.clear();
    rig.controller.pasteResult();
    QVERIFY(!rig.controller.panel()->isVisible());
    rig.advance(5000);
    QTRY_VERIFY(!rig.app.statuses.isEmpty());
    QVERIFY(rig.app.statuses[0].endsWith(
        QStringLiteral("failed ") + PasteboardServiceError::message(PasteboardServiceError::pasteTargetUnavailable)));
    QVERIFY(!rig.controller.panel()->isVisible());
}

void TestAssistantPanelController::pasteWithoutTarget()
{
    // An empty result has nowhere to go, whatever was remembered.
    AssistantRig rig;
    rig.controller.show(QString());
    rig.ask(QStringLiteral("Q"), QStringLiteral("A"));
    rig.app.setLanguage(UiLanguage::ru);
    rig.app.statuses.clear();
    rig.controller.newChat();
    rig.controller.pasteResult();
    QCOMPARE(rig.app.statuses.last().section(u' ', 1), QStringLiteral("failed Не найдено приложение для вставки"));
    QVERIFY(rig.controller.panel()->isVisible());
}

QTEST_MAIN(TestAssistantPanelController)
#include "test_assistant_panel_controller.moc"
