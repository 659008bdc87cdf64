#pragma once

#include "desktop/WindowTilingService.h"
#include "platform/GlobalInputMonitor.h"

#include <QObject>

#include <optional>

namespace mendo {

class UserDefaults;

// Alt+drag of one window onto another exchanges their frames. The desktop's
// own Alt+drag (or a title-bar drag with Alt held) moves the window; this
// watches the left button's press and release around it and, when the
// window has moved more than a few pixels, swaps it with the window it was
// dropped on. Switched off with window tiling. Main thread.
class WindowDragSwapMonitor final : public QObject {
    Q_OBJECT
public:
    // A drag of at most this many pixels in both directions is a click.
    static constexpr int dragThreshold = 10;

    WindowDragSwapMonitor(GlobalInputMonitor& input, UserDefaults& defaults, WindowTilingService& tiling,
        QObject* parent = nullptr);
    ~WindowDragSwapMonitor() override;

    // Installs the monitor; once is enough, a second call does nothing.
    void start();

private:
    void handle(GlobalInputEvent::Type type, bool option, QPoint point);
    bool enabled() const;

    GlobalInputMonitor& m_input;
    UserDefaults& m_defaults;
    WindowTilingService& m_tiling;
    int m_monitor = 0;
    // Set while an Alt+press on a window is being followed.
    std::optional<WindowTilingService::PointedWindow> m_dragStart;
};

}  // namespace mendo
