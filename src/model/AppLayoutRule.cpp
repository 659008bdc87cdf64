#include "model/AppLayoutRule.h"

#include "base/Json.h"

namespace mendo {

namespace {

std::optional<QUuid> parseUuid(const QString& text)
{
    // Only the plain 8-4-4-4-12 form, in either letter case.
    if (text.size() != 36)
        return std::nullopt;
    const QUuid uuid = QUuid::fromString(text);
    if (uuid.isNull() && text != u"00000000-0000-0000-0000-000000000000")
        return std::nullopt;
    return uuid;
}

}  // namespace

QJsonObject AppLayoutRule::toJson() const
{
    return QJsonObject { { "id", id.toString(QUuid::WithoutBraces).toUpper() },
        { "bundleIdentifier", bundleIdentifier }, { "appName", appName }, { "appPath", appPath },
        { "layoutName", layoutName }, { "isEnabled", isEnabled } };
}

std::optional<AppLayoutRule> AppLayoutRule::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    const auto idText = json::string(o, "id");
    const auto id = idText ? parseUuid(*idText) : std::nullopt;
    const auto bundleIdentifier = json::string(o, "bundleIdentifier");
    const auto appName = json::string(o, "appName");
    const auto appPath = json::string(o, "appPath");
    const auto layoutName = json::string(o, "layoutName");
    const auto isEnabled = json::boolean(o, "isEnabled");
    if (!id || !bundleIdentifier || !appName || !appPath || !layoutName || !isEnabled)
        return std::nullopt;
    return AppLayoutRule { *id, *bundleIdentifier, *appName, *appPath, *layoutName, *isEnabled };
}

}  // namespace mendo
