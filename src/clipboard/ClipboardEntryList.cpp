#include "clipboard/ClipboardEntryList.h"

#include "base/BiText.h"
#include "base/Text.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QSet>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>

namespace mendo {

namespace {

// More than four lines of any window width can show: a row never lays out
// more of a long text than this.
constexpr qsizetype shownPrefixLimit = 2000;
// Characters narrower than this part of the font's average are rare enough
// that four lines of them may be cut short.
constexpr double narrowestCharacter = 0.45;

QString shownPrefix(const QString& text, int maximumLines, qsizetype limit)
{
    qsizetype end = std::min(text.size(), limit);
    qsizetype from = 0;
    for (int line = 0; line < maximumLines; ++line) {
        const qsizetype newline = text.indexOf(QLatin1Char('\n'), from);
        if (newline < 0 || newline >= end)
            return text.left(end);
        from = newline + 1;
    }
    return text.left(std::min(end, from - 1));
}

QFont captionFont(const QFont& base)
{
    QFont font = base;
    font.setPixelSize(11);
    return font;
}

}  // namespace

QPixmap clipboardSymbol(const QString& symbolName, int size, const QColor& color, qreal devicePixelRatio)
{
    static QHash<QString, QPixmap> drawn;
    const QString key = QStringLiteral("%1/%2/%3/%4").arg(symbolName).arg(size).arg(color.rgba()).arg(devicePixelRatio);
    auto it = drawn.constFind(key);
    if (it != drawn.constEnd())
        return *it;
    if (drawn.size() > 256)
        drawn.clear();
    return *drawn.insert(key, SymbolRegistry::pixmap(symbolName, size, color, devicePixelRatio));
}

QColor clipboardDestructiveColor()
{
    return QColor(0xff, 0x3b, 0x30);
}

QString clipboardCharsCaption(qint64 count, UiLanguage language)
{
    return QString::number(count) + pick(language, QStringLiteral(" chars"), QStringLiteral(" симв."));
}

QString ClipboardHistoryRow::caption(const ClipboardHistoryItem& item, UiLanguage language)
{
    return clipboardCharsCaption(item.chars, language);
}

QList<ClipboardRowButton> ClipboardHistoryRow::buttons(UiLanguage)
{
    return { { ClipboardRowButton::Action::paste, QStringLiteral("arrow.turn.down.left"), {}, false },
        { ClipboardRowButton::Action::remove, QStringLiteral("trash"), {}, true } };
}

QString ClipboardNoteRow::caption(const ClipboardNoteItem& note, UiLanguage language)
{
    return clipboardCharsCaption(text::graphemeCount(note.text), language);
}

QList<ClipboardRowButton> ClipboardNoteRow::buttons(UiLanguage language)
{
    return { { ClipboardRowButton::Action::paste, QStringLiteral("arrow.turn.down.left"),
                 pick(language, QStringLiteral("Paste"), QStringLiteral("Вставить")), false },
        { ClipboardRowButton::Action::copy, QStringLiteral("doc.on.doc"),
            pick(language, QStringLiteral("Copy"), QStringLiteral("Скопировать")), false },
        { ClipboardRowButton::Action::edit, QStringLiteral("pencil"),
            pick(language, QStringLiteral("Edit"), QStringLiteral("Редактировать")), false },
        { ClipboardRowButton::Action::remove, QStringLiteral("trash"),
            pick(language, QStringLiteral("Delete"), QStringLiteral("Удалить")), true } };
}

ClipboardEntryList::ClipboardEntryList(Kind kind, QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_kind(kind)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
}

QList<ClipboardRowButton> ClipboardEntryList::buttons() const
{
    return m_kind == Kind::history ? ClipboardHistoryRow::buttons(m_language) : ClipboardNoteRow::buttons(m_language);
}

void ClipboardEntryList::setEntries(QList<Entry> entries)
{
    const bool same = entries.size() == m_entries.size()
        && std::equal(entries.cbegin(), entries.cend(), m_entries.cbegin(), [](const Entry& a, const Entry& b) {
               return a.id == b.id && a.chars == b.chars && a.text == b.text;
           });
    if (same)
        return;
    m_entries = std::move(entries);
    // A kept layout holds its entry's text. Only those of the rows about to
    // be laid out again stay (as far down as the list was laid out, and a
    // few more): a history that turns over all day would otherwise keep a
    // layout for every copy, and its text long after the history dropped it.
    if (!m_layouts.isEmpty()) {
        const qsizetype reused = std::min(m_entries.size(), m_tops.size() - 1 + reusedBeyondView);
        QSet<QString> ahead;
        ahead.reserve(reused);
        for (qsizetype i = 0; i < reused; ++i)
            ahead.insert(m_entries[i].id);
        m_layouts.removeIf([&](const auto& cached) { return !ahead.contains(cached.key()); });
    }
    relayout();
}

void ClipboardEntryList::setHighlightedID(std::optional<QString> id)
{
    if (m_highlighted == id)
        return;
    m_highlighted = std::move(id);
    viewport()->update();
}

void ClipboardEntryList::setFontSize(double size)
{
    if (m_fontSize == size)
        return;
    m_fontSize = size;
    relayout();
}

void ClipboardEntryList::setLineLimit(int lines)
{
    lines = std::max(1, lines);
    if (m_lineLimit == lines)
        return;
    m_lineLimit = lines;
    m_layouts.clear();
    relayout();
}

void ClipboardEntryList::setShowsLength(bool shows)
{
    if (m_showsLength == shows)
        return;
    m_showsLength = shows;
    relayout();
}

void ClipboardEntryList::setLanguage(UiLanguage language)
{
    if (m_language == language)
        return;
    m_language = language;
    viewport()->update();
}

QFont ClipboardEntryList::textFont() const
{
    QFont f = font();
    f.setPixelSize(std::max(1, int(std::lround(m_fontSize))));
    return f;
}

int ClipboardEntryList::textWidth() const
{
    const int buttonsWidth = int(buttons().size()) * buttonSize;
    return std::max(40, viewport()->width() - 2 * rowPadding - 10 - buttonsWidth);
}

const ClipboardEntryList::Layout& ClipboardEntryList::layoutOf(const Entry& entry) const
{
    const int width = m_textWidth;
    auto it = m_layouts.find(entry.id);
    if (it != m_layouts.end() && it->width == width && it->fontSize == m_fontSize && it->text == entry.text)
        return it->layout;
    Layout layout;
    // A text layout breaks lines only at line separators.
    layout.shown = shownPrefix(entry.text, m_lineLimit, m_prefixLimit).replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout text(layout.shown, textFont());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setTextOption(option);
    text.beginLayout();
    int lines = 0;
    while (lines < m_lineLimit) {
        QTextLine line = text.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        ++lines;
    }
    text.endLayout();
    layout.lines = std::max(1, lines);
    return m_layouts.insert(entry.id, CachedLayout { entry.text, width, m_fontSize, layout })->layout;
}

int ClipboardEntryList::rowHeight(int index) const
{
    const int textHeight = layoutOf(m_entries[index]).lines * m_lineSpacing + (m_showsLength ? 5 + m_captionHeight : 0);
    return 2 * rowPadding + std::max(textHeight, buttonSize);
}

void ClipboardEntryList::relayout()
{
    m_lineSpacing = QFontMetrics(textFont()).lineSpacing();
    m_captionHeight = QFontMetrics(captionFont(font())).height();
    m_textWidth = textWidth();
    const double narrow = std::max(1.0, QFontMetrics(textFont()).averageCharWidth() * narrowestCharacter);
    m_prefixLimit = std::min<qsizetype>(shownPrefixLimit, qsizetype(m_lineLimit * m_textWidth / narrow) + 8);
    m_tops = { 0 };
    m_hoveredRow = -1;
    layOutUntil(verticalScrollBar()->value() + viewport()->height());
    viewport()->update();
}

void ClipboardEntryList::layOutUntil(int y) const
{
    const qsizetype before = m_tops.size();
    while (m_tops.size() <= m_entries.size() && m_tops.last() <= y) {
        const int index = int(m_tops.size()) - 1;
        m_tops.append(m_tops.last() + rowHeight(index) + rowSpacing);
    }
    if (m_tops.size() != before || m_tops.size() == 1)
        const_cast<ClipboardEntryList*>(this)->updateScrollRange();
}

void ClipboardEntryList::updateScrollRange()
{
    const qsizetype laidOut = m_tops.size() - 1;
    // Rows not laid out yet count as the average of those that are.
    const int total = laidOut == m_entries.size() ? std::max(0, m_tops.last() - rowSpacing)
        : laidOut == 0                            ? 0
                                                  : int(qint64(m_tops.last()) * m_entries.size() / laidOut);
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(24);
    bar->setRange(0, std::max(0, total - viewport()->height()));
}

QRect ClipboardEntryList::rowRect(int index) const
{
    if (index < 0 || index >= m_entries.size())
        return {};
    while (m_tops.size() <= index + 1)
        layOutUntil(m_tops.last());
    return QRect(0, m_tops[index], viewport()->width(), m_tops[index + 1] - m_tops[index] - rowSpacing);
}

QRect ClipboardEntryList::buttonRect(int index, int button) const
{
    const QRect row = rowRect(index);
    const int count = int(buttons().size());
    const int left = row.right() + 1 - rowPadding - (count - button) * buttonSize;
    return QRect(left, row.top() + rowPadding, buttonSize, buttonSize);
}

int ClipboardEntryList::rowAt(QPoint viewportPoint) const
{
    const int y = viewportPoint.y() + verticalScrollBar()->value();
    if (m_entries.isEmpty() || y < 0)
        return -1;
    layOutUntil(y);
    if (y >= m_tops.last())
        return -1;
    const auto it = std::upper_bound(m_tops.cbegin(), m_tops.cend(), y);
    const int index = int(it - m_tops.cbegin()) - 1;
    return rowRect(index).contains(QPoint(viewportPoint.x(), y)) ? index : -1;
}

int ClipboardEntryList::buttonAt(int index, QPoint contentPoint) const
{
    for (int i = 0; i < buttons().size(); ++i) {
        if (buttonRect(index, i).contains(contentPoint))
            return i;
    }
    return -1;
}

QString ClipboardEntryList::captionOf(const Entry& entry) const
{
    if (m_kind == Kind::history)
        return ClipboardHistoryRow::caption({ entry.id, entry.text, {}, entry.chars }, m_language);
    return ClipboardNoteRow::caption({ entry.id, entry.text, {}, {} }, m_language);
}

void ClipboardEntryList::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void ClipboardEntryList::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.setRenderHint(QPainter::Antialiasing);
    const int offset = verticalScrollBar()->value();
    layOutUntil(offset + viewport()->height());
    p.translate(0, -offset);
    const QColor primary = palette().color(QPalette::WindowText);
    const QColor accent = palette().color(QPalette::Highlight);
    const QColor secondary = theme::withOpacity(primary, 0.5);
    const QList<ClipboardRowButton> rowButtons = buttons();
    const QFont font = textFont();
    const QFont caption = captionFont(this->font());
    const QFontMetrics metrics(font);

