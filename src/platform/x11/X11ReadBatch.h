#pragma once

#include "platform/x11/X11Connection.h"

#include <QRect>

#include <cstddef>
#include <optional>
#include <vector>

namespace mendo::x11 {

// Reads that travel to the X server together: every request of the batch is
// sent before the first answer is awaited, so the batch costs one round trip
// however many windows it asks about, and only its bytes grow with their
// number. The requests go out as xcb cookies on the connection's own Xlib
// display. As with X11Connection's reads, a window that has gone answers
// nothing instead of raising an error. Main thread.
//
//     X11ReadBatch batch(connection);
//     const auto types = batch.cardinals(window, "_NET_WM_WINDOW_TYPE", XA_ATOM);
//     const auto place = batch.placement(window);
//     batch.wait();
//     batch.cardinalsAnswer(types) ...
class X11ReadBatch {
public:
    using Cardinals = std::optional<std::vector<unsigned long>>;
    // Where a window's client area lies and whether it is shown.
    struct Placement {
        bool viewable = false;
        // Root coordinates.
        QRect clientRect;
    };
    using Handle = std::size_t;

    explicit X11ReadBatch(X11Connection& connection);
    // Answers never waited for are dropped as they arrive.
    ~X11ReadBatch();
    X11ReadBatch(const X11ReadBatch&) = delete;
    X11ReadBatch& operator=(const X11ReadBatch&) = delete;

    // A 32-bit property, answered as X11Connection::cardinals() answers it.
    Handle cardinals(XWindow window, const char* property, XAtom type);
    // The window's map state, size and position on the root window; nothing
    // when the window has gone or lies on another screen.
    Handle placement(XWindow window);

    // Sends what is queued and reads every answer. Afterwards the answers
    // can be read; more requests start a new round.
    void wait();

    const Cardinals& cardinalsAnswer(Handle handle) const { return m_cardinals.at(handle).answer; }
    const std::optional<Placement>& placementAnswer(Handle handle) const { return m_placements.at(handle).answer; }

private:
    struct PropertyRead {
        unsigned int cookie = 0;
        bool pending = false;
        Cardinals answer;
    };
    struct PlacementRead {
        unsigned int attributes = 0;
        unsigned int geometry = 0;
        unsigned int position = 0;
        bool pending = false;
        std::optional<Placement> answer;
    };

    X11Connection& m_connection;
    std::vector<PropertyRead> m_cardinals;
    std::vector<PlacementRead> m_placements;
};

}  // namespace mendo::x11
