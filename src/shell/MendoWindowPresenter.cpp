#include "shell/MendoWindowPresenter.h"

#include "shell/ApplicationControl.h"
#include "shell/ShellWindows.h"

#include <QWidget>
#include <algorithm>

namespace mendo {

MendoWindowPresenter::MendoWindowPresenter(ApplicationControl& application, Clock& clock)
    : m_application(application)
    , m_clock(clock)
{
}

MendoWindowPresenter::~MendoWindowPresenter() = default;

void MendoWindowPresenter::showMainWindow(const std::function<void()>& openWindow)
{
    m_application.setActivationPolicy(ActivationPolicy::regular);
    m_application.activate();
    if (showExistingMainWindow())
        return;
    if (openWindow)
        openWindow();
    std::erase_if(m_pending, [](const auto& timer) { return !timer->isActive(); });
    m_pending.push_back(m_clock.singleShot(Millis(0), [this] {
        m_application.setActivationPolicy(ActivationPolicy::regular);
        m_application.activate();
        showExistingMainWindow();
    }));
}

bool MendoWindowPresenter::showExistingMainWindow()
{
    const QWidgetList windows = m_application.windows();
    const auto found = std::find_if(windows.begin(), windows.end(), [](QWidget* w) { return isMainWindow(w); });
    if (found == windows.end())
        return false;
    QWidget* window = *found;
    configureMainWindowChrome(window);
    if (window->isMinimized())
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}

}  // namespace mendo
