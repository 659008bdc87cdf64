#include "settings/ClipboardSettingsView.h"

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "base/Async.h"
#include "clipboard/ClipboardEntryList.h"
#include "clipboard/ClipboardHistoryService.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText keepHistoryTitle { QStringLiteral("Keep local clipboard history"),
    QStringLiteral("Хранить локальную историю буфера") };
const BiText limitTitle { QStringLiteral("History limit"), QStringLiteral("Лимит истории") };
const BiText decreaseTitle { QStringLiteral("Decrease history limit"), QStringLiteral("Уменьшить лимит истории") };
const BiText increaseTitle { QStringLiteral("Increase history limit"), QStringLiteral("Увеличить лимит истории") };
const BiText daysTitle { QStringLiteral("Keep for days"), QStringLiteral("Хранить дней") };
const BiText clearTitle { QStringLiteral("Clear history"), QStringLiteral("Очистить историю") };
const BiText recentTitleText { QStringLiteral("Recent clipboard"), QStringLiteral("Недавний буфер") };
const BiText emptyTitle { QStringLiteral("Clipboard history is empty."), QStringLiteral("История буфера пуста.") };
const BiText pastedText { QStringLiteral("Pasted"), QStringLiteral("Вставлено") };
const BiText listName { QStringLiteral("Clipboard history"), QStringLiteral("История буфера") };

// Rows enough to show a few entries when the window is at its smallest;
// above that the list takes the rest of the page's height.
constexpr int listMinimumHeight = 180;

QColor destructiveRed(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(255, 105, 97) : QColor(215, 0, 21);
}

QToolButton* stepButton(const QString& sign, const char* name)
{
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(sign);
    button->setFixedSize(26, 22);
    button->setAutoRepeat(true);
    return button;
}

// Runs to its end even when the page is gone meanwhile: it holds only the
// text and the objects that outlive the window.
Task<> pasteText(SelectionTransfer& selection, MendoAppState& state, QString text)
{
    QString failure;
    try {
        co_await selection.pasteTransient(std::move(text), std::nullopt, PasteboardTiming::standard());
    } catch (const std::exception& error) {
        failure = describeException(error);
        if (failure.isEmpty())
            failure = QStringLiteral("Paste failed.");
    }
    if (!failure.isEmpty())
        state.setStatus(ActionStatus::failed(failure));
    else
        state.setStatus(ActionStatus::done(pastedText(state.settings().uiLanguage)));
}

}  // namespace

QString ClipboardSettingsView::localizedClipboardDays(const QString& clipboardDays, UiLanguage language)
{
    if (clipboardDays == QLatin1String("forever"))
        return pick(language, QStringLiteral("forever"), QStringLiteral("всегда"));
    return clipboardDays;
}

std::optional<qint64> ClipboardSettingsView::steppedLimit(qint64 stored, int step)
{
    if (step < 0) {
        if (stored <= minimumLimit)
            return std::nullopt;
        return stored > maximumLimit ? maximumLimit : stored - 1;
    }
    if (stored >= maximumLimit)
        return std::nullopt;
    return stored < minimumLimit ? minimumLimit : stored + 1;
}

