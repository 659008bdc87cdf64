#include "hotkeys/HotkeyService.h"

#include "model/WindowTilingHotkeys.h"
#include "engine/FocusService.h"
#include "hotkeys/HotkeyAppState.h"
#include "hotkeys/HotkeyPanels.h"
#include "hotkeys/ParsedHotkey.h"
#include "hotkeys/QuickActionRunner.h"
#include "hotkeys/WindowCommands.h"
#include "platform/HotkeyRegistrar.h"

#include <QHash>
#include <algorithm>

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
    // A text that keeps failing is told once, not again at every change of
    // the settings; once it works (or changes) it may be told anew.
    QSet<QString> failing;
    QString news;
    for (const HotkeyServiceError& failure : failures) {
        const QString description = failure.description();
        failing.insert(description);
        if (news.isEmpty() && !m_toldFailures.contains(description))
            news = description;
    }
    m_toldFailures.intersect(failing);
    if (!news.isEmpty()) {
        m_toldFailures.insert(news);
        m_appState->showFailure(news);
    }
}

void HotkeyService::unregisterAll()
{
    for (auto it = m_registeredActions.cbegin(); it != m_registeredActions.cend(); ++it)
        m_registrar.unregisterHotkey(it.key());
    m_registeredActions.clear();
    m_registeredTexts.clear();
    m_registeredSignatures.clear();
}

void HotkeyService::forget(quint32 id)
{
    m_registeredActions.remove(id);
    m_registeredTexts.remove(id);
    m_registeredSignatures.remove(id);
}

QList<HotkeyServiceError> HotkeyService::registerConfiguredHotkeys()
{
    if (!m_appState)
        return {};
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

    // What each chord is to do: the first hotkey with a chord keeps it, later
    // ones are left out quietly.
    struct Wanted {
        QString text;
        RegisteredHotkeyAction action;
        HotkeyChord chord;
        QString signature;
        bool reported;
        int position;
    };
    QList<Wanted> wanted;
    QHash<QString, int> wantedSignatures;
    QList<std::pair<int, HotkeyServiceError>> failures;
    int position = 0;
    const auto want = [&](const QString& text, const RegisteredHotkeyAction& action, bool report) {
        ++position;
        if (ParsedHotkey::isNotAssigned(text))
            return;
        const auto parsed = ParsedHotkey::parse(text);
        if (!parsed) {
            if (report)
                failures.append({position, HotkeyServiceError::invalidHotkey(text)});
            return;
        }
        const QString signature = parsed->canonicalSignature();
        if (wantedSignatures.contains(signature))
            return;
        wantedSignatures.insert(signature, int(wanted.size()));
        wanted.append({text, action, parsed->chord(), signature, report, position});
    };
    for (const auto& [text, action] : reported)
        want(text, action, true);
    for (const auto& [text, action] : silent)
        want(text, action, false);

    // A chord held already stays held, so that no press is lost while the
    // settings change; it only takes the action it now stands for. Chords no
    // longer wanted are let go first.
    QHash<QString, quint32> held;
    for (const quint32 id : m_registeredSignatures.keys()) {
        const QString signature = m_registeredSignatures.value(id);
        if (wantedSignatures.contains(signature)) {
            held.insert(signature, id);
        } else {
            m_registrar.unregisterHotkey(id);
            forget(id);
        }
    }
    for (const Wanted& entry : wanted) {
        const QString& signature = entry.signature;
        if (const auto id = held.constFind(signature); id != held.constEnd()) {
            m_registeredActions.insert(*id, entry.action);
            m_registeredTexts.insert(*id, entry.text);
            continue;
        }
        const quint32 id = m_registeredActions.isEmpty() ? 1 : m_registeredActions.lastKey() + 1;
        if (const int status = m_registrar.registerHotkey(id, entry.chord)) {
            if (entry.reported)
                failures.append({entry.position, HotkeyServiceError::registerFailed(entry.text, status)});
            continue;
        }
        m_registeredActions.insert(id, entry.action);
        m_registeredTexts.insert(id, entry.text);
        m_registeredSignatures.insert(id, signature);
    }

    std::stable_sort(failures.begin(), failures.end(),
        [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<HotkeyServiceError> ordered;
    for (const auto& [at, failure] : failures)
        ordered.append(failure);
    return ordered;
}

// Told as a refusal at registration would be; the window-command hotkeys
// stay silent, as they are when they are registered.
void HotkeyService::onLost(quint32 id, int status)
{
    const auto found = m_registeredActions.constFind(id);
    if (found == m_registeredActions.constEnd())
        return;
    const bool silent = found->kind == RegisteredHotkeyAction::Kind::windowTiling;
    const QString text = m_registeredTexts.value(id);
    // No longer held: the next change of the settings tries it again.
    forget(id);
    if (!m_appState || silent)
        return;
    const QString description = HotkeyServiceError::registerFailed(text, status).description();
    m_toldFailures.insert(description);
    m_appState->showFailure(description);
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
