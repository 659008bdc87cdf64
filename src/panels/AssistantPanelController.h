#pragma once

#include "app/AppStateFollower.h"
#include "base/Async.h"
#include "engine/BackendClient.h"
#include "model/AIReplyStyle.h"
#include "model/ActionStatus.h"
#include "panels/AssistantConversationTurn.h"
#include "platform/Workspace.h"
#include "ui/SavedPanelSize.h"

#include <QList>
#include <QSize>
#include <QUuid>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace mendo {

class AccountCredentials;
class AssistantPanel;
class Clock;
class FloatingPanel;
class FocusService;
class LanguageDetector;
class PanelDesktop;
class Pasteboard;
class PasteboardService;
class SystemLog;
class Timer;
class UserDefaults;

// Everything the assistant panel shows, as the controller holds it. Views
// read it and call the controller's operations; only the composer's text is
// written back (setRequestText).
struct AssistantPanelState {
    // The selected text of the other application (chat) or the message being
    // answered (reply mode).
    QString contextText;
    // Whether a request is sent together with the context.
    bool contextEnabled = false;
    // The composer's text.
    QString requestText;
    // The last answer: what copy and paste use.
    QString resultText;
    // Oldest first; in reply mode at most the one reply turn.
    QList<AssistantConversationTurn> turns;
    // The turn whose copy button shows its confirmation.
    std::optional<QUuid> copiedTurnID;
    bool isRunning = false;
    QString errorText;
    AppearanceMode appearanceMode = AppearanceMode::system;
    SurfaceMode surfaceMode = SurfaceMode::translucent;
    UiLanguage uiLanguage = UiLanguage::en;
    bool isReplyMode = false;
    QString replyStyleName;
    QList<AIReplyStyle> replyStyles;
    QString selectedReplyStyleID;
    // The language of the next translation of a reply; never saved.
    QString replyTranslationLanguage = QStringLiteral("English");
};

// What the assistant panel works with; all of it outlives the controller.
struct AssistantPanelServices {
    Clock& clock;
    UserDefaults& defaults;
    PanelDesktop& desktop;
    // The clipboard that copy writes to.
    Pasteboard& pasteboard;
    FocusService& focus;
    PasteboardService& pasteboardService;
    // The panel's own service client is made from these, as the engine
    // core makes its own.
    QString apiURL;
    AccountCredentials& credentials;
    QNetworkAccessManager& network;
    const LanguageDetector& languages;
    SystemLog* log = nullptr;
};

// The AI assistant panel: free requests to the AI service with the selected
// text of another application as context, a transcript of the answers, copy
// and paste back; and reply mode, which writes a ready-to-send reply to a
// selected chat message in a reply style and can regenerate it, add emojis
// and translate it. One per process; the panel window is made on the first
// showing and afterwards only shown and hidden. Main thread only.
//
// Service calls cannot be cancelled: an answer that a newer reply or New chat
// made stale is dropped when it arrives (see Generations in the source).
class AssistantPanelController : public AppStateFollower {
    Q_OBJECT
public:
    using Services = AssistantPanelServices;

    static constexpr QSize minPanelSize { 480, 560 };
    static constexpr QSize defaultPanelSize { 620, 680 };
    static constexpr QSize maxSavedPanelSize { 920, 900 };
    static inline const QString panelSizeKey = QStringLiteral("mendo.assistantPanel");
    static constexpr Millis copiedMarkDuration { 1100 };

    explicit AssistantPanelController(Services services, QObject* parent = nullptr);
    ~AssistantPanelController() override;

    const AssistantPanelState& state() const { return m_state; }
    const QString& assistantSessionId() const { return m_assistantSessionId; }
    const QString& replyTranslationSource() const { return m_replyTranslationSource; }
    // The window a paste goes to: the application remembered when the panel
    // was last opened for it.
    const std::optional<RunningApplication>& pasteTarget() const { return m_pasteTarget; }

    // Made on the first show; never destroyed before the controller.
    FloatingPanel* panel() const;
    AssistantPanel* view() const { return m_view; }

    void attach(MendoAppState& appState) override;

    // Chat mode, with the selection as context when it is not blank.
    void show(const QString& context);
    void syncAppearanceFromSettings();
    void setContextEnabled(bool enabled);
    void positionNearMouse();
    void newChat();
    void run();
    void copyResult();
    void copyMessage(const AssistantConversationTurn& turn);
    void pasteResult();
    // Hides the panel; it keeps its transcript for the next showing.
    void hidePanel();

    // The composer's binding.
    void setRequestText(const QString& text);

    // The size to make the panel with, and storing the size it was given.
    QSize savedPanelSize() const;
    void savePanelSize(QSizeF size);

    // Reply mode.
    void showReply(const QString& message, const AIReplyStyle& style, const QString& targetLanguage);
    void selectReplyStyle(const QString& styleId);
    void regenerateReply();
    void addEmojisToReply();
    void translateReply();
    void selectReplyTranslationLanguage(const QString& language);

    // The exact styles requests are sent with.
    static PromptStyle assistantStyle();
    static PromptStyle emojiStyle();
    static PromptStyle translationStyle();

Q_SIGNALS:
    // After every change of state().
    void changed();

private:
    void report(const ActionStatus& status);
    QString localized(const QString& en, const QString& ru) const;
    QString currentTargetLanguage() const;
    void mirrorSettings();
    void makePanel();
    void takePasteTarget();
    void generateReply(const QString& message, const AIReplyStyle& style, const QString& targetLanguage);
    void replaceLastReplyResult(const QString& text);
    // Ends a request of the current generation: false when it brought a
    // text, else shows and reports its error.
    bool failed(const Outcome<QString>& outcome);

    Task<> runRequest(QString text, QString request, QString composerText, quint64 generation);
    Task<> runReply(QString message, AIReplyStyle style, QString targetLanguage, quint64 generation);
    Task<> runEmojis(QString reply, quint64 generation);
    Task<> runTranslation(QString source, QUuid stamp, quint64 generation);
    Task<> runPaste(QString text, RunningApplication target);

    Services m_services;
    std::shared_ptr<BackendClient> m_backend;
    SavedPanelSize m_savedSize;
    AssistantPanelState m_state;
    QString m_assistantSessionId;
    QUuid m_replyTransformID;
    QString m_replyTranslationSource;
    std::optional<RunningApplication> m_pasteTarget;
    // Renewed by every reply that opens the panel and by New chat: outcomes
    // of requests started before it no longer belong on the screen.
    quint64 m_generation = 0;
    std::unique_ptr<FloatingPanel> m_panel;
    AssistantPanel* m_view = nullptr;
    std::unique_ptr<Timer> m_copiedMarkTimer;
};

}  // namespace mendo
