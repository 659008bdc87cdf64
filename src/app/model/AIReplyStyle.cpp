#include "app/model/AIReplyStyle.h"

#include "base/Json.h"

namespace mendo {

QJsonObject AIReplyStyle::toJson() const
{
    return QJsonObject{{"id", id}, {"name", name}, {"prompt", prompt}, {"hotkey", hotkey}};
}

std::optional<AIReplyStyle> AIReplyStyle::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    auto id = json::string(o, "id");
    auto name = json::string(o, "name");
    auto prompt = json::string(o, "prompt");
    auto hotkey = json::string(o, "hotkey");
    if (!id || !name || !prompt || !hotkey)
        return std::nullopt;
    return AIReplyStyle{*id, *name, *prompt, *hotkey};
}

}  // namespace mendo
