#include "settings/LayoutSettingsView.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "platform/Platform.h"
#include "settings/ApplicationChooserDialog.h"
#include "settings/ApplicationIcons.h"
#include "settings/LayoutSettingsModel.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText detectTitle { QStringLiteral("Detect system layouts"), QStringLiteral("Определить системные раскладки") };
const BiText latinTitle { QStringLiteral("Latin layout"), QStringLiteral("Латинская раскладка") };
const BiText nativeTitle { QStringLiteral("Local layout"), QStringLiteral("Локальная раскладка") };
const BiText autoSwitchTitle { QStringLiteral("Automatically switch the system layout after fixing"),
    QStringLiteral("Автоматически переключать системную раскладку после исправления") };
const BiText hotkeyTitle { QStringLiteral("Hotkey"), QStringLiteral("Хоткей") };
const BiText perAppTitle { QStringLiteral("Keyboard layout per app"), QStringLiteral("Раскладка для приложений") };
const BiText footnoteText { QStringLiteral("Automatically switch the keyboard layout when an assigned app becomes "
                                           "active."),
    QStringLiteral("Автоматически переключает раскладку, когда выбранное приложение становится активным.") };
const BiText addTitle { QStringLiteral("Add application"), QStringLiteral("Добавить приложение") };
const BiText removeTitle { QStringLiteral("Remove rule"), QStringLiteral("Удалить правило") };
// The row's picker and switch have no visible label; screen readers get one.
const BiText ruleLayoutName { QStringLiteral("Layout for %1"), QStringLiteral("Раскладка для %1") };
const BiText ruleEnabledName { QStringLiteral("Rule for %1"), QStringLiteral("Правило для %1") };

constexpr int pagePickerWidth = 200;
constexpr int rulePickerWidth = 170;
constexpr int hotkeyWidth = 142;
constexpr int ruleIconSize = 30;

// The picker offers the page's layout names and shows the stored one; a
// stored name that is not among them is shown too, and nothing is written
// until the user picks.
void bindLayoutPicker(QComboBox* box, LayoutSettingsModel& model, MendoAppState& state, SettingsBinding<QString> value)
{
    auto refresh = [box, &model, value] {
        const QSignalBlocker quiet(box);
        QStringList names = model.layouts();
        const QString stored = value.get();
        if (!names.contains(stored))
            names.append(stored);
        QStringList shown;
        for (int i = 0; i < box->count(); ++i)
            shown << box->itemText(i);
        if (shown != names) {
            box->clear();
            box->addItems(names);
        }
        box->setCurrentIndex(int(names.indexOf(stored)));
    };
    refresh();
    QObject::connect(box, &QComboBox::activated, box, [box, value](int index) {
        if (index >= 0)
            value.set(box->itemText(index));
    });
    QObject::connect(&model, &LayoutSettingsModel::layoutsChanged, box, refresh);
    onSettingsChanged(state, box, refresh);
}

// A label whose one line is cut with an ellipsis to the width it gets.
class ElidedLabel final : public QLabel {
public:
    explicit ElidedLabel(QString text)
        : m_full(std::move(text))
    {
        setMinimumWidth(40);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setToolTip(m_full);
        setAccessibleName(m_full);
        setText(m_full);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        setText(fontMetrics().elidedText(m_full, Qt::ElideRight, width()));
    }

private:
    QString m_full;
};

QColor destructiveRed(ColorScheme scheme)
{
    return scheme == ColorScheme::dark ? QColor(255, 105, 97) : QColor(215, 0, 21);
}

QStringList shownOf(const AppLayoutRule& rule)
{
    return { rule.id.toString(), rule.bundleIdentifier, rule.appName, rule.appPath };
}

}  // namespace