    const int first = int(std::upper_bound(m_tops.cbegin(), m_tops.cend(), offset) - m_tops.cbegin()) - 1;
    for (int i = std::max(0, first); i < m_entries.size() && i + 1 < m_tops.size(); ++i) {
        const QRect row = rowRect(i);
        if (row.top() > offset + viewport()->height())
            break;
        if (row.bottom() < offset)
            continue;
        const Entry& entry = m_entries[i];
        const bool selected = m_highlighted && *m_highlighted == entry.id;
        QPainterPath shape;
        shape.addRoundedRect(QRectF(row).adjusted(0.5, 0.5, -0.5, -0.5), 11, 11);
        p.fillPath(shape, selected ? theme::withOpacity(accent, 0.14) : theme::withOpacity(primary, 0.038));
        if (selected) {
            p.setPen(QPen(theme::withOpacity(accent, 0.32), 1));
            p.drawPath(shape);
        }

        // The text, at most its line limit, the last line cut when more follows.
        const Layout& layout = layoutOf(entry);
        const int width = m_textWidth;
        QTextLayout text(layout.shown, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        text.setTextOption(option);
        text.beginLayout();
        QList<QTextLine> lines;
        while (lines.size() < m_lineLimit) {
            QTextLine line = text.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            line.setPosition(QPointF(0, lines.size() * metrics.lineSpacing()));
            lines.append(line);
        }
        text.endLayout();
        const QPoint origin(row.left() + rowPadding, row.top() + rowPadding);
        p.setPen(primary);
        p.setFont(font);
        const bool more = !lines.isEmpty()
            && (lines.last().textStart() + lines.last().textLength() < layout.shown.size()
                || layout.shown.size() < entry.text.size());
        for (int l = 0; l < lines.size(); ++l) {
            if (l == lines.size() - 1 && more) {
                QString rest = layout.shown.mid(lines[l].textStart());
                rest.replace(QChar::LineSeparator, QLatin1Char(' '));
                p.drawText(QPoint(origin.x(), origin.y() + l * metrics.lineSpacing() + metrics.ascent()),
                    metrics.elidedText(rest + QStringLiteral("…"), Qt::ElideRight, width));
            } else {
                lines[l].draw(&p, origin);
            }
        }
        if (m_showsLength) {
            p.setFont(caption);
            p.setPen(secondary);
            const int captionTop = origin.y() + std::max<qsizetype>(1, lines.size()) * metrics.lineSpacing() + 5;
            p.drawText(QRect(origin.x(), captionTop, width, QFontMetrics(caption).height()),
                Qt::AlignLeft | Qt::AlignTop, captionOf(entry));
        }

        for (int b = 0; b < rowButtons.size(); ++b) {
            const QRect box = buttonRect(i, b);
            if (i == m_hoveredRow && b == m_hoveredButton) {
                p.setPen(Qt::NoPen);
                p.setBrush(theme::withOpacity(primary, 0.08));
                p.drawRoundedRect(QRectF(box), 6, 6);
            }
            const QColor color = rowButtons[b].destructive ? clipboardDestructiveColor() : primary;
            const int size = 15;
            p.drawPixmap(QRect(box.center().x() - size / 2, box.center().y() - size / 2, size, size),
                clipboardSymbol(rowButtons[b].symbolName, size, color, devicePixelRatioF()));
        }
    }
}

void ClipboardEntryList::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point);
    const int button = row >= 0 ? buttonAt(row, point + QPoint(0, verticalScrollBar()->value())) : -1;
    if (row != m_hoveredRow || button != m_hoveredButton) {
        const bool entered = row != m_hoveredRow;
        m_hoveredRow = row;
        m_hoveredButton = button;
        viewport()->update();
        if (entered && row >= 0)
            Q_EMIT selectRequested(m_entries[row].id);
    }
    QAbstractScrollArea::mouseMoveEvent(event);
}

