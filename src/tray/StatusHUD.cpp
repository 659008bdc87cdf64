#include "tray/StatusHUD.h"

#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace mendo {

StatusLook StatusLook::of(const ActionStatus& status, const QPalette& palette)
{
    const ColorScheme scheme = theme::colorSchemeOf(palette);
    switch (status.kind()) {
    case ActionStatus::Kind::running:
        return { QStringLiteral("progress.indicator"), theme::blue(scheme), status.text() };
    case ActionStatus::Kind::done:
        return { QStringLiteral("checkmark.circle.fill"), theme::green(scheme), status.text() };
    case ActionStatus::Kind::failed:
        return { QStringLiteral("exclamationmark.triangle.fill"), theme::orange(scheme), status.text() };
    case ActionStatus::Kind::idle:
        break;
    }
    QColor secondary = palette.color(QPalette::WindowText);
    secondary.setAlphaF(0.55);
    return { QStringLiteral("checkmark.circle"), secondary, QStringLiteral("Ready") };
}

namespace {

// `text` broken at word boundaries into lines of at most `width` (at full
// size); the last of `maxLines` lines holds the rest, cut when it is longer.
QStringList wrapped(const QString& text, const QFont& font, qreal width, int maxLines, bool* cut)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    int consumed = 0;
    while (lines.size() < maxLines - 1) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
        consumed = line.textStart() + line.textLength();
    }
    layout.endLayout();
    const QString rest = text.mid(consumed).trimmed();
    const QFontMetricsF metrics(font);
    *cut = metrics.horizontalAdvance(rest) > width;
    if (!rest.isEmpty())
        lines << metrics.elidedText(rest, Qt::ElideRight, width);
    return lines;
}

}  // namespace

StatusText StatusText::fit(const QString& text, const QFont& font, int width, qreal minimumScale, int maxLines)
{
    const FittedLine one = FittedLine::fit(text, font, width, minimumScale);
    if (one.text == text || maxLines <= 1)
        return { one.scale, { one.text } };
    // Measured at full size, drawn scaled: the width a line may take grows
    // as the scale falls.
    constexpr qreal step = 0.02;
    for (qreal scale = 1.0; scale > minimumScale - step / 2; scale -= step) {
        const qreal at = std::max(scale, minimumScale);
        bool cut = false;
        const QStringList lines = wrapped(text, font, width / at, maxLines, &cut);
        if (!cut)
            return { at, lines };
    }
    bool cut = false;
    return { minimumScale, wrapped(text, font, width / minimumScale, maxLines, &cut) };
}

// The status text: one line (two for a failure) that shrinks before it is
// cut.
class StatusHUD::Line : public QWidget {
public:
    explicit Line(QWidget* parent)
        : QWidget(parent)
    {
        QFont f = font();
        f.setPixelSize(StatusHUD::textSize);
        f.setWeight(QFont::DemiBold);
        setFont(f);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        setMinimumWidth(0);
    }

    void setText(const QString& text, int maxLines)
    {
        if (m_text == text && m_maxLines == maxLines)
            return;
        m_text = text;
        m_maxLines = maxLines;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return { metrics.horizontalAdvance(m_text), metrics.height() };
    }
    QSize minimumSizeHint() const override { return { 0, QFontMetrics(font()).height() }; }

    StatusText fitted() const
    {
        return StatusText::fit(m_text, font(), width(), StatusHUD::textMinimumScale, m_maxLines);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const StatusText text = fitted();
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(palette().color(QPalette::WindowText));
        const QFontMetricsF metrics(font());
        // The lines as one block, centred on the row.
        const qreal lineHeight = metrics.height();
        const qreal block = lineHeight * text.lines.size() * text.scale;
        p.translate(0, (height() - block) / 2.0);
        p.scale(text.scale, text.scale);
        for (int i = 0; i < text.lines.size(); ++i)
            p.drawText(QPointF(0, i * lineHeight + metrics.ascent()), text.lines[i]);
    }

private:
    QString m_text;
    int m_maxLines = 1;
};

StatusHUD::StatusHUD(const ActionStatus& status, AppearanceMode mode, SurfaceMode surfaceMode, QWidget* parent)
    : MendoFloatingSurface(mode, surfaceMode, 16, parent)
{
    setShadow(false);
    auto* row = new QHBoxLayout(content());
    // The 13-pixel top and bottom margins leave 10 pixels of the 36-pixel
    // card for an 18-pixel symbol and a 14-pixel line: both overflow it,
    // centred. Widgets clip to their rectangle, so the row takes the card's
    // whole height and centres them itself.
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(10);
    m_symbol = new QLabel(content());
    m_symbol->setObjectName(QStringLiteral("symbol"));
    m_symbol->setFixedSize(symbolSize, symbolSize);
    m_line = new Line(content());
    row->addWidget(m_symbol, 0, Qt::AlignVCenter);
    row->addWidget(m_line, 1);
    setStatus(status);
}

void StatusHUD::setStatus(const ActionStatus& status)
{
    m_status = status;
    m_look = StatusLook::of(status, palette());
    m_symbol->setPixmap(SymbolRegistry::pixmap(m_look.symbol, symbolSize, m_look.color, devicePixelRatioF()));
    // A failure's message is what the user has to act on: it takes a second
    // line before it is cut.
    m_line->setText(m_look.text, status.kind() == ActionStatus::Kind::failed ? 2 : 1);
    // Screen readers and window lists tell the panel by its text.
    setAccessibleName(m_look.text);
}

StatusText StatusHUD::shownText() const
{
    return m_line->fitted();
}

}  // namespace mendo
