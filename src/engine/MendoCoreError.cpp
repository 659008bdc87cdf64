#include "engine/MendoCoreError.h"

namespace mendo {

QString MendoCoreError::description() const
{
    return QStringLiteral("This action is not available natively yet: ") + m_name;
}

}  // namespace mendo
