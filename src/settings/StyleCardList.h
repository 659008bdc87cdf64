#pragma once

#include "base/BiText.h"
#include "settings/StyleEditorCard.h"

#include <QList>
#include <QSet>
#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace mendo {

class SettingsTexts;

// The column of style cards of the Styles and AI Reply pages, one card per
// stored style in list order. It follows the stored list in place: a card is
// added, removed or shown anew by its style's id, never made again for a
// change of its own style, so editing survives every save. Cards beyond the
// first few get their controls only as they come into view (or when asked
// for), so a long list opens quickly.
class StyleCardList : public QWidget {
    Q_OBJECT
public:
    static constexpr int spacing = 12;
    // Cards made with their controls at once: more than the first screen holds.
    static constexpr int eagerCards = 6;

    struct Source {
        // The styles as the settings hold them now.
        std::function<QList<EditedStyle>()> styles;
        QSet<QString> builtInIds;
        StyleEditorStore store;
        bool hasAutoReplace = true;
        int hotkeyWidth = 120;
    };

    StyleCardList(const MainSettingsEnvironment& environment, Source source, QWidget* parent = nullptr);

    // Shows the stored list again: call on every published change.
    void follow();

    const QList<StyleEditorCard*>& cards() const { return m_cards; }
    // The card of the style with this id, null when none.
    StyleEditorCard* card(const QString& id) const;
    int builtCardCount() const;

    // The header both pages share: `titles` (a heading, perhaps with a hint
    // under it), then on the trailing edge "Add" with its plus and "Reset".
    static QHBoxLayout* makeHeader(SettingsTexts& texts, QWidget* titles, QPushButton** add, QPushButton** reset);
    static QLabel* makeHeading(SettingsTexts& texts, const BiText& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    StyleEditorCard* makeCard(const EditedStyle& style);
    void scheduleFill();
    void buildCardsInView();

    const MainSettingsEnvironment& m_environment;
    Source m_source;
    QVBoxLayout* m_layout;
    QList<StyleEditorCard*> m_cards;
    // The style id of each card.
    QStringList m_keys;
    int m_placeholderHeight;
    bool m_fillScheduled = false;
};

}  // namespace mendo
