#include "settings/SettingsSidebar.h"

#include "app/MendoAppState.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextLayout>
#include <QVBoxLayout>

namespace mendo {

namespace {

constexpr int horizontalPadding = 9;
constexpr int tileSize = 24;
constexpr int iconSpacing = 10;
constexpr int titleLines = 2;

QColor rgb(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b));
}

}  // namespace

std::array<QColor, 2> settingsIconGradient(SettingsPage page)
{
    switch (page) {
    case SettingsPage::general: return { rgb(0.52, 0.55, 0.60), rgb(0.24, 0.25, 0.28) };
    case SettingsPage::actions: return { rgb(0.55, 0.72, 1.00), rgb(0.12, 0.38, 0.94) };
    case SettingsPage::styles: return { rgb(1.00, 0.70, 0.28), rgb(0.92, 0.42, 0.08) };
    case SettingsPage::aiReply: return { rgb(0.25, 0.82, 0.72), rgb(0.05, 0.48, 0.78) };
    case SettingsPage::quickMenu: return { rgb(0.46, 0.54, 1.00), rgb(0.28, 0.20, 0.82) };
    case SettingsPage::clipboard: return { rgb(0.62, 0.64, 0.70), rgb(0.34, 0.36, 0.42) };
    case SettingsPage::layout: return { rgb(0.20, 0.78, 0.92), rgb(0.04, 0.48, 0.78) };
    case SettingsPage::permissions: return { rgb(0.18, 0.68, 1.00), rgb(0.00, 0.36, 0.90) };
    case SettingsPage::shortcuts: return { rgb(0.40, 0.82, 0.48), rgb(0.08, 0.52, 0.18) };
    case SettingsPage::updates: return { rgb(0.36, 0.75, 1.00), rgb(0.06, 0.42, 0.92) };
    }
    return { rgb(0.5, 0.5, 0.5), rgb(0.3, 0.3, 0.3) };
}

SettingsSidebarRow::SettingsSidebarRow(SettingsPage page, QWidget* parent)
    : QAbstractButton(parent)
    , m_page(page)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setObjectName(QStringLiteral("settingsSidebarRow-") + rawValue(page));
}

void SettingsSidebarRow::setTitle(const QString& title)
{
    setText(title);
    setAccessibleName(title);
    updateGeometry();
    update();
}

void SettingsSidebarRow::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    update();
}

QFont SettingsSidebarRow::titleFont() const
{
    return theme::sizedFont(font(), 13, QFont::Medium);
}

int SettingsSidebarRow::titleWidth(int rowWidth) const
{
    return qMax(1, rowWidth - 2 * horizontalPadding - tileSize - iconSpacing);
}

int SettingsSidebarRow::heightForWidth(int width) const
{
    const QFontMetrics metrics(titleFont());
    const QRect wrapped = metrics.boundingRect(QRect(0, 0, titleWidth(width), 1000), Qt::TextWordWrap, text());
    const int lines = qBound(1, (wrapped.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing(), titleLines);
    return qMax(minimumRowHeight, lines * metrics.lineSpacing() + 10);
}

QSize SettingsSidebarRow::sizeHint() const
{
    const int width = qMax(this->width(), 196);
    return { width, heightForWidth(width) };
}

QSize SettingsSidebarRow::minimumSizeHint() const
{
    return { 2 * horizontalPadding + tileSize + iconSpacing + 20, minimumRowHeight };
}

void SettingsSidebarRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QColor primary = palette().color(QPalette::WindowText);
    if (m_selected) {
        QPainterPath shape;
        shape.addRoundedRect(box, 12, 12);
        p.fillPath(shape, theme::withOpacity(primary, 0.1));
        p.setPen(QPen(theme::withOpacity(Qt::white, 0.08), 1));
        p.drawPath(shape);
    }
    if (hasFocus()) {
        p.setPen(QPen(theme::withOpacity(palette().color(QPalette::Highlight), 0.8), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box, 12, 12);
    }

    // The icon tile with its faint shadow, then the white symbol on it.
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    const qreal iconX = rightToLeft ? width() - horizontalPadding - tileSize : horizontalPadding;
    const QRectF tile(iconX, (height() - tileSize) / 2.0, tileSize, tileSize);
    QPainterPath tilePath;
    tilePath.addRoundedRect(tile.translated(0, 1), 8, 8);
    p.fillPath(tilePath, theme::withOpacity(Qt::black, 0.18));
    tilePath.clear();
    tilePath.addRoundedRect(tile, 8, 8);
    const auto colors = settingsIconGradient(m_page);
    QLinearGradient gradient(tile.topLeft(), tile.bottomRight());
    gradient.setColorAt(0, colors[0]);
    gradient.setColorAt(1, colors[1]);
    p.fillPath(tilePath, gradient);
    const qreal ratio = devicePixelRatioF();
    const QPixmap symbol = SymbolRegistry::pixmap(symbolName(m_page), 14, Qt::white, ratio);
    p.drawPixmap(QPointF(tile.center().x() - 7, tile.center().y() - 7), symbol);

    // The title: at most two lines, the second cut off with an ellipsis.
    const QFont font = titleFont();
    const QFontMetrics metrics(font);
    const int textWidth = titleWidth(width());
    const qreal textX = rightToLeft ? horizontalPadding : horizontalPadding + tileSize + iconSpacing;
    QTextLayout layout(text(), font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(textWidth);
        if (lines.size() == titleLines - 1) {
            lines << metrics.elidedText(text().mid(line.textStart()), Qt::ElideRight, textWidth);
            break;
        }
        lines << text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    p.setFont(font);
    p.setPen(primary);
    const qreal blockHeight = lines.size() * metrics.lineSpacing();
    qreal y = (height() - blockHeight) / 2.0;
    for (const QString& line : lines) {
        p.drawText(QRectF(textX, y, textWidth, metrics.lineSpacing()),
            (rightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, line);
        y += metrics.lineSpacing();
    }
}

SettingsSidebarView::SettingsSidebarView(MendoAppState& state, QWidget* parent)
    : QScrollArea(parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("settingsSidebar"));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    auto* list = new QWidget;
    list->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(12, 2, 12, 14);
    layout->setSpacing(4);
    for (const SettingsPage page : allCases<SettingsPage>()) {
        auto* row = new SettingsSidebarRow(page);
        connect(row, &QAbstractButton::clicked, this, [this, page] { m_state.setSelectedSettingsPage(page); });
        layout->addWidget(row);
        m_rows << row;
    }
    layout->addStretch(1);
    setWidget(list);
    // The scroll area paints its content in the window tone; the sidebar's
    // backdrop is to show through.
    list->setAutoFillBackground(false);
    showTitles();
    showSelection();
    connect(&state, &MendoAppState::settingsChanged, this, &SettingsSidebarView::showTitles);
    connect(&state, &MendoAppState::selectedSettingsPageChanged, this, &SettingsSidebarView::showSelection);
}

SettingsSidebarRow* SettingsSidebarView::row(SettingsPage page) const
{
    for (SettingsSidebarRow* row : m_rows) {
        if (row->page() == page)
            return row;
    }
    return nullptr;
}

void SettingsSidebarView::showTitles()
{
    const UiLanguage language = m_state.settings().uiLanguage;
    for (SettingsSidebarRow* row : m_rows) {
        const QString title = localizedTitle(row->page(), language);
        if (row->text() != title)
            row->setTitle(title);
    }
}

void SettingsSidebarView::showSelection()
{
    const SettingsPage selected = m_state.selectedSettingsPage();
    for (SettingsSidebarRow* row : m_rows)
        row->setSelected(row->page() == selected);
}

}  // namespace mendo
