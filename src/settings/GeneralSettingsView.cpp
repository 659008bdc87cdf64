#include "settings/GeneralSettingsView.h"

#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText appearanceTitle { QStringLiteral("Appearance"), QStringLiteral("Внешний вид") };
const BiText languageTitle { QStringLiteral("Interface language"), QStringLiteral("Язык интерфейса") };
const BiText menuSizeTitle { QStringLiteral("Menu size"), QStringLiteral("Размер меню") };
const BiText openOnLaunchTitle { QStringLiteral("Open main window on launch"),
    QStringLiteral("Открывать окно при запуске") };
const BiText trayIconTitle { QStringLiteral("Show tray icon"), QStringLiteral("Показывать иконку в трее") };
const BiText keepInTrayTitle { QStringLiteral("Keep MendoAI in the tray when closing"),
    QStringLiteral("Оставлять MendoAI в трее при закрытии") };

// Each language is named in itself, whatever the interface language.
QString languageName(UiLanguage language, UiLanguage)
{
    return language == UiLanguage::ru ? QStringLiteral("Русский") : QStringLiteral("English");
}

QWidget* inset(QWidget* widget, int vertical)
{
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, vertical, 0, vertical);
    layout->addWidget(widget);
    return holder;
}

}  // namespace

GeneralSettingsView::GeneralSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_appearance(makePicker("appearancePicker", 190))
    , m_language(makePicker("languagePicker", 160))
    , m_menuSize(makePicker("menuSizePicker", 160))
{
    MendoAppState& state = environment.appState;
    auto* texts = new SettingsTexts(state, this);
    m_openOnLaunch = makeToggle(*texts, "openOnLaunchToggle", openOnLaunchTitle);
    m_trayIcon = makeToggle(*texts, "trayIconToggle", trayIconTitle);
    m_keepInTray = makeToggle(*texts, "keepInTrayToggle", keepInTrayTitle);

    bindChoice<AppearanceMode>(m_appearance, state, binding(state, &MendoSettings::appearanceMode),
        [](AppearanceMode mode, UiLanguage language) { return localizedTitle(mode, language); });
    bindChoice<UiLanguage>(m_language, state, binding(state, &MendoSettings::uiLanguage), &languageName);
    // The quick panel's size; the menu's own scale is not this page's.
    bindChoice<MenuScale>(m_menuSize, state, binding(state, &MendoSettings::quickMenuSize),
        [](MenuScale scale, UiLanguage language) { return localizedTitle(scale, language); });
    bindToggle(m_openOnLaunch, state, binding(state, &MendoSettings::openMainWindowOnLaunch));
    bindToggle(m_trayIcon, state, binding(state, &MendoSettings::menuBarIconVisible));
    bindToggle(m_keepInTray, state, binding(state, &MendoSettings::closeToMenuBar));

    auto* block = new SettingsBlock;
    block->addRow(settingsRow(*texts, appearanceTitle, m_appearance, 6));
    block->addRow(settingsRow(*texts, languageTitle, m_language, 6));
    block->addRow(settingsRow(*texts, menuSizeTitle, m_menuSize, 6));
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Plain);
    divider->setForegroundRole(QPalette::Mid);
    block->addRow(inset(divider, 8));
    block->addRow(inset(m_openOnLaunch, 6));
    block->addRow(inset(m_trayIcon, 6));
    block->addRow(inset(m_keepInTray, 6));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(block);
}

QWidget* makeGeneralSettingsView(const MainSettingsEnvironment& environment)
{
    return new GeneralSettingsView(environment);
}

}  // namespace mendo
