#include "panels/QuickActionPanel.h"

#include "app/MendoAppState.h"
#include "clipboard/ClipboardPanelController.h"
#include "panels/QuickPanelController.h"
#include "ui/FittedLine.h"
#include "model/MendoPromptLibrary.h"
#include "panels/AssistantPanelController.h"
#include "ui/MendoTheme.h"
#include "ui/NativeMaterials.h"
#include "ui/SymbolRegistry.h"

#include <QAbstractButton>
#include <QEvent>
#include <functional>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace mendo {

namespace {

// The text styles the panel uses, in device-independent pixels.
constexpr int headlineSize = 13;
constexpr int captionSize = 11;
constexpr int caption2Size = 10;
// The symbol column of a row and the gap after it.
constexpr int symbolColumn = 20;
constexpr int rowGap = 8;
constexpr qreal rowRadius = 11;
constexpr qreal titleMinimumScale = 0.82;
constexpr int menuMaximumHeight = 420;

QColor mix(const QColor& from, const QColor& to, qreal t)
{
    const auto lerp = [t](qreal a, qreal b) { return a + (b - a) * t; };
    return QColor::fromRgbF(float(lerp(from.redF(), to.redF())), float(lerp(from.greenF(), to.greenF())),
        float(lerp(from.blueF(), to.blueF())), float(lerp(from.alphaF(), to.alphaF())));
}

QColor secondaryColor(const QPalette& palette)
{
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.55f);
    return color;
}

// The translate row's target language with its chevron; a click opens the
// list of languages, the current one checked.
class LanguageButton final : public QAbstractButton {
public:
    LanguageButton(QString language, std::function<void(const QString&)> choose, QWidget* parent)
        : QAbstractButton(parent)
        , m_language(std::move(language))
        , m_choose(std::move(choose))
    {
        setObjectName(QStringLiteral("languageMenu"));
        setFont(theme::sizedFont(font(), captionSize, QFont::Normal));
        setCursor(Qt::PointingHandCursor);
        setAccessibleName(m_language);
        connect(this, &QAbstractButton::clicked, this, &LanguageButton::openMenu);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        // One pixel to spare: eliding measures in fractions.
        const int natural = metrics.horizontalAdvance(m_language) + 1 + 2 + caption2Size;
        return { std::min(natural, QuickActionPanel::languageMenuMaxWidth), metrics.height() + 4 };
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor color = secondaryColor(palette());
        const QFontMetrics metrics(font());
        const int chevronX = width() - caption2Size;
        const QString text = metrics.elidedText(m_language, Qt::ElideRight, std::max(0, chevronX - 2));
        const int textWidth = metrics.horizontalAdvance(text);
        p.setFont(font());
        p.setPen(color);
        p.drawText(QRect(chevronX - 2 - textWidth, 0, textWidth, height()), Qt::AlignVCenter | Qt::AlignLeft, text);
        const QPixmap chevron = SymbolRegistry::pixmap(
            QStringLiteral("chevron.up.chevron.down"), caption2Size, color, devicePixelRatioF());
        p.drawPixmap(chevronX, (height() - caption2Size) / 2, chevron);
    }

private:
    void openMenu()
    {
        // Made afresh each time: the list reflects the current language, and
        // the old menu is not kept around.
        delete m_menu;
        m_menu = new QMenu(this);
        m_menu->setObjectName(QStringLiteral("languages"));
        // One scrolling column, not a hundred names spread over the screen.
        m_menu->setStyleSheet(QStringLiteral("QMenu { menu-scrollable: 1; }"));
        m_menu->setMaximumHeight(menuMaximumHeight);
        QAction* current = nullptr;
        const QIcon check = SymbolRegistry::icon(QStringLiteral("checkmark"), palette().color(QPalette::WindowText));
        for (const QString& name : MendoPromptLibrary::languages()) {
            QAction* item = m_menu->addAction(name);
            if (name == m_language) {
                item->setIcon(check);
                current = item;
            }
            // Queued: the choice may rebuild the rows, and with them this
            // menu, which must first finish closing.
            connect(item, &QAction::triggered, this, [this, name] { m_choose(name); }, Qt::QueuedConnection);
        }
        m_menu->popup(mapToGlobal(QPoint(0, height())));
        if (current)
            m_menu->setActiveAction(current);
    }

