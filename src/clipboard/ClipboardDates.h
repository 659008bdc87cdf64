#pragma once

#include <QDateTime>
#include <optional>

namespace mendo::clipboard_dates {

// Stored dates are seconds since 2001-01-01 00:00:00 UTC as doubles, the
// form the history and notes have always been written in.
double toStored(const QDateTime& date);
// Nothing for a value that is not finite or lies outside the dates Qt holds.
std::optional<QDateTime> fromStored(double seconds);

}  // namespace mendo::clipboard_dates
