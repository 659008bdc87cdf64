#pragma once

// Texts the benchmarks copy and keep.

#include <QString>

namespace mendo::bench {

// A copied text of `size` characters, Latin with Cyrillic and accents, told
// apart from the others by its number `n` at the start.
inline QString copiedText(int n, int size)
{
    QString text = QStringLiteral("%1 ").arg(n);
    while (text.size() < size)
        text += QStringLiteral("Copied words, Слова Из Буфера, résumé ");
    return text.left(size);
}

}  // namespace mendo::bench
