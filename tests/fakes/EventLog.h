#pragma once

#include "base/Clock.h"

#include <QStringList>

namespace mendo {

// One ordered record of what several fakes saw, each entry stamped with the
// virtual time ("180 post Copy"), so a test can compare a whole sequence of
// pasteboard writes, shortcuts and activations at once.
struct EventLog {
    const Clock* clock = nullptr;
    QStringList entries;

    void add(const QString& event)
    {
        entries << (clock ? QString::number(clock->monotonicNow().count()) + QLatin1Char(' ') + event : event);
    }
};

}  // namespace mendo
