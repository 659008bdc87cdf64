#include "hotkeys/PanelHotkeys.h"

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "base/Text.h"
#include "clipboard/ClipboardPanelController.h"
#include "engine/FocusService.h"
#include "engine/FocusedTextAccess.h"
#include "hotkeys/HotkeyReadGate.h"
#include "panels/QuickPanelController.h"
#include "panels/AssistantPanelController.h"
#include "panels/TranslationPreviewPanelController.h"

#include <QTimer>

namespace mendo {

PanelHotkeys::PanelHotkeys(MendoAppState& appState, Services services, Panels panels, QObject* parent)
    : QObject(parent)
    , m_appState(&appState)
    , m_services(services)
    , m_quick(panels.quick)
    , m_clipboard(panels.clipboard)
    , m_assistant(panels.assistant)
    , m_translationPreview(panels.translationPreview)
{
}

void PanelHotkeys::toggleQuickPanel()
{
    if (m_quick && m_appState)
        m_quick->toggle(*m_appState);
}

void PanelHotkeys::toggleClipboard()
{
    if (m_clipboard)
        m_clipboard->toggle();
}

void PanelHotkeys::showAssistant()
{
    m_services.focus.rememberFrontmostApplication();
    QTimer::singleShot(0, this, [this] { detach(assistant()); });
}

Task<> PanelHotkeys::settle()
{
    if (m_services.readGate)
        co_await m_services.readGate->settle();
}

Task<> PanelHotkeys::assistant()
{
    QPointer<PanelHotkeys> self(this);
    co_await settle();
    if (!self)
        co_return;
    const QString context = m_services.focusedText.selectedText();
    if (m_assistant)
        m_assistant->show(context);
}

void PanelHotkeys::showReply(const QString& replyStyleId)
{
    if (!m_appState)
        return;
    // Looked up now: the style may have been deleted since the hotkeys were
    // registered.
    for (const AIReplyStyle& style : m_appState->aiReplyStyles()) {
        if (style.id == replyStyleId) {
            m_services.focus.rememberFrontmostApplication();
            QTimer::singleShot(0, this, [this, style] { detach(reply(style)); });
            return;
        }
    }
}

Task<> PanelHotkeys::reply(AIReplyStyle style)
{
    QPointer<PanelHotkeys> self(this);
    co_await settle();
    if (!self)
        co_return;
    QString text = m_services.focusedText.selectedText();
    if (text::trimmed(text).isEmpty()) {
        // A failed copy counts as no selection.
        const Outcome<QString> copied = co_await capture(
            m_services.selection.readSelectedTextTransient(false, false, PasteboardTiming::quick(), std::nullopt));
        if (!self)
            co_return;
        text = copied.value.value_or(QString());
    }
    text = text::trimmed(text);
    if (!m_appState)
        co_return;
    const MendoSettings& settings = m_appState->settings();
    if (text.isEmpty()) {
        m_appState->setStatus(ActionStatus::failed(noMessageSelected(settings.uiLanguage)));
        co_return;
    }
    if (m_assistant)
        m_assistant->showReply(text, style, settings.targetLanguage);
}

void PanelHotkeys::showTranslationPreview()
{
    // The hotkey service has remembered the application in front already.
    detach(translationPreview());
}

Task<> PanelHotkeys::translationPreview()
{
    QPointer<PanelHotkeys> self(this);
    co_await settle();
    if (self && m_translationPreview && m_appState)
        m_translationPreview->showFromSelection(*m_appState);
}

}  // namespace mendo
