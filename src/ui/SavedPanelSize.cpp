#include "ui/SavedPanelSize.h"

#include "platform/UserDefaults.h"

#include <algorithm>

namespace mendo {

SavedPanelSize::SavedPanelSize(UserDefaults& defaults, QString keyPrefix, QSizeF minimum)
    : m_defaults(defaults)
    , m_prefix(std::move(keyPrefix))
    , m_minimum(minimum)
{
}

QString SavedPanelSize::widthKey() const
{
    return m_prefix + QStringLiteral(".width");
}

QString SavedPanelSize::heightKey() const
{
    return m_prefix + QStringLiteral(".height");
}

QSizeF SavedPanelSize::read(QSizeF fallback, QSizeF maximum) const
{
    const double width = m_defaults.number(widthKey());
    const double height = m_defaults.number(heightKey());
    // A missing or unreadable value reads as 0 and NaN fails every
    // comparison: both fall to the default.
    if (!(width >= m_minimum.width() && height >= m_minimum.height()))
        return fallback;
    return { std::min(width, maximum.width()), std::min(height, maximum.height()) };
}

void SavedPanelSize::save(QSizeF size)
{
    UserDefaults::Batch batch(m_defaults);
    m_defaults.set(widthKey(), std::max(size.width(), m_minimum.width()));
    m_defaults.set(heightKey(), std::max(size.height(), m_minimum.height()));
}

}  // namespace mendo
