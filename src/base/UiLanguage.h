#pragma once

#include "base/EnumTable.h"

namespace mendo {

// The interface language. It lives in the base layer because every bilingual
// text is chosen by it.
enum class UiLanguage { en, ru };

template <>
struct EnumTraits<UiLanguage> {
    static constexpr std::array<EnumCase<UiLanguage>, 2> cases{{
        {UiLanguage::en, "en"},
        {UiLanguage::ru, "ru"},
    }};
};

}  // namespace mendo
