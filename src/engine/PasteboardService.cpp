#include "engine/PasteboardService.h"

#include "base/Clock.h"
#include "base/Text.h"
#include "engine/ClipboardSuppression.h"
#include "engine/FocusService.h"
#include "engine/FocusedTextAccess.h"
#include "engine/PasteboardServiceError.h"
#include "engine/PasteboardSnapshot.h"
#include "platform/Pasteboard.h"

namespace mendo {

namespace {

// How long the clipboard history ignores the pasteboard for one borrow; the
// finish call ends it earlier.
constexpr double kSuppressionSeconds = 3.5;
constexpr int kCopyAttempts = 3;
constexpr qint64 kCopyPollLimitMs = 120;
constexpr Millis kCopyPollStep{2};
constexpr int kModifierChecks = 16;
constexpr Millis kModifierPollStep{35};
constexpr int kActivationChecks = 45;
constexpr Millis kActivationPollStep{20};
constexpr int kEditorFocusChecks = 16;
constexpr Millis kEditorFocusPollStep{25};
constexpr int kConfirmationChecks = 60;
constexpr Millis kConfirmationPollStep { 20 };
constexpr Millis kFetchPollStep { 10 };
constexpr int kWriteRetries = 10;
constexpr Millis kWriteRetryStep { 5 };

}  // namespace

PasteboardService::PasteboardService(Clock& clock, Pasteboard& pasteboard, KeyboardEvents& keyboard,
                                     FocusService& focus, ClipboardSuppression& clipboardHistory,
                                     FocusedTextAccess& focusedText)
    : m_clock(clock)
    , m_pasteboard(pasteboard)
    , m_keyboard(keyboard)
    , m_focus(focus)
    , m_clipboardHistory(clipboardHistory)
    , m_focusedText(focusedText)
{
}

std::optional<RunningApplication> PasteboardService::selectionSource() const
{
    return m_focus.selectionSource();
}

Task<QString> PasteboardService::readSelectedTextTransient(
    bool selectAllBeforeCopy, bool includeFocusedTextFallback, PasteboardTiming timing)
{
    return readSelectedTextTransient(selectAllBeforeCopy, includeFocusedTextFallback, timing, std::nullopt);
}

Task<QString> PasteboardService::readSelectedTextTransient(bool selectAllBeforeCopy, bool includeFocusedTextFallback,
    PasteboardTiming timing, std::optional<RunningApplication> source)
{
    PasteboardBorrows::Borrow borrow = co_await m_borrows.acquire();

    m_clipboardHistory.suppressCapture(kSuppressionSeconds);
    // What the user had copied, to tell a clipboard manager's refill of the
    // emptied clipboard from a copy.
    const std::optional<QString> usersText = m_pasteboard.string();
    const PasteboardSnapshot snapshot = PasteboardSnapshot::capture(m_pasteboard);
    // Without any target the keys go to the application in front; with one
    // that cannot be brought back they would reach whatever is in front
    // instead (MendoAI's own window, say) and copy the wrong text.
    bool reachable = true;
    if (source)
        reachable = m_focus.activateWindow(*source);
    else if (m_focus.rememberedBundleIdentifier())
        reachable = m_focus.activateRemembered();

    bool cleared = false;
    QString copied;
    bool selectAllSent = false;
    bool ownWindowInFront = false;
    std::exception_ptr failure;
    try {
        if (reachable)
            co_await pause(timing.activationDelay);
        const WindowId focusedWindow = m_focus.frontmostWindow();
        ownWindowInFront = !reachable || m_focus.isOwnApplicationInFront();
        if (ownWindowInFront) {
            // Nothing is posted and the clipboard is left alone.
        } else if (m_keyboard.focusedEditingStyle() != EditingStyle::Standard) {
            // A terminal: its selection is on PRIMARY. Someone else's
            // selection there is not what the user selected in it.
            if (m_primary && m_primary->isOwnedByClientOf(focusedWindow))
                copied = m_primary->string().value_or(QString());
        } else {
            const auto copiedText = [&] {
                const QString text = m_pasteboard.string().value_or(QString());
                // Some clipboard managers put the old contents back as soon
                // as the clipboard is empty: when nothing was copied, that
                // refill is not a selection of the focused application.
                if (usersText && text == *usersText && focusedWindow != 0
                    && !m_pasteboard.isOwnedByClientOf(focusedWindow))
                    return QString();
                return text;
            };
            if (selectAllBeforeCopy) {
                if (timing.waitForModifiers)
                    co_await waitForModifierKeysToClear();
                const Posting posting = sendShortcut(EditShortcut::SelectAll);
                if (posting == Posting::Failed)
                    throw PasteboardServiceError(PasteboardServiceError::copyEventFailed);
                selectAllSent = posting == Posting::Sent;
                co_await pause(timing.selectAllDelay);
            }
            for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
                m_pasteboard.clearContents();
                cleared = true;
                if (timing.waitForModifiers)
                    co_await waitForModifierKeysToClear();
                if (sendShortcut(EditShortcut::Copy) == Posting::Failed)
                    throw PasteboardServiceError(PasteboardServiceError::copyEventFailed);
                if (timing.copyDelay == 0) {
                    copied = co_await waitForCopiedText(kCopyPollLimitMs, copiedText);
                } else {
                    co_await pause(timing.copyDelay + attempt * timing.copyRetryStep);
                    copied = copiedText();
                }
                if (!text::isBlank(copied))
                    break;
            }
        }
    } catch (...) {
        failure = std::current_exception();
    }
    // A clipboard that was never touched (a terminal's read) stays with its
    // owner.
    if (cleared)
        co_await restore(snapshot, m_pasteboard);
    m_clipboardHistory.finishTransientPasteboardUse();
    if (failure)
        std::rethrow_exception(failure);

