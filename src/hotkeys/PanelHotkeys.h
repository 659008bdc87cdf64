#pragma once

#include "base/Async.h"
#include "base/BiText.h"
#include "hotkeys/HotkeyPanels.h"
#include "model/AIReplyStyle.h"

#include <QObject>
#include <QPointer>

namespace mendo {

class AssistantPanelController;
class ClipboardPanelController;
class FocusService;
class FocusedTextAccess;
class HotkeyReadGate;
class MendoAppState;
class QuickPanelController;
class SelectionTransfer;
class TranslationPreviewPanelController;

// What the panel hotkeys open: the quick panel, the assistant in chat and in
// reply mode, the clipboard window and the translation preview. Each panel
// is held weakly; the hotkey of a panel that is gone does nothing. Main
// thread.
class PanelHotkeys final : public QObject, public HotkeyPanels {
    Q_OBJECT
public:
    static inline const BiText noMessageSelected { QStringLiteral("Select a message to reply to"),
        QStringLiteral("Выделите сообщение для ответа") };

    struct Services {
        FocusService& focus;
        // The remembered application's selection through accessibility.
        FocusedTextAccess& focusedText;
        // The transient copy when accessibility shows no selection.
        SelectionTransfer& selection;
        // What each read waits for after the hotkey's press; without it the
        // read follows at once.
        HotkeyReadGate* readGate = nullptr;
    };
    struct Panels {
        QuickPanelController* quick = nullptr;
        ClipboardPanelController* clipboard = nullptr;
        AssistantPanelController* assistant = nullptr;
        TranslationPreviewPanelController* translationPreview = nullptr;
    };

    PanelHotkeys(MendoAppState& appState, Services services, Panels panels, QObject* parent = nullptr);

    void toggleQuickPanel() override;
    void toggleClipboard() override;
    // Opens the assistant with the accessible selection as context, empty or
    // not; nothing is copied.
    void showAssistant() override;
    // Opens the assistant in reply mode for the selected message: read
    // through accessibility, else by a quick transient copy. A style that no
    // longer exists does nothing; no selection at all ends in a failed status.
    void showReply(const QString& replyStyleId) override;
    void showTranslationPreview() override;

private:
    Task<> settle();
    Task<> assistant();
    Task<> reply(AIReplyStyle style);
    Task<> translationPreview();

    QPointer<MendoAppState> m_appState;
    Services m_services;
    QPointer<QuickPanelController> m_quick;
    QPointer<ClipboardPanelController> m_clipboard;
    QPointer<AssistantPanelController> m_assistant;
    QPointer<TranslationPreviewPanelController> m_translationPreview;
};

}  // namespace mendo