void ClipboardEntryList::leaveEvent(QEvent* event)
{
    m_hoveredRow = -1;
    m_hoveredButton = -1;
    viewport()->update();
    QAbstractScrollArea::leaveEvent(event);
}

void ClipboardEntryList::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point);
    if (row < 0 || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QString id = m_entries[row].id;
    const int button = buttonAt(row, point + QPoint(0, verticalScrollBar()->value()));
    if (button >= 0)
        Q_EMIT buttonClicked(buttons()[button].action, id);
    else
        Q_EMIT selectRequested(id);
    event->accept();
}

void ClipboardEntryList::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point);
    if (row < 0 || event->button() != Qt::LeftButton
        || buttonAt(row, point + QPoint(0, verticalScrollBar()->value())) >= 0) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const QString id = m_entries[row].id;
    Q_EMIT selectRequested(id);
    Q_EMIT pasteRequested(id);
    event->accept();
}

bool ClipboardEntryList::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int row = rowAt(help->pos());
        const int button = row >= 0 ? buttonAt(row, help->pos() + QPoint(0, verticalScrollBar()->value())) : -1;
        const QString tip = button >= 0 ? buttons()[button].toolTip : QString();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, viewport(), buttonRect(row, button).translated(0, -verticalScrollBar()->value()));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

}  // namespace mendo
