#pragma once

#include "platform/SystemTransparency.h"

namespace mendo {

// The desktop's transparency wishes as the test stages them.
class FakeSystemTransparency final : public SystemTransparency {
public:
    bool reduceTransparency() const override { return reduce; }
    std::optional<QVariant> glassDiffusion() const override { return standard; }
    std::optional<QVariant> globalGlassDiffusion() const override { return global; }

    bool reduce = false;
    std::optional<QVariant> standard, global;
};

}  // namespace mendo