    if (!text::isBlank(copied))
        co_return copied;

    if (includeFocusedTextFallback && !ownWindowInFront) {
        // The field's whole value stands for the selection only when
        // select-all went out first; otherwise pasting the result over the
        // (unselected) field would leave the original next to it.
        const FocusedText focused = m_focusedText.focusedText();
        QString fallback;
        if (focused.selectedText)
            fallback = *focused.selectedText;
        else if (selectAllSent && focused.value)
            fallback = *focused.value;
        if (!text::isBlank(fallback))
            co_return fallback;
    }
    throw PasteboardServiceError(PasteboardServiceError::emptySelection);
}

// Where a paste goes: a window that must still be there, an application id,
// or (neither) the remembered application.
struct PasteboardService::PasteTarget {
    std::optional<RunningApplication> window;
    std::optional<QString> bundleIdentifier;
};

Task<> PasteboardService::pasteTransient(
    QString text, std::optional<QString> targetBundleIdentifier, PasteboardTiming timing)
{
    return paste(std::move(text), PasteTarget { std::nullopt, std::move(targetBundleIdentifier) }, timing);
}

Task<> PasteboardService::pasteTransient(QString text, RunningApplication target, PasteboardTiming timing)
{
    return paste(std::move(text), PasteTarget { std::move(target), std::nullopt }, timing);
}

