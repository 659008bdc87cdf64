#pragma once

#include <QString>
#include <vector>

// Wrong-layout conversions that hold for the built-in PC rows and for the
// maps built from the real "us" + "ru" / "us" + "ua" keymaps alike.
namespace mendo::testcases {

struct LayoutConversion {
    const char* tag;
    QString input;
    QString output;
    bool toLatin;
};

inline const std::vector<LayoutConversion> russianConversions = {
    { "latin word to cyrillic", "ghbdtn", "привет", false },
    { "cyrillic word to latin", "руддщ", "hello", true },
    { "capitals and brackets", "Ghbdtn[]", "Приветхъ", false },
    { "yo key both cases", "ёЁ", "`~", true },
    { "slash to period", "/", ".", false },
    { "shifted comma and period keys", "<>", "БЮ", false },
    { "period and comma to latin", "руддщ.,", "hello/?", true },
    { "tie converts to native", "a ф", "ф ф", false },
    { "other characters keep their place", "ghbdtn 👋🏽 ελ 42!", "привет 👋🏽 ελ 42!", false },
    { "empty text", "", "", false },
    { "digits and spaces unchanged", "123 456", "123 456", false },
};

inline const std::vector<LayoutConversion> ukrainianConversions = {
    { "ukrainian letters", "s]", "ії", false },
    { "latin word to ukrainian", "ghbdsn", "привіт", false },
    { "ukrainian word to latin", "їжак", "];fr", true },
    { "digits and spaces unchanged", "123 456", "123 456", false },
};

}  // namespace mendo::testcases
