#include "clipboard/ClipboardHistoryService.h"

#include "base/Text.h"
#include "platform/Pasteboard.h"

#include <cmath>

namespace mendo {

ClipboardHistoryService::ClipboardHistoryService(Clock& clock, Pasteboard& pasteboard, QObject* parent)
    : AppStateFollower(parent), m_clock(clock), m_pasteboard(pasteboard), m_lastChangeCount(pasteboard.changeCount())
{
}

void ClipboardHistoryService::suppressCapture(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return;
    const Millis until = m_clock.monotonicNow() + Millis(std::llround(seconds * 1000));
    if (!m_suppressUntil || until > *m_suppressUntil)
        m_suppressUntil = until;
}

void ClipboardHistoryService::finishTransientPasteboardUse()
{
    m_suppressUntil.reset();
    m_lastChangeCount = m_pasteboard.changeCount();
    if (std::optional<QString> current = m_pasteboard.string())
        m_lastText = text::trimmed(*current);
}

bool ClipboardHistoryService::isCaptureSuppressed() const
{
    return m_suppressUntil && m_clock.monotonicNow() < *m_suppressUntil;
}

}  // namespace mendo
