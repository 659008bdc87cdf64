#include "app/ActionDriver.h"

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "app/TextActionEngine.h"
#include "base/BiText.h"
#include "base/SystemLog.h"
#include "base/Text.h"
#include "engine/FocusedTextAccess.h"
#include "engine/KeyboardLayoutService.h"

#include <QPointer>

namespace mendo {

namespace {

const QString layoutId = QStringLiteral("layout");

// Ends the run when the state went away while it waited.
class StateGone : public std::exception { };

}  // namespace

struct ActionDriver::Run {
    QuickAction action;
    bool pasteResult = false;
    // The quick layout fix from a hotkey or the panel shows no status until
    // it ends.
    bool silent = false;
    bool updateSampleText = false;
    QPointer<MendoAppState> state;
    // The window the selection is read from and the result pasted into.
    std::optional<RunningApplication> source;

    void ensureAlive() const
    {
        if (!state)
            throw StateGone();
    }
};

ActionDriver::ActionDriver(MendoAppState& state, Services services)
    : m_state(state)
    , m_services(services)
{
}

void ActionDriver::setRunning(const QString& en, const QString& ru)
{
    m_state.setStatus(ActionStatus::running(pick(m_state.settings().uiLanguage, en, ru)));
}

QString ActionDriver::sourceKey(const std::optional<RunningApplication>& source)
{
    if (!source)
        return QStringLiteral("front");
    if (source->window)
        return QStringLiteral("window %1").arg(source->window);
    return QStringLiteral("%1 %2").arg(source->bundleIdentifier).arg(source->processIdentifier);
}

void ActionDriver::run(const QuickAction& action, bool pasteResult, bool updateSampleText)
{
    Run run { action, pasteResult, pasteResult && action.id == layoutId, updateSampleText, &m_state, std::nullopt };
    if (pasteResult) {
        run.source = m_services.selection.selectionSource();
        const QString key = sourceKey(run.source);
        if (m_pastingSources.contains(key)) {
            if (m_services.log)
                m_services.log->write(
                    QStringLiteral("%1 not started: another action is pasting into the same window").arg(action.id));
            return;
        }
        m_pastingSources.insert(key);
    }
    if (!run.silent) {
        const QString title = m_state.title(action);
        setRunning(title + QStringLiteral(" running"), QStringLiteral("Выполняю: ") + title);
    }
    detach(runTask(std::move(run)));
}

Task<> ActionDriver::runTask(Run run)
{
    // However the run ends, its window is free for the next one (the driver
    // is gone with the state).
    struct PastingRelease {
        const Run& run;
        ActionDriver& driver;
        ~PastingRelease()
        {
            if (run.pasteResult && run.state)
                driver.m_pastingSources.remove(sourceKey(run.source));
        }
    } release { run, *this };
    try {
        QString input;
        bool readThroughAccessibility = false;
        if (run.pasteResult && !run.silent) {
            setRunning(QStringLiteral("Reading selection"), QStringLiteral("Читаю выделение"));
            static const QStringList noSelectAll { QStringLiteral("ai"), QStringLiteral("clipboard"), layoutId };
            const bool selectAll = m_state.settings().autoSelectAllBeforeAction && !noSelectAll.contains(run.action.id);
            input = co_await m_services.selection.readSelectedTextTransient(
                selectAll, true, PasteboardTiming::standard(), run.source);
            run.ensureAlive();
        } else if (run.silent) {
            const QString selected = m_services.focusedText.selectedTextForLayout();
            if (text::isBlank(selected)) {
                input = co_await m_services.selection.readSelectedTextTransient(
                    false, false, PasteboardTiming::quick(), run.source);
                run.ensureAlive();
            } else {
                input = selected;
                readThroughAccessibility = true;
            }
        } else {
            input = m_state.sampleText();
        }

        const QString targetLanguage = m_state.targetLanguage();
        if (!run.silent)
            m_state.setStatus(ActionStatus::running(run.action.title() + QStringLiteral(" running")));

        if (run.action.id == layoutId)
            co_await layoutRoad(run, std::move(input), readThroughAccessibility);
        else
            co_await engineRoad(run, std::move(input), targetLanguage);
    } catch (const StateGone&) {
    } catch (const std::exception& e) {
        if (run.state)
            m_state.setStatus(ActionStatus::failed(describeException(e)));
    }
}

Task<> ActionDriver::layoutRoad(const Run& run, QString input, bool readThroughAccessibility)
{
    const KeyboardLayoutFixResult fixed = m_services.layouts.fix(input, m_state.settings());
    // Recorded before pasting, as on the engine road: a paste that fails
    // (its window closed meanwhile) leaves the text to be taken from there.
    m_state.setLatestOutput(fixed.text);
    if (run.updateSampleText)
        m_state.setSampleText(fixed.text);
    QString message = fixed.text;
    if (run.pasteResult) {
        if (!run.silent) {
            setRunning(QStringLiteral("Pasting"), QStringLiteral("Вставляю"));
            co_await m_services.selection.pasteTransient(fixed.text, run.source, PasteboardTiming::standard());
        } else if (!readThroughAccessibility || !m_services.selection.replaceSelectedTextViaAccessibility(fixed.text)) {
            co_await m_services.selection.pasteTransient(fixed.text, run.source, PasteboardTiming::quick());
        }
        run.ensureAlive();

        const UiLanguage language = m_state.settings().uiLanguage;
        message = pick(language, QStringLiteral("Keyboard layout fixed"), QStringLiteral("Раскладка исправлена"));
        if (m_state.settings().layoutAutoSwitch && fixed.targetLayout) {
            try {
                m_services.layouts.switchLayout(*fixed.targetLayout);
                message += QStringLiteral(" · ") + *fixed.targetLayout;
            } catch (const std::exception&) {
                // The text is fixed; staying in the current layout is no failure.
            }
        }
    }
    m_state.setStatus(run.silent ? ActionStatus::idle() : ActionStatus::done(message));
}

Task<> ActionDriver::engineRoad(const Run& run, QString input, QString targetLanguage)
{
    const QString result
        = co_await m_services.engine.run(run.action, input, std::move(targetLanguage), m_state.promptStyles());
    run.ensureAlive();

    // Recorded before pasting: a failed paste must not lose an answer the
    // service already gave.
    m_state.setLatestOutput(result);
    if (run.updateSampleText)
        m_state.setSampleText(result);
    if (!run.pasteResult) {
        m_state.setStatus(ActionStatus::done(result));
        co_return;
    }

    setRunning(QStringLiteral("Pasting"), QStringLiteral("Вставляю"));
    co_await m_services.selection.pasteTransient(
        withSelectionWhitespace(input, result), run.source, PasteboardTiming::standard());
    run.ensureAlive();
    m_state.setStatus(
        ActionStatus::done(pick(m_state.settings().uiLanguage, QStringLiteral("Pasted"), QStringLiteral("Вставлено"))));
}

QString ActionDriver::withSelectionWhitespace(const QString& selection, const QString& result)
{
    const QString core = text::trimmed(selection);
    if (core.isEmpty() || result.isEmpty())
        return result;
    // The trimmed text starts with a non-blank, so its first occurrence is
    // right after the leading blanks.
    const qsizetype leading = selection.indexOf(core);
    const QString before = selection.left(leading);
    const QString after = selection.mid(leading + core.size());
    const QString resultCore = text::trimmed(result);
    const bool resultHasLeading = !result.startsWith(resultCore);
    const bool resultHasTrailing = !result.endsWith(resultCore);
    return (resultHasLeading ? QString() : before) + result + (resultHasTrailing ? QString() : after);
}

}  // namespace mendo
