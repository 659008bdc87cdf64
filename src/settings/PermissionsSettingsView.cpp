#include "settings/PermissionsSettingsView.h"

#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText accessibilityTitle { QStringLiteral("Accessibility"), QStringLiteral("Универсальный доступ") };
const BiText inputMonitoringTitle { QStringLiteral("Input Monitoring"), QStringLiteral("Мониторинг ввода") };
const BiText grantedText { QStringLiteral("Granted"), QStringLiteral("Разрешено") };
const BiText needsAccessText { QStringLiteral("Needs Access"), QStringLiteral("Нужен доступ") };
const BiText accessibilityGrantedCaption {
    QStringLiteral("The accessibility bus (AT-SPI) is on: MendoAI reads and replaces text through it."),
    QStringLiteral("Шина специальных возможностей (AT-SPI) включена: через неё MendoAI читает и заменяет текст.")
};
const BiText accessibilityMissingCaption {
    QStringLiteral("The accessibility bus (AT-SPI) is off: MendoAI reads and replaces text through the clipboard "
                   "instead."),
    QStringLiteral("Шина специальных возможностей (AT-SPI) выключена: MendoAI читает и заменяет текст через буфер "
                   "обмена.")
};
const BiText inputMonitoringGrantedCaption {
    QStringLiteral("The X server offers XTEST and XInput 2: MendoAI sends keys and watches the mouse through them."),
    QStringLiteral("X-сервер поддерживает XTEST и XInput 2: через них MendoAI нажимает клавиши и следит за мышью.")
};
const BiText inputMonitoringMissingCaption {
    QStringLiteral("The X server lacks XTEST or XInput 2: MendoAI cannot send keys or watch the mouse."),
    QStringLiteral("X-серверу не хватает XTEST или XInput 2: MendoAI не может нажимать клавиши и следить за мышью.")
};
const BiText refreshTitle { QStringLiteral("Refresh"), QStringLiteral("Обновить") };
const BiText requestTitle { QStringLiteral("Request permissions"), QStringLiteral("Запросить разрешения") };
const BiText openAccessibilityTitle { QStringLiteral("Open Accessibility"),
    QStringLiteral("Открыть Универсальный доступ") };
const BiText openInputMonitoringTitle { QStringLiteral("Open Input Monitoring"),
    QStringLiteral("Открыть Мониторинг ввода") };
const BiText openInputMonitoringToolTip {
    QStringLiteral("Opens the accessibility settings: Linux has no separate Input Monitoring settings."),
    QStringLiteral("Открывает настройки специальных возможностей: отдельных настроек мониторинга ввода в Linux нет.")
};
const BiText resetTitle { QStringLiteral("Reset Mendo permissions + request again"),
    QStringLiteral("Сбросить разрешения Mendo и запросить снова") };
const BiText noteText {
    QStringLiteral("Linux keeps no per-application permissions: Request permissions switches the accessibility bus "
                   "on."),
    QStringLiteral("В Linux нет разрешений для отдельных приложений: «Запросить разрешения» включает шину "
                   "специальных возможностей.")
};

constexpr int badgeColumnWidth = 400;

// A button that is only its text, as wide as the text.
QToolButton* plainButton(SettingsTexts& texts, const char* name, const BiText& title)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setCursor(Qt::PointingHandCursor);
    texts.text(button, title);
    return button;
}

QColor destructiveRed(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(255, 105, 97) : QColor(215, 0, 21);
}

}  // namespace

PermissionBadge::PermissionBadge(QWidget* parent)
    : QWidget(parent)
    , m_icon(new QLabel)
    , m_text(new QLabel)
    , m_caption(new QLabel)
{
    m_icon->setFixedSize(16, 16);
    m_text->setFont(theme::sizedFont(m_text->font(), 13, QFont::Medium));
    m_caption->setWordWrap(true);
    m_caption->setFont(theme::sizedFont(m_caption->font(), 11));
    m_caption->setForegroundRole(QPalette::PlaceholderText);
    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    line->addWidget(m_icon);
    line->addWidget(m_text);
    line->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(line);
    layout->addWidget(m_caption);
    setFixedWidth(badgeColumnWidth);
}

void PermissionBadge::showGrant(bool granted, const QString& text, const QString& caption)
{
    m_granted = granted;
    m_text->setText(text);
    m_caption->setText(caption);
    setAccessibleName(text);
    setAccessibleDescription(caption);
    paintIcon();
}

QString PermissionBadge::text() const
{
    return m_text->text();
}

QString PermissionBadge::caption() const
{
    return m_caption->text();
}

QString PermissionBadge::symbolName() const
{
    return m_granted ? QStringLiteral("checkmark.circle.fill") : QStringLiteral("exclamationmark.circle");
}

QColor PermissionBadge::color() const
{
    const bool dark = theme::colorSchemeOf(palette()) == ColorScheme::dark;
    if (m_granted)
        return dark ? QColor(48, 209, 88) : QColor(40, 167, 69);
    return dark ? QColor(255, 159, 10) : QColor(230, 126, 0);
}

