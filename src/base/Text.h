#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <vector>

// Text as the user sees it: lengths, cuts and searches count user-perceived
// characters (extended grapheme clusters), so an emoji with a skin tone, a
// flag or "\r\n" is one character and is never split.
namespace mendo::text {

qsizetype graphemeCount(QStringView text);

// UTF-16 offsets of every grapheme boundary, from 0 up to and including size().
std::vector<qsizetype> graphemeBoundaries(QStringView text);

// UTF-16 offset of the start of grapheme `index`; size() when index is past the end.
qsizetype graphemeOffset(QStringView text, qsizetype index);

// The first `count` characters (the whole text when it is shorter).
QString graphemePrefix(const QString& text, qsizetype count);

// `count` characters from character `start`; count < 0 means to the end.
QString graphemeMid(const QString& text, qsizetype start, qsizetype count = -1);

// Index (UTF-16) of the first occurrence of `needle` at or after `from` that
// starts and ends on grapheme boundaries, or -1. "e" is not found inside "é"
// written as e + combining accent.
qsizetype indexOf(const QString& haystack, const QString& needle, qsizetype from = 0,
                  Qt::CaseSensitivity cs = Qt::CaseSensitive);
bool contains(const QString& haystack, const QString& needle, Qt::CaseSensitivity cs = Qt::CaseSensitive);

// Unicode White_Space (which includes every line break: LF, CR, NEL, LS, PS).
bool isWhiteSpace(char32_t codePoint);

// Trims Unicode White_Space from both ends; non-breaking and ideographic
// spaces go too, zero-width spaces do not (they are not White_Space).
QString trimmed(QStringView text);
// The same, but `text` itself (sharing its data, no copy) when nothing is to
// be trimmed: for texts of many megabytes.
QString trimmedShared(const QString& text);
bool isBlank(QStringView text);

QString nfc(const QString& text);

// A regular expression in which \s, \w, \d and case folding follow Unicode.
QRegularExpression unicodeRegex(const QString& pattern,
                                QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption);

}  // namespace mendo::text
