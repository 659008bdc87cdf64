#include "platform/x11/X11SelectionReader.h"

#include "platform/x11/X11Errors.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <climits>
#include <poll.h>

namespace mendo::x11 {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;
    ~Property()
    {
        if (data)
            XFree(data);
    }
};

// Reads the whole property and deletes it, which in an INCR transfer asks
// the owner for the next chunk.
bool takeProperty(Display* display, Window window, Atom property, Property& out)
{
    X11ErrorTrap trap(display);
    unsigned long after = 0;
    const int status = XGetWindowProperty(display, window, property, 0, LONG_MAX / 4, True, AnyPropertyType, &out.type,
        &out.format, &out.count, &after, &out.data);
    return status == Success && !trap.failed() && out.type != None;
}

}  // namespace

X11SelectionReader::X11SelectionReader(std::chrono::milliseconds stall, std::chrono::milliseconds total)
    : m_stall(stall)
    , m_total(total)
{
    Display* display = m_connection.display();
    if (!display)
        return;
    XSetWindowAttributes attributes {};
    attributes.event_mask = PropertyChangeMask;
    m_window = XCreateWindow(display, m_connection.rootWindow(), -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
        CopyFromParent, CWEventMask, &attributes);
    m_property = m_connection.atom("MENDO_SELECTION");
    XFlush(display);
}

X11SelectionReader::~X11SelectionReader()
{
    if (m_window)
        XDestroyWindow(m_connection.display(), m_window);
}

XWindow X11SelectionReader::owner(const char* selection)
{
    if (!m_window)
        return 0;
    return XGetSelectionOwner(m_connection.display(), m_connection.atom(selection));
}

std::optional<QList<QByteArray>> X11SelectionReader::targets(const char* selection)
{
    m_deadline = SteadyClock::now() + m_total;
    m_ownerStalled = false;
    if (owner(selection) == None)
        return std::nullopt;
    // Drop what is left of an earlier read (a late answer of an owner that
    // stalled), so it is not taken for an answer to this one.
    XSync(m_connection.display(), True);
    QByteArray data;
    XAtom type = 0;
    int format = 0;
    if (convert(m_connection.atom(selection), m_connection.atom("TARGETS"), data, type, format) != Outcome::data
        || format != 32)
        return std::nullopt;
    // Format 32 arrives as C longs, whatever their width.
    const auto* atoms = reinterpret_cast<const unsigned long*>(data.constData());
    std::vector<Atom> list(atoms, atoms + data.size() / qsizetype(sizeof(unsigned long)));
    list.erase(std::remove(list.begin(), list.end(), Atom(None)), list.end());
    QList<QByteArray> names;
    if (list.empty())
        return names;
    std::vector<char*> texts(list.size(), nullptr);
    Display* display = m_connection.display();
    X11ErrorTrap trap(display);
    // An atom that does not exist leaves its name empty; the others still come.
    XGetAtomNames(display, list.data(), int(list.size()), texts.data());
    for (char* text : texts) {
        // Each name once: some owners repeat one.
        if (text && !names.contains(QByteArray(text)))
            names.append(QByteArray(text));
        if (text)
            XFree(text);
    }
    return names;
}

QList<X11SelectionReader::Target> X11SelectionReader::fetch(const char* selection, const QList<QByteArray>& names)
{
    QList<Target> fetched;
    const XAtom selectionAtom = m_connection.atom(selection);
    for (const QByteArray& name : names) {
        if (m_ownerStalled)
            break;
        QByteArray data;
        XAtom type = 0;
        int format = 0;
        if (convert(selectionAtom, m_connection.atom(name.constData()), data, type, format) == Outcome::data
            && format == 8)
            fetched.append({ name, data });
    }
    return fetched;
}

X11SelectionReader::Outcome X11SelectionReader::convert(
    XAtom selection, XAtom target, QByteArray& data, XAtom& type, int& format)
{
    Display* display = m_connection.display();
    if (!m_window || m_ownerStalled)
        return Outcome::timedOut;
    XDeleteProperty(display, m_window, m_property);
    XConvertSelection(display, selection, target, m_property, m_window, CurrentTime);
    m_awaitedTarget = target;
    if (!waitFor(true))
        return Outcome::timedOut;
    Property property;
    if (m_lastNotifyProperty == None || !takeProperty(display, m_window, m_property, property))
        return Outcome::refused;
    if (property.type == m_connection.atom("INCR")) {
        type = 0;
        format = 8;
        return receiveIncrementally(data, type, format);
    }
    type = property.type;
    format = property.format;
    const qsizetype unit = property.format == 8 ? 1
        : property.format == 16                 ? qsizetype(sizeof(short))
                                                : qsizetype(sizeof(long));
    data = QByteArray(reinterpret_cast<const char*>(property.data), qsizetype(property.count) * unit);
    return Outcome::data;
}

X11SelectionReader::Outcome X11SelectionReader::receiveIncrementally(QByteArray& data, XAtom& type, int& format)
{
    // The INCR property is gone now (read with delete), which starts the
    // transfer: each new value of the property is a chunk, and an empty one
    // ends it.
    Display* display = m_connection.display();
    data.clear();
    for (;;) {
        if (!waitFor(false))
            return Outcome::timedOut;
        Property chunk;
        if (!takeProperty(display, m_window, m_property, chunk))
            continue;
        if (chunk.count == 0)
            return Outcome::data;
        type = chunk.type;
        format = chunk.format;
        if (chunk.format != 8) {
            // Not bytes: read it to its end for the owner's sake, keep nothing.
            data.clear();
            continue;
        }
        data.append(reinterpret_cast<const char*>(chunk.data), qsizetype(chunk.count));
    }
}

bool X11SelectionReader::waitFor(bool selectionNotify)
{
    Display* display = m_connection.display();
    const auto stepDeadline = std::min(SteadyClock::now() + m_stall, m_deadline);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (selectionNotify && event.type == SelectionNotify && event.xselection.requestor == m_window
                && event.xselection.target == m_awaitedTarget) {
                m_lastNotifyProperty = event.xselection.property;
                return true;
            }
            if (!selectionNotify && event.type == PropertyNotify && event.xproperty.window == m_window
                && event.xproperty.atom == m_property && event.xproperty.state == PropertyNewValue)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(stepDeadline - SteadyClock::now());
        if (left.count() <= 0) {
            m_ownerStalled = true;
            return false;
        }
        pollfd descriptor { ConnectionNumber(display), POLLIN, 0 };
        ::poll(&descriptor, 1, int(std::max<long long>(1, left.count())));
    }
}

}  // namespace mendo::x11
