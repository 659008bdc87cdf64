#include "settings/AIReplySettingsView.h"

#include "model/AIReplyStyleLibrary.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "settings/StyleCardList.h"
#include "settings/StyleListSource.h"
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

StyleCardList::Source replyStyleSource(MendoAppState& state)
{
    StyleCardList::Source source = styleListSource<AIReplyStyle>(state,
        { &MendoSettings::aiReplyStyles, &MendoAppState::aiReplyStyles, &MendoAppState::updateAIReplyStyle,
            &MendoAppState::deleteAIReplyStyle, AIReplyStyleLibrary::builtInStyleIds(), &edited });
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
