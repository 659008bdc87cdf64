#pragma once

#include "platform/Displays.h"

#include <QStringList>
#include <algorithm>
#include <optional>

namespace mendo {

// A set of displays in memory. A display switched off stays online but stops
// being active; setEnabled answers `nextResult` once when a test sets it.
class FakeDisplays final : public Displays {
public:
    struct Display {
        DisplayId id = 0;
        bool builtin = false;
        bool online = true;
        bool asleep = false;
        bool active = true;
        bool mirrored = false;
    };

    bool configureEnabled() const override { return canConfigure; }
    QList<DisplayId> activeDisplays() override
    {
        QList<DisplayId> ids;
        for (const Display& d : displays)
            if (d.active)
                ids << d.id;
        return ids;
    }
    bool isBuiltin(DisplayId id) override { return find(id) && find(id)->builtin; }
    bool isOnline(DisplayId id) override { return find(id) && find(id)->online; }
    bool isAsleep(DisplayId id) override { return find(id) && find(id)->asleep; }
    bool isInMirrorSet(DisplayId id) override { return find(id) && find(id)->mirrored; }
    DisplaySwitchResult setEnabled(DisplayId id, bool enabled) override
    {
        calls << QStringLiteral("%1 %2").arg(enabled ? "on" : "off").arg(id);
        if (nextResult) {
            const DisplaySwitchResult result = *nextResult;
            nextResult.reset();
            if (!result.succeeded())
                return result;
        }
        Display* display = find(id);
        if (!display || !display->online)
            return { DisplaySwitchResult::Step::configure, 3 };
        display->active = enabled;
        return {};
    }
    void watchReconfigurations() override { watching = true; }

    Display* find(DisplayId id)
    {
        auto it = std::find_if(displays.begin(), displays.end(), [id](const Display& d) { return d.id == id; });
        return it == displays.end() ? nullptr : &*it;
    }
    void notice(QList<DisplayChange> changes) { Q_EMIT reconfigured(changes); }

    bool canConfigure = true;
    QList<Display> displays;
    std::optional<DisplaySwitchResult> nextResult;
    bool watching = false;
    // "off 1", "on 1": every setEnabled asked for, in order.
    QStringList calls;
};

}  // namespace mendo
