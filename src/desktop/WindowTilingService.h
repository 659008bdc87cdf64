#pragma once

#include "base/Async.h"
#include "base/Clock.h"
#include "base/SerialTurns.h"
#include "model/WindowTileSlot.h"
#include "platform/WindowSystem.h"

#include <QList>
#include <QRect>

#include <functional>

#include <optional>

namespace mendo {

// Puts other applications' windows into a half, a quarter or the whole
// visible frame of their monitor, and swaps two of them. Every operation is
// silent: no window, no monitor or a window that vanishes halfway simply ends
// it. Commands run one at a time in the order they arrive, each to its end
// (the window manager's answers included), so two quick hotkeys never
// interleave their moves. Main thread.
class WindowTilingService {
public:
    // How long a move waits for the window manager to answer before it reads
    // the window back anyway.
    static constexpr Millis configureTimeout { 250 };
    // Windows smaller than this are tool strips and splash screens, not
    // something to arrange.
    static constexpr int minimumArrangedWidth = 80;
    static constexpr int minimumArrangedHeight = 60;

    WindowTilingService(WindowSystem& windows, Clock& clock);

    Task<> tileFocusedWindow(WindowTileSlot slot);
    // The same for one window by its id, focused or not; nothing when it is
    // gone or cannot be tiled.
    Task<> tileWindow(WindowId window, WindowTileSlot slot);
    // Up to four front windows of the focused window's monitor (else the main
    // one), by the layout for their number.
    Task<> tileAllWindows();

    // Trades places with the window in the neighbouring half or quarter of
    // the focused window's monitor (that window moves first); into an empty
    // neighbour the focused window simply moves. Nothing happens at the
    // monitor's edge, nor to a window off every monitor.
    Task<> swapFocusedWindow(WindowSwapDirection direction);
    // Gives the dragged window the frame of the window under `dropPoint`, and
    // that window the dragged one's `originalFrame`, exactly as they are.
    Task<> swapDraggedWindow(WindowId dragged, QRect originalFrame, QPoint dropPoint);

    struct PointedWindow {
        WindowId window = 0;
        QRect frame;
    };
    // The front tileable window under `point`.
    std::optional<PointedWindow> windowAt(QPoint point);
    std::optional<QPoint> mouseLocationAX();
    std::optional<QRect> axFrame(WindowId window);

    // The slot `frame` occupies in `visible`: a half when it is taller than
    // three quarters of it, else a quarter, by its centre. A centre on the
    // middle line counts right, or below.
    static WindowTileSlot slotContaining(const QRect& frame, const QRect& visible);
    // The half or quarter next to `frame` in `direction`; nothing at the edge.
    static std::optional<WindowTileSlot> adjacentSlot(
        const QRect& frame, WindowSwapDirection direction, const QRect& visible);

    // The pieces window swapping builds on.

    // A standard window, neither minimized nor full screen.
    bool isTileable(WindowId window);
    static bool tileable(const WindowFacts& facts);
    // The monitor with the largest overlap with `frame` (the first of equals);
    // nothing when none overlaps.
    std::optional<MonitorFrame> screen(const QRect& frame);
    static std::optional<MonitorFrame> screen(const QRect& frame, const QList<MonitorFrame>& screens);
    // The monitor under the pointer, else the primary one.
    std::optional<MonitorFrame> mainScreen();
    // The slot's part of `visible`: the left or upper part gets the floor of
    // the half, the right or lower part the rest.
    static QRect cell(WindowTileSlot slot, const QRect& visible);
    // The slots of tile-all for `count` windows (1 to 4).
    static QList<WindowTileSlot> layout(int count);
    // Moves the window into `target`. A window the application keeps more than
    // one pixel larger is then aligned to the cell's far edges, so it does not
    // hang over the monitor's edge.
    Task<> place(WindowId window, QRect target, WindowTileSlot slot);
    // Moves the window to `frame` as it is, without reading it back.
    Task<> setFrame(WindowId window, QRect frame);
    // The tileable windows of `screen` that tile-all may arrange, front to
    // back.
    QList<WindowId> windowsInStackingOrder(const MonitorFrame& screen);

    SerialTurns& turns() { return m_turns; }

private:
    // windowsInStackingOrder() with each window's frame as the list gave it.
    QList<PointedWindow> tileableInStackingOrder(const MonitorFrame& screen);
    // The focused window with its frame, when it may be tiled.
    std::optional<PointedWindow> focusedTileableWindow();
    // The front tileable window of the point's monitor, other than `except`,
    // whose frame holds `point`.
    std::optional<PointedWindow> windowContaining(QPoint point, std::optional<WindowId> except);
    // Sends the move (taking a maximized window out of that state first) and
    // waits for the window manager to answer. False when the window has gone.
    Task<bool> moveAndSettle(WindowId window, QRect frame);
    // Makes the request and waits for the window's next configure, at most
    // configureTimeout. False when the request could not be made.
    Task<bool> settle(WindowId window, std::function<bool()> request);

    WindowSystem& m_windows;
    Clock& m_clock;
    SerialTurns m_turns;
};

}  // namespace mendo
