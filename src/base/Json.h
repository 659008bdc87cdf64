#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <optional>

namespace mendo::json {

// Parses bytes that must hold a JSON object; the error text says why not.
std::optional<QJsonObject> parseObject(const QByteArray& bytes, QString* error = nullptr);
std::optional<QJsonArray> parseArray(const QByteArray& bytes, QString* error = nullptr);

QByteArray compact(const QJsonObject& object);
QByteArray compact(const QJsonArray& array);

// Appends `s` as a JSON string literal: quoted, escaped, UTF-8. For writers
// that build large documents without the cost of a QJsonDocument.
void appendString(QByteArray& out, QStringView s);

// Typed reads that give nothing when the key is missing or of another type.
std::optional<QString> string(const QJsonObject& object, const QString& key);
std::optional<bool> boolean(const QJsonObject& object, const QString& key);
// Integers only: 2.5 or 1e300 gives nothing.
std::optional<qint64> integer(const QJsonObject& object, const QString& key);
std::optional<double> number(const QJsonObject& object, const QString& key);
std::optional<QJsonObject> object(const QJsonObject& object, const QString& key);
std::optional<QJsonArray> array(const QJsonObject& object, const QString& key);
// A list of strings; nothing when any element is not a string.
std::optional<QStringList> stringList(const QJsonObject& object, const QString& key);

}  // namespace mendo::json
