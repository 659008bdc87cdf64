#include "clipboard/ClipboardDates.h"

#include <cmath>

namespace mendo::clipboard_dates {

namespace {
constexpr double kSecondsFrom1970To2001 = 978307200.0;
}

double toStored(const QDateTime& date)
{
    return double(date.toMSecsSinceEpoch()) / 1000.0 - kSecondsFrom1970To2001;
}

std::optional<QDateTime> fromStored(double seconds)
{
    const double msecs = std::round((seconds + kSecondsFrom1970To2001) * 1000.0);
    // Well inside qint64 and QDateTime's range (about ±292 million years).
    if (!std::isfinite(msecs) || std::abs(msecs) > 8e15)
        return std::nullopt;
    QDateTime date = QDateTime::fromMSecsSinceEpoch(qint64(msecs), Qt::UTC);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

}  // namespace mendo::clipboard_dates
