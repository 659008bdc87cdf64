#include "settings/QuickMenuSettingsView.h"

#include "app/MendoAppState.h"
#include "hotkeys/HotkeyRecorderField.h"
#include "settings/ActionSymbols.h"
#include "settings/ActionTitleLabel.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText sizeTitle { QStringLiteral("Size"), QStringLiteral("Размер") };
const BiText hotkeyTitle { QStringLiteral("Hotkey"), QStringLiteral("Хоткей") };
const BiText selectAllTitle { QStringLiteral("Select all before Fix, Translate, and styles"),
    QStringLiteral("Выделять всё перед исправлением, переводом и стилями") };
const BiText actionsTitle { QStringLiteral("Actions"), QStringLiteral("Действия") };

constexpr int rowIconSize = 16;
constexpr int chevronSize = 14;
constexpr int rowRadius = 11;
constexpr int rowPadding = 10;
constexpr int rowSpacing = 10;
constexpr int hotkeyWidth = 142;

QToolButton* chevron(const char* name)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setIconSize(QSize(chevronSize, chevronSize));
    return button;
}

// The action rows ask for the whole width of the card's content, so that they
// line up as one column across it; a narrower window narrows them.
class ActionRowsHost final : public QWidget {
public:
    QSize sizeHint() const override { return { SettingsBlock::contentMaximumWidth, QWidget::sizeHint().height() }; }
};

}  // namespace

QuickMenuActionRow::QuickMenuActionRow(QuickMenuActions& model, QWidget* parent)
    : OutlinedBox(offFillOpacity, 0, rowRadius, parent)
    , m_model(model)
    , m_toggle(new QCheckBox)
    , m_icon(new QLabel)
    , m_title(new ActionTitleLabel)
    , m_up(chevron("moveUpButton"))
    , m_down(chevron("moveDownButton"))
{
    setObjectName(QStringLiteral("quickMenuActionRow"));
    m_toggle->setObjectName(QStringLiteral("actionToggle"));
    m_icon->setFixedSize(rowIconSize, rowIconSize);
    m_title->setFont(theme::sizedFont(m_title->font(), 13));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(rowPadding, rowPadding, rowPadding, rowPadding);
    layout->setSpacing(rowSpacing);
    layout->addWidget(m_toggle);
    auto* label = new QHBoxLayout;
    label->setSpacing(6);
    label->addWidget(m_icon);
    label->addWidget(m_title, 1);
    layout->addLayout(label, 1);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    // The model is asked with the row's action and place at the moment of the
    // click: the row may show another action by then.
    connect(m_toggle, &QCheckBox::toggled, this, [this](bool on) { m_model.setAction(m_action.id, on); });
    connect(m_up, &QToolButton::clicked, this, [this] { move(-1); });
    connect(m_down, &QToolButton::clicked, this, [this] { move(+1); });
}

void QuickMenuActionRow::move(int direction)
{
    const int from = m_index;
    const int count = int(m_model.orderedActionIds().size());
    const int to = from + direction;
    if (from < 0 || to < 0 || to >= count)
        return;
    m_model.moveAction(from, direction);
    Q_EMIT moved(to, direction < 0);
}

QString QuickMenuActionRow::title() const
{
    return m_title->title();
}

void QuickMenuActionRow::showAction(
    const QuickAction& action, int index, int count, const QString& title, bool enabled, UiLanguage language)
{
    m_action = action;
    m_index = index;
    if (m_title->title() != title || language != m_language) {
        m_title->setTitle(title);
        m_language = language;
        const bool ru = language == UiLanguage::ru;
        m_toggle->setAccessibleName(title);
        m_up->setAccessibleName(
            ru ? QStringLiteral("Переместить «%1» выше").arg(title) : QStringLiteral("Move %1 up").arg(title));
        m_down->setAccessibleName(
            ru ? QStringLiteral("Переместить «%1» ниже").arg(title) : QStringLiteral("Move %1 down").arg(title));
    }
    {
        const QSignalBlocker quiet(m_toggle);
        m_toggle->setChecked(enabled);
    }
    const double fill = enabled ? onFillOpacity : offFillOpacity;
    if (fill != fillOpacity())
        setFillOpacity(fill);
    m_up->setEnabled(QuickMenuActions::canMoveUp(index));
    m_down->setEnabled(QuickMenuActions::canMoveDown(index, count));
    const QString symbol = action.symbolName();
    if (symbol != m_symbol) {
        m_symbol = symbol;
        paintIcons();
    }
}