AppLayoutRuleRow::AppLayoutRuleRow(const AppLayoutRule& rule, LayoutSettingsModel& model, MendoAppState& state,
    SettingsTexts& texts, ApplicationIcons& icons, QWidget* parent)
    : QWidget(parent)
    , m_id(rule.id)
    , m_icon(new QLabel)
    , m_name(new ElidedLabel(rule.appName))
    , m_identifier(new ElidedLabel(rule.bundleIdentifier))
    , m_layout(makePicker("ruleLayoutPicker", rulePickerWidth))
    , m_enabled(new QCheckBox)
    , m_remove(new QToolButton)
{
    setObjectName(QStringLiteral("appLayoutRuleRow"));
    m_icon->setFixedSize(ruleIconSize, ruleIconSize);
    m_icon->setPixmap(icons.forEntry(rule.appPath).pixmap(QSize(ruleIconSize, ruleIconSize), devicePixelRatioF()));
    m_name->setFont(theme::sizedFont(m_name->font(), 13));
    m_identifier->setFont(theme::sizedFont(m_identifier->font(), 10));
    m_identifier->setForegroundRole(QPalette::PlaceholderText);
    m_enabled->setObjectName(QStringLiteral("ruleEnabledToggle"));
    m_remove->setObjectName(QStringLiteral("removeRuleButton"));
    m_remove->setAutoRaise(true);
    m_remove->setCursor(Qt::PointingHandCursor);
    m_remove->setIconSize(QSize(16, 16));
    texts.toolTip(m_remove, removeTitle);
    texts.accessibleName(m_remove, removeTitle);
    const QString appName = rule.appName.isEmpty() ? rule.bundleIdentifier : rule.appName;
    texts.follow([layout = QPointer<QComboBox>(m_layout), enabled = QPointer<QCheckBox>(m_enabled), appName](
                     UiLanguage language) {
        if (layout)
            layout->setAccessibleName(ruleLayoutName(language).arg(appName));
        if (enabled)
            enabled->setAccessibleName(ruleEnabledName(language).arg(appName));
    });

    bindLayoutPicker(m_layout, model, state, model.ruleBinding(rule.id, &AppLayoutRule::layoutName, rule.layoutName));
    bindToggle(m_enabled, state, model.ruleBinding(rule.id, &AppLayoutRule::isEnabled, rule.isEnabled));
    connect(m_remove, &QToolButton::clicked, this, [&model, id = rule.id] { model.removeRule(id); });

    auto* names = new QVBoxLayout;
    names->setContentsMargins(0, 0, 0, 0);
    names->setSpacing(2);
    names->addWidget(m_name);
    names->addWidget(m_identifier);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    layout->addLayout(names, 1);
    layout->addWidget(m_layout, 0, Qt::AlignVCenter);
    layout->addWidget(m_enabled, 0, Qt::AlignVCenter);
    layout->addWidget(m_remove, 0, Qt::AlignVCenter);
    paintTrash();
}

void AppLayoutRuleRow::paintTrash()
{
    m_remove->setIcon(SymbolRegistry::icon(QStringLiteral("trash"), destructiveRed(theme::colorSchemeOf(palette()))));
}

void AppLayoutRuleRow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintTrash();
}

void AppLayoutRuleRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::WindowText);
    fill.setAlphaF(0.055f);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 11, 11);
    painter.fillPath(shape, fill);
}

