#include "panels/AssistantPanelViewState.h"

#include "base/BiText.h"
#include "base/Text.h"

#include <QHash>

namespace mendo {

namespace {

// ISO 639 codes by English language name, found by walking the ISO language
// list for the first code whose English display name equals the name. Fixed
// here rather than asked of the locale data: newer data renamed "Bengali"
// ("Bangla") and "Maori" ("Māori"), which would turn their codes into the
// first letters of the names ("BE" is Belarusian's). Keys are case-folded.
const QHash<QString, QString>& isoCodes()
{
    static const QHash<QString, QString> codes = [] {
        const QList<std::pair<QString, QString>> table {
            { QStringLiteral("English"), QStringLiteral("EN") },
            { QStringLiteral("Russian"), QStringLiteral("RU") },
            { QStringLiteral("Spanish"), QStringLiteral("ES") },
            { QStringLiteral("French"), QStringLiteral("FR") },
            { QStringLiteral("German"), QStringLiteral("DE") },
            { QStringLiteral("Italian"), QStringLiteral("IT") },
            { QStringLiteral("Portuguese"), QStringLiteral("PT") },
            { QStringLiteral("Dutch"), QStringLiteral("NL") },
            { QStringLiteral("Polish"), QStringLiteral("PL") },
            { QStringLiteral("Ukrainian"), QStringLiteral("UK") },
            { QStringLiteral("Turkish"), QStringLiteral("TR") },
            { QStringLiteral("Arabic"), QStringLiteral("AR") },
            { QStringLiteral("Hebrew"), QStringLiteral("HE") },
            { QStringLiteral("Persian"), QStringLiteral("FA") },
            { QStringLiteral("Hindi"), QStringLiteral("HI") },
            { QStringLiteral("Bengali"), QStringLiteral("BN") },
            { QStringLiteral("Urdu"), QStringLiteral("UR") },
            { QStringLiteral("Punjabi"), QStringLiteral("PA") },
            { QStringLiteral("Tamil"), QStringLiteral("TA") },
            { QStringLiteral("Telugu"), QStringLiteral("TE") },
            { QStringLiteral("Marathi"), QStringLiteral("MR") },
            { QStringLiteral("Gujarati"), QStringLiteral("GU") },
            { QStringLiteral("Kannada"), QStringLiteral("KN") },
            { QStringLiteral("Malayalam"), QStringLiteral("ML") },
            { QStringLiteral("Japanese"), QStringLiteral("JA") },
            { QStringLiteral("Korean"), QStringLiteral("KO") },
            { QStringLiteral("Thai"), QStringLiteral("TH") },
            { QStringLiteral("Vietnamese"), QStringLiteral("VI") },
            { QStringLiteral("Indonesian"), QStringLiteral("ID") },
            { QStringLiteral("Malay"), QStringLiteral("MS") },
            { QStringLiteral("Burmese"), QStringLiteral("MY") },
            { QStringLiteral("Khmer"), QStringLiteral("KM") },
            { QStringLiteral("Lao"), QStringLiteral("LO") },
            { QStringLiteral("Mongolian"), QStringLiteral("MN") },
            { QStringLiteral("Greek"), QStringLiteral("EL") },
            { QStringLiteral("Czech"), QStringLiteral("CS") },
            { QStringLiteral("Slovak"), QStringLiteral("SK") },
            { QStringLiteral("Hungarian"), QStringLiteral("HU") },
            { QStringLiteral("Romanian"), QStringLiteral("RO") },
            { QStringLiteral("Bulgarian"), QStringLiteral("BG") },
            { QStringLiteral("Serbian"), QStringLiteral("SR") },
            { QStringLiteral("Croatian"), QStringLiteral("HR") },
            { QStringLiteral("Bosnian"), QStringLiteral("BS") },
            { QStringLiteral("Slovenian"), QStringLiteral("SL") },
            { QStringLiteral("Macedonian"), QStringLiteral("MK") },
            { QStringLiteral("Albanian"), QStringLiteral("SQ") },
            { QStringLiteral("Lithuanian"), QStringLiteral("LT") },
            { QStringLiteral("Latvian"), QStringLiteral("LV") },
            { QStringLiteral("Estonian"), QStringLiteral("ET") },
            { QStringLiteral("Finnish"), QStringLiteral("FI") },
            { QStringLiteral("Swedish"), QStringLiteral("SV") },
            { QStringLiteral("Norwegian"), QStringLiteral("NO") },
            { QStringLiteral("Danish"), QStringLiteral("DA") },
            { QStringLiteral("Icelandic"), QStringLiteral("IS") },
            { QStringLiteral("Irish"), QStringLiteral("GA") },
            { QStringLiteral("Welsh"), QStringLiteral("CY") },
            { QStringLiteral("Catalan"), QStringLiteral("CA") },
            { QStringLiteral("Basque"), QStringLiteral("EU") },
            { QStringLiteral("Galician"), QStringLiteral("GL") },
            { QStringLiteral("Maltese"), QStringLiteral("MT") },
            { QStringLiteral("Georgian"), QStringLiteral("KA") },
            { QStringLiteral("Armenian"), QStringLiteral("HY") },
            { QStringLiteral("Azerbaijani"), QStringLiteral("AZ") },
            { QStringLiteral("Kazakh"), QStringLiteral("KK") },
            { QStringLiteral("Uzbek"), QStringLiteral("UZ") },
            { QStringLiteral("Kyrgyz"), QStringLiteral("KY") },
            { QStringLiteral("Tajik"), QStringLiteral("TG") },
            { QStringLiteral("Turkmen"), QStringLiteral("TK") },
            { QStringLiteral("Belarusian"), QStringLiteral("BE") },
            { QStringLiteral("Swahili"), QStringLiteral("SW") },
            { QStringLiteral("Amharic"), QStringLiteral("AM") },
            { QStringLiteral("Hausa"), QStringLiteral("HA") },
            { QStringLiteral("Yoruba"), QStringLiteral("YO") },
            { QStringLiteral("Igbo"), QStringLiteral("IG") },
            { QStringLiteral("Zulu"), QStringLiteral("ZU") },
            { QStringLiteral("Xhosa"), QStringLiteral("XH") },
            { QStringLiteral("Afrikaans"), QStringLiteral("AF") },
            { QStringLiteral("Somali"), QStringLiteral("SO") },
            { QStringLiteral("Nepali"), QStringLiteral("NE") },
            { QStringLiteral("Sinhala"), QStringLiteral("SI") },
            { QStringLiteral("Pashto"), QStringLiteral("PS") },
            { QStringLiteral("Kurdish"), QStringLiteral("KU") },
            { QStringLiteral("Sundanese"), QStringLiteral("SU") },
            { QStringLiteral("Javanese"), QStringLiteral("JV") },
            { QStringLiteral("Cebuano"), QStringLiteral("CE") },
            { QStringLiteral("Haitian Creole"), QStringLiteral("HT") },
            { QStringLiteral("Latin"), QStringLiteral("LA") },
            { QStringLiteral("Esperanto"), QStringLiteral("EO") },
            { QStringLiteral("Luxembourgish"), QStringLiteral("LB") },
            { QStringLiteral("Hawaiian"), QStringLiteral("HA") },
            { QStringLiteral("Maori"), QStringLiteral("MI") },
            { QStringLiteral("Samoan"), QStringLiteral("SM") },
            { QStringLiteral("Yiddish"), QStringLiteral("YI") },
            { QStringLiteral("Tibetan"), QStringLiteral("BO") },
            { QStringLiteral("Bhojpuri"), QStringLiteral("BH") },
            { QStringLiteral("Odia"), QStringLiteral("OR") },
        };
        QHash<QString, QString> folded;
        for (const auto& [name, code] : table)
            folded.insert(name.toCaseFolded(), code);
        return folded;
    }();
    return codes;
}

}  // namespace

QString languageCode(const QString& name)
{
    if (name == u"Chinese (Simplified)" || name == u"Chinese (Traditional)")
        return QStringLiteral("ZH");
    if (name == u"Filipino")
        return QStringLiteral("TL");
    const auto found = isoCodes().constFind(name.toCaseFolded());
    if (found != isoCodes().cend())
        return *found;
    return text::graphemePrefix(name, 2).toUpper();
}

AssistantPanelViewState describeAssistantPanel(const AssistantPanelState& state)
{
    const UiLanguage language = state.uiLanguage;
    const auto tr = [language](const char16_t* en, const char16_t* ru) {
        return pick(language, QString::fromUtf16(en), QString::fromUtf16(ru));
    };
    AssistantPanelViewState view;

    view.title = state.isReplyMode ? QStringLiteral("AI Reply") : tr(u"AI assistant", u"AI помощник");
    view.showsReplyStyleMenu = state.isReplyMode;
    view.replyStyleLabel = state.replyStyleName;
    view.replyStyleMenuEnabled = !state.isRunning;
    view.replyStyleTooltip = tr(u"Reply style", u"Стиль ответа");
    for (const AIReplyStyle& style : state.replyStyles)
        view.replyStyleItems.append({ style.id, style.name, style.id == state.selectedReplyStyleID });
    view.newChatTooltip = tr(u"New chat", u"Новый чат");

    view.errorVisible = !state.errorText.isEmpty();
    view.errorText = state.errorText;

    view.showsPlaceholder = state.turns.isEmpty();
    view.placeholderText = state.isRunning ? tr(u"Writing reply...", u"Готовлю ответ...")
                                           : tr(u"Response will appear here.", u"Ответ появится здесь.");
    view.youLabel = tr(u"You", u"Ты");

    view.showsComposer = !state.isReplyMode;
    view.contextOn = state.contextEnabled;
    view.contextChipSymbol
        = state.contextEnabled ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("circle");
    view.contextChipTitle = state.contextEnabled ? tr(u"Context on", u"Контекст включен") : tr(u"Context", u"Контекст");
    if (!text::isBlank(state.contextText))
        view.contextCount = QString::number(text::graphemeCount(state.contextText)) + tr(u" chars", u" симв.");
    view.pasteResultVisible = !state.resultText.isEmpty();
    view.pasteResultTooltip = tr(u"Paste result", u"Вставить результат");
    view.editorPlaceholder = tr(u"Ask AI...", u"Спросить AI...");
    view.sendSymbol = state.isRunning ? QStringLiteral("sparkles") : QStringLiteral("paperplane.fill");
    const bool blankRequest = text::isBlank(state.requestText);
    view.sendEnabled = !state.isRunning && !blankRequest;
    view.sendLooksBlank = blankRequest;
    view.sendTooltip = tr(u"Send", u"Отправить");

    view.showsReplyBar = state.isReplyMode;
    const bool replyUsable = !state.resultText.isEmpty() && !state.isRunning;
    view.regenerate = { replyUsable, tr(u"Regenerate reply", u"Повторить ответ") };
    view.addEmojis = { replyUsable, tr(u"Add emojis", u"Добавить смайлы") };
    view.languageChip = { !state.isRunning, tr(u"Translation language", u"Язык перевода") };
    view.languageCode = languageCode(state.replyTranslationLanguage);
    view.translate = { replyUsable, tr(u"Translate reply", u"Перевести ответ") };
    view.translateLabel = tr(u"Translate", u"Перевод");
    view.copy = { replyUsable, tr(u"Copy reply", u"Скопировать ответ") };
    view.paste = { replyUsable, tr(u"Paste reply", u"Вставить ответ") };
    return view;
}

}  // namespace mendo