ClipboardSettingsView::ClipboardSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_state(environment.appState)
    , m_history(environment.clipboardHistory)
    , m_selection(environment.selection)
    , m_historyToggle(new QCheckBox)
    , m_limitLabel(new QLabel)
    , m_decrease(stepButton(QStringLiteral("−"), "limitDecreaseButton"))
    , m_increase(stepButton(QStringLiteral("+"), "limitIncreaseButton"))
    , m_daysTitle(new QLabel)
    , m_daysValue(new QLabel)
    , m_clear(new QPushButton)
    , m_recentTitle(new QLabel)
    , m_emptyText(new QLabel)
    , m_list(new ClipboardEntryList(ClipboardEntryList::Kind::history))
{
    auto* texts = new SettingsTexts(m_state, this);
    m_historyToggle->setObjectName(QStringLiteral("historyToggle"));
    texts->text(m_historyToggle, keepHistoryTitle);
    bindToggle(m_historyToggle, m_state, binding(m_state, &MendoSettings::clipboardHistoryEnabled));

    m_limitLabel->setObjectName(QStringLiteral("limitLabel"));
    texts->accessibleName(m_decrease, decreaseTitle);
    texts->accessibleName(m_increase, increaseTitle);
    texts->toolTip(m_decrease, decreaseTitle);
    texts->toolTip(m_increase, increaseTitle);
    connect(m_decrease, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_increase, &QToolButton::clicked, this, [this] { step(+1); });
    auto* stepper = new QWidget;
    auto* stepperLayout = new QHBoxLayout(stepper);
    stepperLayout->setContentsMargins(0, 0, 0, 0);
    stepperLayout->setSpacing(6);
    stepperLayout->addWidget(m_limitLabel);
    stepperLayout->addSpacing(4);
    stepperLayout->addWidget(m_decrease);
    stepperLayout->addWidget(m_increase);
    stepperLayout->addStretch(1);

    m_daysTitle->setObjectName(QStringLiteral("daysTitle"));
    m_daysValue->setObjectName(QStringLiteral("daysValue"));
    texts->text(m_daysTitle, daysTitle);
    m_daysValue->setForegroundRole(QPalette::PlaceholderText);
    m_daysValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* days = new QWidget;
    auto* daysLayout = new QHBoxLayout(days);
    daysLayout->setContentsMargins(0, 0, 0, 0);
    daysLayout->setSpacing(16);
    daysLayout->addWidget(m_daysTitle);
    daysLayout->addWidget(m_daysValue);
    daysLayout->addStretch(1);

    m_clear->setObjectName(QStringLiteral("clearHistoryButton"));
    texts->text(m_clear, clearTitle);
    connect(m_clear, &QPushButton::clicked, this, [this] { m_state.clearClipboardHistory(); });
    auto* clearHolder = new QWidget;
    auto* clearLayout = new QHBoxLayout(clearHolder);
    clearLayout->setContentsMargins(0, 0, 0, 0);
    clearLayout->addWidget(m_clear);
    clearLayout->addStretch(1);

    auto* block = new SettingsBlock(12);
    block->addRow(m_historyToggle);
    block->addRow(stepper);
    block->addRow(days);
    block->addRow(clearHolder);

    m_recentTitle->setObjectName(QStringLiteral("recentTitle"));
    m_recentTitle->setFont(theme::sizedFont(m_recentTitle->font(), 13, QFont::DemiBold));
    texts->text(m_recentTitle, recentTitleText);
    m_emptyText->setObjectName(QStringLiteral("emptyText"));
    m_emptyText->setForegroundRole(QPalette::PlaceholderText);
    texts->text(m_emptyText, emptyTitle);
    m_list->setObjectName(QStringLiteral("historyList"));
    m_list->setLineLimit(rowLineLimit);
    m_list->setShowsLength(false);
    m_list->setFontSize(13);
    m_list->setMinimumHeight(listMinimumHeight);
    texts->accessibleName(m_list, listName);
    texts->follow([this](UiLanguage language) { m_list->setLanguage(language); });
    connect(m_list, &ClipboardEntryList::buttonClicked, this,
        [this](ClipboardRowButton::Action action, const QString& id) {
            if (action == ClipboardRowButton::Action::paste)
                pasteEntry(id);
            else if (action == ClipboardRowButton::Action::remove)
                deleteEntry(id);
        });

    // The list keeps its own scrolling and fills the page's height below the
    // card, so only the rows in its view are laid out.
    auto* recent = new QWidget;
    recent->setObjectName(QStringLiteral("recentClipboard"));
    auto* recentLayout = new QVBoxLayout(recent);
    recentLayout->setContentsMargins(0, 0, 0, 0);
    recentLayout->setSpacing(10);
    recentLayout->addWidget(m_recentTitle);
    recentLayout->addWidget(m_emptyText);
    recentLayout->addWidget(m_list, 1);
    recent->setMaximumWidth(SettingsBlock::contentMaximumWidth + 2 * SettingsBlock::inset);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(block, 0, Qt::AlignTop);
    layout->addWidget(recent, 1);

    showSettings();
    showEntries();
    onSettingsChanged(m_state, this, [this] { showSettings(); });
    texts->follow([this](UiLanguage) { showSettings(); });
    connect(&m_history, &ClipboardHistoryService::itemsChanged, this, &ClipboardSettingsView::showEntries);
    showDestructiveTone();
}

void ClipboardSettingsView::showSettings()
{
    const MendoSettings& settings = m_state.settings();
    const UiLanguage language = settings.uiLanguage;
    // Shown as stored, even outside the page's range: showing writes nothing.
    const qint64 limit = settings.clipboardLimit;
    const QString limitText = limitTitle(language) + QStringLiteral(": ") + QString::number(limit);
    if (m_limitLabel->text() != limitText)
        m_limitLabel->setText(limitText);
    m_decrease->setEnabled(steppedLimit(limit, -1).has_value());
    m_increase->setEnabled(steppedLimit(limit, +1).has_value());
    const QString daysText = localizedClipboardDays(settings.clipboardDays, language);
    if (m_daysValue->text() != daysText)
        m_daysValue->setText(daysText);
    m_daysValue->setAccessibleName(daysTitle(language) + QStringLiteral(": ") + daysText);
}

void ClipboardSettingsView::showEntries()
{
    const QList<ClipboardHistoryItem>& items = m_history.items();
    QList<ClipboardEntryList::Entry> entries;
    entries.reserve(items.size());
    for (const ClipboardHistoryItem& item : items)
        entries.append({ item.id, item.text, item.chars });
    m_list->setEntries(std::move(entries));
    m_emptyText->setVisible(items.isEmpty());
    m_list->setVisible(!items.isEmpty());
}

void ClipboardSettingsView::step(int direction)
{
    const std::optional<qint64> next = steppedLimit(m_state.settings().clipboardLimit, direction);
    if (next)
        binding(m_state, &MendoSettings::clipboardLimit).set(*next);
}

void ClipboardSettingsView::pasteEntry(const QString& id)
{
    for (const ClipboardHistoryItem& item : m_history.items()) {
        if (item.id == id) {
            detach(pasteText(m_selection, m_state, item.text));
            return;
        }
    }
}

void ClipboardSettingsView::deleteEntry(const QString& id)
{
    m_history.remove(id);
}

void ClipboardSettingsView::showDestructiveTone()
{
    QPalette colours = m_clear->palette();
    colours.setColor(QPalette::ButtonText, destructiveRed(theme::colorSchemeOf(palette())));
    m_clear->setPalette(colours);
}

void ClipboardSettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showDestructiveTone();
}

QWidget* makeClipboardSettingsView(const MainSettingsEnvironment& environment)
{
    return new ClipboardSettingsView(environment);
}

}  // namespace mendo
