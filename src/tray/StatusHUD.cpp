#include "tray/StatusHUD.h"

#include "ui/SymbolRegistry.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace mendo {

StatusLook StatusLook::of(const ActionStatus& status, const QPalette& palette)
{
    switch (status.kind()) {
    case ActionStatus::Kind::running:
        return { QStringLiteral("progress.indicator"), QColor(0x0a, 0x84, 0xff), status.text() };
    case ActionStatus::Kind::done:
        return { QStringLiteral("checkmark.circle.fill"), QColor(0x30, 0xd1, 0x58), status.text() };
    case ActionStatus::Kind::failed:
        return { QStringLiteral("exclamationmark.triangle.fill"), QColor(0xff, 0x9f, 0x0a), status.text() };
    case ActionStatus::Kind::idle:
        break;
    }
    QColor secondary = palette.color(QPalette::WindowText);
    secondary.setAlphaF(0.55);
    return { QStringLiteral("checkmark.circle"), secondary, QStringLiteral("Ready") };
}

// The status text: one line that shrinks before it is cut.
class StatusHUD::Line : public QWidget {
public:
    Line(QString text, QWidget* parent)
        : QWidget(parent)
        , m_text(std::move(text))
    {
        QFont f = font();
        f.setPixelSize(StatusHUD::textSize);
        f.setWeight(QFont::DemiBold);
        setFont(f);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        setMinimumWidth(0);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return { metrics.horizontalAdvance(m_text), metrics.height() };
    }
    QSize minimumSizeHint() const override { return { 0, QFontMetrics(font()).height() }; }

    FittedLine fitted() const { return FittedLine::fit(m_text, font(), width(), StatusHUD::textMinimumScale); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const FittedLine line = fitted();
        QPainter p(this);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setPen(palette().color(QPalette::WindowText));
        p.translate(0, height() / 2.0);
        p.scale(line.scale, line.scale);
        const QFontMetricsF metrics(font());
        p.drawText(QPointF(0, (metrics.ascent() - metrics.descent()) / 2.0), line.text);
    }

private:
    QString m_text;
};

StatusHUD::StatusHUD(const ActionStatus& status, AppearanceMode mode, SurfaceMode surfaceMode, QWidget* parent)
    : MendoFloatingSurface(mode, surfaceMode, 16, parent)
    , m_status(status)
{
    setShadow(false);
    m_look = StatusLook::of(status, palette());
    auto* row = new QHBoxLayout(content());
    // The 13-pixel top and bottom margins leave 10 pixels of the 36-pixel
    // card for an 18-pixel symbol and a 14-pixel line: both overflow it,
    // centred. Widgets clip to their rectangle, so the row takes the card's
    // whole height and centres them itself.
    row->setContentsMargins(16, 0, 16, 0);
    row->setSpacing(10);
    auto* symbol = new QLabel(content());
    symbol->setObjectName(QStringLiteral("symbol"));
    symbol->setPixmap(SymbolRegistry::pixmap(m_look.symbol, symbolSize, m_look.color, devicePixelRatioF()));
    symbol->setFixedSize(symbolSize, symbolSize);
    m_line = new Line(m_look.text, content());
    row->addWidget(symbol, 0, Qt::AlignVCenter);
    row->addWidget(m_line, 1);
    // Screen readers and window lists tell the panel by its text.
    setAccessibleName(m_look.text);
}

FittedLine StatusHUD::shownLine() const
{
    return m_line->fitted();
}

}  // namespace mendo
