#pragma once

#include "fakes/EventLog.h"
#include "platform/SystemTransparency.h"

namespace mendo {

// The desktop's transparency wishes as the test stages them. With a log,
// each read of the reduce-transparency wish is logged as "surface read".
class FakeSystemTransparency final : public SystemTransparency {
public:
    FakeSystemTransparency() = default;
    explicit FakeSystemTransparency(EventLog& log)
        : m_log(&log)
    {
    }

    bool reduceTransparency() const override
    {
        if (m_log)
            m_log->add(QStringLiteral("surface read"));
        return reduce;
    }
    std::optional<QVariant> glassDiffusion() const override { return standard; }
    std::optional<QVariant> globalGlassDiffusion() const override { return global; }
    bool mayChange() const override { return changes; }

    bool reduce = false;
    bool changes = true;
    std::optional<QVariant> standard, global;

private:
    EventLog* m_log = nullptr;
};

}  // namespace mendo
