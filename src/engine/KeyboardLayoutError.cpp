#include "engine/KeyboardLayoutError.h"

namespace mendo {

QString KeyboardLayoutError::description() const
{
    switch (m_case) {
    case Case::layoutNotFound:
        return QStringLiteral("Keyboard layout not found: ") + m_name;
    case Case::switchFailed:
        return QStringLiteral("Could not switch keyboard layout to ") + m_name + QStringLiteral(": ")
            + QString::number(m_status);
    }
    return {};
}

}  // namespace mendo
