#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

class QObject;
class QSocketNotifier;
struct _XDisplay;
union _XEvent;  // Xlib's XEvent

namespace mendo::x11 {

using XWindow = unsigned long;  // Xlib's Window
using XAtom = unsigned long;  // Xlib's Atom

// A connection of our own to the X server (not Qt's, whose event queue Qt
// reads), with interned atoms and typed property reads. Every read survives a
// window that has gone: it yields nothing instead of an error.
//
// MendoAI keeps one per process and every X11 class reads its events through
// it: each class adds a handler and picks out its own events (its extension's
// event base, its windows). Sharing one client means sharing its per-client
// state too, so classes add to window event masks (selectEvents) rather than
// replace them, and never deselect what another class may rely on.
class X11Connection {
public:
    using EventHandler = std::function<void(const _XEvent&)>;

    // Opens $DISPLAY (or `displayName`); isOpen() tells whether it worked.
    explicit X11Connection(const QByteArray& displayName = {});
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    bool isOpen() const { return m_display != nullptr; }
    _XDisplay* display() const { return m_display; }
    XWindow rootWindow() const { return m_root; }
    int fileDescriptor() const;

    XAtom atom(const char* name);
    // Interns every name not interned yet in one round trip, so that a batch
    // of reads that names them next waits for no atom.
    void internAtoms(std::initializer_list<const char*> names);

    // 32-bit properties (CARDINAL, WINDOW, ATOM) as a list; nothing when the
    // window or the property is missing or has another format.
    std::optional<std::vector<unsigned long>> cardinals(XWindow window, const char* property, XAtom type);
    // 8-bit properties as raw bytes (WM_CLASS holds two NUL-terminated texts).
    std::optional<QByteArray> bytes(XWindow window, const char* property, XAtom type);
    // Whether the window still exists.
    bool windowExists(XWindow window);
    void flush();

    // Every event read on this connection goes to every handler, in the order
    // they were added. The socket is watched while at least one handler
    // exists. Returns an id for removeEventHandler.
    int addEventHandler(EventHandler handler);
    // Harmless for an unknown id, also from inside a handler.
    void removeEventHandler(int id);
    // Reads every pending event and dispatches it. A request with a reply
    // (XSync, a grab, a property read) may have read events into Xlib's
    // queue, and the socket then never wakes for them: call this after such
    // requests. Inside a handler it does nothing, since the dispatch running
    // there goes on until the queue is empty.
    void drainEvents();
    // drainEvents from the event loop, once however often it is asked for
    // before then, and only when events are queued. For queries that others
    // call from their own signal handlers: dispatching there would re-enter
    // the caller.
    void drainEventsLater();
    // Adds `mask` to the events this connection receives from `window`;
    // XSelectInput alone would replace what another class selected there.
    void selectEvents(XWindow window, long mask);

private:
    struct Handler {
        int id;
        std::shared_ptr<EventHandler> call;
    };
    bool hasHandler(int id) const;

    _XDisplay* m_display = nullptr;
    XWindow m_root = 0;
    QHash<QByteArray, XAtom> m_atoms;
    std::vector<Handler> m_handlers;
    int m_nextHandlerId = 1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    // Receiver of the deferred drains: they die with the connection.
    std::unique_ptr<QObject> m_context;
    bool m_dispatching = false;
    bool m_drainQueued = false;
};

}  // namespace mendo::x11
