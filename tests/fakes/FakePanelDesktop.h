#pragma once

#include "platform/PanelDesktop.h"

#include <QList>

namespace mendo {

// One 1440 x 900 monitor with a 25-pixel dock along its top, unless a test
// sets others.
class FakePanelDesktop final : public PanelDesktop {
public:
    QList<MonitorFrame> monitors() override { return screens; }
    QPoint pointerPosition() override { return pointer; }
    bool compositorRunning() override { return compositor; }
    void keepOnEveryDesktop(PanelWindowId window) override { keptOnEveryDesktop << window; }
    void activate(PanelWindowId window) override { activated << window; }

    QList<MonitorFrame> screens { { QRect(0, 0, 1440, 900), QRect(0, 25, 1440, 875), true } };
    QPoint pointer { 700, 400 };
    bool compositor = false;
    QList<PanelWindowId> keptOnEveryDesktop;
    QList<PanelWindowId> activated;
};

}  // namespace mendo
