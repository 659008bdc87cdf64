#pragma once

#include "panels/AssistantPanelViewState.h"
#include "ui/GlassSurface.h"

#include <QHash>
#include <QUuid>

class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;
class QVBoxLayout;

namespace mendo {

class AssistantComposerTextView;
class AssistantPanelController;
class AssistantTurnRow;
class WindowDragHandle;

// The assistant panel's view: the header (title and the New chat button, or
// in reply mode the reply-style menu), the transcript, an error line, and the
// composer (chat mode) or the reply bar with its translation language list
// (reply mode), on the theme's floating surface with the close button. A thin
// view over the controller: it shows describeAssistantPanel() of the
// controller's state and calls the controller's operations. Made once with
// the panel; hiding and showing keep its state.
class AssistantPanel : public MendoFloatingSurface {
    Q_OBJECT
public:
    explicit AssistantPanel(AssistantPanelController& controller, QWidget* parent = nullptr);
    ~AssistantPanel() override;

    static constexpr int languageListWidth = 230;
    static constexpr int languageListHeight = 280;
    // How far the language list's bottom edge stands above the chip's.
    static constexpr int languageListLift = 34;

    bool isLanguageListVisible() const { return m_languageListVisible; }
    void setLanguageListVisible(bool visible);

    // The panel was presented: in chat mode the composer takes the typing.
    void panelShown();

    // What the widgets show now.
    const AssistantPanelViewState& shown() const { return m_shown; }

    // The parts, for tests and screenshots.
    QLabel* titleLabel() const { return m_title; }
    QToolButton* newChatButton() const { return m_newChat; }
    QToolButton* replyStyleButton() const { return m_styleButton; }
    QMenu* replyStyleMenu() const { return m_styleMenu; }
    QLabel* errorLabel() const { return m_error; }
    QScrollArea* transcript() const { return m_transcript; }
    QLabel* placeholderLabel() const { return m_placeholderText; }
    QWidget* composer() const { return m_composer; }
    AssistantComposerTextView* composerEditor() const { return m_editor; }
    QToolButton* contextChip() const { return m_contextChip; }
    QLabel* contextCountLabel() const { return m_contextCount; }
    QToolButton* pasteResultButton() const { return m_pasteResult; }
    QToolButton* sendButton() const { return m_send; }
    QWidget* replyActions() const { return m_replyBar; }
    QToolButton* regenerateButton() const { return m_regenerate; }
    QToolButton* addEmojisButton() const { return m_addEmojis; }
    QToolButton* languageChip() const { return m_languageChip; }
    QToolButton* translateButton() const { return m_translate; }
    QToolButton* copyReplyButton() const { return m_copyReply; }
    QToolButton* pasteReplyButton() const { return m_pasteReply; }
    QWidget* replyLanguageList() const { return m_languageList; }
    // The list's row for a language name; none when the list was never built.
    QToolButton* languageRow(const QString& name) const;
    // The copy button of a turn's answer card; none when it is not shown.
    QToolButton* copyButton(const QUuid& turnId) const;
    // The turns shown, in order.
    QList<QUuid> shownTurnIds() const { return m_rowOrder; }

Q_SIGNALS:
    // After the deferred scroll to the newest content has been asked for.
    void scrolledToBottom();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* buildHeader();
    QWidget* buildTranscript();
    QWidget* buildComposer();
    QWidget* buildReplyBar();
    void buildLanguageList();
    void refresh();
    void refreshLook();
    // True when the rows changed.
    bool refreshTurns();
    void refreshLanguageList();
    void placeLanguageList();
    void scrollToBottom();

    AssistantPanelController& m_controller;
    AssistantPanelViewState m_shown;
    bool m_languageListVisible = false;
    bool m_built = false;
    // What the last refresh saw, to tell which changes move the transcript
    // and which need new icons.
    qsizetype m_shownTurnCount = 0;
    bool m_shownRunning = false;
    QString m_lookKey;
    QString m_chipKey;
    QString m_sendKey;
    std::optional<QUuid> m_shownCopiedId;

    QWidget* m_header = nullptr;
    QLabel* m_headerSymbol = nullptr;
    QLabel* m_title = nullptr;
    QToolButton* m_newChat = nullptr;
    QToolButton* m_styleButton = nullptr;
    QMenu* m_styleMenu = nullptr;
    QLabel* m_error = nullptr;

    QScrollArea* m_transcript = nullptr;
    QWidget* m_placeholder = nullptr;
    QLabel* m_placeholderSymbol = nullptr;
    QLabel* m_placeholderText = nullptr;
    QWidget* m_turnList = nullptr;
    QVBoxLayout* m_turnLayout = nullptr;
    QHash<QUuid, AssistantTurnRow*> m_rows;
    QList<QUuid> m_rowOrder;

    QWidget* m_composer = nullptr;
    QToolButton* m_contextChip = nullptr;
    QLabel* m_contextCount = nullptr;
    QToolButton* m_pasteResult = nullptr;
    AssistantComposerTextView* m_editor = nullptr;
    QWidget* m_editorBox = nullptr;
    QToolButton* m_send = nullptr;

    QWidget* m_replyBar = nullptr;
    QToolButton* m_regenerate = nullptr;
    QToolButton* m_addEmojis = nullptr;
    QToolButton* m_languageChip = nullptr;
    QLabel* m_chipGlobe = nullptr;
    QLabel* m_chipCode = nullptr;
    QLabel* m_chipChevron = nullptr;
    QToolButton* m_translate = nullptr;
    QToolButton* m_copyReply = nullptr;
    QToolButton* m_pasteReply = nullptr;

    QWidget* m_languageList = nullptr;
    QScrollArea* m_languageScroll = nullptr;
    QHash<QString, QToolButton*> m_languageRows;
    QHash<QString, QLabel*> m_languageMarks;
    QString m_markedLanguage;
};

}  // namespace mendo
