#include "model/AIReplyStyle.h"

#include "model/StyleLists.h"

namespace mendo {

QJsonObject AIReplyStyle::toJson() const
{
    return QJsonObject { { "id", id }, { "name", name }, { "prompt", prompt }, { "hotkey", hotkey } };
}

std::optional<AIReplyStyle> AIReplyStyle::fromJson(const QJsonValue& value)
{
    const auto texts = style_lists::readTexts(value);
    if (!texts)
        return std::nullopt;
    return AIReplyStyle { texts->id, texts->name, texts->prompt, texts->hotkey };
}

}  // namespace mendo
