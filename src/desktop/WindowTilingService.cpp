#include "desktop/WindowTilingService.h"

#include <QPointF>
#include <QPointer>

#include <memory>

namespace mendo {

namespace {

qint64 overlapArea(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

bool alignsRight(WindowTileSlot slot)
{
    return slot == WindowTileSlot::rightHalf || slot == WindowTileSlot::topRight || slot == WindowTileSlot::bottomRight;
}

bool alignsBottom(WindowTileSlot slot)
{
    return slot == WindowTileSlot::bottomLeft || slot == WindowTileSlot::bottomRight;
}

// Centres fall between pixels: compared as exact halves, not rounded.
QPointF centre(const QRect& r)
{
    return QPointF(r.x() + r.width() / 2.0, r.y() + r.height() / 2.0);
}

bool containsPoint(const QRect& r, QPointF p)
{
    return p.x() >= r.x() && p.x() < r.x() + r.width() && p.y() >= r.y() && p.y() < r.y() + r.height();
}

// Taller than three quarters of the visible frame: a half, not a quarter.
bool countsAsHalf(const QRect& frame, const QRect& visible)
{
    return frame.height() > 0.75 * visible.height();
}

// One wait for the window manager's answer, ended by the answer or by the
// clock, whichever comes first.
struct ConfigureWait {
    bool done = false;
    std::coroutine_handle<> waiting;

    void finish()
    {
        if (done)
            return;
        done = true;
        if (waiting)
            std::exchange(waiting, {}).resume();
    }

    // Holds no ownership: the coroutine frame keeps the wait alive, and
    // GCC 12 destroys a brace-initialised awaiter temporary twice, which for
    // an owning pointer was a double release.
    struct Awaiter {
        ConfigureWait* wait;
        bool await_ready() const noexcept { return wait->done; }
        void await_suspend(std::coroutine_handle<> handle) { wait->waiting = handle; }
        void await_resume() noexcept { }
    };
};

}  // namespace

WindowTilingService::WindowTilingService(WindowSystem& windows, Clock& clock)
    : m_windows(windows)
    , m_clock(clock)
{
}

Task<> WindowTilingService::tileFocusedWindow(WindowTileSlot slot)
{
    const SerialTurns::Turn turn = co_await m_turns.acquire();
    const auto focused = focusedTileableWindow();
    if (!focused)
        co_return;
    auto target = screen(focused->frame);
    if (!target)
        target = mainScreen();
    if (!target)
        co_return;
    co_await place(focused->window, cell(slot, target->visibleFrame), slot);
}

Task<> WindowTilingService::tileWindow(WindowId window, WindowTileSlot slot)
{
    const SerialTurns::Turn turn = co_await m_turns.acquire();
    if (window == 0 || !isTileable(window))
        co_return;
    const std::optional<QRect> frame = m_windows.frame(window);
    if (!frame)
        co_return;
    auto target = screen(*frame);
    if (!target)
        target = mainScreen();
    if (!target)
        co_return;
    co_await place(window, cell(slot, target->visibleFrame), slot);
}

Task<> WindowTilingService::tileAllWindows()
{
    const SerialTurns::Turn turn = co_await m_turns.acquire();
    std::optional<MonitorFrame> target;
    // The focused window only chooses the monitor: it need not be tileable.
    if (const auto window = m_windows.focusedWindow()) {
        if (const auto frame = m_windows.frame(*window))
            target = screen(*frame);
    }
    if (!target)
        target = mainScreen();
    if (!target)
        co_return;
    QList<WindowId> windows = windowsInStackingOrder(*target);
    if (windows.isEmpty())
        co_return;
    windows = windows.mid(0, 4);
    const QList<WindowTileSlot> slots = layout(int(windows.size()));
    for (qsizetype i = 0; i < windows.size(); ++i)
        co_await place(windows[i], cell(slots[i], target->visibleFrame), slots[i]);
}

Task<> WindowTilingService::swapFocusedWindow(WindowSwapDirection direction)
{
    const SerialTurns::Turn turn = co_await m_turns.acquire();
    const auto focused = focusedTileableWindow();
    if (!focused)
        co_return;
    const WindowId window = focused->window;
    // No fall-back to the main monitor: a neighbour is a neighbour on the
    // monitor the window is on.
    const auto target = screen(focused->frame);
    if (!target)
        co_return;
    const QRect visible = target->visibleFrame;
    const WindowTileSlot current = slotContaining(focused->frame, visible);
    const auto next = adjacentSlot(focused->frame, direction, visible);
    if (!next)
        co_return;
    const QRect targetCell = cell(*next, visible);
    std::optional<WindowId> partner;
    for (const PointedWindow& other : tileableInStackingOrder(*target)) {
        if (other.window != window && containsPoint(targetCell, centre(other.frame))) {
            partner = other.window;
            break;
        }
    }
    if (partner)
        co_await place(*partner, cell(current, visible), current);
    co_await place(window, targetCell, *next);
}

Task<> WindowTilingService::swapDraggedWindow(WindowId dragged, QRect originalFrame, QPoint dropPoint)
{
    const SerialTurns::Turn turn = co_await m_turns.acquire();
    if (!isTileable(dragged))
        co_return;
    // The dragged window itself usually lies under the drop point: the window
    // manager moved it there.
    const auto other = windowContaining(dropPoint, dragged);
    if (!other)
        co_return;
    const auto otherFrame = m_windows.frame(other->window);
    if (!otherFrame)
        co_return;
    co_await setFrame(dragged, *otherFrame);
    co_await setFrame(other->window, originalFrame);
}

std::optional<WindowTilingService::PointedWindow> WindowTilingService::windowAt(QPoint point)
{
    return windowContaining(point, std::nullopt);
}

std::optional<WindowTilingService::PointedWindow> WindowTilingService::focusedTileableWindow()
{
    const auto window = m_windows.focusedWindow();
    if (!window || !isTileable(*window))
        return std::nullopt;
    const auto frame = m_windows.frame(*window);
    if (!frame)
        return std::nullopt;
    return PointedWindow { *window, *frame };
}

std::optional<WindowTilingService::PointedWindow> WindowTilingService::windowContaining(
    QPoint point, std::optional<WindowId> except)
{
    const auto target = screen(QRect(point, QSize(1, 1)));
    if (!target)
        return std::nullopt;
    for (const PointedWindow& window : tileableInStackingOrder(*target)) {
        if (window.window != except && window.frame.contains(point))
            return window;
    }
    return std::nullopt;
}

std::optional<QPoint> WindowTilingService::mouseLocationAX()
{
    return m_windows.pointerPosition();
}

std::optional<QRect> WindowTilingService::axFrame(WindowId window)
{
    return m_windows.frame(window);
}

WindowTileSlot WindowTilingService::slotContaining(const QRect& frame, const QRect& visible)
{
    const QPointF f = centre(frame), v = centre(visible);
    const bool left = f.x() < v.x(), top = f.y() < v.y();
    if (countsAsHalf(frame, visible))
        return left ? WindowTileSlot::leftHalf : WindowTileSlot::rightHalf;
    if (left)
        return top ? WindowTileSlot::topLeft : WindowTileSlot::bottomLeft;
    return top ? WindowTileSlot::topRight : WindowTileSlot::bottomRight;
}

std::optional<WindowTileSlot> WindowTilingService::adjacentSlot(
    const QRect& frame, WindowSwapDirection direction, const QRect& visible)
{
    using S = WindowTileSlot;
    const QPointF f = centre(frame), v = centre(visible);
    const bool left = f.x() < v.x(), top = f.y() < v.y();
    if (countsAsHalf(frame, visible)) {
        switch (direction) {
        case WindowSwapDirection::left:
            return left ? std::nullopt : std::optional(S::leftHalf);
        case WindowSwapDirection::right:
            return left ? std::optional(S::rightHalf) : std::nullopt;
        case WindowSwapDirection::up:
        case WindowSwapDirection::down:
            return std::nullopt;
        }
        return std::nullopt;
    }
    switch (direction) {
    case WindowSwapDirection::left:
        if (left)
            return std::nullopt;
        return top ? S::topLeft : S::bottomLeft;
    case WindowSwapDirection::right:
        if (!left)
            return std::nullopt;
        return top ? S::topRight : S::bottomRight;
    case WindowSwapDirection::up:
        if (top)
            return std::nullopt;
        return left ? S::topLeft : S::topRight;
    case WindowSwapDirection::down:
        if (!top)
            return std::nullopt;
        return left ? S::bottomLeft : S::bottomRight;
    }
    return std::nullopt;
}

bool WindowTilingService::isTileable(WindowId window)
{
    const auto facts = m_windows.facts(window);
    return facts && tileable(*facts);
}

bool WindowTilingService::tileable(const WindowFacts& facts)
{
    return facts.standard && !facts.minimized && !facts.fullScreen;
}

std::optional<MonitorFrame> WindowTilingService::screen(const QRect& frame)
{
    return screen(frame, m_windows.screens());
}

std::optional<MonitorFrame> WindowTilingService::screen(const QRect& frame, const QList<MonitorFrame>& screens)
{
    std::optional<MonitorFrame> best;
    qint64 bestArea = 0;
    for (const MonitorFrame& monitor : screens) {
        const qint64 area = overlapArea(monitor.frame, frame);
        if (area > bestArea) {
            bestArea = area;
            best = monitor;
        }
    }
    return best;
}

std::optional<MonitorFrame> WindowTilingService::mainScreen()
{
    const QList<MonitorFrame> monitors = m_windows.screens();
    if (monitors.isEmpty())
        return std::nullopt;
    if (const auto pointer = m_windows.pointerPosition()) {
        for (const MonitorFrame& monitor : monitors) {
            if (monitor.frame.contains(*pointer))
                return monitor;
        }
    }
    return monitors.first();
}

QRect WindowTilingService::cell(WindowTileSlot slot, const QRect& visible)
{
    const int x = visible.x(), y = visible.y(), w = visible.width(), h = visible.height();
    // Integer division floors for the non-negative sizes a frame has.
    const int halfW = w / 2, halfH = h / 2;
    switch (slot) {
    case WindowTileSlot::full:
        return visible;
    case WindowTileSlot::leftHalf:
        return QRect(x, y, halfW, h);
    case WindowTileSlot::rightHalf:
        return QRect(x + halfW, y, w - halfW, h);
    case WindowTileSlot::topLeft:
        return QRect(x, y, halfW, halfH);
    case WindowTileSlot::topRight:
        return QRect(x + halfW, y, w - halfW, halfH);
    case WindowTileSlot::bottomLeft:
        return QRect(x, y + halfH, halfW, h - halfH);
    case WindowTileSlot::bottomRight:
        return QRect(x + halfW, y + halfH, w - halfW, h - halfH);
    }
    return visible;
}

QList<WindowTileSlot> WindowTilingService::layout(int count)
{
    using S = WindowTileSlot;
    switch (count) {
    case 1:
        return { S::full };
    case 2:
        return { S::leftHalf, S::rightHalf };
    case 3:
        return { S::leftHalf, S::topRight, S::bottomRight };
    case 4:
        return { S::topLeft, S::topRight, S::bottomLeft, S::bottomRight };
    default:
        return {};
    }
}

Task<> WindowTilingService::place(WindowId window, QRect target, WindowTileSlot slot)
{
    if (!co_await moveAndSettle(window, target))
        co_return;
    const auto actual = m_windows.frame(window);
    if (!actual)
        co_return;
    // A window at most one pixel too large is left alone.
    if (actual->width() <= target.width() + 1 && actual->height() <= target.height() + 1)
        co_return;
    const int x = alignsRight(slot) ? target.x() + target.width() - actual->width() : target.x();
    const int y = alignsBottom(slot) ? target.y() + target.height() - actual->height() : target.y();
    co_await moveAndSettle(window, QRect(QPoint(x, y), actual->size()));
}

Task<> WindowTilingService::setFrame(WindowId window, QRect frame)
{
    co_await moveAndSettle(window, frame);
}

QList<WindowId> WindowTilingService::windowsInStackingOrder(const MonitorFrame& screen)
{
    QList<WindowId> result;
    for (const PointedWindow& window : tileableInStackingOrder(screen))
        result << window.window;
    return result;
}

QList<WindowTilingService::PointedWindow> WindowTilingService::tileableInStackingOrder(const MonitorFrame& target)
{
    QList<PointedWindow> result;
    // One reading of the monitors and the windows: the monitors' docks are a
    // query of every window too.
    const StackingSnapshot snapshot = m_windows.stackingSnapshot();
    for (const StackedWindow& entry : snapshot.windows) {
        if (entry.own || (entry.opacity && *entry.opacity <= 0))
            continue;
        if (entry.frame.width() < minimumArrangedWidth || entry.frame.height() < minimumArrangedHeight)
            continue;
        const auto on = screen(entry.frame, snapshot.screens);
        if (!on || *on != target)
            continue;
        if (entry.facts ? tileable(*entry.facts) : isTileable(entry.id))
            result << PointedWindow { entry.id, entry.frame };
    }
    return result;
}

Task<bool> WindowTilingService::moveAndSettle(WindowId window, QRect frame)
{
    const auto facts = m_windows.facts(window);
    if (!facts)
        co_return false;
    // Taken out of the maximized state first and apart: its answer would
    // otherwise pass for the answer to the move.
    if (facts->maximized && !co_await settle(window, [this, window] { return m_windows.removeMaximized(window); }))
        co_return false;
    co_return co_await settle(window, [this, window, frame] { return m_windows.setFrame(window, frame); });
}

Task<bool> WindowTilingService::settle(WindowId window, std::function<bool()> request)
{
    auto wait = std::make_shared<ConfigureWait>();
    // Listening before asking: a window manager may answer at once.
    QObject listener;
    QObject::connect(&m_windows, &WindowSystem::windowConfigured, &listener, [wait, window](WindowId configured) {
        if (configured == window)
            wait->finish();
    });
    if (!request())
        co_return false;
    const std::unique_ptr<Timer> timeout = m_clock.singleShot(configureTimeout, [wait] { wait->finish(); });
    co_await ConfigureWait::Awaiter { wait.get() };
    co_return true;
}

}  // namespace mendo
