#pragma once

#include "platform/GlobalInputMonitor.h"

#include <map>

namespace mendo {

// Delivers what a test sends to the monitors installed for its type.
class FakeGlobalInputMonitor final : public GlobalInputMonitor {
public:
    int addMonitor(GlobalInputEvent::Types types, Handler handler) override
    {
        m_monitors[++m_next] = { types, std::move(handler) };
        return m_next;
    }
    void removeMonitor(int token) override { m_monitors.erase(token); }

    void send(const GlobalInputEvent& event)
    {
        auto monitors = m_monitors;  // a handler may remove itself
        for (auto& [token, monitor] : monitors) {
            if (monitor.first.testFlag(event.type))
                monitor.second(event);
        }
    }
    void send(GlobalInputEvent::Type type) { send(GlobalInputEvent { type, {}, {}, 0 }); }
    int installed() const { return int(m_monitors.size()); }

private:
    std::map<int, std::pair<GlobalInputEvent::Types, Handler>> m_monitors;
    int m_next = 0;
};

}  // namespace mendo
