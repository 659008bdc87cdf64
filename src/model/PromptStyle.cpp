#include "model/PromptStyle.h"

#include "model/StyleLists.h"

namespace mendo {

QJsonObject PromptStyle::toJson() const
{
    return QJsonObject { { "id", id }, { "name", name }, { "prompt", prompt }, { "hotkey", hotkey },
        { "autoReplace", autoReplace } };
}

std::optional<PromptStyle> PromptStyle::fromJson(const QJsonValue& value)
{
    const auto texts = style_lists::readTexts(value);
    const QJsonValue autoReplace = value.toObject().value("autoReplace");
    if (!texts || !autoReplace.isBool())
        return std::nullopt;
    return PromptStyle { texts->id, texts->name, texts->prompt, texts->hotkey, autoReplace.toBool() };
}

}  // namespace mendo
