#include "settings/SettingsControls.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "platform/Platform.h"
#include "settings/MainSettingsEnvironment.h"
#include "ui/MendoTheme.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mendo {

SettingsTexts::SettingsTexts(MendoAppState& state, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_shown(state.settings().uiLanguage)
{
    connect(&state, &MendoAppState::settingsChanged, this, [this] {
        const UiLanguage language = m_state.settings().uiLanguage;
        if (language == m_shown)
            return;
        m_shown = language;
        for (const auto& apply : m_appliers)
            apply(language);
    });
}

void SettingsTexts::follow(std::function<void(UiLanguage)> apply)
{
    apply(m_shown);
    m_appliers.push_back(std::move(apply));
}

void SettingsTexts::text(QLabel* label, const BiText& text)
{
    follow([label = QPointer<QLabel>(label), text](UiLanguage language) {
        if (label)
            label->setText(text(language));
    });
}

void SettingsTexts::text(QAbstractButton* button, const BiText& text)
{
    follow([button = QPointer<QAbstractButton>(button), text](UiLanguage language) {
        if (!button)
            return;
        button->setText(text(language));
        button->setAccessibleName(text(language));
    });
}

void SettingsTexts::accessibleName(QWidget* widget, const BiText& text)
{
    follow([widget = QPointer<QWidget>(widget), text](UiLanguage language) {
        if (widget)
            widget->setAccessibleName(text(language));
    });
}

void SettingsTexts::toolTip(QWidget* widget, const BiText& text)
{
    follow([widget = QPointer<QWidget>(widget), text](UiLanguage language) {
        if (widget)
            widget->setToolTip(text(language));
    });
}

SettingsBlock::SettingsBlock(int spacing, QWidget* parent)
    : OutlinedBox(lightFillOpacity, edgeOpacityValue, 18, parent)
    , m_rows(new QVBoxLayout)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(inset, inset, inset, inset);
    outer->setSpacing(0);
    auto* content = new QWidget;
    content->setMaximumWidth(contentMaximumWidth);
    content->setLayout(m_rows);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(spacing);
    outer->addWidget(content, 0, Qt::AlignLeft);
    setMaximumWidth(contentMaximumWidth + 2 * inset);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
    followScheme();
}

void SettingsBlock::addRow(QWidget* row)
{
    m_rows->addWidget(row);
}

void SettingsBlock::followScheme()
{
    const bool dark = theme::colorSchemeOf(palette()) == ColorScheme::dark;
    setFillOpacity(dark ? darkFillOpacity : lightFillOpacity);
}

void SettingsBlock::changeEvent(QEvent* event)
{
    OutlinedBox::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        followScheme();
}

QWidget* settingsRow(SettingsTexts& texts, const BiText& title, QWidget* content, int verticalInset, int contentWidth)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, verticalInset, 0, verticalInset);
    layout->setSpacing(16);
    auto* label = new QLabel;
    label->setFont(theme::sizedFont(label->font(), 13));
    label->setFixedWidth(150);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setWordWrap(true);
    label->setBuddy(content);
    texts.text(label, title);
    auto* column = new QWidget;
    column->setFixedWidth(contentWidth);
    auto* columnLayout = new QHBoxLayout(column);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->addWidget(content, 0, Qt::AlignLeft | Qt::AlignVCenter);
    columnLayout->addStretch(1);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    layout->addWidget(column, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    if (content->accessibleName().isEmpty())
        texts.accessibleName(content, title);
    return row;
}

QWidget* settingsPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    return page;
}

void onSettingsChanged(MendoAppState& state, QObject* receiver, std::function<void()> refresh)
{
    QObject::connect(&state, &MendoAppState::settingsChanged, receiver, std::move(refresh));
}

void bindToggle(QAbstractButton* toggle, MendoAppState& state, SettingsBinding<bool> value)
{
    toggle->setCheckable(true);
    auto refresh = [toggle, value] {
        const QSignalBlocker quiet(toggle);
        toggle->setChecked(value.get());
    };
    refresh();
    // Only the user's click writes: clicked is not sent for setChecked.
    QObject::connect(toggle, &QAbstractButton::clicked, toggle, [value](bool checked) { value.set(checked); });
    onSettingsChanged(state, toggle, refresh);
}

HotkeyRecorderField* makeHotkeyField(const MainSettingsEnvironment& environment, int width)
{
    return new HotkeyRecorderField(*environment.platform.hotkeyRegistrar, &environment.hotkeys, QString(), width);
}

void bindHotkeyField(HotkeyRecorderField* field, MendoAppState& state, SettingsBinding<QString> value)
{
    field->setHotkey(value.get());
    QObject::connect(
        field, &HotkeyRecorderField::hotkeyEdited, field, [value](const QString& hotkey) { value.set(hotkey); });
    onSettingsChanged(state, field, [field, value] {
        const QString stored = value.get();
        if (stored != field->hotkey())
            field->setHotkey(stored);
    });
}

QComboBox* makePicker(const char* name, int width)
{
    auto* box = new QComboBox;
    box->setObjectName(QLatin1String(name));
    box->setFixedWidth(width);
    return box;
}

QCheckBox* makeToggle(SettingsTexts& texts, const char* name, const BiText& title)
{
    auto* box = new QCheckBox;
    box->setObjectName(QLatin1String(name));
    texts.text(box, title);
    return box;
}

}  // namespace mendo
