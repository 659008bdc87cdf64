#include "settings/StylesSettingsView.h"

#include "model/MendoPromptLibrary.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "settings/StyleCardList.h"

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

// One field written onto the style of `id` as stored now; nothing when the
// style is gone (a Reset on another card's way) or the field already holds it.
void writeStored(MendoAppState& state, const QString& id, const std::function<void(PromptStyle&)>& change)
{
    for (const PromptStyle& stored : state.settings().promptStyles) {
        if (stored.id != id)
            continue;
        PromptStyle copy = stored;
        change(copy);
        if (copy != stored)
            state.updatePromptStyle(copy);
        return;
    }
}

StyleCardList::Source promptStyleSource(MendoAppState& state)
{
    StyleCardList::Source source;
    source.styles = [&state] {
        QList<EditedStyle> styles;
        styles.reserve(state.promptStyles().size());
        for (const PromptStyle& style : state.promptStyles())
            styles << edited(style);
        return styles;
    };
    source.builtInIds = MendoPromptLibrary::builtInStyleIds();
    source.store.writeText = [&state](const QString& id, StyleEditorStore::Field field, const QString& text) {
        writeStored(state, id, [&](PromptStyle& style) {
            switch (field) {
            case StyleEditorStore::Field::name:
                style.name = text;
                break;
            case StyleEditorStore::Field::prompt:
                style.prompt = text;
                break;
            case StyleEditorStore::Field::hotkey:
                style.hotkey = text;
                break;
            case StyleEditorStore::Field::autoReplace:
                break;
            }
        });
    };
    source.store.writeAutoReplace = [&state](const QString& id, bool autoReplace) {
        writeStored(state, id, [&](PromptStyle& style) { style.autoReplace = autoReplace; });
    };
    source.store.remove = [&state](const QString& id) {
        for (const PromptStyle& stored : state.settings().promptStyles) {
            if (stored.id == id) {
                // A copy: the stored entry goes while the deletion runs.
                const PromptStyle style = stored;
                state.deletePromptStyle(style);
                return;
            }
        }
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
