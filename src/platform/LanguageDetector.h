#pragma once

#include <QString>

namespace mendo {

// Names the dominant language of a text as an ISO 639-1 code ("en", "ru",
// "uk", "de", ...), or "" when it cannot tell (no letters, too little to go on).
class LanguageDetector {
public:
    virtual ~LanguageDetector() = default;
    virtual QString dominantLanguage(const QString& text) const = 0;
};

// A small detector of our own: the writing system decides most languages
// (with a few letters telling Ukrainian, Belarusian, Serbian and Macedonian
// from Russian); Latin-script texts are told apart by their most common short
// words and by letters only one language uses. Chat messages are short, where
// statistical n-gram models guess poorly; this one answers "" instead.
class ScriptLanguageDetector final : public LanguageDetector {
public:
    QString dominantLanguage(const QString& text) const override;
};

}  // namespace mendo
