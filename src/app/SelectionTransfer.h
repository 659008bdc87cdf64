#pragma once

#include "base/Async.h"
#include "engine/PasteboardService.h"
#include "engine/PasteboardTiming.h"

#include <QString>
#include <optional>

namespace mendo {

// How the action driver takes the selection out of the application the user
// works in and puts a result back. The pasteboard service does it in the
// application; tests script it.
class SelectionTransfer {
public:
    virtual ~SelectionTransfer() = default;

    // The window a read now would come from; nothing when no application
    // other than MendoAI is known.
    virtual std::optional<RunningApplication> selectionSource() = 0;
    // Reads from `source`, or without one from the remembered application.
    virtual Task<QString> readSelectedTextTransient(bool selectAllBeforeCopy, bool includeFocusedTextFallback,
        PasteboardTiming timing, std::optional<RunningApplication> source)
        = 0;
    // Pastes into exactly `target` (failing when it is gone), or without one
    // into the remembered application.
    virtual Task<> pasteTransient(QString text, std::optional<RunningApplication> target, PasteboardTiming timing) = 0;
    virtual bool replaceSelectedTextViaAccessibility(const QString& text) = 0;
};

class PasteboardSelectionTransfer final : public SelectionTransfer {
public:
    explicit PasteboardSelectionTransfer(PasteboardService& pasteboard)
        : m_pasteboard(pasteboard)
    {
    }

    std::optional<RunningApplication> selectionSource() override { return m_pasteboard.selectionSource(); }
    Task<QString> readSelectedTextTransient(bool selectAllBeforeCopy, bool includeFocusedTextFallback,
        PasteboardTiming timing, std::optional<RunningApplication> source) override
    {
        return m_pasteboard.readSelectedTextTransient(
            selectAllBeforeCopy, includeFocusedTextFallback, timing, std::move(source));
    }
    Task<> pasteTransient(QString text, std::optional<RunningApplication> target, PasteboardTiming timing) override
    {
        if (target)
            return m_pasteboard.pasteTransient(std::move(text), std::move(*target), timing);
        return m_pasteboard.pasteTransient(std::move(text), std::optional<QString>(), timing);
    }
    bool replaceSelectedTextViaAccessibility(const QString& text) override
    {
        return m_pasteboard.replaceSelectedTextViaAccessibility(text);
    }

private:
    PasteboardService& m_pasteboard;
};

}  // namespace mendo
