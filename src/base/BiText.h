#pragma once

#include "base/UiLanguage.h"

#include <QString>

namespace mendo {

// An interface text in English and Russian, chosen when it is shown.
struct BiText {
    QString en;
    QString ru;

    QString text(UiLanguage language) const { return language == UiLanguage::ru ? ru : en; }
    QString operator()(UiLanguage language) const { return text(language); }
    bool operator==(const BiText&) const = default;
};

inline QString pick(UiLanguage language, const QString& en, const QString& ru)
{
    return language == UiLanguage::ru ? ru : en;
}

}  // namespace mendo
