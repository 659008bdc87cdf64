#include "platform/UserDefaults.h"

#include <cmath>
#include <limits>

namespace mendo {

namespace {

bool isInteger(const QVariant& v)
{
    const auto type = v.typeId();
    return type == QMetaType::LongLong || type == QMetaType::Int || type == QMetaType::UInt
        || type == QMetaType::Long || type == QMetaType::ULong || type == QMetaType::ULongLong;
}

qint64 saturate(double d)
{
    if (std::isnan(d))
        return 0;
    if (d >= 9223372036854775807.0)
        return std::numeric_limits<qint64>::max();
    if (d <= -9223372036854775808.0)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(d);
}

// The position after leading blanks.
qsizetype skipBlanks(const QString& s)
{
    qsizetype i = 0;
    while (i < s.size() && s[i].isSpace())
        ++i;
    return i;
}

qint64 leadingInteger(const QString& s)
{
    qsizetype i = skipBlanks(s);
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        negative = s[i++] == u'-';
    qint64 value = 0;
    const qint64 limit = std::numeric_limits<qint64>::max();
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
        const int digit = s[i].unicode() - u'0';
        if (value > (limit - digit) / 10)
            return negative ? std::numeric_limits<qint64>::min() : limit;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

double leadingNumber(const QString& s)
{
    const qsizetype begin = skipBlanks(s);
    qsizetype end = begin;
    // The longest prefix that parses as a number.
    double best = 0;
    for (end = begin + 1; end <= s.size(); ++end) {
        bool ok = false;
        const double d = QStringView(s).mid(begin, end - begin).toDouble(&ok);
        if (ok)
            best = d;
    }
    return best;
}

}  // namespace

bool UserDefaults::boolean(const QString& key) const
{
    const auto value = object(key);
    if (!value)
        return false;
    if (value->typeId() == QMetaType::Bool)
        return value->toBool();
    if (isInteger(*value))
        return value->toLongLong() != 0;
    if (value->typeId() == QMetaType::Double)
        return value->toDouble() != 0.0;
    if (value->typeId() == QMetaType::QString) {
        const QString s = value->toString();
        qsizetype i = skipBlanks(s);
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ++i;
        while (i < s.size() && s[i] == u'0')
            ++i;
        if (i >= s.size())
            return false;
        const QChar c = s[i];
        return c == u'y' || c == u'Y' || c == u't' || c == u'T' || (c >= u'1' && c <= u'9');
    }
    return false;
}

qint64 UserDefaults::integer(const QString& key) const
{
    const auto value = object(key);
    if (!value)
        return 0;
    if (value->typeId() == QMetaType::Bool)
        return value->toBool() ? 1 : 0;
    if (isInteger(*value))
        return value->toLongLong();
    if (value->typeId() == QMetaType::Double)
        return saturate(std::trunc(value->toDouble()));
    if (value->typeId() == QMetaType::QString)
        return leadingInteger(value->toString());
    return 0;
}

double UserDefaults::number(const QString& key) const
{
    const auto value = object(key);
    if (!value)
        return 0;
    if (value->typeId() == QMetaType::Bool)
        return value->toBool() ? 1 : 0;
    if (isInteger(*value))
        return double(value->toLongLong());
    if (value->typeId() == QMetaType::Double)
        return value->toDouble();
    if (value->typeId() == QMetaType::QString)
        return leadingNumber(value->toString());
    return 0;
}

std::optional<QString> UserDefaults::string(const QString& key) const
{
    const auto value = object(key);
    if (!value)
        return std::nullopt;
    if (value->typeId() == QMetaType::QString)
        return value->toString();
    if (isInteger(*value))
        return QString::number(value->toLongLong());
    if (value->typeId() == QMetaType::Double)
        return QString::number(value->toDouble(), 'g', QLocale::FloatingPointShortest);
    return std::nullopt;
}

// Data, dates, lists and maps are read only as themselves: no coercion.
template <class T>
static std::optional<T> exactly(const std::optional<QVariant>& value, int typeId)
{
    if (!value || value->typeId() != typeId)
        return std::nullopt;
    return value->value<T>();
}

std::optional<QByteArray> UserDefaults::data(const QString& key) const
{
    return exactly<QByteArray>(object(key), QMetaType::QByteArray);
}

std::optional<QDateTime> UserDefaults::date(const QString& key) const
{
    return exactly<QDateTime>(object(key), QMetaType::QDateTime);
}

std::optional<QVariantList> UserDefaults::list(const QString& key) const
{
    return exactly<QVariantList>(object(key), QMetaType::QVariantList);
}

std::optional<QVariantMap> UserDefaults::map(const QString& key) const
{
    return exactly<QVariantMap>(object(key), QMetaType::QVariantMap);
}

}  // namespace mendo
