#pragma once

#include <QWidget>

class QAbstractButton;
class QLabel;

namespace mendo {

class StyleCardList;
struct MainSettingsEnvironment;

// The Styles page: the rewrite styles, built in and the user's own, each on an
// editor card, with buttons that add a style of the user's and bring back the
// built-in list.
class StylesSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit StylesSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    QLabel* heading() const { return m_heading; }
    QAbstractButton* addButton() const { return m_add; }
    QAbstractButton* resetButton() const { return m_reset; }
    StyleCardList* cardList() const { return m_cards; }

private:
    QLabel* m_heading;
    QAbstractButton* m_add;
    QAbstractButton* m_reset;
    StyleCardList* m_cards;
};

// The Styles page of the settings window.
QWidget* makeStylesSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
