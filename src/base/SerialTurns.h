#pragma once

#include <coroutine>
#include <deque>

namespace mendo {

// Runs the calls of one service one at a time on the main thread: a call that
// starts while another is under way waits, in arrival order, until that one
// has finished. Coroutines otherwise interleave at every co_await.
//
// `Turn turn = co_await turns.acquire();` holds the service until `turn` goes
// out of scope.
class SerialTurns {
public:
    class Turn {
    public:
        explicit Turn(SerialTurns* owner)
            : m_owner(owner)
        {
        }
        Turn(Turn&& other) noexcept
            : m_owner(other.m_owner)
        {
            other.m_owner = nullptr;
        }
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;
        Turn& operator=(Turn&&) = delete;
        ~Turn()
        {
            if (m_owner)
                m_owner->release();
        }

    private:
        SerialTurns* m_owner;
    };

    class Awaiter {
    public:
        explicit Awaiter(SerialTurns& owner)
            : m_owner(owner)
        {
        }
        bool await_ready() const noexcept
        {
            if (m_owner.m_busy)
                return false;
            m_owner.m_busy = true;
            return true;
        }
        void await_suspend(std::coroutine_handle<> handle) { m_owner.m_waiting.push_back(handle); }
        // Ownership passes directly from the releasing borrow to this one.
        Turn await_resume() noexcept { return Turn(&m_owner); }

    private:
        SerialTurns& m_owner;
    };

    SerialTurns() = default;
    SerialTurns(const SerialTurns&) = delete;
    SerialTurns& operator=(const SerialTurns&) = delete;

    Awaiter acquire() { return Awaiter(*this); }
    bool isBusy() const { return m_busy; }

private:
    void release()
    {
        if (m_waiting.empty()) {
            m_busy = false;
            return;
        }
        std::coroutine_handle<> next = m_waiting.front();
        m_waiting.pop_front();
        next.resume();
    }

    bool m_busy = false;
    std::deque<std::coroutine_handle<>> m_waiting;
};

}  // namespace mendo
