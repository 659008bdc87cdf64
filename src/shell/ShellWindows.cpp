#include "shell/ShellWindows.h"

#include <QWidget>

namespace mendo {

bool isPanel(const QWidget* window)
{
    if (!window)
        return false;
    switch (window->windowType()) {
    case Qt::Tool:
    case Qt::ToolTip:
    case Qt::Popup:
    case Qt::SplashScreen:
        return true;
    default:
        return false;
    }
}

bool canBecomeMain(const QWidget* window)
{
    return window && window->isWindow() && window->windowType() == Qt::Window;
}

bool isMainWindow(const QWidget* window)
{
    return window && !isPanel(window) && canBecomeMain(window);
}

bool isVisibleMainWindow(const QWidget* window)
{
    return isMainWindow(window) && window->isVisible() && !window->isMinimized();
}

void configureMainWindowChrome(QWidget* window)
{
    // The window manager draws the title bar on X11; the window keeps it so
    // that it can be moved, and only its title is ours.
    window->setWindowTitle(QStringLiteral("MendoAI"));
}

}  // namespace mendo