    QString m_language;
    std::function<void(const QString&)> m_choose;
    QPointer<QMenu> m_menu;
};

// One quick action: its symbol and title on a rounded tile that takes the
// accent while the pointer is over it.
class QuickActionRow final : public QAbstractButton {
public:
    QuickActionRow(QuickActionPanel& view, QuickAction action, QString title, QuickRowMetrics metrics,
        const QString& targetLanguage, QWidget* parent)
        : QAbstractButton(parent)
        , m_view(view)
        , m_action(std::move(action))
        , m_title(std::move(title))
        , m_metrics(metrics)
    {
        setObjectName(QStringLiteral("row:") + m_action.id);
        setAccessibleName(m_title);
        setFont(theme::sizedFont(font(), metrics.fontSize, QFont::Medium));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_hover.setDuration(120);
        m_hover.setEasingCurve(QEasingCurve::OutCubic);
        connect(&m_hover, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            m_hoverAmount = value.toReal();
            update();
        });
        if (m_action.id == u"translate") {
            m_language = new LanguageButton(
                targetLanguage, [this](const QString& name) { m_view.chooseLanguage(name, m_action); }, this);
        }
        connect(this, &QAbstractButton::clicked, this, [this] { m_view.performRowAction(m_action); });
    }

    const QuickAction& action() const { return m_action; }
    LanguageButton* languageButton() const { return m_language; }

    void setHovered(bool hovered)
    {
        if (hovered == m_hovered)
            return;
        m_hovered = hovered;
        m_hover.stop();
        m_hover.setStartValue(m_hoverAmount);
        m_hover.setEndValue(hovered ? 1.0 : 0.0);
        m_hover.start();
    }

    QSize sizeHint() const override
    {
        return { 2 * m_metrics.horizontalPadding + symbolColumn + rowGap + 40,
            2 * m_metrics.verticalPadding + QFontMetrics(font()).height() };
    }
    QSize minimumSizeHint() const override { return { 0, sizeHint().height() }; }

protected:
    void enterEvent(QEnterEvent* event) override
    {
        QAbstractButton::enterEvent(event);
        m_view.setHoveredActionID(m_action.id);
    }
    void leaveEvent(QEvent* event) override
    {
        QAbstractButton::leaveEvent(event);
        if (m_view.hoveredActionID() == m_action.id)
            m_view.setHoveredActionID(std::nullopt);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        QAbstractButton::resizeEvent(event);
        if (m_language) {
            const QSize hint = m_language->sizeHint();
            m_language->setGeometry(width() - m_metrics.languageMenuTrailingPadding - hint.width(),
                (height() - hint.height()) / 2, hint.width(), hint.height());
        }
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor primary = palette().color(QPalette::WindowText);
        const QColor accent = palette().color(QPalette::Highlight);
        const qreal t = m_hoverAmount;

        QPainterPath tile;
        tile.addRoundedRect(QRectF(rect()), rowRadius, rowRadius);
        p.fillPath(tile, mix(theme::withOpacity(primary, 0.043), theme::withOpacity(accent, 0.15), t));
        QPainterPath rim;
        rim.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), rowRadius - 0.5, rowRadius - 0.5);
        p.setPen(QPen(mix(theme::withOpacity(primary, 0.045), theme::withOpacity(accent, 0.32), t), 1.0));
        p.drawPath(rim);

        // As tall as the title's line, within the symbol column.
        const int symbolSize = std::min(symbolColumn, QFontMetrics(font()).height());
        const QPixmap symbol
            = SymbolRegistry::pixmap(m_action.symbolName(), symbolSize, mix(primary, accent, t), devicePixelRatioF());
        const int x = m_metrics.horizontalPadding;
        p.drawPixmap(x + (symbolColumn - symbolSize) / 2, (height() - symbolSize) / 2, symbol);

        const int titleX = x + symbolColumn + rowGap;
        const int titleEnd = m_language ? m_language->x() - rowGap : width() - m_metrics.horizontalPadding;
        const FittedLine line = FittedLine::fit(m_title, font(), std::max(0, titleEnd - titleX), titleMinimumScale);
        p.setFont(font());
        p.setPen(primary);
        p.translate(titleX, height() / 2.0);
        p.scale(line.scale, line.scale);
        const QFontMetricsF metrics(font());
        p.drawText(QPointF(0, (metrics.ascent() - metrics.descent()) / 2.0), line.text);
    }

