#include "trigger/SelectionTriggerService.h"

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "base/Text.h"
#include "engine/FocusService.h"
#include "engine/FocusedTextAccess.h"
#include "trigger/FloatingButtonController.h"
#include "panels/QuickPanelController.h"
#include "platform/GlobalInputMonitor.h"
#include "platform/KeyboardEvents.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace mendo {

SelectionTriggerService::SelectionTriggerService(Services services, QObject* parent)
    : QObject(parent)
    , m_services(services)
{
}

SelectionTriggerService::~SelectionTriggerService()
{
    for (const int token : std::as_const(m_globalTokens))
        m_services.globalInput.removeMonitor(token);
    if (m_started && qApp)
        qApp->removeEventFilter(this);
}

void SelectionTriggerService::start(
    MendoAppState& appState, QuickPanelController& quickPanel, FloatingButtonController& floatingButton)
{
    if (m_started)
        return;
    m_started = true;
    m_appState = &appState;
    m_quickPanel = &quickPanel;
    m_floatingButton = &floatingButton;
    // MendoAI's own windows: a selection there ends at the frontmost test,
    // but the event still restarts the wait, as anywhere else.
    if (qApp)
        qApp->installEventFilter(this);
    connect(&appState, &MendoAppState::settingsChanged, this,
        [this] { QTimer::singleShot(0, this, &SelectionTriggerService::followSettings); });
    followSettings();
}

bool SelectionTriggerService::enabled() const
{
    return m_appState
        && (m_appState->settings().autoQuickMenuEnabled || m_appState->settings().floatingButtonVisible);
}

// Other applications' clicks and keys are watched only while the feature is
// on: with both settings off an event would only hide a hidden button.
void SelectionTriggerService::followSettings()
{
    if (!enabled()) {
        hideFloatingButton();
        for (const int token : std::as_const(m_globalTokens))
            m_services.globalInput.removeMonitor(token);
        m_globalTokens.clear();
        m_checkTimer.reset();
        return;
    }
    if (!m_globalTokens.isEmpty())
        return;
    QPointer<SelectionTriggerService> self(this);
    const auto schedule = [self](const GlobalInputEvent&) {
        QTimer::singleShot(0, self, [self] {
            if (self)
                self->scheduleSelectionCheck();
        });
    };
    for (const auto type : { GlobalInputEvent::Type::leftMouseUp, GlobalInputEvent::Type::keyUp }) {
        if (const int token = m_services.globalInput.addMonitor(type, schedule))
            m_globalTokens.append(token);
    }
}

bool SelectionTriggerService::eventFilter(QObject* watched, QEvent* event)
{
    // Every event of the application passes here: the type is the cheap test.
    // Each input event reaches its QWindow once before the widgets.
    const bool released = event->type() == QEvent::KeyRelease
        || (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton);
    if (released && qobject_cast<QWindow*>(watched))
        QTimer::singleShot(0, this, &SelectionTriggerService::scheduleSelectionCheck);
    return false;
}

void SelectionTriggerService::hideFloatingButton()
{
    if (m_floatingButton)
        m_floatingButton->orderOut();
}

void SelectionTriggerService::scheduleSelectionCheck()
{
    if (!m_appState)
        return;
    if (!enabled()) {
        hideFloatingButton();
        return;
    }
    QPointer<SelectionTriggerService> self(this);
    m_checkTimer = m_services.clock.singleShot(debounce, [self] {
        if (self)
            detach(self->checkSelection());
    });
}

Task<> SelectionTriggerService::checkSelection()
{
    QPointer<SelectionTriggerService> self(this);
    if (!m_appState || !m_quickPanel || !m_floatingButton)
        co_return;
    if (!enabled()) {
        hideFloatingButton();
        co_return;
    }
    if (isMendoFrontmost() || m_quickPanel->isPanelVisible())
        co_return;
    m_services.focus.rememberFrontmostApplication();

    QString text = m_services.focusedText.selectedText();
    // A terminal's selection is not copied: it keeps its last one while the
    // user types on, and every pause would offer it again.
    if (text::trimmed(text).isEmpty() && m_services.keyboard.focusedEditingStyle() == EditingStyle::Standard) {
        const Outcome<QString> copied = co_await capture(m_services.selection.readSelectedTextTransient(
            false, false, PasteboardTiming::standard(), std::nullopt));
        if (!self)
            co_return;
        text = copied.value.value_or(QString());
    }
    text = text::trimmed(text);
    if (!m_appState || !m_quickPanel || !m_floatingButton)
        co_return;
    if (text.isEmpty()) {
        hideFloatingButton();
        m_lastSelectionSignature.clear();
        co_return;
    }
    const QString signature
        = QString::number(m_services.focus.rememberedProcessIdentifier().value_or(0)) + QLatin1Char(':') + text;
    const Millis now = m_services.clock.monotonicNow();
    if (signature == m_lastSelectionSignature && m_lastShownAt && now - *m_lastShownAt < repeatSuppression)
        co_return;
    m_lastSelectionSignature = signature;
    m_lastShownAt = now;

    const MendoSettings& settings = m_appState->settings();
    if (settings.autoQuickMenuEnabled) {
        hideFloatingButton();
        m_quickPanel->show(*m_appState);
    } else if (settings.floatingButtonVisible) {
        m_floatingButton->show(*m_appState, *m_quickPanel);
    }
}

bool SelectionTriggerService::isMendoFrontmost() const
{
    const auto front = m_services.workspace.frontmostApplication();
    if (!front)
        return false;
    if (front->processIdentifier == qint32(QCoreApplication::applicationPid()))
        return true;
    if (front->bundleIdentifier.isEmpty())
        return false;
    return m_services.workspace.ownBundleIdentifiers().contains(front->bundleIdentifier);
}

}  // namespace mendo
