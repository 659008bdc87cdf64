#include "platform/x11/X11ReadBatch.h"

#include <cstdlib>

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace mendo::x11 {

namespace {

// The same length X11Connection reads: at most 1 MiB, far more than any
// property read here.
constexpr uint32_t maximumLongs = 1U << 18;

xcb_connection_t* xcbOf(X11Connection& connection)
{
    return connection.display() ? XGetXCBConnection(connection.display()) : nullptr;
}

// Frees an xcb reply or error whatever way the scope is left.
struct Freed {
    void* pointer = nullptr;
    ~Freed() { std::free(pointer); }
};

}  // namespace

X11ReadBatch::X11ReadBatch(X11Connection& connection)
    : m_connection(connection)
{
}

X11ReadBatch::~X11ReadBatch()
{
    xcb_connection_t* c = xcbOf(m_connection);
    if (!c)
        return;
    for (const PropertyRead& read : m_cardinals) {
        if (read.pending)
            xcb_discard_reply(c, read.cookie);
    }
    for (const PlacementRead& read : m_placements) {
        if (read.pending) {
            xcb_discard_reply(c, read.attributes);
            xcb_discard_reply(c, read.geometry);
            xcb_discard_reply(c, read.position);
        }
    }
}

X11ReadBatch::Handle X11ReadBatch::cardinals(XWindow window, const char* property, XAtom type)
{
    PropertyRead read;
    xcb_connection_t* c = xcbOf(m_connection);
    const XAtom name = m_connection.atom(property);
    if (c && window != 0 && name != 0) {
        read.cookie = xcb_get_property(c, 0, xcb_window_t(window), xcb_atom_t(name), xcb_atom_t(type), 0, maximumLongs)
                          .sequence;
        read.pending = true;
    }
    m_cardinals.push_back(read);
    return m_cardinals.size() - 1;
}

X11ReadBatch::Handle X11ReadBatch::placement(XWindow window)
{
    PlacementRead read;
    xcb_connection_t* c = xcbOf(m_connection);
    if (c && window != 0) {
        const auto w = xcb_window_t(window);
        read.attributes = xcb_get_window_attributes(c, w).sequence;
        read.geometry = xcb_get_geometry(c, w).sequence;
        read.position = xcb_translate_coordinates(c, w, xcb_window_t(m_connection.rootWindow()), 0, 0).sequence;
        read.pending = true;
    }
    m_placements.push_back(read);
    return m_placements.size() - 1;
}

void X11ReadBatch::wait()
{
    xcb_connection_t* c = xcbOf(m_connection);
    if (!c)
        return;
    // Out go any requests still in the buffers, then the answers come back in
    // the order they were asked for.
    xcb_flush(c);
    for (PropertyRead& read : m_cardinals) {
        if (!read.pending)
            continue;
        read.pending = false;
        xcb_generic_error_t* error = nullptr;
        auto* reply = xcb_get_property_reply(c, xcb_get_property_cookie_t { read.cookie }, &error);
        const Freed freeReply { reply }, freeError { error };
        // A property of another type arrives without its values but is
        // there all the same, as Xlib reports it.
        if (!reply || error || reply->type == XCB_NONE || reply->format != 32)
            continue;
        const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply));
        const int count = xcb_get_property_value_length(reply) / 4;
        read.answer = std::vector<unsigned long>(values, values + count);
    }
    for (PlacementRead& read : m_placements) {
        if (!read.pending)
            continue;
        read.pending = false;
        xcb_generic_error_t* attributesError = nullptr;
        xcb_generic_error_t* geometryError = nullptr;
        xcb_generic_error_t* positionError = nullptr;
        auto* attributes = xcb_get_window_attributes_reply(
            c, xcb_get_window_attributes_cookie_t { read.attributes }, &attributesError);
        auto* geometry = xcb_get_geometry_reply(c, xcb_get_geometry_cookie_t { read.geometry }, &geometryError);
        auto* position
            = xcb_translate_coordinates_reply(c, xcb_translate_coordinates_cookie_t { read.position }, &positionError);
        const Freed frees[] = { { attributes }, { geometry }, { position }, { attributesError }, { geometryError },
            { positionError } };
        if (!attributes || !geometry || !position || attributesError || geometryError || positionError
            || !position->same_screen)
            continue;
        read.answer = Placement { attributes->map_state == XCB_MAP_STATE_VIEWABLE,
            QRect(position->dst_x, position->dst_y, geometry->width, geometry->height) };
    }
    // Waiting for the answers may have read events off the socket into xcb's
    // queue, where Xlib does not look by itself: moved into Xlib's queue, the
    // connection's next drain hands them out.
    XEventsQueued(m_connection.display(), QueuedAfterReading);
}

}  // namespace mendo::x11
