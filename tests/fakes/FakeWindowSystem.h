#pragma once

#include "platform/WindowSystem.h"

#include <QMap>
#include <QStringList>

#include <algorithm>

namespace mendo {

// Windows in memory, front to back in `stack`. A move is recorded in `moves`
// ("<id> x,y wxh", "<id> unmaximize") and obeyed as a window manager would:
// the size is held at the window's minimum and rounded down to its size
// increments, and windowConfigured() follows at once (or never, with
// `answers` off).
class FakeWindowSystem final : public WindowSystem {
public:
    struct Window {
        WindowId id = 0;
        QRect frame;
        WindowFacts facts { true, false, false, false };
        std::optional<double> opacity;
        bool own = false;
        QSize minimumSize;
        // Growth in steps from the minimum (a terminal's character cells).
        QSize increment;
    };

    QList<MonitorFrame> screens() override { return monitors; }
    std::optional<QPoint> pointerPosition() override { return pointer; }
    std::optional<WindowId> focusedWindow() override { return focused; }

    std::optional<WindowFacts> facts(WindowId id) override
    {
        const Window* w = find(id);
        return w ? std::optional(w->facts) : std::nullopt;
    }
    std::optional<QRect> frame(WindowId id) override
    {
        const Window* w = find(id);
        return w ? std::optional(w->frame) : std::nullopt;
    }
    QList<StackedWindow> stackingOrder() override
    {
        QList<StackedWindow> list;
        for (const Window& w : stack)
            list << StackedWindow { w.id, w.frame, w.opacity, w.own, std::nullopt };
        return list;
    }

    // How a requested move is written in `moves`.
    static QString move(WindowId id, const QRect& frame)
    {
        return QStringLiteral("%1 %2,%3 %4x%5").arg(id).arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
    }

    bool setFrame(WindowId id, const QRect& requested) override
    {
        Window* w = find(id);
        if (!w)
            return false;
        moves << move(id, requested);
        w->frame = QRect(requested.topLeft(), constrained(*w, requested.size()));
        answer(id);
        return true;
    }
    bool removeMaximized(WindowId id) override
    {
        Window* w = find(id);
        if (!w)
            return false;
        moves << QStringLiteral("%1 unmaximize").arg(id);
        w->facts.maximized = false;
        answer(id);
        return true;
    }

    Window* find(WindowId id)
    {
        const auto it = std::find_if(stack.begin(), stack.end(), [id](const Window& w) { return w.id == id; });
        return it == stack.end() ? nullptr : &*it;
    }

    QList<MonitorFrame> monitors;
    std::optional<QPoint> pointer;
    std::optional<WindowId> focused;
    QList<Window> stack;
    QStringList moves;
    bool answers = true;

private:
    static QSize constrained(const Window& w, QSize size)
    {
        size = size.expandedTo(w.minimumSize);
        if (w.increment.width() > 0)
            size.setWidth(w.minimumSize.width()
                + (size.width() - w.minimumSize.width()) / w.increment.width() * w.increment.width());
        if (w.increment.height() > 0)
            size.setHeight(w.minimumSize.height()
                + (size.height() - w.minimumSize.height()) / w.increment.height() * w.increment.height());
        return size;
    }
    void answer(WindowId id)
    {
        if (answers)
            Q_EMIT windowConfigured(id);
    }
};

}  // namespace mendo
