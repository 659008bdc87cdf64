#include "platform/LanguageDetector.h"

#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <vector>

namespace mendo {

namespace {

struct LatinLanguage {
    const char* code;
    // Letters that only this language of the list uses.
    const char16_t* ownLetters;
    // Its commonest short words, space-separated.
    const char* words;
};

// The order breaks ties: English first, as the likeliest language of a short
// Latin-script chat message.
const LatinLanguage latinLanguages[] = {
    { "en", u"",
        "the and is are you i it to of in that this for with have not be was what my me your we do hi hello thanks "
        "please" },
    { "de", u"ßäöü",
        "der die das und ist nicht ich du sie wir ein eine zu mit auf für den dem es bin hallo danke bitte" },
    { "fr", u"çœèêàùâî",
        "le la les et est je tu vous nous une un des pas que qui pour dans avec sur ce bonjour merci oui" },
    { "es", u"ñ¿¡", "el la los las y es que de en un una por para con no yo tu hola gracias pero muy" },
    { "it", u"ìò", "il lo la gli le e che di un una per non sono ciao grazie sei anche ma della" },
    { "pt", u"ãõ", "o a os as e que de em um uma para com não eu você obrigado olá mas muito" },
    { "nl", u"ĳ", "de het een en is van ik je niet dat op te zijn met voor hallo dank wel" },
    { "pl", u"ąęłńśźż", "i w na nie jest to że się z do jak tak czy ale dzień dobry dziękuję" },
    { "tr", u"ğış", "bir ve bu da de ne için çok ben sen değil var merhaba teşekkürler evet" },
    { "sv", u"å", "och att det som är en på för inte jag du med hej tack" },
};

QString latinLanguage(const QString& lower)
{
    static const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    const QStringList words = lower.split(nonLetters, Qt::SkipEmptyParts);
    static const std::vector<QSet<QString>> wordSets = [] {
        std::vector<QSet<QString>> sets;
        for (const auto& language : latinLanguages) {
            const QStringList list = QString::fromUtf8(language.words).split(u' ');
            sets.emplace_back(list.cbegin(), list.cend());
        }
        return sets;
    }();
    QString best;
    int bestScore = 0;
    for (size_t i = 0; i < std::size(latinLanguages); ++i) {
        const auto& language = latinLanguages[i];
        int score = 0;
        for (const QString& w : words)
            score += wordSets[i].contains(w) ? 2 : 0;
        for (const char16_t* c = language.ownLetters; *c; ++c)
            score += 3 * int(lower.count(QChar(*c)));
        if (score > bestScore) {
            bestScore = score;
            best = QString::fromLatin1(language.code);
        }
    }
    return best;
}

QString cyrillicLanguage(const QString& lower)
{
    auto has = [&](const char16_t* letters) {
        for (const char16_t* c = letters; *c; ++c)
            if (lower.contains(QChar(*c)))
                return true;
        return false;
    };
    if (has(u"ѓќѕ"))
        return QStringLiteral("mk");
    if (has(u"ђћџљњј"))
        return QStringLiteral("sr");
    if (has(u"ў"))
        return QStringLiteral("be");
    if (has(u"їєґ") || (has(u"і") && !has(u"ыэъё")))
        return QStringLiteral("uk");
    return QStringLiteral("ru");
}

}  // namespace

QString ScriptLanguageDetector::dominantLanguage(const QString& text) const
{
    QMap<QChar::Script, int> letters;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isLetter(c))
            ++letters[QChar::script(c)];
    }
    if (letters.isEmpty())
        return {};
    QChar::Script dominant = letters.firstKey();
    for (auto it = letters.cbegin(); it != letters.cend(); ++it)
        if (it.value() > letters.value(dominant))
            dominant = it.key();

    const QString lower = text.toLower();
    switch (dominant) {
    case QChar::Script_Latin:
        return latinLanguage(lower);
    case QChar::Script_Cyrillic:
        return cyrillicLanguage(lower);
    case QChar::Script_Greek:
        return QStringLiteral("el");
    case QChar::Script_Hebrew:
        return QStringLiteral("he");
    case QChar::Script_Arabic:
        return lower.contains(QRegularExpression(QStringLiteral("[پچژگ]"))) ? QStringLiteral("fa")
                                                                            : QStringLiteral("ar");
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        return QStringLiteral("ja");
    case QChar::Script_Han:
        return letters.contains(QChar::Script_Hiragana) || letters.contains(QChar::Script_Katakana)
            ? QStringLiteral("ja")
            : QStringLiteral("zh");
    case QChar::Script_Hangul:
        return QStringLiteral("ko");
    case QChar::Script_Thai:
        return QStringLiteral("th");
    case QChar::Script_Devanagari:
        return QStringLiteral("hi");
    case QChar::Script_Georgian:
        return QStringLiteral("ka");
    case QChar::Script_Armenian:
        return QStringLiteral("hy");
    default:
        return {};
    }
}

}  // namespace mendo
