#pragma once

#include "platform/x11/X11Connection.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <optional>

namespace mendo::x11 {

// Reads what another client holds in a selection straight from the X server:
// its TARGETS, then each target once, in full (INCR transfers included).
//
// It has a connection of its own and waits on it directly, so no event of
// Qt's (no timer, no hotkey, no network reply) runs while it waits, and the
// wait is bounded: an owner that stops answering ends the read, instead of
// holding MendoAI for a toolkit timeout once per format.
//
// It must not be used while Qt owns the selection: Qt's connection answers
// only when the main thread, which waits here, returns to its event loop.
class X11SelectionReader {
public:
    struct Target {
        QByteArray name;  // the target's atom name ("UTF8_STRING", "image/png", ...)
        QByteArray data;  // its bytes, for 8-bit properties only
    };

    // `stall`: how long one step (a reply, or the next chunk of a large
    // transfer) may take; `total`: how long one whole read may take.
    explicit X11SelectionReader(std::chrono::milliseconds stall = std::chrono::milliseconds(1000),
        std::chrono::milliseconds total = std::chrono::milliseconds(3000));
    ~X11SelectionReader();
    X11SelectionReader(const X11SelectionReader&) = delete;
    X11SelectionReader& operator=(const X11SelectionReader&) = delete;

    bool isOpen() const { return m_window != 0; }
    XWindow owner(const char* selection);

    // The targets the owner offers, in its order; nothing when the
    // selection has no owner or does not answer. Starts the time of one read.
    std::optional<QList<QByteArray>> targets(const char* selection);
    // The bytes of these targets, each asked for once. A target that is
    // refused, is not made of bytes or does not arrive in time is left out;
    // after a timeout nothing more is asked of that owner.
    QList<Target> fetch(const char* selection, const QList<QByteArray>& names);
    // Whether the current read ended because the owner did not answer in time.
    bool stalled() const { return m_ownerStalled; }

private:
    enum class Outcome { data, refused, timedOut };
    Outcome convert(XAtom selection, XAtom target, QByteArray& data, XAtom& type, int& format);
    Outcome receiveIncrementally(QByteArray& data, XAtom& type, int& format);
    // Waits for our SelectionNotify, or for a new value of our property.
    bool waitFor(bool selectionNotify);

    X11Connection m_connection;
    XWindow m_window = 0;
    XAtom m_property = 0;
    std::chrono::milliseconds m_stall;
    std::chrono::milliseconds m_total;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_ownerStalled = false;
    XAtom m_awaitedTarget = 0;
    XAtom m_lastNotifyProperty = 0;
};

}  // namespace mendo::x11
