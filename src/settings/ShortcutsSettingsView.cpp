#include "settings/ShortcutsSettingsView.h"

#include "desktop/BuiltInDisplayService.h"
#include "hotkeys/HotkeyRecorderField.h"
#include "hotkeys/ParsedHotkey.h"
#include "model/WindowTilingHotkeys.h"
#include "settings/MainSettingsEnvironment.h"
#include "ui/MendoTheme.h"
#include "ui/OutlinedBox.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <memory>

namespace mendo {

namespace shortcuts {

namespace {

const BiText activeWindow { QStringLiteral("Active window"), QStringLiteral("Активное окно") };
const BiText fillScreen { QStringLiteral("Fill screen"), QStringLiteral("На весь экран") };

struct TilingTitle {
    const char* id;
    BiText title;
};

const QList<TilingTitle>& tilingTitles()
{
    static const QList<TilingTitle> titles {
        { "tileAll", { QStringLiteral("Arrange windows"), QStringLiteral("Разложить окна") } },
        { "topLeft", { QStringLiteral("Top left"), QStringLiteral("Левая верхняя четверть") } },
        { "topRight", { QStringLiteral("Top right"), QStringLiteral("Правая верхняя четверть") } },
        { "bottomLeft", { QStringLiteral("Bottom left"), QStringLiteral("Левая нижняя четверть") } },
        { "bottomRight", { QStringLiteral("Bottom right"), QStringLiteral("Правая нижняя четверть") } },
        { "leftHalf", { QStringLiteral("Left half"), QStringLiteral("Левая половина") } },
        { "rightHalf", { QStringLiteral("Right half"), QStringLiteral("Правая половина") } },
        { "full", fillScreen },
        { "fill", { QStringLiteral("Fill"), QStringLiteral("Заполнить") } },
        { "swapLeft", { QStringLiteral("Swap with window on the left"), QStringLiteral("Обмен с окном слева") } },
        { "swapRight", { QStringLiteral("Swap with window on the right"), QStringLiteral("Обмен с окном справа") } },
        { "swapUp", { QStringLiteral("Swap with window above"), QStringLiteral("Обмен с окном сверху") } },
        { "swapDown", { QStringLiteral("Swap with window below"), QStringLiteral("Обмен с окном снизу") } },
        { "builtInDisplay",
            { QStringLiteral("Built-in display on/off"), QStringLiteral("Встроенный экран вкл/выкл") } },
    };
    return titles;
}

}  // namespace

BiText windowTilingTitle(const QString& id)
{
    for (const TilingTitle& entry : tilingTitles()) {
        if (id == QLatin1String(entry.id))
            return entry.title;
    }
    return fillScreen;
}

BiText windowTilingSubtitle(const QString& id)
{
    static const BiText tileAll { QStringLiteral("Up to 4 recent windows of the current screen"),
        QStringLiteral("До 4 последних окон текущего экрана") };
    // Chromium and Chrome both take app windows here.
    static const BiText half { QStringLiteral("Active window. In Chromium or Chrome the tab opens as a separate "
                                              "window without the address bar"),
        QStringLiteral("Активное окно. В Chromium или Chrome вкладка открывается отдельным окном без адресной "
                       "строки") };
    // Alt is the drag modifier of the window swap here.
    static const BiText swap { QStringLiteral("Active window trades places with its neighbour. Or drag a window "
                                              "onto another with Alt held"),
        QStringLiteral("Активное окно меняется местами с соседним. Или перетащите окно на другое с зажатым Alt") };
    static const BiText display { QStringLiteral("Turns off the built-in screen while an external monitor is "
                                                 "connected"),
        QStringLiteral("Выключает встроенный экран, пока подключён внешний монитор") };
    if (id == u"tileAll")
        return tileAll;
    if (id == u"builtInDisplay")
        return display;
    if (id == u"leftHalf" || id == u"rightHalf")
        return half;
    if (id == u"swapLeft" || id == u"swapRight" || id == u"swapUp" || id == u"swapDown")
        return swap;
    return activeWindow;
}

SettingsBinding<QString> windowTilingBinding(MendoAppState& state, const QString& id)
{
    return { [&state, id] {
                const HotkeyMap& stored = state.settings().windowTilingHotkeys;
                if (const auto it = stored.constFind(id); it != stored.constEnd())
                    return *it;
                const HotkeyMap& defaults = WindowTilingHotkeys::defaults();
                if (const auto it = defaults.constFind(id); it != defaults.constEnd())
                    return *it;
                return ParsedHotkey::notAssigned;
            },
        [&state, id](const QString& hotkey) {
            state.editSettings([&](MendoSettings& s) { s.windowTilingHotkeys.insert(id, hotkey); });
        } };
}

SettingsBinding<QString> styleHotkeyBinding(MendoAppState& state, const PromptStyle& style)
{
    return { [&state, style] {
                for (const PromptStyle& stored : state.settings().promptStyles) {
                    if (stored.id == style.id)
                        return stored.hotkey;
                }
                return style.hotkey;
            },
        [&state, id = style.id](const QString& hotkey) {
            for (const PromptStyle& stored : state.settings().promptStyles) {
                if (stored.id != id)
                    continue;
                // The style as stored now: an edit of its name or prompt made
                // elsewhere since this row was made is kept.
                if (stored.hotkey == hotkey)
                    return;
                PromptStyle changed = stored;
                changed.hotkey = hotkey;
                state.updatePromptStyle(changed);
                return;
            }
        } };
}

bool offersBuiltInDisplay(const BuiltInDisplayService& displays)
{
    if (!displays.configureEnabled())
        return false;
    // A display this service switched off is no longer active, yet its
    // hotkey is the way back.
    if (displays.disabledDisplayID())
        return true;
    return displays.activeBuiltInDisplay().has_value();
}

QStringList windowTilingList(const BuiltInDisplayService& displays)
{
    QStringList ids;
    for (const QString& id : WindowTilingHotkeys::order()) {
        if (id == u"builtInDisplay" && !offersBuiltInDisplay(displays))
            continue;
        ids << id;
    }
    return ids;
}

}  // namespace shortcuts

namespace {

const BiText windowsHeader { QStringLiteral("Windows"), QStringLiteral("Окна") };
const BiText stylesHeader { QStringLiteral("Styles"), QStringLiteral("Стили") };
const BiText tilingToggleTitle { QStringLiteral("Arrange windows with hotkeys"),
    QStringLiteral("Раскладывать окна хоткеями") };
const BiText autoReplace { QStringLiteral("Auto replace"), QStringLiteral("Автозамена") };
const BiText manualReview { QStringLiteral("Manual review"), QStringLiteral("Ручная проверка") };

struct ActionRow {
    const char* name;
    QString MendoSettings::*field;
    BiText title;
    BiText subtitle;
};

const QList<ActionRow>& actionRows()
{
    static const QList<ActionRow> rows {
        { "quickMenuHotkey", &MendoSettings::quickMenuHotkey, { QStringLiteral("Quick menu"), QStringLiteral("Быстрое меню") },
            { QStringLiteral("Open quick actions"), QStringLiteral("Открыть быстрые действия") } },
        { "assistantHotkey", &MendoSettings::assistantHotkey, { QStringLiteral("AI assistant"), QStringLiteral("AI помощник") },
            { QStringLiteral("Open AI chat with selected text"), QStringLiteral("Открыть AI-чат с выделенным текстом") } },
        { "clipboardHotkey", &MendoSettings::clipboardHotkey,
            { QStringLiteral("Clipboard history"), QStringLiteral("История буфера") },
            { QStringLiteral("Open clipboard window"), QStringLiteral("Открыть окно буфера") } },
        { "translatePreviewHotkey", &MendoSettings::translatePreviewHotkey,
            { QStringLiteral("Translate preview"), QStringLiteral("Предпросмотр перевода") },
            { QStringLiteral("Open translation window"), QStringLiteral("Открыть окно перевода") } },
        { "layoutHotkey", &MendoSettings::layoutHotkey, { QStringLiteral("Fix layout"), QStringLiteral("Исправить раскладку") },
            { QStringLiteral("Convert typed text layout"),
                QStringLiteral("Преобразовать текст из неверной раскладки") } },
    };
    return rows;
}

constexpr int spacing = 12;
constexpr int rowPadding = 10;
constexpr double rowFillOpacity = 0.055;
constexpr qreal rowRadius = 11;

QLabel* sectionHeader(SettingsTexts& texts, const BiText& text, const char* name)
{
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setFont(theme::sizedFont(label->font(), 13, QFont::DemiBold));
    texts.text(label, text);
    return label;
}

// The page's one column: as wide as a card's content may be, so that every
// row, short texts or long, reaches the same trailing edge; narrower when the
// window is.
class CardColumn : public QWidget {
public:
    QSize sizeHint() const override
    {
        return { SettingsBlock::contentMaximumWidth, QWidget::sizeHint().height() };
    }
};

QVBoxLayout* column(QWidget* owner)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

}  // namespace

ShortcutsSettingsView::ShortcutsSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_state(environment.appState)
    , m_displays(environment.builtInDisplay)
    , m_texts(new SettingsTexts(environment.appState, this))
{
    auto* block = new SettingsBlock;
    auto* body = new CardColumn;
    QVBoxLayout* rows = column(body);
    block->addRow(body);

    for (const ActionRow& action : actionRows()) {
        const Row row = hotkeyRow(*m_texts, action.title, action.subtitle, binding(m_state, action.field));
        row.field->setObjectName(QLatin1String(action.name));
        m_actionFields.insert(QLatin1String(action.name), row.field);
        rows->addWidget(row.widget);
    }

    rows->addWidget(sectionHeader(*m_texts, windowsHeader, "windowsHeader"));
    m_tilingToggle = new QCheckBox;
    m_tilingToggle->setObjectName(QStringLiteral("windowTilingToggle"));
    m_texts->text(m_tilingToggle, tilingToggleTitle);
    bindToggle(m_tilingToggle, m_state, binding(m_state, &MendoSettings::windowTilingEnabled));
    auto* toggleHolder = new QWidget;
    auto* toggleLayout = new QHBoxLayout(toggleHolder);
    toggleLayout->setContentsMargins(rowPadding, 0, rowPadding, 0);
    toggleLayout->addWidget(m_tilingToggle);
    toggleLayout->addStretch(1);
    rows->addWidget(toggleHolder);

    // Every tiling row is made once; the switch and the displays only show
    // or hide them, so their values stay as they are.
    m_tilingRows = new QWidget;
    QVBoxLayout* tilingLayout = column(m_tilingRows);
    for (const QString& id : WindowTilingHotkeys::order()) {
        const Row row = hotkeyRow(*m_texts, shortcuts::windowTilingTitle(id), shortcuts::windowTilingSubtitle(id),
            shortcuts::windowTilingBinding(m_state, id));
        row.field->setObjectName(QStringLiteral("tiling-") + id);
        m_tiling.insert(id, row);
        tilingLayout->addWidget(row.widget);
    }
    rows->addWidget(m_tilingRows);

    rows->addWidget(sectionHeader(*m_texts, stylesHeader, "stylesHeader"));
    auto* styles = new QWidget;
    m_styleLayout = column(styles);
    rows->addWidget(styles);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(block);

    followTilingRows();
    followStyles();
    onSettingsChanged(m_state, this, [this] { followTilingRows(); });
    // A built-in display that comes, goes or is switched off shows or hides
    // its row at once. Only the signal is followed: the service's single
    // change callback belongs to the tray menu.
    connect(&m_displays, &BuiltInDisplayService::onChange, this, [this] { followTilingRows(); });
    connect(&m_state, &MendoAppState::promptStylesChanged, this, [this] { followStyles(); });
    // Built-in style titles and the subtitles follow the interface language.
    m_texts->follow([this](UiLanguage) {
        for (StyleRow& row : m_styles)
            showStyle(row, *row.style);
    });
}

ShortcutsSettingsView::Row ShortcutsSettingsView::hotkeyRow(
    SettingsTexts& texts, const BiText& title, const BiText& subtitle, SettingsBinding<QString> hotkey)
{
    Row row;
    row.widget = new OutlinedBox(rowFillOpacity, 0, rowRadius);
    auto* layout = new QHBoxLayout(row.widget);
    layout->setContentsMargins(rowPadding, rowPadding, rowPadding, rowPadding);
    layout->setSpacing(spacing);
    auto* labels = new QVBoxLayout;
    labels->setContentsMargins(0, 0, 0, 0);
    labels->setSpacing(2);
    row.title = new QLabel;
    row.title->setFont(theme::sizedFont(row.title->font(), 13, QFont::Medium));
    row.title->setWordWrap(true);
    row.subtitle = new QLabel;
    row.subtitle->setFont(theme::sizedFont(row.subtitle->font(), 11));
    row.subtitle->setForegroundRole(QPalette::PlaceholderText);
    row.subtitle->setWordWrap(true);
    if (!title.en.isEmpty()) {
        texts.text(row.title, title);
        texts.text(row.subtitle, subtitle);
    }
    labels->addWidget(row.title);
    labels->addWidget(row.subtitle);
    layout->addLayout(labels, 1);
    row.field = makeHotkeyField(m_environment, hotkeyWidth);
    layout->addWidget(row.field, 0, Qt::AlignVCenter);
    bindHotkeyField(row.field, m_state, std::move(hotkey));
    // The field is named by its row's title.
    if (!title.en.isEmpty())
        texts.accessibleName(row.field, title);
    return row;
}

ShortcutsSettingsView::StyleRow ShortcutsSettingsView::styleRow(const PromptStyle& style)
{
    auto shown = std::make_shared<PromptStyle>(style);
    SettingsBinding<QString> hotkey {
        [this, shown] { return shortcuts::styleHotkeyBinding(m_state, *shown).get(); },
        [this, shown](const QString& text) { shortcuts::styleHotkeyBinding(m_state, *shown).set(text); },
    };
    StyleRow row;
    static_cast<Row&>(row) = hotkeyRow(*m_texts, {}, {}, std::move(hotkey));
    row.field->setObjectName(QStringLiteral("style-") + style.id);
    row.style = std::move(shown);
    return row;
}

void ShortcutsSettingsView::showStyle(StyleRow& row, const PromptStyle& style)
{
    *row.style = style;
    const UiLanguage language = m_state.settings().uiLanguage;
    const QString title = m_state.styleTitle(style);
    row.title->setText(title);
    row.subtitle->setText((style.autoReplace ? autoReplace : manualReview)(language));
    row.field->setAccessibleName(title);
    const QString hotkey = shortcuts::styleHotkeyBinding(m_state, style).get();
    if (row.field->hotkey() != hotkey)
        row.field->setHotkey(hotkey);
}

void ShortcutsSettingsView::followStyles()
{
    const QList<PromptStyle>& styles = m_state.promptStyles();
    QHash<QString, StyleRow> kept;
    for (const StyleRow& row : std::as_const(m_styles))
        kept.insert(row.style->id, row);
    QList<StyleRow> rows;
    rows.reserve(styles.size());
    for (const PromptStyle& style : styles) {
        // An id listed twice gets one row: the first, as the hotkeys use it.
        if (std::any_of(rows.cbegin(), rows.cend(), [&](const StyleRow& r) { return r.style->id == style.id; }))
            continue;
        StyleRow row;
        if (const auto it = kept.constFind(style.id); it != kept.constEnd()) {
            row = *it;
            kept.remove(style.id);
        } else {
            row = styleRow(style);
        }
        showStyle(row, style);
        rows << row;
    }
    for (const StyleRow& gone : std::as_const(kept)) {
        gone.widget->hide();
        gone.widget->deleteLater();
    }
    bool sameOrder = rows.size() == m_styles.size() && kept.isEmpty();
    for (qsizetype i = 0; sameOrder && i < rows.size(); ++i)
        sameOrder = m_styles.at(i).widget == rows.at(i).widget;
    m_styles = rows;
    if (sameOrder)
        return;
    for (const StyleRow& row : std::as_const(m_styles))
        m_styleLayout->removeWidget(row.widget);
    for (const StyleRow& row : std::as_const(m_styles))
        m_styleLayout->addWidget(row.widget);
}

void ShortcutsSettingsView::followTilingRows()
{
    m_tilingRows->setVisible(m_state.settings().windowTilingEnabled);
    const QStringList listed = shortcuts::windowTilingList(m_displays);
    for (auto it = m_tiling.cbegin(); it != m_tiling.cend(); ++it)
        it->widget->setVisible(listed.contains(it.key()));
}

QStringList ShortcutsSettingsView::shownTilingIds() const
{
    QStringList ids;
    if (m_tilingRows->isHidden())
        return ids;
    for (const QString& id : WindowTilingHotkeys::order()) {
        const auto it = m_tiling.constFind(id);
        if (it != m_tiling.cend() && !it->widget->isHidden())
            ids << id;
    }
    return ids;
}

HotkeyRecorderField* ShortcutsSettingsView::tilingField(const QString& id) const
{
    const auto it = m_tiling.constFind(id);
    return it == m_tiling.cend() ? nullptr : it->field;
}

HotkeyRecorderField* ShortcutsSettingsView::styleField(const QString& id) const
{
    for (const StyleRow& row : m_styles) {
        if (row.style->id == id)
            return row.field;
    }
    return nullptr;
}

QStringList ShortcutsSettingsView::styleIds() const
{
    QStringList ids;
    for (const StyleRow& row : m_styles)
        ids << row.style->id;
    return ids;
}

QWidget* makeShortcutsSettingsView(const MainSettingsEnvironment& environment)
{
    return new ShortcutsSettingsView(environment);
}

}  // namespace mendo
