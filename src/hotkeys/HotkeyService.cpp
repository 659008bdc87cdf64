#include "hotkeys/HotkeyService.h"

#include "model/WindowTilingHotkeys.h"
#include "engine/FocusService.h"
#include "hotkeys/HotkeyAppState.h"
#include "hotkeys/HotkeyPanels.h"
#include "hotkeys/ParsedHotkey.h"
#include "hotkeys/QuickActionRunner.h"
#include "hotkeys/WindowCommands.h"
#include "platform/HotkeyRegistrar.h"

namespace mendo {

HotkeyService::HotkeyService(HotkeyRegistrar& registrar, FocusService& focus, WindowCommands& windows, QObject* parent)
    : QObject(parent), m_registrar(registrar), m_focus(focus), m_windows(windows)
{
    // Direct: the action is taken from the registration current at the press,
    // and only running it is deferred.
    connect(&m_registrar, &HotkeyRegistrar::pressed, this, &HotkeyService::onPressed);
    connect(&m_registrar, &HotkeyRegistrar::lost, this, &HotkeyService::onLost);
}

void HotkeyService::start(HotkeyAppState* appState, QuickActionRunner* runner, HotkeyPanels* panels)
{
    if (m_started || !appState || !runner)
        return;
    m_started = true;
    m_appState = appState;
    m_runner = runner;
    m_panels = panels;
    registerAndReport();
    // Made whatever the first pass gave, so that fixing a hotkey text (or the
    // desktop releasing a chord) takes effect at the next settings change.
    m_subscription = connect(appState, &HotkeyAppState::settingsChanged, this,
                             &HotkeyService::reloadConfiguredHotkeys, Qt::QueuedConnection);
}

void HotkeyService::stop()
{
    unregisterAll();
    if (m_handlerInstalled)
        m_registrar.uninstall();
    m_handlerInstalled = false;
    disconnect(m_subscription);
    m_started = false;
}

void HotkeyService::reloadConfiguredHotkeys()
{
    if (!m_started || !m_appState || isSuspended())
        return;
    unregisterAll();
    registerAndReport();
}

void HotkeyService::suspend()
{
    if (m_suspensions++ == 0)
        unregisterAll();
}

void HotkeyService::resume()
{
    if (m_suspensions == 0 || --m_suspensions > 0)
        return;
    reloadConfiguredHotkeys();
}

bool HotkeyService::installHandler()
{
    if (m_handlerInstalled)
        return true;
    if (const int status = m_registrar.install()) {
        m_appState->showFailure(HotkeyServiceError::installFailed(status).description());
        return false;
    }
    m_handlerInstalled = true;
    return true;
}

void HotkeyService::registerAndReport()
{
    if (!m_appState || isSuspended() || !installHandler())
        return;
    const QList<HotkeyServiceError> failures = registerConfiguredHotkeys();
    if (!failures.isEmpty())
        m_appState->showFailure(failures.first().description());
}

void HotkeyService::unregisterAll()
{
    for (auto it = m_registeredActions.cbegin(); it != m_registeredActions.cend(); ++it)
        m_registrar.unregisterHotkey(it.key());
    m_registeredActions.clear();
    m_registeredTexts.clear();
}

QList<HotkeyServiceError> HotkeyService::registerConfiguredHotkeys()
{
    QList<HotkeyServiceError> failures;
    if (!m_appState)
        return failures;
    const MendoSettings settings = m_appState->settings();

    QList<std::pair<QString, RegisteredHotkeyAction>> reported{
        {settings.assistantHotkey, {RegisteredHotkeyAction::Kind::assistant, {}}},
        {settings.clipboardHotkey, {RegisteredHotkeyAction::Kind::clipboard, {}}},
        {settings.layoutHotkey, {RegisteredHotkeyAction::Kind::layout, {}}},
        {settings.translatePreviewHotkey, {RegisteredHotkeyAction::Kind::translationPreview, {}}},
    };
    for (const PromptStyle& style : m_appState->promptStyles())
        reported.append({style.hotkey, RegisteredHotkeyAction::style(style.id)});
    for (const AIReplyStyle& style : m_appState->aiReplyStyles())
        reported.append({style.hotkey, RegisteredHotkeyAction::reply(style.id)});
    reported.append({settings.quickMenuHotkey, {RegisteredHotkeyAction::Kind::quickMenu, {}}});

    QList<std::pair<QString, RegisteredHotkeyAction>> silent;
    if (settings.windowTilingEnabled) {
        for (const QString& name : WindowTilingHotkeys::order()) {
            const auto text = settings.windowTilingHotkeys.constFind(name);
            if (text != settings.windowTilingHotkeys.constEnd())
                silent.append({*text, RegisteredHotkeyAction::windowTiling(name)});
        }
    }

    QSet<QString> signatures;
    quint32 nextId = 1;
    const auto attempt = [&](const QString& text, const RegisteredHotkeyAction& action) {
        if (registerHotkey(nextId, text, action, signatures))
            ++nextId;
    };
    for (const auto& [text, action] : reported) {
        try {
            attempt(text, action);
        } catch (const HotkeyServiceError& error) {
            failures.append(error);
        }
    }
    for (const auto& [text, action] : silent) {
        try {
            attempt(text, action);
        } catch (const HotkeyServiceError&) {
        }
    }
    return failures;
}

bool HotkeyService::registerHotkey(quint32 id, const QString& text, const RegisteredHotkeyAction& action,
                                   QSet<QString>& signatures)
{
    if (ParsedHotkey::isNotAssigned(text))
        return false;
    const auto parsed = ParsedHotkey::parse(text);
    if (!parsed)
        throw HotkeyServiceError::invalidHotkey(text);
    // The first hotkey with a chord keeps it; later ones are left out quietly.
    const QString signature = parsed->canonicalSignature();
    if (signatures.contains(signature))
        return false;
    signatures.insert(signature);
    if (const int status = m_registrar.registerHotkey(id, parsed->chord()))
        throw HotkeyServiceError::registerFailed(text, status);
    m_registeredActions.insert(id, action);
    m_registeredTexts.insert(id, text);
    return true;
}

// Told as a refusal at registration would be; the window-command hotkeys
// stay silent, as they are when they are registered.
void HotkeyService::onLost(quint32 id, int status)
{
    const auto found = m_registeredActions.constFind(id);
    if (!m_appState || found == m_registeredActions.constEnd() || found->kind == RegisteredHotkeyAction::Kind::windowTiling)
        return;
    m_appState->showFailure(HotkeyServiceError::registerFailed(m_registeredTexts.value(id), status).description());
}

void HotkeyService::onPressed(quint32 id)
{
    if (!m_appState)
        return;
    const auto found = m_registeredActions.constFind(id);
    if (found == m_registeredActions.constEnd())
        return;
    // Never inside the registrar's event handling.
    QMetaObject::invokeMethod(this, [this, action = *found] { perform(action); }, Qt::QueuedConnection);
}

void HotkeyService::perform(const RegisteredHotkeyAction& action)
{
    if (!m_appState)
        return;
    using Kind = RegisteredHotkeyAction::Kind;
    const bool opensPanel = action.kind != Kind::style && action.kind != Kind::layout
        && action.kind != Kind::windowTiling;
    if (opensPanel && !m_panels)
        return;
    // The selection is read from, and the result pasted into, the application
    // the user pressed the hotkey in.
    switch (action.kind) {
    case Kind::style: {
        const QString id = action.argument == u"translate" ? QStringLiteral("translate")
                                                            : QStringLiteral("style:") + action.argument;
        m_focus.rememberFrontmostApplication();
        m_runner->run(QuickAction{QuickAction::normalize(id)}, true, false);
        break;
    }
    case Kind::layout:
        m_focus.rememberFrontmostApplication();
        m_runner->run(QuickAction{QuickAction::normalize(QStringLiteral("layout"))}, true, false);
        break;
    case Kind::windowTiling:
        performWindowCommand(action.argument);
        break;
    case Kind::quickMenu:
        m_panels->toggleQuickPanel();
        break;
    case Kind::assistant:
        m_panels->showAssistant();
        break;
    case Kind::reply:
        m_panels->showReply(action.argument);
        break;
    case Kind::clipboard:
        m_panels->toggleClipboard();
        break;
    case Kind::translationPreview:
        m_focus.rememberFrontmostApplication();
        m_panels->showTranslationPreview();
        break;
    }
}

void HotkeyService::performWindowCommand(const QString& name)
{
    if (name == u"builtInDisplay") {
        if (m_windows.builtInDisplayDisabled())
            m_windows.enableBuiltIn();
        else
            m_windows.disableBuiltIn();
        return;
    }
    if (const auto direction = WindowTilingHotkeys::swapDirection(name)) {
        m_windows.swapFocusedWindow(*direction);
        return;
    }
    if (name == u"tileAll") {
        m_windows.tileAllWindows();
        return;
    }
    const auto slot = WindowTilingHotkeys::slot(name);
    if (!slot)
        return;
    if ((*slot == WindowTileSlot::leftHalf || *slot == WindowTileSlot::rightHalf)
        && m_windows.popOutActiveTabIfNeeded(*slot))
        return;
    m_windows.tileFocusedWindow(*slot);
}

}  // namespace mendo
