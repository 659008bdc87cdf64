#include "model/MendoPromptLibrary.h"

#include "model/QuickAction.h"
#include "model/StyleLists.h"

namespace mendo::MendoPromptLibrary {

namespace {

struct BuiltIn {
    const char* id;
    const char* name;
    const char* hotkey;
    const char* prompt;
};

// clang-format off
constexpr BuiltIn kBuiltIns[] = {
    {"original", "Fix", "Alt+1", "You are Mendo Proofreader.\n\nCorrect only spelling, grammar, punctuation, capitalization, and spacing.\n\nDo not change meaning, context, word order, style, tone, slang, profanity, emojis, links, names, numbers, or formatting.\n\nReturn only the corrected text."},
    {"friendly", "Дружелюбно", "Alt+2", "Do a real friendly rewrite, not proofreading. Fix mistakes, keep the meaning, change wording noticeably, add warmth and 2-4 fitting emojis."},
    {"emoji", "Смайлики", "Alt+E", "You are Mendo Proofreader.\n\nCorrect only spelling, grammar, punctuation, capitalization, and spacing.\n\nDo not change meaning, context, word order, style, tone, slang, profanity, emojis, links, names, numbers, or formatting.\n\nYou must add at least one relevant emoji based on the context and meaning of the text.\n\nReturn only the corrected text."},
    {"polite", "Polite", "Alt+3", "Do a real polite rewrite, not proofreading. Fix mistakes, keep the meaning, make it softer, respectful, and clearly reworded. Add 1-2 subtle emojis if suitable."},
    {"professional", "Профессионально", "Alt+4", "Do a real professional rewrite, not proofreading. Fix mistakes, keep the meaning, make it polished, confident, concise, and respectful. No emojis."},
    {"short", "Кратко", "Not assigned", "Rewrite much shorter and clearer. Fix mistakes, keep the core meaning, remove filler, repetition, and weak wording. No emojis."},
    {"detailed", "Подробно", "Not assigned", "Expand into a clearer fuller message. Fix mistakes, keep the meaning, add helpful natural detail without inventing facts."},
    {"humor", "С юмором", "Not assigned", "Do a real humorous rewrite, not proofreading. Fix mistakes, keep the meaning, make it light, witty, natural, and playful."},
    {"flirt", "Флирт", "Not assigned", "Do a real flirty rewrite, not proofreading. Fix mistakes, keep the meaning, make it playful, charming, warm, and a little teasing. Not explicit."},
    {"romantic", "Романтично", "Not assigned", "Do a real romantic rewrite, not proofreading. Fix mistakes, keep the meaning, make it tender, affectionate, emotionally warm, and natural."},
    {"sexy", "Сексуально", "Not assigned", "Do a real sensual rewrite, not proofreading. Fix mistakes, keep the meaning, make it confident, attractive, suggestive, and tasteful. Do not be explicit."},
    {"formal", "Официально", "Not assigned", "Do a real formal rewrite, not proofreading. Fix mistakes, keep the meaning, make it official, precise, respectful, and polished."},
    {"casual", "Неформально", "Alt+5", "Do a real casual rewrite, not proofreading. Fix mistakes, keep the meaning, make it relaxed, simple, conversational, and easy to send. Add emojis only if suitable."},
    {"support", "Поддержка", "Not assigned", "Do a real supportive rewrite, not proofreading. Fix mistakes, keep the meaning, make it calm, empathetic, reassuring, and human."},
    {"expert", "Эксперт", "Not assigned", "Do a real expert rewrite, not proofreading. Fix mistakes, keep the meaning, make it confident, precise, structured, and authoritative."},
    {"social", "Social Media", "Alt+6", "Do a real social media rewrite, not proofreading. Fix mistakes, keep the meaning, make it catchy, emotional, modern, and engaging. Add 4-8 suitable emojis."},
    {"translate", "Перевод", "Alt+T", "Переведи текст на выбранный язык. Сохрани смысл, тон и форматирование. Верни только перевод."},
};

constexpr const char* kMarkers[][2] = {
    {"original", "Correct only clear mistakes"},
    {"friendly", "Rewrite clearly in a warm, friendly"},
    {"emoji", "Add context-appropriate emojis to the text"},
    {"polite", "Rewrite clearly in a polite"},
    {"professional", "Rewrite clearly in a professional business"},
    {"short", "Rewrite briefly and clearly"},
    {"detailed", "Rewrite clearly with useful detail"},
    {"humor", "Rewrite clearly with light appropriate humor"},
    {"flirt", "Rewrite clearly in a playful flirty"},
    {"romantic", "Rewrite clearly in a warm romantic"},
    {"sexy", "Rewrite clearly in a sensual confident"},
    {"formal", "Rewrite clearly in a formal respectful"},
    {"casual", "Rewrite clearly in a simple, relaxed"},
    {"support", "Rewrite clearly in a supportive calm"},
    {"expert", "Rewrite clearly like an expert"},
    {"social", "Rewrite clearly for social media"},
};

constexpr const char* kTitles[][3] = {
    {"original", "Fix", "Исправить"},
    {"friendly", "Friendly", "Дружелюбно"},
    {"emoji", "Emojis", "Смайлики"},
    {"polite", "Polite", "Вежливо"},
    {"professional", "Professional", "Профессионально"},
    {"short", "Short", "Кратко"},
    {"detailed", "Detailed", "Подробно"},
    {"humor", "Humor", "С юмором"},
    {"flirt", "Flirt", "Флирт"},
    {"romantic", "Romantic", "Романтично"},
    {"sexy", "Sexy", "Сексуально"},
    {"formal", "Formal", "Официально"},
    {"casual", "Casual", "Неформально"},
    {"support", "Support", "Поддержка"},
    {"expert", "Expert", "Эксперт"},
    {"social", "Social Media", "Соцсети"},
    {"translate", "Translate", "Перевод"},
};

// Openings of proofreading and emoji instructions shipped before the markers
// were kept per style.
constexpr const char* kOldOriginalOpenings[] = {"Strictly proofread", "Correct only clear mistakes",
                                                "Proofread only. Fix clear", "Fix only obvious typos",
                                                "Fix obvious typos"};
constexpr const char* kOldEmojiOpenings[] = {"Add context-appropriate emojis", "Insert only fitting emojis into",
                                             "Only insert fitting emojis", "Fix only obvious typos",
                                             "Fix obvious typos"};
constexpr const char* kOldEmojiPhrases[] = {"Add fitting emojis", "Add appropriate emojis"};
// clang-format on

bool isOutdated(const QString& id, const QString& prompt)
{
    const auto& markers = oldBuiltInStylePromptMarkers();
    if (auto it = markers.constFind(id); it != markers.constEnd() && prompt.startsWith(*it))
        return true;
    if (id == u"original") {
        for (const char* opening : kOldOriginalOpenings)
            if (prompt.startsWith(QLatin1String(opening)))
                return true;
    }
    if (id == u"emoji") {
        for (const char* opening : kOldEmojiOpenings)
            if (prompt.startsWith(QLatin1String(opening)))
                return true;
        for (const char* phrase : kOldEmojiPhrases)
            if (prompt.contains(QLatin1String(phrase)))
                return true;
    }
    return false;
}

}  // namespace

const QList<PromptStyle>& defaultStyles()
{
    static const QList<PromptStyle> styles = [] {
        QList<PromptStyle> result;
        for (const BuiltIn& b : kBuiltIns)
            result.append(PromptStyle { QString::fromUtf8(b.id), QString::fromUtf8(b.name), QString::fromUtf8(b.prompt),
                QString::fromUtf8(b.hotkey), true });
        return result;
    }();
    return styles;
}

const QSet<QString>& builtInStyleIds()
{
    static const QSet<QString> ids = style_lists::idsOf(defaultStyles());
    return ids;
}

const QHash<QString, QString>& oldBuiltInStylePromptMarkers()
{
    static const QHash<QString, QString> markers = [] {
        QHash<QString, QString> result;
        for (const auto& row : kMarkers)
            result.insert(QString::fromUtf8(row[0]), QString::fromUtf8(row[1]));
        return result;
    }();
    return markers;
}

const QStringList& languages()
{
    static const QStringList names = QStringLiteral(
        "English|Russian|Spanish|French|German|Italian|Portuguese|Dutch|Polish|Ukrainian|Turkish|Arabic|Hebrew|"
        "Persian|Hindi|Bengali|Urdu|Punjabi|Tamil|Telugu|Marathi|Gujarati|Kannada|Malayalam|Chinese (Simplified)|"
        "Chinese (Traditional)|Japanese|Korean|Thai|Vietnamese|Indonesian|Malay|Filipino|Burmese|Khmer|Lao|"
        "Mongolian|Greek|Czech|Slovak|Hungarian|Romanian|Bulgarian|Serbian|Croatian|Bosnian|Slovenian|Macedonian|"
        "Albanian|Lithuanian|Latvian|Estonian|Finnish|Swedish|Norwegian|Danish|Icelandic|Irish|Welsh|Catalan|"
        "Basque|Galician|Maltese|Georgian|Armenian|Azerbaijani|Kazakh|Uzbek|Kyrgyz|Tajik|Turkmen|Belarusian|"
        "Swahili|Amharic|Hausa|Yoruba|Igbo|Zulu|Xhosa|Afrikaans|Somali|Nepali|Sinhala|Pashto|Kurdish|Sundanese|"
        "Javanese|Cebuano|Haitian Creole|Latin|Esperanto|Luxembourgish|Frisian|Hawaiian|Maori|Samoan|Yiddish|"
        "Tibetan|Bhojpuri|Odia")
                                         .split(u'|');
    return names;
}

QList<PromptStyle> mergeSavedStyles(const QList<PromptStyle>& saved, bool firstMigration)
{
    return style_lists::mergeOverBuiltIns(defaultStyles(), builtInStyleIds(), saved,
        [firstMigration](const PromptStyle& builtIn, const PromptStyle& savedStyle) {
            const bool outdated = firstMigration && isOutdated(builtIn.id, savedStyle.prompt);
            PromptStyle merged;
            merged.id = builtIn.id;
            merged.name = outdated ? builtIn.name : style_lists::orDefault(savedStyle.name, builtIn.name);
            merged.prompt = outdated ? builtIn.prompt : style_lists::orDefault(savedStyle.prompt, builtIn.prompt);
            merged.hotkey = firstMigration && builtIn.id == u"emoji"
                ? builtIn.hotkey
                : style_lists::orDefault(savedStyle.hotkey, builtIn.hotkey);
            merged.autoReplace = savedStyle.autoReplace;
            return merged;
        });
}

std::optional<PromptStyle> style(const QString& id, const QList<PromptStyle>& styles)
{
    for (const PromptStyle& s : styles)
        if (s.id == id)
            return s;
    for (const PromptStyle& s : defaultStyles())
        if (s.id == id)
            return s;
    return std::nullopt;
}

BackendAction backendAction(const QuickAction& action, const PromptStyle& style)
{
    if (action.styleId() == QStringLiteral("translate") || style.id == u"translate")
        return BackendAction::translate;
    if (style.id == u"emoji")
        return BackendAction::emoji;
    if (style.id == u"original")
        return BackendAction::fix;
    return BackendAction::improve;
}

std::optional<BiText> builtInTitle(const QString& id)
{
    for (const auto& row : kTitles)
        if (id == QString::fromUtf8(row[0]))
            return BiText { QString::fromUtf8(row[1]), QString::fromUtf8(row[2]) };
    return std::nullopt;
}

}  // namespace mendo::MendoPromptLibrary
