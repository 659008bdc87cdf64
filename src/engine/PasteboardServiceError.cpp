#include "engine/PasteboardServiceError.h"

namespace mendo {

QString PasteboardServiceError::message(Code code)
{
    switch (code) {
    case emptyText:
        return QStringLiteral("Nothing to paste.");
    case emptySelection:
        return QStringLiteral("No selected text.");
    case missingAccessibilityPermission:
        return QStringLiteral("Accessibility permission is required for paste.");
    case pasteTargetUnavailable:
        return QStringLiteral("No app to paste into.");
    case pasteEditorUnavailable:
        return QStringLiteral("No editable field found in the target app.");
    case pasteNotApplied:
        return QStringLiteral("The paste shortcut was sent, but the field did not change.");
    case pasteEventFailed:
        return QStringLiteral("Could not send paste shortcut.");
    case copyEventFailed:
        return QStringLiteral("Could not send copy shortcut.");
    }
    return {};
}

}  // namespace mendo
