#pragma once

#include "model/QuickAction.h"
#include "base/Async.h"

#include "platform/Workspace.h"

#include <QSet>
#include <QString>
#include <optional>

namespace mendo {

class FocusedTextAccess;
class KeyboardLayoutService;
class MendoAppState;
class SelectionTransfer;
class SystemLog;
class TextActionEngine;

// Carries one text action from start to end: reads the text (the selection
// of the application the user works in, or the settings window's sample
// text), has it converted locally or rewritten by the engine, puts the result
// back and reports every stage in the application state's status. Runs are
// neither serialised nor cancelled; a later write wins. A result goes back
// into the window its text came from, and only one pasting run at a time
// works on a window.
class ActionDriver {
public:
    struct Services {
        SelectionTransfer& selection;
        FocusedTextAccess& focusedText;
        KeyboardLayoutService& layouts;
        TextActionEngine& engine;
        SystemLog* log = nullptr;
    };

    ActionDriver(MendoAppState& state, Services services);

    // Returns at once. `pasteResult` on: the selection is read and the result
    // pasted over it; off: the sample text is worked on and the result shown.
    // A pasting run is not started while another one works on the same
    // window: a second quick press would read the same selection and paste
    // the text twice.
    void run(const QuickAction& action, bool pasteResult, bool updateSampleText);

    // `result` with the blanks and line breaks that surrounded `selection`
    // put back on each side where the result has none of its own, so a
    // trimmed answer does not merge with the text around the selection.
    static QString withSelectionWhitespace(const QString& selection, const QString& result);

private:
    struct Run;
    Task<> runTask(Run run);
    Task<> layoutRoad(const Run& run, QString input, bool readThroughAccessibility);
    Task<> engineRoad(const Run& run, QString input, QString targetLanguage);
    void setRunning(const QString& en, const QString& ru);

    static QString sourceKey(const std::optional<RunningApplication>& source);

    MendoAppState& m_state;
    Services m_services;
    // The source windows of the pasting runs under way.
    QSet<QString> m_pastingSources;
};

}  // namespace mendo
