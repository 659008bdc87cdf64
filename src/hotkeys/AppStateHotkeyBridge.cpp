#include "hotkeys/AppStateHotkeyBridge.h"

#include "app/MendoAppState.h"

namespace mendo {

AppStateHotkeyBridge::AppStateHotkeyBridge(MendoAppState& state, QObject* parent)
    : HotkeyAppState(parent)
    , m_state(&state)
{
    connect(&state, &MendoAppState::settingsChanged, this, &HotkeyAppState::settingsChanged);
}

MendoSettings AppStateHotkeyBridge::settings() const
{
    return m_state ? m_state->settings() : MendoSettings {};
}

QList<PromptStyle> AppStateHotkeyBridge::promptStyles() const
{
    return m_state ? m_state->promptStyles() : QList<PromptStyle> {};
}

QList<AIReplyStyle> AppStateHotkeyBridge::aiReplyStyles() const
{
    return m_state ? m_state->aiReplyStyles() : QList<AIReplyStyle> {};
}

void AppStateHotkeyBridge::showFailure(const QString& message)
{
    if (m_state)
        m_state->setStatus(ActionStatus::failed(message));
}

void AppStateHotkeyBridge::run(const QuickAction& action, bool pasteResult, bool updateSampleText)
{
    if (m_state)
        m_state->run(action, pasteResult, updateSampleText);
}

}  // namespace mendo
