#include "hotkeys/HotkeyServiceError.h"

namespace mendo {

QString HotkeyServiceError::description() const
{
    switch (m_kind) {
    case Kind::invalidHotkey:
        return QStringLiteral("Invalid hotkey: ") + m_text;
    case Kind::installFailed:
        return QStringLiteral("Could not install hotkey handler: ") + QString::number(m_status);
    case Kind::registerFailed:
        return QStringLiteral("Could not register ") + m_text + QStringLiteral(": ") + QString::number(m_status);
    }
    return {};
}

}  // namespace mendo
