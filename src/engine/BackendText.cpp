#include "engine/BackendText.h"

#include "base/Text.h"

#include <QRegularExpression>

namespace mendo {

namespace {

// A text with its grapheme boundaries computed once, so that every cut below
// is on a character boundary and nothing walks the text twice per piece.
class Graphemes {
public:
    explicit Graphemes(const QString& text)
        : m_text(text)
        , m_bounds(text::graphemeBoundaries(text))
    {
    }

    qsizetype count() const { return qsizetype(m_bounds.size()) - 1; }
    qsizetype offset(qsizetype index) const { return m_bounds[size_t(index)]; }
    QStringView at(qsizetype index) const
    {
        return QStringView(m_text).mid(offset(index), offset(index + 1) - offset(index));
    }
    // Whole characters only: a space carrying a combining mark is not blank.
    bool isBlank(qsizetype index) const { return text::isBlank(at(index)); }
    bool isLineBreak(qsizetype index) const
    {
        const QStringView c = at(index);
        return c == u"\n" || c == u"\r\n";
    }
    QString mid(qsizetype from, qsizetype to) const { return m_text.mid(offset(from), offset(to) - offset(from)); }

private:
    const QString& m_text;
    std::vector<qsizetype> m_bounds;
};

enum class Cut { emptyLine, lineBreak, sentence, hard };

QString separator(Cut cut)
{
    switch (cut) {
    case Cut::emptyLine:
        return QStringLiteral("\n\n");
    case Cut::lineBreak:
        return QStringLiteral("\n");
    case Cut::sentence:
        return QStringLiteral(" ");
    case Cut::hard:
        break;
    }
    return {};
}

}  // namespace

std::vector<BackendTextPiece> splitTextForBackendPieces(const QString& text, qsizetype maxChars)
{
    if (maxChars < 1)
        return { { text, {} } };
    const Graphemes g(text);
    if (g.count() <= maxChars)
        return { { text, {} } };

    qsizetype begin = 0;
    qsizetype end = g.count();
    while (begin < end && g.isBlank(begin))
        ++begin;
    while (end > begin && g.isBlank(end - 1))
        --end;

    std::vector<BackendTextPiece> pieces;
    while (end - begin > maxChars) {
        const qsizetype windowEnd = begin + maxChars;
        qsizetype cutAt = -1;
        Cut cut = Cut::hard;
        // One walk back from the window's end: the first empty line met is the
        // last one and ends the walk; otherwise the last line break, then the
        // last full stop, as met on the way. Each cut lies past every
        // higher-priority mark of the window, which keeps the split linear.
        qsizetype lastBreak = -1;
        qsizetype lastStop = -1;
        for (qsizetype i = windowEnd - 1; i >= begin; --i) {
            if (g.isLineBreak(i)) {
                if (i + 1 < windowEnd && g.isLineBreak(i + 1)) {
                    cutAt = i;
                    cut = Cut::emptyLine;
                    break;
                }
                if (lastBreak < 0)
                    lastBreak = i;
            } else if (lastStop < 0 && i + 1 < windowEnd && g.at(i) == u"." && g.at(i + 1) == u" ") {
                lastStop = i + 1;
            }
        }
        if (cutAt < 0 && lastBreak >= 0)
            cutAt = lastBreak, cut = Cut::lineBreak;
        if (cutAt < 0 && lastStop >= 0)
            cutAt = lastStop, cut = Cut::sentence;
        if (cutAt < 0)
            cutAt = windowEnd;

        qsizetype pieceEnd = cutAt;
        while (pieceEnd > begin && g.isBlank(pieceEnd - 1))
            --pieceEnd;
        // Never empty: what remains starts with a visible character and the
        // cut lies after it.
        pieces.push_back({ g.mid(begin, pieceEnd), separator(cut) });
        begin = cutAt;
        while (begin < end && g.isBlank(begin))
            ++begin;
    }
    if (end > begin)
        pieces.push_back({ g.mid(begin, end), {} });
    if (!pieces.empty())
        pieces.back().joinAfter.clear();
    return pieces;
}

QStringList splitTextForBackend(const QString& text, qsizetype maxChars)
{
    QStringList result;
    for (auto& piece : splitTextForBackendPieces(text, maxChars))
        result.append(std::move(piece.text));
    return result;
}

QString normalizeTranslationCompare(const QString& text)
{
    static const QRegularExpression whitespace = text::unicodeRegex(QStringLiteral("\\s+"));
    static const QRegularExpression quotes(QStringLiteral("[\u201C\u201D\u00AB\"]"));
    QString result = text;
    result.replace(whitespace, QStringLiteral(" "));
    result.remove(quotes);
    return text::trimmed(result).toLower();
}

}  // namespace mendo
