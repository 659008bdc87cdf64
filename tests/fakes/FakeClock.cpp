#include "fakes/FakeClock.h"

#include <QTimeZone>

namespace mendo {

struct FakeClock::Entry {
    std::function<void()> callback;
    Millis interval{0};  // 0: single shot
    bool active = true;
};

namespace {

class FakeTimer final : public Timer {
public:
    explicit FakeTimer(std::shared_ptr<FakeClock::Entry> entry) : m_entry(std::move(entry)) {}
    ~FakeTimer() override { cancel(); }
    void cancel() override;
    bool isActive() const override;

private:
    std::weak_ptr<FakeClock::Entry> m_entry;
};

}  // namespace

FakeClock::FakeClock(QDateTime wallStart) : m_wallStart(std::move(wallStart)) {}

FakeClock::~FakeClock() = default;

std::unique_ptr<Timer> FakeClock::singleShot(Millis delay, std::function<void()> callback)
{
    return schedule(delay, Millis(0), std::move(callback));
}

std::unique_ptr<Timer> FakeClock::repeating(Millis interval, std::function<void()> callback)
{
    return schedule(interval, std::max(interval, Millis(1)), std::move(callback));
}

std::unique_ptr<Timer> FakeClock::schedule(Millis delay, Millis interval, std::function<void()> callback)
{
    auto entry = std::make_shared<Entry>();
    entry->callback = std::move(callback);
    entry->interval = interval;
    m_queue.emplace(std::make_pair(m_now + std::max(delay, Millis(0)), m_sequence++), entry);
    return std::make_unique<FakeTimer>(entry);
}

void FakeClock::advance(Millis by)
{
    const Millis target = m_now + std::max(by, Millis(0));
    while (!m_queue.empty()) {
        auto first = m_queue.begin();
        if (first->first.first > target)
            break;
        std::shared_ptr<Entry> entry = first->second;
        m_now = first->first.first;
        m_queue.erase(first);
        if (!entry->active)
            continue;
        if (entry->interval > Millis(0))
            m_queue.emplace(std::make_pair(m_now + entry->interval, m_sequence++), entry);
        else
            entry->active = false;
        auto callback = entry->callback;
        callback();
    }
    m_now = target;
}

int FakeClock::pendingTimers() const
{
    int count = 0;
    for (const auto& [key, entry] : m_queue)
        if (entry->active)
            ++count;
    return count;
}

void FakeTimer::cancel()
{
    if (auto entry = m_entry.lock())
        entry->active = false;
}

bool FakeTimer::isActive() const
{
    auto entry = m_entry.lock();
    return entry && entry->active;
}

}  // namespace mendo
