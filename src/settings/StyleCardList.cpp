#include "settings/StyleCardList.h"

#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"

#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace mendo {

namespace {

// One style per id: an id stored twice (a hand-edited profile) shows its
// first entry, the one every edit and the engine use.
QList<EditedStyle> firstOfEachId(QList<EditedStyle> styles)
{
    QSet<QString> seen;
    styles.removeIf([&](const EditedStyle& style) {
        if (seen.contains(style.id))
            return true;
        seen.insert(style.id);
        return false;
    });
    return styles;
}

QStringList idsOf(const QList<EditedStyle>& styles)
{
    QStringList ids;
    ids.reserve(styles.size());
    for (const EditedStyle& style : styles)
        ids << style.id;
    return ids;
}

}  // namespace

QLabel* StyleCardList::makeHeading(SettingsTexts& texts, const BiText& text)
{
    auto* heading = new QLabel;
    heading->setObjectName(QStringLiteral("styleListHeading"));
    heading->setFont(theme::sizedFont(heading->font(), 13, QFont::DemiBold));
    texts.text(heading, text);
    return heading;
}

QHBoxLayout* StyleCardList::makeHeader(SettingsTexts& texts, QWidget* titles, QPushButton** add, QPushButton** reset)
{
    static const BiText addTitle { QStringLiteral("Add"), QStringLiteral("Добавить") };
    static const BiText resetTitle { QStringLiteral("Reset"), QStringLiteral("Сброс") };
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    // The titles take the free width, so a long hint wraps only when it must.
    header->addWidget(titles, 1, Qt::AlignVCenter);
    *add = new QPushButton;
    (*add)->setObjectName(QStringLiteral("styleAdd"));
    showSymbol(
        *add, QStringLiteral("plus"), [](const QPalette& palette) { return palette.color(QPalette::ButtonText); });
    texts.text(*add, addTitle);
    *reset = new QPushButton;
    (*reset)->setObjectName(QStringLiteral("styleReset"));
    texts.text(*reset, resetTitle);
    header->addWidget(*add, 0, Qt::AlignVCenter);
    header->addWidget(*reset, 0, Qt::AlignVCenter);
    return header;
}

StyleCardList::StyleCardList(const MainSettingsEnvironment& environment, Source source, QWidget* parent)
    : QWidget(parent)
    , m_environment(environment)
    , m_source(std::move(source))
    , m_layout(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("styleCardList"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(spacing);
    // A card not made yet holds the place of one with a short prompt, so the
    // page barely moves when it is made.
    const int rowHeight = QLineEdit().sizeHint().height();
    m_placeholderHeight = 2 * StyleEditorCard::padding + rowHeight + StyleEditorCard::spacing
        + StylePromptEditor::minimumTextHeight + 12;
    follow();
}

StyleEditorCard* StyleCardList::makeCard(const EditedStyle& style)
{
    StyleEditorCard::Options options;
    options.canDelete = !m_source.builtInIds.contains(style.id);
    options.hasAutoReplace = m_source.hasAutoReplace;
    options.hotkeyWidth = m_source.hotkeyWidth;
    auto* card = new StyleEditorCard(m_environment, m_source.store, style, options, this);
    card->setFixedHeight(m_placeholderHeight);
    return card;
}

void StyleCardList::follow()
{
    const QList<EditedStyle> styles = firstOfEachId(m_source.styles());
    const QStringList keys = idsOf(styles);
    if (keys == m_keys) {
        // The usual change, one field of one style: each card shows what differs.
        for (qsizetype i = 0; i < styles.size(); ++i)
            m_cards[i]->showStyle(styles[i]);
        return;
    }

    QHash<QString, StyleEditorCard*> kept;
    for (qsizetype i = 0; i < m_keys.size(); ++i)
        kept.insert(m_keys[i], m_cards[i]);
    QList<StyleEditorCard*> cards;
    cards.reserve(styles.size());
    for (qsizetype i = 0; i < styles.size(); ++i) {
        StyleEditorCard* card = kept.take(keys[i]);
        if (card)
            card->showStyle(styles[i]);
        else
            card = makeCard(styles[i]);
        cards << card;
    }
    // A card whose style went leaves now and is deleted later: the change
    // may come from a click on its own trash button.
    for (StyleEditorCard* gone : std::as_const(kept)) {
        m_layout->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    for (qsizetype i = 0; i < cards.size(); ++i) {
        QLayoutItem* item = m_layout->itemAt(int(i));
        if (item && item->widget() == cards[i])
            continue;
        m_layout->removeWidget(cards[i]);
        m_layout->insertWidget(int(i), cards[i]);
        cards[i]->setVisible(true);
    }
    m_cards = std::move(cards);
    m_keys = keys;
    for (int i = 0; i < std::min<int>(eagerCards, int(m_cards.size())); ++i)
        m_cards[i]->build();
    scheduleFill();
}

StyleEditorCard* StyleCardList::card(const QString& id) const
{
    for (StyleEditorCard* card : m_cards) {
        if (card->styleId() == id)
            return card;
    }
    return nullptr;
}

int StyleCardList::builtCardCount() const
{
    return int(std::count_if(m_cards.begin(), m_cards.end(), [](StyleEditorCard* c) { return c->isBuilt(); }));
}

void StyleCardList::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // Whatever scrolled into view is painted: make its cards next.
    scheduleFill();
}

void StyleCardList::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    scheduleFill();
}

void StyleCardList::scheduleFill()
{
    if (m_fillScheduled)
        return;
    m_fillScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_fillScheduled = false;
        buildCardsInView();
    });
}

void StyleCardList::buildCardsInView()
{
    if (!isVisible())
        return;
    const QRect seen = visibleRegion().boundingRect();
    if (seen.isEmpty())
        return;
    // One screen ahead either way, so scrolling rarely meets an empty card.
    const QRect wanted = seen.adjusted(0, -seen.height(), 0, seen.height());
    bool built = false;
    for (StyleEditorCard* card : std::as_const(m_cards)) {
        if (!card->isBuilt() && card->geometry().intersects(wanted)) {
            card->build();
            built = true;
        }
    }
    // Made cards may differ from their placeholders: look again once laid out.
    if (built)
        scheduleFill();
}

}  // namespace mendo
