#pragma once

#include <QString>

namespace mendo {

// Names the dominant language of a text as a language code ("en", "ru",
// "uk", "zh-Hans", "zh-Hant", ...), or "" when it cannot tell (no letters,
// too little to go on).
class LanguageDetector {
public:
    virtual ~LanguageDetector() = default;
    virtual QString dominantLanguage(const QString& text) const = 0;
};

// Compact Language Detector 2: about 80 languages from n-gram statistics.
// A reply asked for in the wrong language is worse than one asked for in
// none, so only an answer CLD2 itself calls reliable is given.
class Cld2LanguageDetector final : public LanguageDetector {
public:
    QString dominantLanguage(const QString& text) const override;
};

}  // namespace mendo
