#pragma once

#include <QVariant>
#include <optional>

namespace mendo {

// The desktop's own wishes about translucent surfaces: whether the user asked
// for less transparency, and the glass-diffusion setting as the application's
// defaults and the desktop-wide defaults hold it. Values come back exactly as
// stored (any type), so the reader decides what counts as an integer.
class SystemTransparency {
public:
    virtual ~SystemTransparency() = default;

    virtual bool reduceTransparency() const = 0;
    // The key "NSGlassDiffusionSetting" in the application's standard defaults.
    virtual std::optional<QVariant> glassDiffusion() const = 0;
    // The same key in the desktop-wide defaults domain.
    virtual std::optional<QVariant> globalGlassDiffusion() const = 0;
    // Whether the wishes may change while MendoAI runs. Nothing announces a
    // change, so wishes that may change are polled.
    virtual bool mayChange() const { return true; }
};

// X11 desktops have neither setting: nothing is ever set, so surfaces resolve
// to translucent (and are drawn opaque anyway when no compositor runs).
class UnsetSystemTransparency final : public SystemTransparency {
public:
    bool reduceTransparency() const override { return false; }
    std::optional<QVariant> glassDiffusion() const override { return std::nullopt; }
    std::optional<QVariant> globalGlassDiffusion() const override { return std::nullopt; }
    bool mayChange() const override { return false; }
};

}  // namespace mendo