LayoutSettingsView::LayoutSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_state(environment.appState)
    , m_texts(new SettingsTexts(environment.appState, this))
    , m_chooser(std::make_unique<DialogApplicationChooser>(
          environment.platform.applications, *environment.platform.workspace, environment.appState, this))
    , m_model(new LayoutSettingsModel(environment.appState, environment.layouts, *m_chooser, this))
    , m_latin(makePicker("latinLayoutPicker", pagePickerWidth))
    , m_native(makePicker("nativeLayoutPicker", pagePickerWidth))
    , m_footnote(new QLabel)
    , m_rulesHolder(new QWidget)
    , m_rules(new QVBoxLayout(m_rulesHolder))
{
    MendoAppState& state = environment.appState;
    SettingsTexts& texts = *m_texts;
    m_detect = new QPushButton;
    m_detect->setObjectName(QStringLiteral("detectLayoutsButton"));
    texts.text(m_detect, detectTitle);
    m_autoSwitch = makeToggle(texts, "autoSwitchToggle", autoSwitchTitle);
    m_perApp = makeToggle(texts, "perAppLayoutToggle", perAppTitle);
    m_hotkey = makeHotkeyField(environment, hotkeyWidth);
    m_hotkey->setObjectName(QStringLiteral("layoutHotkeyField"));
    texts.text(m_footnote, footnoteText);
    m_footnote->setWordWrap(true);
    m_footnote->setFont(theme::sizedFont(m_footnote->font(), 11));
    m_footnote->setForegroundRole(QPalette::PlaceholderText);
    m_add = new QPushButton;
    m_add->setObjectName(QStringLiteral("addApplicationButton"));
    texts.text(m_add, addTitle);
    m_rules->setContentsMargins(0, 0, 0, 0);
    m_rules->setSpacing(12);

    connect(m_detect, &QPushButton::clicked, m_model, &LayoutSettingsModel::detect);
    connect(m_add, &QPushButton::clicked, m_model, &LayoutSettingsModel::addApplication);
    bindLayoutPicker(m_latin, *m_model, state, binding(state, &MendoSettings::layoutLatinSource));
    bindLayoutPicker(m_native, *m_model, state, binding(state, &MendoSettings::layoutNativeSource));
    bindToggle(m_autoSwitch, state, binding(state, &MendoSettings::layoutAutoSwitch));
    bindHotkeyField(m_hotkey, state, binding(state, &MendoSettings::layoutHotkey));
    bindToggle(m_perApp, state, binding(state, &MendoSettings::appLayoutSwitchingEnabled));
    onSettingsChanged(state, this, [this] { showRules(); });

    auto* block = new SettingsBlock(12);
    auto leading = [](QWidget* widget) {
        auto* holder = new QWidget;
        auto* line = new QHBoxLayout(holder);
        line->setContentsMargins(0, 0, 0, 0);
        line->addWidget(widget);
        line->addStretch(1);
        return holder;
    };
    block->addRow(leading(m_detect));
    block->addRow(settingsRow(texts, latinTitle, m_latin));
    block->addRow(settingsRow(texts, nativeTitle, m_native));
    block->addRow(m_autoSwitch);
    block->addRow(settingsRow(texts, hotkeyTitle, m_hotkey));
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setForegroundRole(QPalette::Mid);
    block->addRow(divider);
    block->addRow(m_perApp);
    block->addRow(m_footnote);
    block->addRow(m_rulesHolder);
    block->addRow(leading(m_add));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(block);

    showRules();
    paintPlus();
}

void LayoutSettingsView::paintPlus()
{
    m_add->setIconSize(QSize(12, 12));
    m_add->setIcon(SymbolRegistry::icon(QStringLiteral("plus"), palette().color(QPalette::ButtonText)));
}

void LayoutSettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintPlus();
}

LayoutSettingsView::~LayoutSettingsView() = default;

QList<AppLayoutRuleRow*> LayoutSettingsView::ruleRows() const
{
    QList<AppLayoutRuleRow*> rows;
    for (int i = 0; i < m_rules->count(); ++i) {
        if (auto* row = qobject_cast<AppLayoutRuleRow*>(m_rules->itemAt(i)->widget()))
            rows << row;
    }
    return rows;
}

void LayoutSettingsView::showRules()
{
    const QList<AppLayoutRule>& rules = m_state.settings().appLayoutRules;
    QList<QStringList> shown;
    for (const AppLayoutRule& rule : rules)
        shown << shownOf(rule);
    // Edits of a rule's layout or switch refresh its row through the
    // bindings; only a new, removed or renamed rule makes the rows anew.
    if (shown == m_shownRules && m_rules->count() == rules.size())
        return;
    m_shownRules = shown;
    while (QLayoutItem* item = m_rules->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            // Its own trash button may be what removed it.
            widget->deleteLater();
        }
        delete item;
    }
    for (const AppLayoutRule& rule : rules)
        m_rules->addWidget(new AppLayoutRuleRow(rule, *m_model, m_state, *m_texts, m_chooser->icons()));
    m_rulesHolder->setVisible(!rules.isEmpty());
}

void LayoutSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_model->appear();
}

QWidget* makeLayoutSettingsView(const MainSettingsEnvironment& environment)
{
    return new LayoutSettingsView(environment);
}

}  // namespace mendo
