#include "base/Json.h"

#include <QStringEncoder>

#include <cmath>

namespace mendo::json {

namespace {

std::optional<QJsonDocument> parse(const QByteArray& bytes, QString* error)
{
    QJsonParseError parseError;
    QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = QStringLiteral("Malformed JSON at offset %1: %2")
                         .arg(parseError.offset)
                         .arg(parseError.errorString());
        return std::nullopt;
    }
    return document;
}

}  // namespace

std::optional<QJsonObject> parseObject(const QByteArray& bytes, QString* error)
{
    auto document = parse(bytes, error);
    if (!document)
        return std::nullopt;
    if (!document->isObject()) {
        if (error)
            *error = QStringLiteral("Expected a JSON object.");
        return std::nullopt;
    }
    return document->object();
}

std::optional<QJsonArray> parseArray(const QByteArray& bytes, QString* error)
{
    auto document = parse(bytes, error);
    if (!document)
        return std::nullopt;
    if (!document->isArray()) {
        if (error)
            *error = QStringLiteral("Expected a JSON array.");
        return std::nullopt;
    }
    return document->array();
}

void appendString(QByteArray& out, QStringView s)
{
    // Converted straight into `out`, without a temporary per run.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringConverter::Flag::Stateless);
    auto appendRun = [&](QStringView run) {
        if (run.isEmpty())
            return;
        const qsizetype start = out.size();
        out.resize(start + utf8.requiredSpace(run.size()));
        char* end = utf8.appendToBuffer(out.data() + start, run);
        out.truncate(end - out.constData());
    };
    out += '"';
    // Unescaped runs are converted whole, so surrogate pairs stay together.
    qsizetype run = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        if (u >= 0x20 && u != '"' && u != '\\')
            continue;
        appendRun(s.mid(run, i - run));
        run = i + 1;
        switch (u) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        default:
            out += "\\u00" + QByteArray::number(u, 16).rightJustified(2, '0');
        }
    }
    appendRun(s.mid(run));
    out += '"';
}

QByteArray compact(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray compact(const QJsonArray& array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QString> string(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<bool> boolean(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

std::optional<qint64> integer(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return std::nullopt;
    const double d = value.toDouble();
    // 2^63 as a double; anything at or past it does not fit.
    if (!std::isfinite(d) || std::trunc(d) != d || std::fabs(d) >= 9223372036854775808.0)
        return std::nullopt;
    return static_cast<qint64>(d);
}

std::optional<double> number(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return std::nullopt;
    return value.toDouble();
}

std::optional<QJsonObject> object(const QJsonObject& source, const QString& key)
{
    const QJsonValue value = source.value(key);
    if (!value.isObject())
        return std::nullopt;
    return value.toObject();
}

std::optional<QJsonArray> array(const QJsonObject& source, const QString& key)
{
    const QJsonValue value = source.value(key);
    if (!value.isArray())
        return std::nullopt;
    return value.toArray();
}

std::optional<QStringList> stringList(const QJsonObject& source, const QString& key)
{
    auto values = array(source, key);
    if (!values)
        return std::nullopt;
    QStringList result;
    result.reserve(values->size());
    for (const QJsonValue& value : *values) {
        if (!value.isString())
            return std::nullopt;
        result.append(value.toString());
    }
    return result;
}

}  // namespace mendo::json
