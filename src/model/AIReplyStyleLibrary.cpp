#include "model/AIReplyStyleLibrary.h"

#include "model/StyleLists.h"

namespace mendo::AIReplyStyleLibrary {

namespace {

// clang-format off
constexpr const char* kBuiltIns[][4] = {
    // id, name, prompt, hotkey
    {"original", "Обычный", "Reply naturally and directly. Keep it concise, human, and ready to send.", "Command+Alt+1"},
    {"friendly", "Дружелюбно", "Write a warm, friendly reply. Sound natural and positive without overdoing it.", "Command+Alt+2"},
    {"emoji", "Смайлики", "Write a natural reply and add 1-3 relevant emojis.", "Command+Alt+E"},
    {"polite", "Вежливо", "Write a polite, respectful, and tactful reply.", "Command+Alt+3"},
    {"professional", "Профессионально", "Write a polished, confident, concise, and professional reply. No emojis.", "Command+Alt+4"},
    {"short", "Кратко", "Write the shortest useful natural reply. Remove filler and repetition.", "Not assigned"},
    {"detailed", "Подробно", "Write a complete and helpful reply with enough detail to answer the message clearly.", "Not assigned"},
    {"humor", "С юмором", "Write a light, witty reply with natural humor that fits the message.", "Not assigned"},
    {"flirt", "Флирт", "Write a playful, tasteful, confident flirtatious reply without being pushy.", "Not assigned"},
    {"romantic", "Романтично", "Write a warm, sincere, romantic reply that feels personal.", "Not assigned"},
    {"sexy", "Sexy", "Write a confident, suggestive reply while staying tasteful and consensual.", "Not assigned"},
    {"formal", "Формально", "Write a formal, precise, and respectful reply. No slang or emojis.", "Not assigned"},
    {"casual", "Обычно", "Write a relaxed, natural everyday chat reply.", "Command+Alt+5"},
    {"support", "Поддержка", "Write an empathetic, supportive reply that acknowledges the other person's feelings.", "Not assigned"},
    {"expert", "Эксперт", "Write a confident expert reply with a clear and useful answer.", "Not assigned"},
    {"social", "Соцсети", "Write an engaging social-media-style reply that is concise and natural.", "Command+Alt+6"},
    {"translate", "Перевод", "Reply in the selected target language. Keep the answer natural and ready to send.", "Command+Alt+T"},
};
// clang-format on

}  // namespace

const QList<AIReplyStyle>& defaultStyles()
{
    static const QList<AIReplyStyle> styles = [] {
        QList<AIReplyStyle> result;
        for (const auto& row : kBuiltIns)
            result.append(AIReplyStyle { QString::fromUtf8(row[0]), QString::fromUtf8(row[1]),
                QString::fromUtf8(row[2]), QString::fromUtf8(row[3]) });
        return result;
    }();
    return styles;
}

const QSet<QString>& builtInStyleIds()
{
    static const QSet<QString> ids = style_lists::idsOf(defaultStyles());
    return ids;
}

QList<AIReplyStyle> restoredStyles(const QList<AIReplyStyle>& saved)
{
    if (saved.isEmpty())
        return defaultStyles();
    return style_lists::mergeOverBuiltIns(
        defaultStyles(), builtInStyleIds(), saved, [](const AIReplyStyle& builtIn, const AIReplyStyle& s) {
            return AIReplyStyle { builtIn.id, style_lists::orDefault(s.name, builtIn.name),
                style_lists::orDefault(s.prompt, builtIn.prompt), style_lists::orDefault(s.hotkey, builtIn.hotkey) };
        });
}

QString backendStyleName(const AIReplyStyle& style)
{
    static const QHash<QString, QString> words {
        { "original", "Friendly" },
        { "friendly", "Friendly" },
        { "emoji", "Emoji" },
        { "polite", "Polite" },
        { "professional", "Professional" },
        { "short", "Short" },
        { "detailed", "Detailed" },
        { "humor", "Humor" },
        { "flirt", "Flirt" },
        { "romantic", "Romantic" },
        { "sexy", "Sexy" },
        { "formal", "Formal" },
        { "casual", "Casual" },
        { "support", "Support" },
        { "expert", "Expert" },
        { "social", "Social" },
        { "translate", "Friendly" },
    };
    return words.value(style.id);
}

}  // namespace mendo::AIReplyStyleLibrary
