#include "base/Error.h"

namespace mendo {

const char* MendoError::what() const noexcept
{
    try {
        m_what = description().toStdString();
    } catch (...) {
        return "MendoError";
    }
    return m_what.c_str();
}

QString describeException(const std::exception& e)
{
    if (auto* mendoError = dynamic_cast<const MendoError*>(&e))
        return mendoError->description();
    return QString::fromUtf8(e.what());
}

}  // namespace mendo
