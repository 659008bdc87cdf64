#include "engine/FocusService.h"

#include "engine/ReplyEditorLocator.h"

namespace mendo {

FocusService::FocusService(Workspace& workspace, QObject* parent) : QObject(parent), m_workspace(workspace)
{
    connect(&m_workspace, &Workspace::applicationActivated, this,
            [this](const RunningApplication& application) { remember(application); });
}

FocusService::FocusService(Workspace& workspace, Accessibility& accessibility, QObject* parent)
    : FocusService(workspace, parent)
{
    m_accessibility = &accessibility;
}

QStringList FocusService::mendoBundleIdentifiers() const
{
    return m_workspace.ownBundleIdentifiers();
}

void FocusService::rememberFrontmostApplication()
{
    if (const std::optional<RunningApplication> front = m_workspace.frontmostApplication())
        remember(*front);
}

void FocusService::remember(const RunningApplication& application)
{
    if (application.bundleIdentifier.isEmpty())
        return;
    if (m_workspace.isOwnApplication(application))
        return;
    if (m_restoringProcessIdentifier && *m_restoringProcessIdentifier == application.processIdentifier)
        return;
    m_rememberedBundleIdentifier = application.bundleIdentifier;
    // A window without a pid names no process; the id alone then finds it.
    m_rememberedProcessIdentifier = application.processIdentifier > 0
        ? std::optional<qint32>(application.processIdentifier)
        : std::nullopt;
    m_rememberedWindow = application.window != 0 ? std::optional<WindowId>(application.window) : std::nullopt;
    m_rememberedAccessibleWindow = nullptr;
    const quint64 generation = ++m_rememberGeneration;
    if (!m_accessibility || application.processIdentifier <= 0)
        return;
    // The accessibility bus takes milliseconds to answer, which a hotkey's
    // action would wait for before it starts; read from the event loop, the
    // window is read while the action pauses for the activation.
    QMetaObject::invokeMethod(
        this,
        [this, generation, processIdentifier = application.processIdentifier] {
            if (generation == m_rememberGeneration)
                m_rememberedAccessibleWindow = accessibleWindowOf(processIdentifier);
        },
        Qt::QueuedConnection);
}

bool FocusService::activate(const QString& bundleIdentifier)
{
    // Windows without a class have an empty id; they are nobody's target.
    if (bundleIdentifier.isEmpty())
        return false;
    const QList<RunningApplication> running = m_workspace.runningApplications();
    for (const RunningApplication& application : running) {
        if (application.bundleIdentifier != bundleIdentifier)
            continue;
        if (isFrontmost(application.processIdentifier))
            return true;
        return m_workspace.activate(application);
    }
    return false;
}

std::optional<RunningApplication> FocusService::runningApplication(qint32 processIdentifier) const
{
    const QList<RunningApplication> running = m_workspace.runningApplications();
    for (const RunningApplication& application : running)
        if (application.processIdentifier == processIdentifier)
            return application;
    return std::nullopt;
}

std::optional<RunningApplication> FocusService::rememberedApplication() const
{
    if (!m_rememberedProcessIdentifier)
        return std::nullopt;
    // Mostly it is still in front (the user pressed a hotkey there): one look
    // at the active window then does, where listing every window of the
    // desktop takes a round trip to the X server for each.
    std::optional<RunningApplication> application = m_workspace.frontmostApplication();
    if (!application || application->processIdentifier != *m_rememberedProcessIdentifier)
        application = runningApplication(*m_rememberedProcessIdentifier);
    if (!application || application->bundleIdentifier != m_rememberedBundleIdentifier)
        return std::nullopt;
    if (m_rememberedWindow)
        application->window = *m_rememberedWindow;
    return application;
}

bool FocusService::activateRemembered()
{
    if (std::optional<RunningApplication> application = rememberedApplication()) {
        if (isFrontmost(application->processIdentifier))
            return true;
        return m_workspace.activate(*application);
    }
    if (m_rememberedBundleIdentifier)
        return activate(*m_rememberedBundleIdentifier);
    return false;
}

std::optional<RunningApplication> FocusService::selectionSource() const
{
    if (std::optional<RunningApplication> application = rememberedApplication())
        return application;
    std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    if (!front || front->bundleIdentifier.isEmpty() || m_workspace.isOwnApplication(*front))
        return std::nullopt;
    return front;
}

bool FocusService::activateWindow(const RunningApplication& application)
{
    if (application.window != 0 && frontmostWindow() == application.window)
        return true;
    return m_workspace.activateWindow(application);
}

WindowId FocusService::frontmostWindow() const
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    return front ? front->window : 0;
}

