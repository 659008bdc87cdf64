#pragma once

#include "base/Async.h"
#include "engine/AIReplyEditorState.h"
#include "engine/PasteboardBorrows.h"
#include "engine/PasteboardTiming.h"
#include "platform/KeyboardEvents.h"
#include "platform/Workspace.h"

#include "base/Clock.h"

#include <QString>
#include <functional>
#include <optional>

namespace mendo {

class Clock;
class ClipboardSuppression;
class FocusService;
class FocusedTextAccess;
class Pasteboard;
struct PasteboardSnapshot;

// The one service that borrows the system pasteboard to move text between
// MendoAI and the application the user works in: it reads the selection by
// copying it out and pastes results back, each time giving the user's own
// clipboard back untouched. Borrows are serialised (PasteboardBorrows).
class PasteboardService {
public:
    PasteboardService(Clock& clock, Pasteboard& pasteboard, KeyboardEvents& keyboard, FocusService& focus,
                      ClipboardSuppression& clipboardHistory, FocusedTextAccess& focusedText);

    // Where terminals keep their selection; without it a terminal yields no
    // selection and pastes only through the clipboard.
    void setPrimarySelection(Pasteboard& primary) { m_primary = &primary; }

    // The window a selection read now would come from (FocusService).
    std::optional<RunningApplication> selectionSource() const;

    // The text selected in the remembered application, exactly as copied (not
    // trimmed). Throws PasteboardServiceError copyEventFailed or
    // emptySelection. In a terminal emulator nothing is typed: the text is
    // PRIMARY's, while the terminal's own client owns it.
    Task<QString> readSelectedTextTransient(
        bool selectAllBeforeCopy, bool includeFocusedTextFallback, PasteboardTiming timing);
    // The same from this window (brought to the front first) rather than the
    // remembered one.
    Task<QString> readSelectedTextTransient(bool selectAllBeforeCopy, bool includeFocusedTextFallback,
        PasteboardTiming timing, std::optional<RunningApplication> source);

    // Pastes `text` into the application with this id, or, without one, into
    // the remembered application. Throws PasteboardServiceError emptyText,
    // pasteTargetUnavailable or pasteEventFailed (also when the pasteboard
    // refused the text: then nothing is pasted).
    Task<> pasteTransient(QString text, std::optional<QString> targetBundleIdentifier, PasteboardTiming timing);
    // Pastes into exactly this window; pasteTargetUnavailable when it is gone
    // or does not come to the front, never another window of its program.
    Task<> pasteTransient(QString text, RunningApplication target, PasteboardTiming timing);

    // Pastes a chat reply into the reply editor of the process: activates it,
    // finds and focuses the editor, pastes, and checks that the editor
    // changed. Throws PasteboardServiceError emptyText,
    // pasteTargetUnavailable, pasteEditorUnavailable, pasteEventFailed or
    // pasteNotApplied; the reply-paste state of the focus memory is cleared
    // whatever the outcome.
    Task<> pasteAIReply(QString text, qint32 targetProcessIdentifier);

    // Writes `text` over the selection of the remembered application's focused
    // element without the pasteboard; false when that cannot be done (the
    // caller then pastes).
    bool replaceSelectedTextViaAccessibility(const QString& text);

    // The selected text of the remembered application, read through
    // accessibility; empty when it cannot be read.
    QString selectedTextViaAccessibility();
    // The same for the quiet layout fix: from the remembered process, and
    // empty for web content (the caller then copies instead).
    QString selectedTextForLayoutViaAccessibility();

    // The latest a paste waits for the target to fetch the text before the
    // pasteboard is given back, counted from the paste key.
    static constexpr Millis kFetchWaitLimit { 1300 };

private:
    struct PasteTarget;
    Task<> paste(QString text, PasteTarget target, PasteboardTiming timing);
    Task<bool> waitUntilFrontmost(WindowId window);
    Task<bool> write(std::function<bool()> attempt);
    Task<> restore(const PasteboardSnapshot& snapshot, Pasteboard& board);
    Task<> waitForPasteFetch(const Pasteboard& board, WindowId target, qint64 servedBefore, PasteboardTiming timing);

    Task<bool> waitForTargetActivation(qint32 processIdentifier);
    Task<bool> waitForAIReplyEditorFocus(qint32 processIdentifier);
    Task<bool> waitForAIReplyPasteConfirmation(std::optional<AIReplyEditorState> before);

    enum class Posting { Sent, Skipped, Failed };
    Posting sendShortcut(EditShortcut shortcut);
    Task<> waitForModifierKeysToClear();
    Task<QString> waitForCopiedText(qint64 milliseconds, std::function<QString()> read);
    Task<> pause(qint64 milliseconds);

    Clock& m_clock;
    Pasteboard& m_pasteboard;
    Pasteboard* m_primary = nullptr;
    KeyboardEvents& m_keyboard;
    FocusService& m_focus;
    ClipboardSuppression& m_clipboardHistory;
    FocusedTextAccess& m_focusedText;
    PasteboardBorrows m_borrows;
};

}  // namespace mendo