Task<> PasteboardService::paste(QString text, PasteTarget target, PasteboardTiming timing)
{
    if (text.isEmpty())
        throw PasteboardServiceError(PasteboardServiceError::emptyText);

    PasteboardBorrows::Borrow borrow = co_await m_borrows.acquire();

    m_clipboardHistory.suppressCapture(kSuppressionSeconds);
    const PasteboardSnapshot clipboardSnapshot = PasteboardSnapshot::capture(m_pasteboard);
    const bool activated = target.window ? m_focus.activateWindow(*target.window)
        : target.bundleIdentifier        ? m_focus.activate(*target.bundleIdentifier)
                                         : m_focus.activateRemembered();
    if (!activated) {
        m_clipboardHistory.finishTransientPasteboardUse();
        throw PasteboardServiceError(PasteboardServiceError::pasteTargetUnavailable);
    }

    co_await pause(timing.activationDelay);
    // The window manager may not have obeyed (or the window closed): the
    // text must not go into whatever is in front instead.
    if (target.window && !co_await waitUntilFrontmost(target.window->window)) {
        m_clipboardHistory.finishTransientPasteboardUse();
        throw PasteboardServiceError(PasteboardServiceError::pasteTargetUnavailable);
    }
    const WindowId targetWindow = m_focus.frontmostWindow();

    // A terminal without a clipboard paste key pastes PRIMARY, which is then
    // given back like the clipboard.
    Pasteboard* board = &m_pasteboard;
    std::optional<PasteboardSnapshot> primarySnapshot;
    if (m_primary && m_keyboard.focusedEditingStyle() == EditingStyle::TerminalPrimary) {
        board = m_primary;
        primarySnapshot = PasteboardSnapshot::capture(*m_primary);
    }
    const PasteboardSnapshot& snapshot = primarySnapshot ? *primarySnapshot : clipboardSnapshot;

    if (!co_await write([&] { return board->setString(text); })) {
        // The paste key would insert the user's own clipboard instead.
        m_clipboardHistory.finishTransientPasteboardUse();
        throw PasteboardServiceError(PasteboardServiceError::pasteEventFailed);
    }
    co_await pause(timing.pasteDelay);
    if (timing.waitForModifiers)
        co_await waitForModifierKeysToClear();
    const qint64 servedBefore = board->servedRequestCount(targetWindow);
    // The text stays on the pasteboard so the user can still paste it by
    // hand; the history's suppression runs out by itself.
    if (sendShortcut(EditShortcut::Paste) == Posting::Failed)
        throw PasteboardServiceError(PasteboardServiceError::pasteEventFailed);
    co_await waitForPasteFetch(*board, targetWindow, servedBefore, timing);

    // Whatever the user copied meanwhile is theirs now and stays.
    if (board->string() == text)
        co_await restore(snapshot, *board);
    m_clipboardHistory.finishTransientPasteboardUse();
}

Task<bool> PasteboardService::write(std::function<bool()> attempt)
{
    // Refused when another client took the pasteboard after the last event
    // this process read; the event loop reads it during the pause.
    for (int retry = 0; retry < kWriteRetries; ++retry) {
        if (attempt())
            co_return true;
        co_await m_clock.sleep(kWriteRetryStep);
    }
    co_return attempt();
}

Task<> PasteboardService::restore(const PasteboardSnapshot& snapshot, Pasteboard& board)
{
    co_await write([&] { return snapshot.restore(board); });
}

Task<bool> PasteboardService::waitUntilFrontmost(WindowId window)
{
    for (int check = 0; check < kActivationChecks; ++check) {
        if (m_focus.frontmostWindow() == window)
            co_return true;
        co_await m_clock.sleep(kActivationPollStep);
    }
    co_return m_focus.frontmostWindow() == window;
}

Task<> PasteboardService::waitForPasteFetch(
    const Pasteboard& board, WindowId target, qint64 servedBefore, PasteboardTiming timing)
{
    // An X11 paste is pulled: the target asks for the text only once it
    // handles the key, the slowest (Chromium and Electron fields) well after
    // a quick restore delay. Giving the clipboard back before that would
    // paste the user's old clipboard over the selection.
    const Millis pastedAt = m_clock.monotonicNow();
    co_await pause(timing.restoreDelay);
    while (board.servedRequestCount(target) == servedBefore && m_clock.monotonicNow() - pastedAt < kFetchWaitLimit)
        co_await m_clock.sleep(kFetchPollStep);
}

Task<> PasteboardService::pasteAIReply(QString text, qint32 targetProcessIdentifier)
{
    if (text.isEmpty())
        throw PasteboardServiceError(PasteboardServiceError::emptyText);

    PasteboardBorrows::Borrow borrow = co_await m_borrows.acquire();

    m_clipboardHistory.suppressCapture(kSuppressionSeconds);
    const PasteboardSnapshot snapshot = PasteboardSnapshot::capture(m_pasteboard);
    std::exception_ptr failure;
    try {
        if (!m_focus.beginAIReplyPaste(targetProcessIdentifier))
            throw PasteboardServiceError(PasteboardServiceError::pasteTargetUnavailable);
        if (!co_await waitForTargetActivation(targetProcessIdentifier))
            throw PasteboardServiceError(PasteboardServiceError::pasteTargetUnavailable);
        if (!co_await waitForAIReplyEditorFocus(targetProcessIdentifier))
            throw PasteboardServiceError(PasteboardServiceError::pasteEditorUnavailable);
        const std::optional<AIReplyEditorState> before = m_focus.replyEditorState();
        if (!co_await write([&] { return m_pasteboard.setString(text); }))
            throw PasteboardServiceError(PasteboardServiceError::pasteEventFailed);
        co_await waitForModifierKeysToClear();
        if (sendShortcut(EditShortcut::Paste) == Posting::Failed)
            throw PasteboardServiceError(PasteboardServiceError::pasteEventFailed);
        if (!co_await waitForAIReplyPasteConfirmation(before))
            throw PasteboardServiceError(PasteboardServiceError::pasteNotApplied);
    } catch (...) {
        failure = std::current_exception();
    }
    if (m_pasteboard.string() == text)
        co_await restore(snapshot, m_pasteboard);
    m_focus.clearReplyEditor();
    m_focus.setRestoringProcessIdentifier(std::nullopt);
    m_clipboardHistory.finishTransientPasteboardUse();
    if (failure)
        std::rethrow_exception(failure);
}

