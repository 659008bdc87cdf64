#include "updates/AppBuildConfiguration.h"

#include <limits>

namespace mendo::AppBuildConfiguration {

QString currentVersion()
{
    const QString version = QStringLiteral(MENDO_VERSION);
    return version.isEmpty() ? QStringLiteral("0.0.0") : version;
}

qint64 currentBuild()
{
    return parseBuildNumber(QStringLiteral(MENDO_BUILD_NUMBER)).value_or(0);
}

std::optional<qint64> parseBuildNumber(const QString& text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulated as a negative number, whose range is one larger, so that
    // the smallest 64-bit value parses too.
    qint64 value = 0;
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (lowest + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (negative)
        return value;
    if (value == lowest)
        return std::nullopt;
    return -value;
}

}  // namespace mendo::AppBuildConfiguration
