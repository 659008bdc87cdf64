#include "platform/x11/X11Workspace.h"

#include "platform/x11/Ewmh.h"
#include "platform/x11/OwnApplicationIds.h"

#include <QSet>

#include <unistd.h>

#include <X11/Xlib.h>

namespace mendo {

namespace {

QString applicationKey(const RunningApplication& application)
{
    return QString::number(application.processIdentifier) + QLatin1Char('/') + application.bundleIdentifier;
}

}  // namespace

X11Workspace::X11Workspace(x11::X11Connection& connection, ApplicationIdResolver& resolver, QObject* parent)
    : Workspace(parent)
    , m_connection(connection)
    , m_resolver(resolver)
{
    if (!m_connection.isOpen())
        return;
    m_connection.selectEvents(m_connection.rootWindow(), PropertyChangeMask);
    m_connection.flush();
    m_eventHandler = m_connection.addEventHandler([this](const XEvent& event) { handleEvent(event); });
    if (const auto active = x11::ewmh::activeWindow(m_connection); active && m_connection.windowExists(*active)) {
        m_lastActive = describe(*active);
        m_lastActiveWindow.insert(applicationKey(m_lastActive), *active);
    }
    handleQueuedEventsLater();
}

X11Workspace::~X11Workspace()
{
    m_connection.removeEventHandler(m_eventHandler);
}

void X11Workspace::handleQueuedEventsLater() const
{
    m_connection.drainEventsLater();
}

RunningApplication X11Workspace::describe(x11::XWindow window) const
{
    RunningApplication application;
    application.window = window;
    application.processIdentifier = x11::ewmh::processId(m_connection, window).value_or(0);
    if (const auto windowClass = x11::ewmh::windowClass(m_connection, window))
        application.bundleIdentifier = m_resolver.applicationId(windowClass->instance, windowClass->className);
    return application;
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() const
{
    const auto active = x11::ewmh::activeWindow(m_connection);
    std::optional<RunningApplication> result;
    if (active && m_connection.windowExists(*active))
        result = describe(*active);
    handleQueuedEventsLater();
    return result;
}

QList<RunningApplication> X11Workspace::runningApplications() const
{
    QList<RunningApplication> result;
    QSet<QString> seen;
    const auto active = frontmostApplication();
    if (active) {
        result.append(*active);
        seen.insert(applicationKey(*active));
    }
    for (const x11::XWindow window : x11::ewmh::clientsTopFirst(m_connection)) {
        RunningApplication application = describe(window);
        // Nothing readable: the window has gone and the window manager has
        // not yet taken it off its list.
        if (application.processIdentifier == 0 && application.bundleIdentifier.isEmpty())
            continue;
        const QString key = applicationKey(application);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        // Its most recently active window speaks for it, when that is still open.
        const x11::XWindow recent = m_lastActiveWindow.value(key);
        if (recent && recent != window && m_connection.windowExists(recent))
            application.window = recent;
        result.append(application);
    }
    handleQueuedEventsLater();
    return result;
}

bool X11Workspace::activateWindow(const RunningApplication& application)
{
    // Only while the window still belongs to this application: a window id
    // can be reused by another client after its window closed.
    if (!application.window || !m_connection.windowExists(application.window)
        || applicationKey(describe(application.window)) != applicationKey(application))
        return false;
    const bool requested = x11::ewmh::requestActivation(m_connection, application.window);
    handleQueuedEventsLater();
    return requested;
}

bool X11Workspace::activate(const RunningApplication& application)
{
    if (activateWindow(application))
        return true;
    bool requested = false;
    for (const RunningApplication& candidate : runningApplications()) {
        if (applicationKey(candidate) == applicationKey(application)) {
            requested = x11::ewmh::requestActivation(m_connection, candidate.window);
            break;
        }
    }
    handleQueuedEventsLater();
    return requested;
}

QStringList X11Workspace::ownBundleIdentifiers() const
{
    return ownApplicationIds();
}

bool X11Workspace::isOwnApplication(const RunningApplication& application) const
{
    return application.processIdentifier == qint32(::getpid())
        || ownApplicationIds().contains(application.bundleIdentifier);
}

void X11Workspace::handleEvent(const XEvent& event)
{
    // Several changes in one batch end in one report: the property is read
    // when handled, so the later ones find the same window and stay quiet.
    if (event.type == PropertyNotify && event.xproperty.window == m_connection.rootWindow()
        && event.xproperty.atom == m_connection.atom("_NET_ACTIVE_WINDOW"))
        activeWindowMayHaveChanged();
}

void X11Workspace::activeWindowMayHaveChanged()
{
    const auto active = x11::ewmh::activeWindow(m_connection);
    if (!active || !m_connection.windowExists(*active)) {
        m_lastActive = {};
        return;
    }
    // Compared as a whole, not by window id: the property can keep naming a
    // window that has gone, and the server hands its id to the next client.
    const RunningApplication application = describe(*active);
    if (application == m_lastActive)
        return;
    m_lastActive = application;
    m_lastActiveWindow.insert(applicationKey(application), *active);
    Q_EMIT applicationActivated(application);
}

}  // namespace mendo
