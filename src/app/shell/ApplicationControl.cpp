#include "app/shell/ApplicationControl.h"

#include "app/shell/ShellWindows.h"
#include "platform/x11/X11WindowHints.h"

#include <QApplication>
#include <QWidget>

namespace mendo {

QWidgetList QtApplicationControl::windows() const
{
    return QApplication::topLevelWidgets();
}

void QtApplicationControl::setActivationPolicy(ActivationPolicy policy)
{
    m_policy = policy;
    for (QWidget* window : windows()) {
        if (isMainWindow(window) && window->windowHandle())
            x11::setSkipTaskbar(window->windowHandle(), policy == ActivationPolicy::accessory);
    }
}

void QtApplicationControl::activate()
{
    // On X11 a window, not an application, is activated: the presenter
    // activates the main window it brings forward.
}

}  // namespace mendo
