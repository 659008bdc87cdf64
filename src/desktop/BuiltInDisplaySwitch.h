#pragma once

#include <QList>
#include <functional>
#include <optional>

namespace mendo {

// What the tray menu reads of the built-in display switch and asks of it.
// Displays are named by their RandR output ids.
class BuiltInDisplaySwitch {
public:
    using DisplayId = quint32;

    virtual ~BuiltInDisplaySwitch() = default;

    // Whether the switch found its way to turn displays off and on here.
    virtual bool configureEnabled() const = 0;
    // The built-in display this switch turned off, if any.
    virtual std::optional<DisplayId> disabledDisplayID() const = 0;
    // The first active display that is built in.
    virtual std::optional<DisplayId> activeBuiltInDisplay() const = 0;
    virtual QList<DisplayId> otherActiveDisplays(DisplayId excluding) const = 0;
    virtual bool isInMirrorSet(DisplayId display) const = 0;

    virtual void disableBuiltIn() = 0;
    virtual void enableBuiltIn() = 0;
    // Called after the switch turned the built-in display off or on; one
    // callback, a later one replaces it.
    virtual void setOnChange(std::function<void()> onChange) = 0;
};

}  // namespace mendo
