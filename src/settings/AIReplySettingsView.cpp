#include "settings/AIReplySettingsView.h"

#include "model/AIReplyStyleLibrary.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "settings/StyleCardList.h"
#include "ui/MendoTheme.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

// The same words in both languages.
const BiText headingText { QStringLiteral("AI Reply"), QStringLiteral("AI Reply") };
const BiText hintText { QStringLiteral("Select a message and use Super + Alt with a reply-style key."),
    QStringLiteral("Выделите сообщение и нажмите Super + Alt с клавишей стиля ответа.") };

EditedStyle edited(const AIReplyStyle& style)
{
    return { style.id, style.name, style.prompt, style.hotkey, std::nullopt };
}

// One field written onto the style of `id` as stored now; nothing when the
// style is gone or the field already holds it.
void writeStored(MendoAppState& state, const QString& id, const std::function<void(AIReplyStyle&)>& change)
{
    for (const AIReplyStyle& stored : state.settings().aiReplyStyles) {
        if (stored.id != id)
            continue;
        AIReplyStyle copy = stored;
        change(copy);
        if (copy != stored)
            state.updateAIReplyStyle(copy);
        return;
    }
}

StyleCardList::Source replyStyleSource(MendoAppState& state)
{
    StyleCardList::Source source;
    source.styles = [&state] {
        QList<EditedStyle> styles;
        styles.reserve(state.aiReplyStyles().size());
        for (const AIReplyStyle& style : state.aiReplyStyles())
            styles << edited(style);
        return styles;
    };
    source.builtInIds = AIReplyStyleLibrary::builtInStyleIds();
    source.store.writeText = [&state](const QString& id, StyleEditorStore::Field field, const QString& text) {
        writeStored(state, id, [&](AIReplyStyle& style) {
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
    source.store.remove = [&state](const QString& id) {
        for (const AIReplyStyle& stored : state.settings().aiReplyStyles) {
            if (stored.id == id) {
                // A copy: the stored entry goes while the deletion runs.
                const AIReplyStyle style = stored;
                state.deleteAIReplyStyle(style);
                return;
            }
        }
    };
    source.hasAutoReplace = false;
    source.hotkeyWidth = 140;
    return source;
}

}  // namespace

AIReplySettingsView::AIReplySettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
{
    MendoAppState& state = environment.appState;
    auto* texts = new SettingsTexts(state, this);

    auto* titles = new QWidget;
    auto* titlesLayout = new QVBoxLayout(titles);
    titlesLayout->setContentsMargins(0, 0, 0, 0);
    titlesLayout->setSpacing(3);
    m_heading = StyleCardList::makeHeading(*texts, headingText);
    m_hint = new QLabel;
    m_hint->setObjectName(QStringLiteral("styleListHint"));
    m_hint->setFont(theme::sizedFont(m_hint->font(), 11));
    m_hint->setForegroundRole(QPalette::PlaceholderText);
    m_hint->setWordWrap(true);
    texts->text(m_hint, hintText);
    titlesLayout->addWidget(m_heading);
    titlesLayout->addWidget(m_hint);

    QPushButton* add = nullptr;
    QPushButton* reset = nullptr;
    QHBoxLayout* header = StyleCardList::makeHeader(*texts, titles, &add, &reset);
    m_add = add;
    m_reset = reset;
    m_cards = new StyleCardList(environment, replyStyleSource(state));

    connect(add, &QPushButton::clicked, this, [&state] { state.addAIReplyStyle(); });
    connect(reset, &QPushButton::clicked, this, [&state] {
        state.editSettings([](MendoSettings& s) { s.aiReplyStyles = AIReplyStyleLibrary::defaultStyles(); });
    });
    connect(&state, &MendoAppState::aiReplyStylesChanged, m_cards, &StyleCardList::follow);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->setAlignment(Qt::AlignTop);
    layout->addLayout(header);
    layout->addWidget(m_cards);
}

QWidget* makeAIReplySettingsView(const MainSettingsEnvironment& environment)
{
    return new AIReplySettingsView(environment);
}

}  // namespace mendo
