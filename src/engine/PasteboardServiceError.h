#pragma once

#include "base/Error.h"

namespace mendo {

class PasteboardServiceError : public MendoError {
public:
    enum Code {
        emptyText,
        emptySelection,
        missingAccessibilityPermission,
        pasteTargetUnavailable,
        pasteEditorUnavailable,
        pasteNotApplied,
        pasteEventFailed,
        copyEventFailed,
    };

    explicit PasteboardServiceError(Code code) : m_code(code) {}

    Code code() const { return m_code; }
    // The English message shown to the user as it stands.
    QString description() const override { return message(m_code); }
    static QString message(Code code);

    bool operator==(const PasteboardServiceError& other) const { return m_code == other.m_code; }

private:
    Code m_code;
};

}  // namespace mendo
