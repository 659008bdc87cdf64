#include "app/model/PromptStyle.h"

#include "base/Json.h"

namespace mendo {

QJsonObject PromptStyle::toJson() const
{
    return QJsonObject{{"id", id}, {"name", name}, {"prompt", prompt}, {"hotkey", hotkey}, {"autoReplace", autoReplace}};
}

std::optional<PromptStyle> PromptStyle::fromJson(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    auto id = json::string(o, "id");
    auto name = json::string(o, "name");
    auto prompt = json::string(o, "prompt");
    auto hotkey = json::string(o, "hotkey");
    auto autoReplace = json::boolean(o, "autoReplace");
    if (!id || !name || !prompt || !hotkey || !autoReplace)
        return std::nullopt;
    return PromptStyle{*id, *name, *prompt, *hotkey, *autoReplace};
}

}  // namespace mendo
