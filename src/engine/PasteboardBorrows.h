#pragma once

#include <coroutine>
#include <deque>

namespace mendo {

// Serialises borrows of the pasteboard: a borrow that starts while another is
// under way waits, in arrival order, until that one has given the pasteboard
// back. Two interleaved borrows would each save the other's temporary
// contents as "the user's clipboard" and restore that, losing the real one.
//
// Main thread only. `Borrow borrow = co_await borrows.acquire();` holds the
// pasteboard until `borrow` goes out of scope.
class PasteboardBorrows {
public:
    class Borrow {
    public:
        explicit Borrow(PasteboardBorrows* owner) : m_owner(owner) {}
        Borrow(Borrow&& other) noexcept : m_owner(other.m_owner) { other.m_owner = nullptr; }
        Borrow(const Borrow&) = delete;
        Borrow& operator=(const Borrow&) = delete;
        Borrow& operator=(Borrow&&) = delete;
        ~Borrow()
        {
            if (m_owner)
                m_owner->release();
        }

    private:
        PasteboardBorrows* m_owner;
    };

    class Awaiter {
    public:
        explicit Awaiter(PasteboardBorrows& owner) : m_owner(owner) {}
        bool await_ready() const noexcept
        {
            if (m_owner.m_busy)
                return false;
            m_owner.m_busy = true;
            return true;
        }
        void await_suspend(std::coroutine_handle<> handle) { m_owner.m_waiting.push_back(handle); }
        // Ownership passes directly from the releasing borrow to this one.
        Borrow await_resume() noexcept { return Borrow(&m_owner); }

    private:
        PasteboardBorrows& m_owner;
    };

    PasteboardBorrows() = default;
    PasteboardBorrows(const PasteboardBorrows&) = delete;
    PasteboardBorrows& operator=(const PasteboardBorrows&) = delete;

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
