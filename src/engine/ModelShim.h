#pragma once
// TEMPORARY stand-in until the reply-style model lands; removed at the merge.
#include <QList>
#include <QString>

namespace mendo {


struct AIReplyStyle {
    QString id;
    QString name;
    QString prompt;
    QString hotkey;
    bool operator==(const AIReplyStyle&) const = default;
};

namespace AIReplyStyleLibrary {
inline const QList<AIReplyStyle>& defaultStyles()
{
    static const QList<AIReplyStyle> styles{
        {"original", "Обычный", "Reply naturally and directly. Keep it concise, human, and ready to send.", "Command+Alt+1"},
        {"friendly", "Дружелюбно", "Write a warm, friendly reply. Sound natural and positive without overdoing it.", "Command+Alt+2"},
        {"translate", "Перевод", "Reply in the selected target language. Keep the answer natural and ready to send.", "Command+Alt+T"},
    };
    return styles;
}
inline QString backendStyleName(const AIReplyStyle& style)
{
    if (style.id == "original" || style.id == "friendly" || style.id == "translate")
        return "Friendly";
    return {};
}
}  // namespace AIReplyStyleLibrary

}  // namespace mendo
