#pragma once

#include <QWidgetList>

namespace mendo {

// Whether the application shows up among the user's running programs: with
// `regular` its main windows have taskbar entries, with `accessory` MendoAI
// lives in the tray only.
enum class ActivationPolicy { regular, accessory };

// The application-wide facilities the delegate and the presenter need, so that
// tests can give them a window list and watch the policy.
class ApplicationControl {
public:
    virtual ~ApplicationControl() = default;

    // The application's top-level windows, hidden ones included.
    virtual QWidgetList windows() const = 0;
    virtual ActivationPolicy activationPolicy() const = 0;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    // Makes MendoAI the application the user works with.
    virtual void activate() = 0;
};

// The real application: Qt's top-level widgets, and the policy applied as the
// taskbar state of every main window.
class QtApplicationControl final : public ApplicationControl {
public:
    QWidgetList windows() const override;
    ActivationPolicy activationPolicy() const override { return m_policy; }
    void setActivationPolicy(ActivationPolicy policy) override;
    void activate() override;

private:
    ActivationPolicy m_policy = ActivationPolicy::regular;
};

}  // namespace mendo
