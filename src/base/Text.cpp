#include "base/Text.h"

#include <unicode/ubrk.h>

#include <memory>

namespace mendo::text {

namespace {

// ICU rather than QTextBoundaryFinder: Qt 6.4 splits a flag that follows a
// ZWJ emoji sequence, ICU follows the current extended grapheme cluster rules.
struct BreakIteratorDeleter {
    void operator()(UBreakIterator* iterator) const { ubrk_close(iterator); }
};
using BreakIterator = std::unique_ptr<UBreakIterator, BreakIteratorDeleter>;

BreakIterator graphemeIterator(QStringView text)
{
    UErrorCode status = U_ZERO_ERROR;
    BreakIterator iterator(ubrk_open(UBRK_CHARACTER, "", reinterpret_cast<const UChar*>(text.data()),
                                     static_cast<int32_t>(text.size()), &status));
    if (U_FAILURE(status))
        return nullptr;
    return iterator;
}

// Code units that are a grapheme of their own whatever follows, and before
// which a cluster always breaks unless the previous unit forbids it:
// Grapheme_Cluster_Break Other (no Prepend, Extend, SpacingMark, ZWJ,
// Regional_Indicator, Hangul or pictograph among them) or Control other than
// CR. Between two of them there is always a boundary (GB4, GB5, GB999), so
// most text needs no break iterator: the Latin and Cyrillic letters, digits
// and punctuation of ordinary copies.
bool isSimpleUnit(char16_t unit)
{
    if (unit < 0x0300)
        return unit != u'\r' && unit != 0x00AD;
    return (unit >= 0x0400 && unit <= 0x0482) || (unit >= 0x048A && unit <= 0x052F);
}

// Walks grapheme boundaries after 0 without allocating a vector for callers
// that only count or look for one offset.
template <class F>
void forEachBoundary(QStringView text, F&& onBoundary)
{
    if (text.isEmpty())
        return;
    BreakIterator iterator = graphemeIterator(text);
    if (!iterator) {
        // Without ICU data every UTF-16 unit counts, which never loses text.
        for (qsizetype i = 1; i <= text.size(); ++i)
            if (!onBoundary(i))
                return;
        return;
    }
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    qsizetype position = 0;
    while (position < size) {
        // From a boundary at a simple unit, the next one follows it at once
        // when the unit after it is simple too.
        if (position + 1 < size && isSimpleUnit(units[position]) && isSimpleUnit(units[position + 1])) {
            ++position;
        } else {
            const int32_t next = ubrk_following(iterator.get(), int32_t(position));
            if (next == UBRK_DONE)
                return;
            position = next;
        }
        if (!onBoundary(position))
            return;
    }
}

}  // namespace

qsizetype graphemeCount(QStringView text)
{
    qsizetype count = 0;
    forEachBoundary(text, [&](qsizetype) {
        ++count;
        return true;
    });
    return count;
}

std::vector<qsizetype> graphemeBoundaries(QStringView text)
{
    std::vector<qsizetype> result{0};
    forEachBoundary(text, [&](qsizetype position) {
        result.push_back(position);
        return true;
    });
    return result;
}

qsizetype graphemeOffset(QStringView text, qsizetype index)
{
    if (index <= 0)
        return 0;
    qsizetype seen = 0;
    qsizetype offset = text.size();
    forEachBoundary(text, [&](qsizetype position) {
        if (++seen == index) {
            offset = position;
            return false;
        }
        return true;
    });
    return offset;
}

QString graphemePrefix(const QString& text, qsizetype count)
{
    return text.left(graphemeOffset(text, count));
}

QString graphemeMid(const QString& text, qsizetype start, qsizetype count)
{
    const qsizetype begin = graphemeOffset(text, start);
    if (count < 0)
        return text.mid(begin);
    const qsizetype end = begin + graphemeOffset(QStringView(text).mid(begin), count);
    return text.mid(begin, end - begin);
}

static bool isBoundary(UBreakIterator* iterator, qsizetype position)
{
    return !iterator || ubrk_isBoundary(iterator, static_cast<int32_t>(position));
}

qsizetype indexOf(const QString& haystack, const QString& needle, qsizetype from, Qt::CaseSensitivity cs)
{
    if (needle.isEmpty())
        return from <= haystack.size() ? qMax<qsizetype>(from, 0) : -1;
    qsizetype at = haystack.indexOf(needle, from, cs);
    if (at < 0)
        return -1;
    BreakIterator iterator = graphemeIterator(haystack);
    while (at >= 0) {
        if (isBoundary(iterator.get(), at) && isBoundary(iterator.get(), at + needle.size()))
            return at;
        at = haystack.indexOf(needle, at + 1, cs);
    }
    return -1;
}

bool contains(const QString& haystack, const QString& needle, Qt::CaseSensitivity cs)
{
    return indexOf(haystack, needle, 0, cs) >= 0;
}

bool isWhiteSpace(char32_t c)
{
    switch (c) {
    case 0x0009: case 0x000A: case 0x000B: case 0x000C: case 0x000D:
    case 0x0020: case 0x0085: case 0x00A0: case 0x1680:
    case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
        return true;
    default:
        return c >= 0x2000 && c <= 0x200A;
    }
}

QString trimmed(QStringView text)
{
    // Every White_Space code point is in the BMP, so UTF-16 units suffice.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isWhiteSpace(text[begin].unicode()))
        ++begin;
    while (end > begin && isWhiteSpace(text[end - 1].unicode()))
        --end;
    return text.mid(begin, end - begin).toString();
}

QString trimmedShared(const QString& text)
{
    if (text.isEmpty() || (!isWhiteSpace(text.front().unicode()) && !isWhiteSpace(text.back().unicode())))
        return text;
    return trimmed(text);
}

bool isBlank(QStringView text)
{
    for (QChar c : text)
        if (!isWhiteSpace(c.unicode()))
            return false;
    return true;
}

QString nfc(const QString& text)
{
    return text.normalized(QString::NormalizationForm_C);
}

QRegularExpression unicodeRegex(const QString& pattern, QRegularExpression::PatternOptions options)
{
    return QRegularExpression(pattern, options | QRegularExpression::UseUnicodePropertiesOption);
}

}  // namespace mendo::text
