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

    virtual Task<QString> readSelectedTextTransient(
        bool selectAllBeforeCopy, bool includeFocusedTextFallback, PasteboardTiming timing)
        = 0;
    virtual Task<> pasteTransient(QString text, std::optional<QString> targetBundleIdentifier, PasteboardTiming timing)
        = 0;
    virtual bool replaceSelectedTextViaAccessibility(const QString& text) = 0;
};

class PasteboardSelectionTransfer final : public SelectionTransfer {
public:
    explicit PasteboardSelectionTransfer(PasteboardService& pasteboard)
        : m_pasteboard(pasteboard)
    {
    }

    Task<QString> readSelectedTextTransient(
        bool selectAllBeforeCopy, bool includeFocusedTextFallback, PasteboardTiming timing) override
    {
        return m_pasteboard.readSelectedTextTransient(selectAllBeforeCopy, includeFocusedTextFallback, timing);
    }
    Task<> pasteTransient(QString text, std::optional<QString> targetBundleIdentifier, PasteboardTiming timing) override
    {
        return m_pasteboard.pasteTransient(std::move(text), std::move(targetBundleIdentifier), timing);
    }
    bool replaceSelectedTextViaAccessibility(const QString& text) override
    {
        return m_pasteboard.replaceSelectedTextViaAccessibility(text);
    }

private:
    PasteboardService& m_pasteboard;
};

}  // namespace mendo
