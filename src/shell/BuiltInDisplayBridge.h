#pragma once

#include "desktop/BuiltInDisplaySwitch.h"
#include "shell/DesktopServiceHooks.h"

#include <QMetaObject>

namespace mendo {

class BuiltInDisplayService;

// The built-in display service as the tray menu and the application delegate
// reach it.
class BuiltInDisplayBridge final : public BuiltInDisplaySwitch, public BuiltInDisplayControl {
public:
    // `service` must outlive the bridge.
    explicit BuiltInDisplayBridge(BuiltInDisplayService& service);
    ~BuiltInDisplayBridge() override;

    bool configureEnabled() const override;
    std::optional<DisplayId> disabledDisplayID() const override;
    std::optional<DisplayId> activeBuiltInDisplay() const override;
    QList<DisplayId> otherActiveDisplays(DisplayId excluding) const override;
    bool isInMirrorSet(DisplayId display) const override;
    void disableBuiltIn() override;
    void enableBuiltIn() override;
    void setOnChange(std::function<void()> onChange) override;
    void restoreAfterPreviousLaunch() override;

private:
    BuiltInDisplayService& m_service;
    QMetaObject::Connection m_onChange;
};

}  // namespace mendo
