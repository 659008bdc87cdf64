#pragma once

#include "engine/ClipboardSuppression.h"
#include "fakes/EventLog.h"

namespace mendo {

// Logs the pasteboard service's calls to the clipboard history as
// "suppress 3.5" and "finish".
class RecordingClipboardSuppression final : public ClipboardSuppression {
public:
    void suppressCapture(double seconds) override
    {
        calls << QStringLiteral("suppress ") + QString::number(seconds);
        if (log)
            log->add(calls.last());
    }
    void finishTransientPasteboardUse() override
    {
        calls << QStringLiteral("finish");
        if (log)
            log->add(calls.last());
    }

    QStringList calls;
    EventLog* log = nullptr;
};

}  // namespace mendo
