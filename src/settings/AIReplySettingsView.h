#pragma once

#include <QWidget>

class QAbstractButton;
class QLabel;

namespace mendo {

class StyleCardList;
struct MainSettingsEnvironment;

// The AI Reply page: the reply styles, built in and the user's own, each on an
// editor card (without the auto-replace switch of a rewrite style), with
// buttons that add a style of the user's and bring back the built-in list.
class AIReplySettingsView : public QWidget {
    Q_OBJECT
public:
    explicit AIReplySettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    QLabel* heading() const { return m_heading; }
    QLabel* hint() const { return m_hint; }
    QAbstractButton* addButton() const { return m_add; }
    QAbstractButton* resetButton() const { return m_reset; }
    StyleCardList* cardList() const { return m_cards; }

private:
    QLabel* m_heading;
    QLabel* m_hint;
    QAbstractButton* m_add;
    QAbstractButton* m_reset;
    StyleCardList* m_cards;
};

// The AI Reply page of the settings window.
QWidget* makeAIReplySettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
