#pragma once

#include "base/Error.h"

namespace mendo {

class HotkeyServiceError final : public MendoError {
public:
    enum class Kind { invalidHotkey, installFailed, registerFailed };

    static HotkeyServiceError invalidHotkey(QString text) { return {Kind::invalidHotkey, std::move(text), 0}; }
    static HotkeyServiceError installFailed(int status) { return {Kind::installFailed, {}, status}; }
    static HotkeyServiceError registerFailed(QString text, int status)
    {
        return {Kind::registerFailed, std::move(text), status};
    }

    Kind kind() const { return m_kind; }
    QString description() const override;

private:
    HotkeyServiceError(Kind kind, QString text, int status) : m_kind(kind), m_text(std::move(text)), m_status(status)
    {
    }

    Kind m_kind;
    QString m_text;  // the hotkey text as stored
    int m_status;
};

}  // namespace mendo