bool FocusService::isOwnApplicationInFront() const
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    return front && m_workspace.isOwnApplication(*front);
}

bool FocusService::isFrontmost(qint32 processIdentifier) const
{
    const std::optional<RunningApplication> front = m_workspace.frontmostApplication();
    return front && processIdentifier > 0 && front->processIdentifier == processIdentifier;
}

AXElement FocusService::accessibleWindowOf(qint32 processIdentifier)
{
    if (!m_accessibility || processIdentifier <= 0)
        return nullptr;
    const AXElement application = m_accessibility->applicationElement(processIdentifier);
    return m_accessibility->elementAttribute(application, ax::FocusedWindow);
}

bool FocusService::beginAIReplyPaste(qint32 processIdentifier)
{
    m_restoringProcessIdentifier = processIdentifier;
    m_replyEditor = nullptr;
    std::optional<RunningApplication> application = runningApplication(processIdentifier);
    if (!application) {
        m_restoringProcessIdentifier.reset();
        return false;
    }
    // The reply goes into the window it was written for, not whichever
    // window of the process was active last.
    if (m_rememberedProcessIdentifier == processIdentifier && m_rememberedWindow)
        application->window = *m_rememberedWindow;
    if (m_accessibility) {
        // Applications that build their tree only on demand (Electron, say)
        // build it once asked; the answers do not matter.
        if (const AXElement element = m_accessibility->applicationElement(processIdentifier)) {
            m_accessibility->attributeValue(element, ax::Role);
            m_accessibility->setAttributeValue(element, ax::ManualAccessibility, true);
        }
    }
    if (isFrontmost(processIdentifier))
        return true;
    if (m_workspace.activate(*application))
        return true;
    m_restoringProcessIdentifier.reset();
    m_replyEditor = nullptr;
    return false;
}

bool FocusService::focusAIReplyEditor(qint32 processIdentifier)
{
    if (!m_accessibility || m_rememberedProcessIdentifier != processIdentifier)
        return false;
    // Toolkits register their trees a moment after their first window shows:
    // a window that could not be read when the application was remembered is
    // read now.
    if (!m_rememberedAccessibleWindow)
        m_rememberedAccessibleWindow = accessibleWindowOf(processIdentifier);
    if (!m_rememberedAccessibleWindow)
        return false;
    Accessibility& ax = *m_accessibility;
    const AXElement application = ax.applicationElement(processIdentifier);
    if (!application)
        return false;
    ax.attributeValue(application, ax::Role);
    ax.setAttributeValue(application, ax::ManualAccessibility, true);
    ax.setAttributeValue(application, ax::FocusedWindow, m_rememberedAccessibleWindow);
    ax.performAction(m_rememberedAccessibleWindow, ax::Raise);

    if (AXElement editor = ReplyEditorLocator(ax).focusReplyEditor(application, m_rememberedAccessibleWindow)) {
        m_replyEditor = std::move(editor);
        return true;
    }
    return false;
}

std::optional<AIReplyEditorState> FocusService::replyEditorState()
{
    if (!m_accessibility || !m_replyEditor)
        return std::nullopt;
    AIReplyEditorState state;
    state.value = m_accessibility->stringAttribute(m_replyEditor, ax::Value);
    if (const std::optional<double> count = m_accessibility->numberAttribute(m_replyEditor, ax::NumberOfCharacters))
        state.characterCount = qint64(*count);
    return state;
}

}  // namespace mendo
