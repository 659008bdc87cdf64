#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

struct _XDisplay;

namespace mendo::x11 {

using XWindow = unsigned long;  // Xlib's Window
using XAtom = unsigned long;    // Xlib's Atom

// A connection of our own to the X server (not Qt's, whose event queue Qt
// reads), with interned atoms and typed property reads. Every read survives a
// window that has gone: it yields nothing instead of an error.
class X11Connection {
public:
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

    // 32-bit properties (CARDINAL, WINDOW, ATOM) as a list; nothing when the
    // window or the property is missing or has another format.
    std::optional<std::vector<unsigned long>> cardinals(XWindow window, const char* property, XAtom type);
    // 8-bit properties as raw bytes (WM_CLASS holds two NUL-terminated texts).
    std::optional<QByteArray> bytes(XWindow window, const char* property, XAtom type);
    // Whether the window still exists.
    bool windowExists(XWindow window);
    void flush();

private:
    _XDisplay* m_display = nullptr;
    XWindow m_root = 0;
    QHash<QByteArray, XAtom> m_atoms;
};

}  // namespace mendo::x11
