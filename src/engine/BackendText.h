#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace mendo {

// One piece of a text cut for the AI service, with what goes back between it
// and the next piece's result: the cut drops the line breaks or the space it
// was made at, and joining with that same separator keeps sentences and words
// whole ("\n\n" at an empty line, "\n" at a line break, " " after ". ", nothing
// after a hard cut inside a word).
struct BackendTextPiece {
    QString text;
    QString joinAfter;
    bool operator==(const BackendTextPiece&) const = default;
};

// Cuts `text` into pieces of at most `maxChars` user-perceived characters,
// preferring the last empty line of each window, then the last line break,
// then the place after the full stop of the last ". ", else the window's end.
// A text that fits comes back whole and untouched; otherwise every piece is
// trimmed and non-empty. `maxChars` below 1 means no limit. Runs in time
// proportional to the text's length.
std::vector<BackendTextPiece> splitTextForBackendPieces(const QString& text, qsizetype maxChars);
QStringList splitTextForBackend(const QString& text, qsizetype maxChars);

// The form in which a translation is compared with its source: runs of
// whitespace made one space, curly and straight double quotes and the opening
// guillemet dropped, trimmed, lower-cased.
QString normalizeTranslationCompare(const QString& text);

}  // namespace mendo
