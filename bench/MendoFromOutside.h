#pragma once

// What the plain programs that measure the real mendo from outside share:
// keys sent through XTest from the benchmark's own X connection (as a
// keyboard sends them: launching a tool for them would add its own
// start-up), mendo's windows as the window manager lists them and its
// floating panels opened by their hotkeys. Its /proc rows: ProcessUsage.h.

#include "ProcessUsage.h"
#include "e2e/MendoSession.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <QTest>

#include <algorithm>
#include <initializer_list>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace mendo::bench {

// Presses the keys in order and lets them go in the reverse order at once: a
// chord such as Alt+Q tapped.
inline void tapKeys(Display* display, std::initializer_list<KeySym> keys)
{
    for (const KeySym key : keys)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, key), True, CurrentTime);
    for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, *it), False, CurrentTime);
    XFlush(display);
}

inline bool viewable(Display* display, Window window)
{
    XWindowAttributes attributes {};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// A property of a window of this type, as Xlib gives it: bytes for 8-bit
// formats, longs for 32-bit ones; empty when it is not set.
inline QByteArray windowProperty(Display* display, Window window, const char* name, Atom type)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long rest = 0;
    unsigned char* data = nullptr;
    QByteArray bytes;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 4096, False, type, &actualType,
            &format, &count, &rest, &data)
            == Success
        && data && actualType == type)
        bytes = QByteArray(reinterpret_cast<const char*>(data),
            qsizetype(count) * (format == 32 ? qsizetype(sizeof(long)) : format / 8));
    if (data)
        XFree(data);
    return bytes;
}

// A window's title as window managers show it: _NET_WM_NAME (UTF-8), else
// WM_NAME (Qt leaves WM_NAME empty for a window it names after the
// application).
inline QByteArray windowTitle(Display* display, Window window)
{
    QByteArray title = windowProperty(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False));
    char* name = nullptr;
    if (title.isEmpty() && XFetchName(display, window, &name) && name)
        title = name;
    if (name)
        XFree(name);
    return title;
}

// The viewable managed windows with this title.
inline QSet<Window> shownWindows(Display* display, const QByteArray& title)
{
    const QByteArray list = windowProperty(display, DefaultRootWindow(display), "_NET_CLIENT_LIST", XA_WINDOW);
    const auto* windows = reinterpret_cast<const Window*>(list.constData());
    QSet<Window> found;
    for (qsizetype i = 0; i < list.size() / qsizetype(sizeof(Window)); ++i) {
        if (windowTitle(display, windows[i]) == title && viewable(display, windows[i]))
            found.insert(windows[i]);
    }
    return found;
}

// A viewable managed window with this title other than those in `except`;
// 0 when there is none.
inline Window shownWindow(Display* display, const QByteArray& title, const QSet<Window>& except = {})
{
    for (const Window window : shownWindows(display, title)) {
        if (!except.contains(window))
            return window;
    }
    return 0;
}

// A floating panel of mendo and the hotkey (with Alt) that opens it.
struct PanelHotkey {
    const char* name;
    KeySym key;
    // The window's title; the translation preview has none of its own and
    // is named after the application, as the main window is.
    QByteArray title;
    // Its hotkey hides it again; the panels that take the focus are closed
    // by the window manager's close button instead.
    bool toggles;
};

inline const PanelHotkey quickPanel { "Alt+Q, the quick panel", XK_q, "Quick Menu", true };
inline const PanelHotkey assistant { "Alt+I, the assistant", XK_i, "AI assistant", false };
inline const PanelHotkey translationPreview { "Alt+R, the translation preview", XK_r, "MendoAI", false };
inline const PanelHotkey clipboardWindow { "Alt+V, the clipboard window", XK_v, "Clipboard", true };

constexpr int kPanelTimeoutMs = 10000;

// Taps the panel's hotkey and waits until its window is viewable: `*window`
// when it names the panel's window already, else a window with the panel's
// title that was not shown before, then kept in `*window`. The time from the
// tap in ms; -1 when it never showed.
inline qint64 showPanel(Display* display, const PanelHotkey& panel, Window* window)
{
    const QSet<Window> before = *window ? QSet<Window> {} : shownWindows(display, panel.title);
    QElapsedTimer timer;
    timer.start();
    tapKeys(display, { XK_Alt_L, panel.key });
    while (*window ? !viewable(display, *window) : (*window = shownWindow(display, panel.title, before)) == 0) {
        if (timer.elapsed() > kPanelTimeoutMs)
            return -1;
        QCoreApplication::processEvents();
    }
    return timer.elapsed();
}

// Puts the panel away as a user does; false when it stayed.
inline bool hidePanel(Display* display, const PanelHotkey& panel, Window window)
{
    if (panel.toggles)
        tapKeys(display, { XK_Alt_L, panel.key });
    else
        e2e::closeWindow(window);
    return QTest::qWaitFor([&] { return !viewable(display, window); }, kPanelTimeoutMs);
}

inline qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? -1 : values[values.size() / 2];
}

}  // namespace mendo::bench
