#pragma once

#include "app/AppStateFollower.h"
#include "base/Clock.h"
#include "engine/ClipboardSuppression.h"

#include <QString>
#include <optional>

namespace mendo {

class Pasteboard;

// The clipboard history. So far it holds what keeps the pasteboard service's
// own traffic out of the history: the suppression deadline and the last
// pasteboard state it has seen. Attaching it to the application state makes
// it follow the settings (the history's limits live there).
class ClipboardHistoryService : public AppStateFollower, public ClipboardSuppression {
    Q_OBJECT
public:
    ClipboardHistoryService(Clock& clock, Pasteboard& pasteboard, QObject* parent = nullptr);

    void suppressCapture(double seconds) override;
    void finishTransientPasteboardUse() override;

    // Whether a pasteboard change seen now must not become an entry.
    bool isCaptureSuppressed() const;

    // Monotonic; absent when no suppression was ever asked for or it ended.
    const std::optional<Millis>& suppressUntil() const { return m_suppressUntil; }
    qint64 lastChangeCount() const { return m_lastChangeCount; }
    const QString& lastText() const { return m_lastText; }

private:
    Clock& m_clock;
    Pasteboard& m_pasteboard;
    std::optional<Millis> m_suppressUntil;
    qint64 m_lastChangeCount = 0;
    QString m_lastText;
};

}  // namespace mendo
