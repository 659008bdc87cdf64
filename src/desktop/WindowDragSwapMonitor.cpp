#include "desktop/WindowDragSwapMonitor.h"

#include "base/Async.h"
#include "model/NativeSettingsStore.h"
#include "platform/UserDefaults.h"

#include <cstdlib>

namespace mendo {

WindowDragSwapMonitor::WindowDragSwapMonitor(
    GlobalInputMonitor& input, UserDefaults& defaults, WindowTilingService& tiling, QObject* parent)
    : QObject(parent)
    , m_input(input)
    , m_defaults(defaults)
    , m_tiling(tiling)
{
}

WindowDragSwapMonitor::~WindowDragSwapMonitor()
{
    m_input.removeMonitor(m_monitor);
}

void WindowDragSwapMonitor::start()
{
    if (m_monitor != 0)
        return;
    using Type = GlobalInputEvent::Type;
    m_monitor = m_input.addMonitor(
        GlobalInputEvent::Types(int(Type::leftMouseDown) | int(Type::leftMouseUp)),
        [this](const GlobalInputEvent& event) {
            const bool option = event.modifiers.testFlag(Qt::AltModifier);
            // The window system's pixels, which the frames are in; the event's
            // position only when the pointer cannot be read.
            const QPoint point = m_tiling.mouseLocationAX().value_or(event.position);
            // Handled after the monitor's own turn, so that its reading of
            // the event is never held up by the window queries.
            QMetaObject::invokeMethod(
                this, [this, type = event.type, option, point] { handle(type, option, point); },
                Qt::QueuedConnection);
        });
}

bool WindowDragSwapMonitor::enabled() const
{
    // Only a stored false switches it off: a missing key, or one of another
    // type, leaves it on.
    const auto value = m_defaults.object(QString::fromLatin1(NativeSettingsStore::windowTilingEnabledKey));
    return !(value && value->typeId() == QMetaType::Bool && !value->toBool());
}

void WindowDragSwapMonitor::handle(GlobalInputEvent::Type type, bool option, QPoint point)
{
    if (!enabled()) {
        m_dragStart.reset();
        return;
    }
    switch (type) {
    case GlobalInputEvent::Type::leftMouseDown:
        if (option)
            m_dragStart = m_tiling.windowAt(point);
        else
            m_dragStart.reset();
        return;
    case GlobalInputEvent::Type::leftMouseUp: {
        const auto start = std::exchange(m_dragStart, std::nullopt);
        if (!option || !start)
            return;
        const auto current = m_tiling.axFrame(start->window);
        if (!current)
            return;
        if (std::abs(current->x() - start->frame.x()) > dragThreshold
            || std::abs(current->y() - start->frame.y()) > dragThreshold)
            detach(m_tiling.swapDraggedWindow(start->window, start->frame, point));
        return;
    }
    default:
        return;
    }
}

}  // namespace mendo