void PermissionBadge::paintIcon()
{
    const QColor tone = color();
    m_icon->setPixmap(SymbolRegistry::pixmap(symbolName(), 16, tone, devicePixelRatioF()));
    QPalette colours = m_text->palette();
    colours.setColor(QPalette::WindowText, tone);
    m_text->setPalette(colours);
}

void PermissionBadge::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintIcon();
}

PermissionsSettingsView::PermissionsSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_state(environment.appState)
    , m_accessibility(new PermissionBadge)
    , m_inputMonitoring(new PermissionBadge)
    , m_note(new QLabel)
{
    MendoAppState& state = environment.appState;
    auto* texts = new SettingsTexts(state, this);
    m_accessibility->setObjectName(QStringLiteral("accessibilityBadge"));
    m_inputMonitoring->setObjectName(QStringLiteral("inputMonitoringBadge"));
    m_refresh = plainButton(*texts, "refreshButton", refreshTitle);
    m_request = plainButton(*texts, "requestButton", requestTitle);
    m_openAccessibility = plainButton(*texts, "openAccessibilityButton", openAccessibilityTitle);
    m_openInputMonitoring = plainButton(*texts, "openInputMonitoringButton", openInputMonitoringTitle);
    texts->toolTip(m_openInputMonitoring, openInputMonitoringToolTip);
    m_reset = new QPushButton;
    m_reset->setObjectName(QStringLiteral("resetButton"));
    texts->text(m_reset, resetTitle);
    texts->text(m_note, noteText);
    m_note->setWordWrap(true);
    m_note->setFont(theme::sizedFont(m_note->font(), 11));
    m_note->setForegroundRole(QPalette::PlaceholderText);

    connect(m_refresh, &QToolButton::clicked, this, [&state] { state.refreshPermissions(); });
    connect(m_request, &QToolButton::clicked, this, [&state] { state.requestPermissions(); });
    // The desktop keeps one place for both: its accessibility settings.
    connect(m_openAccessibility, &QToolButton::clicked, this,
        [&state] { state.openPermissionSettings(PermissionSettingsTarget::accessibility); });
    connect(m_openInputMonitoring, &QToolButton::clicked, this,
        [&state] { state.openPermissionSettings(PermissionSettingsTarget::inputMonitoring); });
    connect(m_reset, &QPushButton::clicked, this, [&state] { state.resetMendoPermissions(true); });

    auto* block = new SettingsBlock(12);
    block->addRow(settingsRow(*texts, accessibilityTitle, m_accessibility, 0, badgeColumnWidth));
    block->addRow(settingsRow(*texts, inputMonitoringTitle, m_inputMonitoring, 0, badgeColumnWidth));
    // Two pairs: in one line the four do not fit the narrowest window.
    auto* buttons = new QWidget;
    auto* buttonRows = new QVBoxLayout(buttons);
    buttonRows->setContentsMargins(0, 0, 0, 0);
    buttonRows->setSpacing(2);
    auto addPair = [buttonRows](QToolButton* first, QToolButton* second) {
        auto* line = new QHBoxLayout;
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(first);
        line->addWidget(second);
        line->addStretch(1);
        buttonRows->addLayout(line);
    };
    addPair(m_refresh, m_request);
    addPair(m_openAccessibility, m_openInputMonitoring);
    block->addRow(buttons);
    auto* resetLine = new QHBoxLayout;
    resetLine->addWidget(m_reset);
    resetLine->addStretch(1);
    auto* resetHolder = new QWidget;
    resetLine->setContentsMargins(0, 0, 0, 0);
    resetHolder->setLayout(resetLine);
    block->addRow(resetHolder);
    block->addRow(m_note);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(block);

    showGrants();
    connect(&state, &MendoAppState::permissionStateChanged, this, &PermissionsSettingsView::showGrants);
    texts->follow([this](UiLanguage) { showGrants(); });
    showDestructiveTone();
}

void PermissionsSettingsView::showDestructiveTone()
{
    QPalette colours = m_reset->palette();
    colours.setColor(QPalette::ButtonText, destructiveRed(theme::colorSchemeOf(palette())));
    m_reset->setPalette(colours);
}

void PermissionsSettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showDestructiveTone();
}

void PermissionsSettingsView::showGrants()
{
    const MendoAppState& state = m_state;
    const UiLanguage language = state.settings().uiLanguage;
    const PermissionState grants = state.permissionState();
    m_accessibility->showGrant(grants.accessibilityGranted,
        (grants.accessibilityGranted ? grantedText : needsAccessText)(language),
        (grants.accessibilityGranted ? accessibilityGrantedCaption : accessibilityMissingCaption)(language));
    m_inputMonitoring->showGrant(grants.inputMonitoringGranted,
        (grants.inputMonitoringGranted ? grantedText : needsAccessText)(language),
        (grants.inputMonitoringGranted ? inputMonitoringGrantedCaption : inputMonitoringMissingCaption)(language));
}

QWidget* makePermissionsSettingsView(const MainSettingsEnvironment& environment)
{
    return new PermissionsSettingsView(environment);
}

}  // namespace mendo