Task<bool> PasteboardService::waitForTargetActivation(qint32 processIdentifier)
{
    for (int check = 0; check < kActivationChecks; ++check) {
        if (m_focus.isFrontmost(processIdentifier))
            co_return true;
        co_await m_clock.sleep(kActivationPollStep);
    }
    co_return false;
}

Task<bool> PasteboardService::waitForAIReplyEditorFocus(qint32 processIdentifier)
{
    for (int check = 0; check < kEditorFocusChecks; ++check) {
        if (m_focus.focusAIReplyEditor(processIdentifier))
            co_return true;
        co_await m_clock.sleep(kEditorFocusPollStep);
    }
    co_return false;
}

Task<bool> PasteboardService::waitForAIReplyPasteConfirmation(std::optional<AIReplyEditorState> before)
{
    // Without anything to compare, a change cannot be seen.
    if (!before || (!before->value && !before->characterCount))
        co_return false;
    // Each check comes after its pause: right after the shortcut the editor
    // cannot have changed yet, and the target may first be fetching the
    // clipboard from this very process, which only the event loop serves.
    for (int check = 0; check < kConfirmationChecks; ++check) {
        co_await m_clock.sleep(kConfirmationPollStep);
        const std::optional<AIReplyEditorState> now = m_focus.replyEditorState();
        if (now && (now->value || now->characterCount)
            && (now->value != before->value || now->characterCount != before->characterCount))
            co_return true;
    }
    co_return false;
}

bool PasteboardService::replaceSelectedTextViaAccessibility(const QString& text)
{
    if (text.isEmpty())
        return false;
    return m_focusedText.replaceSelectedText(text);
}

QString PasteboardService::selectedTextViaAccessibility()
{
    return m_focusedText.selectedText();
}

QString PasteboardService::selectedTextForLayoutViaAccessibility()
{
    return m_focusedText.selectedTextForLayout();
}

PasteboardService::Posting PasteboardService::sendShortcut(EditShortcut shortcut)
{
    switch (m_keyboard.postShortcut(shortcut)) {
    case ShortcutResult::Posted:
        return Posting::Sent;
    case ShortcutResult::Skipped:
        return Posting::Skipped;
    case ShortcutResult::NotPermitted:
    case ShortcutResult::Failed:
        break;
    }
    return Posting::Failed;
}

Task<> PasteboardService::waitForModifierKeysToClear()
{
    constexpr Qt::KeyboardModifiers relevant = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier
        | Qt::MetaModifier;
    for (int check = 0; check < kModifierChecks; ++check) {
        if (!(m_keyboard.heldModifiers() & relevant))
            co_return;
        co_await m_clock.sleep(kModifierPollStep);
    }
    // Held too long: go on anyway, the posted events carry their own modifiers.
}

Task<QString> PasteboardService::waitForCopiedText(qint64 milliseconds, std::function<QString()> read)
{
    const Millis deadline = m_clock.monotonicNow() + Millis(milliseconds);
    for (;;) {
        const QString current = read();
        if (!text::isBlank(current) || m_clock.monotonicNow() >= deadline)
            co_return current;
        co_await m_clock.sleep(kCopyPollStep);
    }
}

Task<> PasteboardService::pause(qint64 milliseconds)
{
    if (milliseconds > 0)
        co_await m_clock.sleep(Millis(milliseconds));
}

}  // namespace mendo
