#include "panels/AssistantPanelController.h"

#include "app/MendoAppState.h"
#include "base/Clock.h"
#include "base/Text.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "panels/AssistantPanel.h"
#include "platform/PanelDesktop.h"
#include "platform/Pasteboard.h"
#include "ui/FloatingPanel.h"

#include <QPointer>

// Generations. The service calls cannot be cancelled, so a request that was
// overtaken finishes all the same; what it brings back must then be dropped
// rather than shown. Every request keeps the generation it started in, and
// its outcome is applied only while that is still current. A reply that
// opens the panel and New chat each start a new generation: an older chat
// answer, reply, emoji or translation would otherwise land on the new
// conversation, "Paste reply" would paste it into the user's application,
// and its arrival would end the busy state of the request running now. A
// translation also carries its own stamp, renewed by the next translation
// and by New chat, so that only the latest one is shown.
//
// Requests run inside the panel's service client; it is shared with them,
// so that one finishing after the controller is gone still has its client.

namespace mendo {

namespace {

QString newSessionId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

}  // namespace

AssistantPanelController::AssistantPanelController(Services services, QObject* parent)
    : AppStateFollower(parent)
    , m_services(services)
    , m_backend(std::make_shared<BackendClient>(services.apiURL, services.credentials, services.network,
          services.clock, services.languages, services.log))
    , m_savedSize(services.defaults, panelSizeKey, QSizeF(minPanelSize))
    , m_assistantSessionId(newSessionId())
    , m_replyTransformID(QUuid::createUuid())
{
    connect(this, &AppStateFollower::followed, this, &AssistantPanelController::mirrorSettings);
}

AssistantPanelController::~AssistantPanelController() = default;

FloatingPanel* AssistantPanelController::panel() const
{
    return m_panel.get();
}

PromptStyle AssistantPanelController::assistantStyle()
{
    return { QStringLiteral("assistant"), QStringLiteral("AI"), QString(), QStringLiteral("Not assigned"), false };
}

PromptStyle AssistantPanelController::emojiStyle()
{
    return { QStringLiteral("emoji"), QStringLiteral("Emoji"),
        QStringLiteral("Add 1-3 relevant emojis while preserving the wording, meaning, language, and tone. "
                       "Return only the updated text."),
        QStringLiteral("Not assigned"), false };
}

PromptStyle AssistantPanelController::translationStyle()
{
    return { QStringLiteral("original"), QStringLiteral("Translate"), QString(), QStringLiteral("Not assigned"),
        false };
}

void AssistantPanelController::attach(MendoAppState& appState)
{
    AppStateFollower::attach(appState);
    m_state.replyStyles = appState.aiReplyStyles();
    m_state.replyTranslationLanguage = appState.settings().targetLanguage;
    Q_EMIT changed();
}

void AssistantPanelController::mirrorSettings()
{
    // The translation language is the user's choice in the panel once
    // attached: later settings leave it alone.
    syncAppearanceFromSettings();
    m_state.contextEnabled = settings().aiContextEnabled;
    m_state.replyStyles = settings().aiReplyStyles;
    Q_EMIT changed();
}

void AssistantPanelController::syncAppearanceFromSettings()
{
    if (!appState())
        return;
    m_state.appearanceMode = look().appearance;
    m_state.surfaceMode = look().surfaceMode;
    m_state.uiLanguage = look().language;
}

QString AssistantPanelController::localized(const QString& en, const QString& ru) const
{
    return pick(m_state.uiLanguage, en, ru);
}

void AssistantPanelController::report(const ActionStatus& status)
{
    if (MendoAppState* state = appState())
        state->setStatus(status);
}

QString AssistantPanelController::currentTargetLanguage() const
{
    if (MendoAppState* state = appState())
        return state->settings().targetLanguage;
    return QStringLiteral("English");
}

void AssistantPanelController::setContextEnabled(bool enabled)
{
    m_state.contextEnabled = enabled;
    Q_EMIT changed();
    if (MendoAppState* state = appState())
        state->editSettings([enabled](MendoSettings& s) { s.aiContextEnabled = enabled; });
}

void AssistantPanelController::setRequestText(const QString& text)
{
    if (m_state.requestText == text)
        return;
    m_state.requestText = text;
    Q_EMIT changed();
}

void AssistantPanelController::takePasteTarget()
{
    // The paste goes where the panel was opened from, even when a hotkey or
    // another panel used elsewhere has since remembered another application.
    const FocusService& focus = m_services.focus;
    if (!focus.rememberedProcessIdentifier()) {
        m_pasteTarget.reset();
        return;
    }
    m_pasteTarget = RunningApplication { *focus.rememberedProcessIdentifier(),
        focus.rememberedBundleIdentifier().value_or(QString()), focus.rememberedWindow().value_or(0) };
}

void AssistantPanelController::show(const QString& context)
{
    m_state.isReplyMode = false;
    syncAppearanceFromSettings();
    const QString trimmed = text::trimmed(context);
    if (!trimmed.isEmpty()) {
        m_state.contextText = trimmed;
        setContextEnabled(true);
    }
    m_state.errorText.clear();
    takePasteTarget();
    if (!m_panel) {
        makePanel();
        positionNearMouse();
    } else if (!m_panel->isVisible()) {
        positionNearMouse();
    }
    Q_EMIT changed();
    m_panel->present();
    m_view->panelShown();
}

void AssistantPanelController::makePanel()
{
    m_panel = std::make_unique<FloatingPanel>(m_services.desktop, FloatingPanel::Focus::onPresent);
    m_panel->setObjectName(QStringLiteral("assistantPanel"));
    m_panel->setWindowTitle(QStringLiteral("AI assistant"));
    m_view = new AssistantPanel(*this);
    m_panel->setSurface(m_view, 0);
    m_panel->setMinimumSize(minPanelSize);
    m_panel->resize(savedPanelSize());
    m_panel->saveSizeTo(&m_savedSize);
}

void AssistantPanelController::hidePanel()
{
    if (m_panel)
        m_panel->hide();
}

void AssistantPanelController::positionNearMouse()
{
    if (!m_panel)
        return;
    m_panel->moveNearPointer();
}

QSize AssistantPanelController::savedPanelSize() const
{
    return m_savedSize.read(QSizeF(defaultPanelSize), QSizeF(maxSavedPanelSize)).toSize();
}

void AssistantPanelController::savePanelSize(QSizeF size)
{
    m_savedSize.save(size);
}

void AssistantPanelController::newChat()
{
    m_state.contextText.clear();
    m_state.requestText.clear();
    m_state.resultText.clear();
    m_state.errorText.clear();
    m_state.turns.clear();
    m_state.replyStyleName.clear();
    m_state.selectedReplyStyleID.clear();
    m_replyTranslationSource.clear();
    m_state.copiedTurnID.reset();
    m_state.isRunning = false;
    m_state.isReplyMode = false;
    m_assistantSessionId = newSessionId();
    m_replyTransformID = QUuid::createUuid();
    ++m_generation;
    Q_EMIT changed();
    report(ActionStatus::done(localized(QStringLiteral("New AI chat"), QStringLiteral("Новый AI-чат"))));
}

void AssistantPanelController::run()
{
    if (m_state.isRunning)
        return;
    const QString request = text::trimmed(m_state.requestText);
    const QString context = m_state.contextEnabled ? text::trimmed(m_state.contextText) : QString();
    if (request.isEmpty()) {
        m_state.errorText = localized(QStringLiteral("Enter a request."), QStringLiteral("Введите запрос."));
        Q_EMIT changed();
        return;
    }
    m_state.isRunning = true;
    m_state.errorText.clear();
    Q_EMIT changed();
    report(ActionStatus::running(localized(QStringLiteral("AI running"), QStringLiteral("AI выполняется"))));
    const QString text = context.isEmpty()
        ? request
        : QStringLiteral("Selected text:\n") + context + QStringLiteral("\n\nRequest:\n") + request;
    detach(runRequest(text, request, m_state.requestText, m_generation));
}

Task<> AssistantPanelController::runRequest(QString text, QString request, QString composerText, quint64 generation)
{
    QPointer<AssistantPanelController> self(this);
    const std::shared_ptr<BackendClient> backend = m_backend;
    BackendSendOptions options;
    options.targetLanguage = QStringLiteral("English");
    options.retryOnUnchangedTranslation = true;
    options.assistantSessionId = m_assistantSessionId;
    options.assistantKeepContext = true;
    const Outcome<QString> answer
        = co_await capture(backend->send(text, BackendAction::assistant, assistantStyle(), options));
    if (!self || generation != m_generation || failed(answer))
        co_return;
    m_state.turns.append({ QUuid::createUuid(), request, *answer.value, m_services.clock.wallNow() });
    m_state.resultText = *answer.value;
    // What the user typed while waiting is the next request, not this one.
    if (m_state.requestText == composerText)
        m_state.requestText.clear();
    Q_EMIT changed();
    report(ActionStatus::done(localized(QStringLiteral("AI ready"), QStringLiteral("AI готов"))));
}

bool AssistantPanelController::failed(const Outcome<QString>& outcome)
{
    m_state.isRunning = false;
    if (outcome.ok())
        return false;
    m_state.errorText = outcome.error;
    Q_EMIT changed();
    report(ActionStatus::failed(outcome.error));
    return true;
}

void AssistantPanelController::copyResult()
{
    if (m_state.resultText.isEmpty())
        return;
    // A write the system refused left the clipboard as it was: nothing to
    // confirm.
    m_services.pasteboard.clearContents();
    if (!m_services.pasteboard.setString(m_state.resultText))
        return;
    report(ActionStatus::done(localized(QStringLiteral("Copied"), QStringLiteral("Скопировано"))));
}

void AssistantPanelController::copyMessage(const AssistantConversationTurn& turn)
{
    m_services.pasteboard.clearContents();
    if (!m_services.pasteboard.setString(turn.result))
        return;
    m_state.copiedTurnID = turn.id;
    Q_EMIT changed();
    report(ActionStatus::done(localized(QStringLiteral("Copied"), QStringLiteral("Скопировано"))));
    const QUuid id = turn.id;
    m_copiedMarkTimer = m_services.clock.singleShot(copiedMarkDuration, [this, id] {
        if (m_state.copiedTurnID == id) {
            m_state.copiedTurnID.reset();
            Q_EMIT changed();
        }
    });
}

void AssistantPanelController::pasteResult()
{
    if (m_state.resultText.isEmpty() || !m_pasteTarget || m_pasteTarget->processIdentifier <= 0) {
        report(ActionStatus::failed(
            localized(QStringLiteral("No app found for paste"), QStringLiteral("Не найдено приложение для вставки"))));
        return;
    }
    // Hidden first: the keys of the paste go to the X input focus, which
    // must not be this panel.
    hidePanel();
    detach(runPaste(m_state.resultText, *m_pasteTarget));
}

Task<> AssistantPanelController::runPaste(QString text, RunningApplication target)
{
    QPointer<AssistantPanelController> self(this);
    // The reply paste goes into the remembered window: make it the one the
    // panel was opened from.
    m_services.focus.remember(target);
    std::optional<QString> error;
    try {
        co_await m_services.pasteboardService.pasteAIReply(text, target.processIdentifier);
    } catch (const std::exception& e) {
        error = describeException(e);
    }
    if (!self)
        co_return;
    report(error ? ActionStatus::failed(*error)
                 : ActionStatus::done(localized(QStringLiteral("Pasted"), QStringLiteral("Вставлено"))));
}

void AssistantPanelController::showReply(
    const QString& message, const AIReplyStyle& style, const QString& targetLanguage)
{
    const QString m = text::trimmed(message);
    if (m.isEmpty() || m_state.isRunning)
        return;
    newChat();
    show(m);
    m_state.isReplyMode = true;
    m_state.replyStyleName = style.name;
    m_state.selectedReplyStyleID = style.id;
    m_state.contextText = m;
    m_state.contextEnabled = true;
    ++m_generation;
    Q_EMIT changed();
    generateReply(m, style, targetLanguage);
}

void AssistantPanelController::generateReply(
    const QString& message, const AIReplyStyle& style, const QString& targetLanguage)
{
    const QString m = text::trimmed(message);
    if (m.isEmpty() || m_state.isRunning)
        return;
    m_state.isRunning = true;
    m_state.errorText.clear();
    m_state.resultText.clear();
    m_state.turns.clear();
    // The reply being replaced is no longer there to translate: should this
    // write fail, a translation must not bring back a reply nobody sees.
    m_replyTranslationSource.clear();
    Q_EMIT changed();
    report(ActionStatus::running(localized(QStringLiteral("Writing reply"), QStringLiteral("Готовлю ответ"))));
    detach(runReply(m, style, targetLanguage, m_generation));
}

Task<> AssistantPanelController::runReply(
    QString message, AIReplyStyle style, QString targetLanguage, quint64 generation)
{
    QPointer<AssistantPanelController> self(this);
    const std::shared_ptr<BackendClient> backend = m_backend;
    const Outcome<QString> reply = co_await capture(backend->sendReply(message, style, targetLanguage));
    // A reply that arrives after the panel went back to chat belongs to no
    // conversation.
    if (!self || generation != m_generation || !m_state.isReplyMode || failed(reply))
        co_return;
    m_state.turns = { { QUuid::createUuid(), message, *reply.value, m_services.clock.wallNow() } };
    m_state.resultText = *reply.value;
    m_replyTranslationSource = *reply.value;
    Q_EMIT changed();
    report(ActionStatus::done(localized(QStringLiteral("Reply ready"), QStringLiteral("Ответ готов"))));
}

void AssistantPanelController::selectReplyStyle(const QString& styleId)
{
    if (!m_state.isReplyMode)
        return;
    const auto found = std::find_if(m_state.replyStyles.cbegin(), m_state.replyStyles.cend(),
        [&](const AIReplyStyle& style) { return style.id == styleId; });
    if (found == m_state.replyStyles.cend() || m_state.isRunning)
        return;
    const AIReplyStyle style = *found;
    m_state.selectedReplyStyleID = style.id;
    m_state.replyStyleName = style.name;
    Q_EMIT changed();
    generateReply(m_state.contextText, style, currentTargetLanguage());
}

void AssistantPanelController::regenerateReply()
{
    if (!m_state.isReplyMode)
        return;
    const auto found = std::find_if(m_state.replyStyles.cbegin(), m_state.replyStyles.cend(),
        [&](const AIReplyStyle& style) { return style.id == m_state.selectedReplyStyleID; });
    if (found == m_state.replyStyles.cend() || m_state.isRunning)
        return;
    const AIReplyStyle style = *found;
    generateReply(m_state.contextText, style, currentTargetLanguage());
}

void AssistantPanelController::addEmojisToReply()
{
    const QString reply = text::trimmed(m_state.resultText);
    if (!m_state.isReplyMode || reply.isEmpty() || m_state.isRunning)
        return;
    m_state.isRunning = true;
    m_state.errorText.clear();
    Q_EMIT changed();
    report(ActionStatus::running(localized(QStringLiteral("Adding emojis"), QStringLiteral("Добавляю смайлы"))));
    detach(runEmojis(reply, m_generation));
}

Task<> AssistantPanelController::runEmojis(QString reply, quint64 generation)
{
    QPointer<AssistantPanelController> self(this);
    const std::shared_ptr<BackendClient> backend = m_backend;
    BackendSendOptions options;
    options.targetLanguage = currentTargetLanguage();
    options.retryOnUnchangedTranslation = true;
    const Outcome<QString> decorated
        = co_await capture(backend->send(reply, BackendAction::emoji, emojiStyle(), options));
    if (!self || generation != m_generation || !m_state.isReplyMode || failed(decorated))
        co_return;
    m_state.resultText = *decorated.value;
    m_replyTranslationSource = m_state.resultText;
    replaceLastReplyResult(m_state.resultText);
    Q_EMIT changed();
    report(ActionStatus::done(localized(QStringLiteral("Emojis added"), QStringLiteral("Смайлы добавлены"))));
}

void AssistantPanelController::translateReply()
{
    const QString source = m_replyTranslationSource.isEmpty() ? m_state.resultText : m_replyTranslationSource;
    const QString s = text::trimmed(source);
    if (!m_state.isReplyMode || s.isEmpty() || m_state.isRunning)
        return;
    m_replyTransformID = QUuid::createUuid();
    m_state.isRunning = true;
    m_state.errorText.clear();
    Q_EMIT changed();
    report(ActionStatus::running(localized(QStringLiteral("Translating reply"), QStringLiteral("Перевожу ответ"))));
    detach(runTranslation(s, m_replyTransformID, m_generation));
}

Task<> AssistantPanelController::runTranslation(QString source, QUuid stamp, quint64 generation)
{
    QPointer<AssistantPanelController> self(this);
    const std::shared_ptr<BackendClient> backend = m_backend;
    BackendSendOptions options;
    options.targetLanguage = m_state.replyTranslationLanguage;
    const Outcome<QString> translation
        = co_await capture(backend->send(source, BackendAction::translate, translationStyle(), options));
    if (!self || stamp != m_replyTransformID || generation != m_generation || !m_state.isReplyMode
        || failed(translation))
        co_return;
    // The translation source stays the untranslated reply: the next
    // translation starts from it again.
    m_state.resultText = *translation.value;
    replaceLastReplyResult(m_state.resultText);
    Q_EMIT changed();
    report(ActionStatus::done(localized(QStringLiteral("Reply translated"), QStringLiteral("Ответ переведён"))));
}

void AssistantPanelController::selectReplyTranslationLanguage(const QString& language)
{
    if (language == m_state.replyTranslationLanguage)
        return;
    m_state.replyTranslationLanguage = language;
    Q_EMIT changed();
    translateReply();
}

void AssistantPanelController::replaceLastReplyResult(const QString& text)
{
    if (m_state.turns.isEmpty())
        return;
    const QString request = m_state.turns.last().request;
    m_state.turns.last() = { QUuid::createUuid(), request, text, m_services.clock.wallNow() };
}

}  // namespace mendo
