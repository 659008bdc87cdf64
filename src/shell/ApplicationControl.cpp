#include "shell/ApplicationControl.h"

#include "shell/ShellWindows.h"
#include "platform/x11/X11WindowHints.h"

#include <QApplication>
#include <QWidget>

namespace mendo {

QWidgetList QtApplicationControl::windows() const
{
    return QApplication::topLevelWidgets();
}

namespace {

// What was last asked of the window manager for a window, so that the
// once-a-second policy check sends nothing while nothing changes.
const char* const kSkipTaskbarProperty = "mendoSkipsTaskbar";

}  // namespace

void QtApplicationControl::setActivationPolicy(ActivationPolicy policy)
{
    m_policy = policy;
    const bool skip = policy == ActivationPolicy::accessory;
    for (QWidget* window : windows()) {
        if (!isMainWindow(window) || !window->windowHandle())
            continue;
        const QVariant asked = window->property(kSkipTaskbarProperty);
        if (asked.isValid() && asked.toBool() == skip)
            continue;
        // A hidden window is only ever put back on the taskbar (see
        // setSkipTaskbar); the wish to leave it waits until it is shown.
        if (skip && !window->isVisible())
            continue;
        x11::setSkipTaskbar(window->windowHandle(), skip);
        window->setProperty(kSkipTaskbarProperty, skip);
    }
}

void QtApplicationControl::activate()
{
    // On X11 a window, not an application, is activated: the presenter
    // activates the main window it brings forward.
}

}  // namespace mendo
