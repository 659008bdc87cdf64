#pragma once

#include "platform/InputMonitoring.h"

#include <QByteArray>

namespace mendo {

// Global input can be watched and keystrokes posted when the X server offers
// XTEST and XInput 2. Each question opens a short connection of its own to
// the display named (the default display when empty).
class X11InputMonitoring final : public InputMonitoring {
public:
    explicit X11InputMonitoring(QByteArray displayName = {})
        : m_displayName(std::move(displayName))
    {
    }

    bool inputMonitoringGranted() override;
    bool requestInputMonitoring() override { return inputMonitoringGranted(); }

private:
    QByteArray m_displayName;
};

}  // namespace mendo
