#include "platform/x11/X11Connection.h"

#include "platform/x11/X11Errors.h"

#include <QObject>
#include <QSocketNotifier>

#include <algorithm>
#include <cstdlib>

#include <X11/Xatom.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace mendo::x11 {

X11Connection::X11Connection(const QByteArray& displayName)
    : m_context(std::make_unique<QObject>())
{
    installX11ErrorHandler();
    m_display = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (m_display)
        m_root = DefaultRootWindow(m_display);
}

X11Connection::~X11Connection()
{
    m_notifier.reset();
    m_context.reset();
    if (m_display)
        XCloseDisplay(m_display);
}

int X11Connection::fileDescriptor() const
{
    return m_display ? ConnectionNumber(m_display) : -1;
}

XAtom X11Connection::atom(const char* name)
{
    const QByteArray key(name);
    auto it = m_atoms.constFind(key);
    if (it != m_atoms.constEnd())
        return *it;
    const XAtom value = m_display ? XInternAtom(m_display, name, False) : 0;
    m_atoms.insert(key, value);
    return value;
}

void X11Connection::internAtoms(std::initializer_list<const char*> names)
{
    if (!m_display)
        return;
    xcb_connection_t* c = XGetXCBConnection(m_display);
    std::vector<std::pair<QByteArray, xcb_intern_atom_cookie_t>> asked;
    for (const char* name : names) {
        const QByteArray key(name);
        if (m_atoms.contains(key) || std::any_of(asked.begin(), asked.end(), [&](const auto& a) { return a.first == key; }))
            continue;
        asked.emplace_back(key, xcb_intern_atom(c, 0, uint16_t(key.size()), key.constData()));
    }
    for (const auto& [key, cookie] : asked) {
        xcb_generic_error_t* error = nullptr;
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, &error);
        if (reply && !error)
            m_atoms.insert(key, reply->atom);
        std::free(reply);
        std::free(error);
    }
}

namespace {

struct PropertyReply {
    XAtom actualType = 0;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;
    ~PropertyReply()
    {
        if (data)
            XFree(data);
    }
};

// Reads at most 1 MiB of a property; the ones read here are far smaller.
bool readProperty(Display* display, XWindow window, XAtom property, XAtom type, PropertyReply& reply)
{
    if (!display || window == 0 || property == 0)
        return false;
    X11ErrorTrap trap(display);
    unsigned long bytesAfter = 0;
    const int status = XGetWindowProperty(display, window, property, 0, 1L << 18, False, type, &reply.actualType,
        &reply.actualFormat, &reply.count, &bytesAfter, &reply.data);
    return status == Success && !trap.failed() && reply.data && reply.actualType != 0;
}

}  // namespace

std::optional<std::vector<unsigned long>> X11Connection::cardinals(XWindow window, const char* property, XAtom type)
{
    PropertyReply reply;
    if (!readProperty(m_display, window, atom(property), type, reply) || reply.actualFormat != 32)
        return std::nullopt;
    // Format 32 arrives as an array of C longs, whatever their width.
    const auto* values = reinterpret_cast<const unsigned long*>(reply.data);
    return std::vector<unsigned long>(values, values + reply.count);
}

std::optional<QByteArray> X11Connection::bytes(XWindow window, const char* property, XAtom type)
{
    PropertyReply reply;
    if (!readProperty(m_display, window, atom(property), type, reply) || reply.actualFormat != 8)
        return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(reply.data), qsizetype(reply.count));
}

bool X11Connection::windowExists(XWindow window)
{
    if (!m_display || window == 0)
        return false;
    X11ErrorTrap trap(m_display);
    XWindowAttributes attributes;
    return XGetWindowAttributes(m_display, window, &attributes) != 0 && !trap.failed();
}

void X11Connection::flush()
{
    if (m_display)
        XFlush(m_display);
}

int X11Connection::addEventHandler(EventHandler handler)
{
    const int id = m_nextHandlerId++;
    m_handlers.push_back({ id, std::make_shared<EventHandler>(std::move(handler)) });
    if (m_display && !m_notifier) {
        m_notifier = std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_context.get(), [this] { drainEvents(); });
    }
    return id;
}

void X11Connection::removeEventHandler(int id)
{
    const auto found
        = std::find_if(m_handlers.begin(), m_handlers.end(), [id](const Handler& handler) { return handler.id == id; });
    if (found == m_handlers.end())
        return;
    m_handlers.erase(found);
    if (!m_handlers.empty() || !m_notifier)
        return;
    if (m_dispatching) {
        // We may be inside the notifier's own signal: it must outlive it.
        m_notifier->setEnabled(false);
        m_notifier.release()->deleteLater();
    } else {
        m_notifier.reset();
    }
}

bool X11Connection::hasHandler(int id) const
{
    return std::any_of(m_handlers.begin(), m_handlers.end(), [id](const Handler& handler) { return handler.id == id; });
}

void X11Connection::drainEvents()
{
    if (!m_display || m_dispatching)
        return;
    m_dispatching = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done { m_dispatching };
    // XPending reads the socket too, so the events that the handlers' own
    // requests pull in are handled in this same loop.
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        // A copy: handlers may add or remove handlers, their own included.
        const std::vector<Handler> handlers = m_handlers;
        for (const Handler& handler : handlers) {
            if (hasHandler(handler.id))
                (*handler.call)(event);
        }
    }
}

void X11Connection::drainEventsLater()
{
    if (!m_display || m_drainQueued || XEventsQueued(m_display, QueuedAlready) == 0)
        return;
    m_drainQueued = true;
    QMetaObject::invokeMethod(
        m_context.get(),
        [this] {
            m_drainQueued = false;
            drainEvents();
        },
        Qt::QueuedConnection);
}

void X11Connection::selectEvents(XWindow window, long mask)
{
    if (!m_display || window == 0)
        return;
    X11ErrorTrap trap(m_display);
    XWindowAttributes attributes;
    long selected = 0;
    if (XGetWindowAttributes(m_display, window, &attributes) != 0 && !trap.failed())
        selected = attributes.your_event_mask;
    XSelectInput(m_display, window, selected | mask);
}

}  // namespace mendo::x11
