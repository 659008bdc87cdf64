#include "shell/BuiltInDisplayBridge.h"

#include "desktop/BuiltInDisplayService.h"

namespace mendo {

BuiltInDisplayBridge::BuiltInDisplayBridge(BuiltInDisplayService& service)
    : m_service(service)
{
}

BuiltInDisplayBridge::~BuiltInDisplayBridge()
{
    QObject::disconnect(m_onChange);
}

bool BuiltInDisplayBridge::configureEnabled() const
{
    return m_service.configureEnabled();
}

std::optional<BuiltInDisplaySwitch::DisplayId> BuiltInDisplayBridge::disabledDisplayID() const
{
    return m_service.disabledDisplayID();
}

std::optional<BuiltInDisplaySwitch::DisplayId> BuiltInDisplayBridge::activeBuiltInDisplay() const
{
    return m_service.activeBuiltInDisplay();
}

QList<BuiltInDisplaySwitch::DisplayId> BuiltInDisplayBridge::otherActiveDisplays(DisplayId excluding) const
{
    return m_service.otherActiveDisplays(excluding);
}

bool BuiltInDisplayBridge::isInMirrorSet(DisplayId display) const
{
    return m_service.isInMirrorSet(display);
}

void BuiltInDisplayBridge::disableBuiltIn()
{
    m_service.disableBuiltIn();
}

void BuiltInDisplayBridge::enableBuiltIn()
{
    m_service.enableBuiltIn();
}

void BuiltInDisplayBridge::setOnChange(std::function<void()> onChange)
{
    QObject::disconnect(m_onChange);
    if (onChange)
        m_onChange = QObject::connect(&m_service, &BuiltInDisplayService::onChange, std::move(onChange));
}

void BuiltInDisplayBridge::restoreAfterPreviousLaunch()
{
    m_service.restoreAfterPreviousLaunch();
}

}  // namespace mendo