void QuickMenuActionRow::paintIcons()
{
    const QColor text = palette().color(QPalette::WindowText);
    const qreal ratio = devicePixelRatioF();
    if (!m_symbol.isEmpty())
        m_icon->setPixmap(actionSymbol(m_symbol, rowIconSize, text, ratio));
    QIcon up(actionSymbol(QStringLiteral("chevron.up"), chevronSize, text, ratio));
    up.addPixmap(actionSymbol(QStringLiteral("chevron.up"), chevronSize, theme::withOpacity(text, 0.3), ratio),
        QIcon::Disabled);
    QIcon down(actionSymbol(QStringLiteral("chevron.down"), chevronSize, text, ratio));
    down.addPixmap(actionSymbol(QStringLiteral("chevron.down"), chevronSize, theme::withOpacity(text, 0.3), ratio),
        QIcon::Disabled);
    m_up->setIcon(up);
    m_down->setIcon(down);
}

void QuickMenuActionRow::changeEvent(QEvent* event)
{
    OutlinedBox::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintIcons();
}

QuickMenuSettingsView::QuickMenuSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_state(environment.appState)
    , m_model(environment.appState)
    , m_size(new QComboBox)
    , m_hotkey(makeHotkeyField(environment, hotkeyWidth))
    , m_selectAll(new QCheckBox)
    , m_heading(new QLabel)
    , m_rowsHost(new ActionRowsHost)
{
    MendoAppState& state = m_state;
    auto* texts = new SettingsTexts(state, this);
    m_size->setObjectName(QStringLiteral("sizePicker"));
    m_size->setFixedWidth(160);
    m_hotkey->setObjectName(QStringLiteral("quickMenuHotkeyField"));
    m_selectAll->setObjectName(QStringLiteral("selectAllToggle"));
    texts->text(m_selectAll, selectAllTitle);
    m_heading->setObjectName(QStringLiteral("actionsHeading"));
    m_heading->setFont(theme::sizedFont(m_heading->font(), 13, QFont::DemiBold));
    texts->text(m_heading, actionsTitle);

    // The same field as the General page's menu size: the quick panel's.
    bindChoice<MenuScale>(m_size, state, binding(state, &MendoSettings::quickMenuSize),
        [](MenuScale scale, UiLanguage language) { return localizedTitle(scale, language); });
    bindHotkeyField(m_hotkey, state, binding(state, &MendoSettings::quickMenuHotkey));
    bindToggle(m_selectAll, state, binding(state, &MendoSettings::autoSelectAllBeforeAction));

    auto* rowsLayout = new QVBoxLayout(m_rowsHost);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(8);
    rowsLayout->addWidget(m_heading);

    auto* block = new SettingsBlock(12);
    block->addRow(settingsRow(*texts, sizeTitle, m_size));
    block->addRow(settingsRow(*texts, hotkeyTitle, m_hotkey));
    block->addRow(m_selectAll);
    block->addRow(m_rowsHost);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(block);

    showRows();
    // Titles, the list of styles and both stored lists all come with the
    // settings.
    onSettingsChanged(state, this, [this] { showRows(); });
}

void QuickMenuSettingsView::showRows()
{
    const QList<QuickAction> actions = m_model.orderedActions();
    const UiLanguage language = m_state.settings().uiLanguage;
    auto* layout = static_cast<QVBoxLayout*>(m_rowsHost->layout());
    while (m_rows.size() > actions.size())
        delete m_rows.takeLast();
    while (m_rows.size() < actions.size()) {
        auto* row = new QuickMenuActionRow(m_model, m_rowsHost);
        connect(row, &QuickMenuActionRow::moved, this, &QuickMenuSettingsView::followMovedAction);
        layout->addWidget(row);
        m_rows.append(row);
    }
    const QSet<QString> enabled = m_model.enabledIds();
    const int count = int(actions.size());
    for (int i = 0; i < count; ++i) {
        const QuickAction& action = actions[i];
        m_rows[i]->showAction(action, i, count, m_state.title(action), enabled.contains(action.id), language);
    }
}

// The keyboard focus goes with the moved action, so that pressing the arrow
// again moves the same action on, not its new neighbour back.
void QuickMenuSettingsView::followMovedAction(int to, bool up)
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !isAncestorOf(focused) || to < 0 || to >= m_rows.size())
        return;
    QuickMenuActionRow* row = m_rows[to];
    QToolButton* same = up ? row->upButton() : row->downButton();
    QToolButton* other = up ? row->downButton() : row->upButton();
    (same->isEnabled() ? same : other)->setFocus(Qt::TabFocusReason);
}

QWidget* makeQuickMenuSettingsView(const MainSettingsEnvironment& environment)
{
    return new QuickMenuSettingsView(environment);
}

}  // namespace mendo
