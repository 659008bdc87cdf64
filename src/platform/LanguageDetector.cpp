#include "platform/LanguageDetector.h"

#include <cstdio>  // CLD2's header uses FILE without including it

#include <cld2/public/compact_lang_det.h>
#include <cld2/public/encodings.h>

#include <QHash>

namespace mendo {

namespace {

// CLD2 keeps a few legacy codes; the rest of MendoAI speaks today's, with the
// script named where one language is written in two.
QString modernCode(const char* cldCode)
{
    static const QHash<QByteArray, QString> renamed {
        { "iw", QStringLiteral("he") },
        { "jw", QStringLiteral("jv") },
        { "no", QStringLiteral("nb") },
        { "zh", QStringLiteral("zh-Hans") },
    };
    const QByteArray code(cldCode);
    return renamed.value(code, QString::fromLatin1(code));
}

}  // namespace

QString Cld2LanguageDetector::dominantLanguage(const QString& text) const
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.isEmpty())
        return {};
    const CLD2::CLDHints hints { nullptr, nullptr, CLD2::UNKNOWN_ENCODING, CLD2::UNKNOWN_LANGUAGE };
    CLD2::Language languages[3];
    int percents[3];
    double scores[3];
    int textBytes = 0;
    bool reliable = false;
    const CLD2::Language language = CLD2::ExtDetectLanguageSummary(utf8.constData(), int(utf8.size()), true, &hints, 0,
        languages, percents, scores, nullptr, &textBytes, &reliable);
    if (!reliable || language == CLD2::UNKNOWN_LANGUAGE || language == CLD2::TG_UNKNOWN_LANGUAGE)
        return {};
    return modernCode(CLD2::LanguageCode(language));
}

}  // namespace mendo