private:
    QuickActionPanel& m_view;
    QuickAction m_action;
    QString m_title;
    QuickRowMetrics m_metrics;
    LanguageButton* m_language = nullptr;
    QVariantAnimation m_hover;
    qreal m_hoverAmount = 0;
    bool m_hovered = false;
};

}  // namespace

QuickRowMetrics QuickRowMetrics::of(MenuScale scale)
{
    switch (scale) {
    case MenuScale::tiny:
        return { 7, 10, 8, 13, 16 };
    case MenuScale::small:
        return { 8, 11, 9, 14, 17 };
    case MenuScale::medium:
        return { 9, 13, 11, 15, 19 };
    case MenuScale::large:
        return { 10, 15, 13, 16, 21 };
    case MenuScale::xlarge:
        break;
    }
    return { 11, 17, 15, 17, 23 };
}

QuickActionPanel::QuickActionPanel(MendoAppState& appState, QuickPanelController& quickPanel, QWidget* parent)
    : MendoFloatingSurface(appState.settings().appearanceMode, appState.systemSurfaceMode(), cornerRadius, parent)
    , m_appState(&appState)
    , m_quickPanel(quickPanel)
{
    setObjectName(QStringLiteral("quickActionPanel"));
    // The card fills the panel, as large as the panel is said to be; a shadow
    // would take its room inside the window.
    setShadow(false);
    // The panel moves by dragging its background: a handle lies under the
    // whole card, the header's texts let presses through to it, and the rows
    // sit on another handle, so that a press between or below them drags too.
    m_backdrop = new WindowDragHandle(content());
    m_backdrop->setObjectName(QStringLiteral("dragBackdrop"));
    m_backdrop->setFocusPolicy(Qt::NoFocus);
    m_backdrop->lower();
    content()->installEventFilter(this);
    auto* stack = new QVBoxLayout(content());
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(8);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->setContentsMargins(0, 0, 0, 6);
    auto* placeholder = new QWidget(content());
    placeholder->setFixedSize(18, 18);
    header->addWidget(placeholder);
    m_bolt = new QLabel(content());
    m_bolt->setObjectName(QStringLiteral("bolt"));
    header->addWidget(m_bolt);
    auto* name = new QLabel(QStringLiteral("MendoAI"), content());
    name->setFont(theme::sizedFont(name->font(), headlineSize, QFont::Bold));
    header->addWidget(name);
    header->addStretch(1);
    for (QWidget* passive : { placeholder, static_cast<QWidget*>(m_bolt), static_cast<QWidget*>(name) })
        passive->setAttribute(Qt::WA_TransparentForMouseEvents);
    stack->addLayout(header);

    auto* scroll = new QScrollArea(content());
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    m_rowsHost = new WindowDragHandle;
    m_rowsHost->setFocusPolicy(Qt::NoFocus);
    m_rowsLayout = new QVBoxLayout(m_rowsHost);
    m_rowsLayout->setContentsMargins(0, 0, 0, 12);
    scroll->setWidget(m_rowsHost);
    // After setWidget, which fills the widget's background: that fill would
    // cover the glass under the rows.
    m_rowsHost->setAutoFillBackground(false);
    stack->addWidget(scroll, 1);

    panelCloseButton(content(), [this] { m_quickPanel.close(); });

    connect(&appState, &MendoAppState::settingsChanged, this, &QuickActionPanel::follow);
    connect(&appState, &MendoAppState::quickActionsChanged, this, &QuickActionPanel::follow);
    connect(&appState, &MendoAppState::systemSurfaceModeChanged, this, &QuickActionPanel::follow);
    follow();
}

