#pragma once

#include "platform/LanguageDetector.h"

#include <QStringList>

namespace mendo {

// Answers `language` for every text and remembers what it was asked.
class FakeLanguageDetector final : public LanguageDetector {
public:
    QString dominantLanguage(const QString& text) const override
    {
        asked.append(text);
        return language;
    }
    QString language;
    mutable QStringList asked;
};

}  // namespace mendo
