#include "updates/AppUpdateClientError.h"

namespace mendo {

QString AppUpdateClientError::description() const
{
    switch (m_kind) {
    case Kind::invalidURL:
        return QStringLiteral("Update URL is invalid.");
    case Kind::server:
        return m_text;
    case Kind::unreadable:
        return QStringLiteral("The update answer could not be read.");
    }
    return {};
}

}  // namespace mendo