bool QuickActionPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == content() && event->type() == QEvent::Resize)
        m_backdrop->setGeometry(content()->rect());
    return MendoFloatingSurface::eventFilter(watched, event);
}

void QuickActionPanel::follow()
{
    if (!m_appState)
        return;
    const MendoSettings& settings = m_appState->settings();
    setAppearance(settings.appearanceMode, m_appState->systemSurfaceMode());
    // In the variant of the scheme the card is drawn in.
    m_bolt->setPixmap(
        SymbolRegistry::pixmap(QStringLiteral("bolt.fill"), 16, theme::yellow(glass().colorScheme), devicePixelRatioF()));
    const QuickRowMetrics metrics = QuickRowMetrics::of(settings.quickMenuSize);
    if (!m_rows.isEmpty() && metrics == m_metrics && m_builtActions == m_appState->quickActions()
        && m_builtLanguage == settings.uiLanguage && m_builtTargetLanguage == settings.targetLanguage)
        return;
    m_metrics = metrics;
    rebuildRows();
}

void QuickActionPanel::rebuildRows()
{
    // Later: a row may be the sender of what led here.
    for (QAbstractButton* row : std::as_const(m_rows)) {
        m_rowsLayout->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    m_rows.clear();
    while (QLayoutItem* item = m_rowsLayout->takeAt(0))
        delete item;
    m_hoveredActionID.reset();

    const MendoSettings& settings = m_appState->settings();
    m_builtActions = m_appState->quickActions();
    m_builtLanguage = settings.uiLanguage;
    m_builtTargetLanguage = settings.targetLanguage;
    m_rowsLayout->setSpacing(m_metrics.spacing);
    for (const QuickAction& action : std::as_const(m_builtActions)) {
        auto* row = new QuickActionRow(
            *this, action, m_appState->title(action), m_metrics, settings.targetLanguage, m_rowsHost);
        m_rowsLayout->addWidget(row);
        m_rows.append(row);
    }
    m_rowsLayout->addStretch(1);
}

void QuickActionPanel::setHoveredActionID(std::optional<QString> id)
{
    m_hoveredActionID = std::move(id);
    for (QAbstractButton* row : std::as_const(m_rows)) {
        auto* quickRow = static_cast<QuickActionRow*>(row);
        quickRow->setHovered(m_hoveredActionID == quickRow->action().id);
    }
}

QList<QAbstractButton*> QuickActionPanel::rows() const
{
    return m_rows;
}

QAbstractButton* QuickActionPanel::row(const QString& actionId) const
{
    for (QAbstractButton* row : m_rows) {
        if (static_cast<QuickActionRow*>(row)->action().id == actionId)
            return row;
    }
    return nullptr;
}

QAbstractButton* QuickActionPanel::languageButton() const
{
    for (QAbstractButton* row : m_rows) {
        if (LanguageButton* button = static_cast<QuickActionRow*>(row)->languageButton())
            return button;
    }
    return nullptr;
}

void QuickActionPanel::performRowAction(const QuickAction& action)
{
    m_quickPanel.close();
    if (action.id == u"ai") {
        // After the click has been handled: the assistant opens on the
        // selection of the application that is in front by then.
        QPointer<QuickPanelController> controller(&m_quickPanel);
        QTimer::singleShot(0, &m_quickPanel, [controller] {
            if (!controller)
                return;
            controller->rememberFrontmostApplication();
            const QString context = controller->accessibleSelection();
            if (AssistantPanelController* assistant = controller->assistantPanel())
                assistant->show(context);
        });
        return;
    }
    if (action.id == u"clipboard") {
        if (ClipboardPanelController* clipboard = m_quickPanel.clipboardPanel())
            clipboard->show();
        return;
    }
    if (m_appState)
        m_appState->run(action, true, false);
}

void QuickActionPanel::chooseLanguage(const QString& language, const QuickAction& action)
{
    if (!m_appState)
        return;
    MendoSettings settings = m_appState->settings();
    settings.targetLanguage = language;
    m_appState->setSettings(settings);
    m_quickPanel.close();
    m_appState->run(action, true, false);
}

}  // namespace mendo
