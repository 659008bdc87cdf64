#include "settings/StylesSettingsView.h"

#include "model/MendoPromptLibrary.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "settings/StyleCardList.h"
#include "settings/StyleListSource.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText headingText { QStringLiteral("Prompt styles"), QStringLiteral("Стили") };

EditedStyle edited(const PromptStyle& style)
{
    return { style.id, style.name, style.prompt, style.hotkey, style.autoReplace };
}

StyleCardList::Source promptStyleSource(MendoAppState& state)
{
    StyleListAccess<PromptStyle> access { &MendoSettings::promptStyles, &MendoAppState::promptStyles,
        &MendoAppState::updatePromptStyle, &MendoAppState::deletePromptStyle, MendoPromptLibrary::builtInStyleIds(),
        &edited };
    StyleCardList::Source source = styleListSource(state, access);
    source.store.writeAutoReplace = [&state, access](const QString& id, bool autoReplace) {
        writeStoredStyle<PromptStyle>(state, access, id, [&](PromptStyle& style) { style.autoReplace = autoReplace; });
    };
    source.hasAutoReplace = true;
    source.hotkeyWidth = 120;
    return source;
}

}  // namespace

StylesSettingsView::StylesSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
{
    MendoAppState& state = environment.appState;
    auto* texts = new SettingsTexts(state, this);
    m_heading = StyleCardList::makeHeading(*texts, headingText);
    QPushButton* add = nullptr;
    QPushButton* reset = nullptr;
    QHBoxLayout* header = StyleCardList::makeHeader(*texts, m_heading, &add, &reset);
    m_add = add;
    m_reset = reset;
    m_cards = new StyleCardList(environment, promptStyleSource(state));

    connect(add, &QPushButton::clicked, this, [&state] { state.addPromptStyle(); });
    // Back to the built-in list as it ships; the quick-menu entries of
    // dropped styles stay where they are.
    connect(reset, &QPushButton::clicked, this, [&state] {
        state.editSettings([](MendoSettings& s) { s.promptStyles = MendoPromptLibrary::defaultStyles(); });
    });
    connect(&state, &MendoAppState::promptStylesChanged, m_cards, &StyleCardList::follow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->setAlignment(Qt::AlignTop);
    layout->addLayout(header);
    layout->addWidget(m_cards);
}

QWidget* makeStylesSettingsView(const MainSettingsEnvironment& environment)
{
    return new StylesSettingsView(environment);
}

}  // namespace mendo
