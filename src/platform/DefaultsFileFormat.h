#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <optional>

// The text form of the user-defaults file (docs/user-defaults.md): one JSON
// object from key to value, in which every stored type stays distinct.
namespace mendo::defaults_file {

// Whether the value can be stored: a string, bool, integer, finite double,
// valid date, data, or a list or map of such values.
bool isStorable(const QVariant& value);

// Compact UTF-8 JSON. Values that are not storable are left out.
QByteArray encode(const QVariantMap& values);
QByteArray encodeValue(const QVariant& value);

// The stored values, or nothing with the reason in `error` when the text is
// not a JSON object. Nulls are skipped.
std::optional<QVariantMap> decode(const QByteArray& text, QString* error = nullptr);

// Any JSON document as plain values (objects as maps, no tags read), integers
// as qint64 and other numbers as doubles. Faster than QJsonDocument on long
// texts with escapes (newlines, quotes).
std::optional<QVariant> decodeDocument(const QByteArray& text, QString* error = nullptr);

}  // namespace mendo::defaults_file
