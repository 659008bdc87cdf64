#pragma once

#include "model/QuickAction.h"
#include "model/SettingsValueTypes.h"
#include "settings/QuickMenuActions.h"
#include "ui/OutlinedBox.h"

#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QToolButton;

namespace mendo {

class ActionTitleLabel;
class HotkeyRecorderField;
class MendoAppState;
struct MainSettingsEnvironment;

// One action of the quick panel on the Quick Menu page: the switch, the icon
// and title, and the two arrows that move it. A row stands for a position;
// it is shown again with whatever action is there after each change.
class QuickMenuActionRow : public OutlinedBox {
    Q_OBJECT
public:
    static constexpr double onFillOpacity = 0.075;
    static constexpr double offFillOpacity = 0.035;

    QuickMenuActionRow(QuickMenuActions& model, QWidget* parent = nullptr);

    const QuickAction& action() const { return m_action; }
    int index() const { return m_index; }
    QString title() const;
    QString symbolName() const { return m_symbol; }
    QCheckBox* toggle() const { return m_toggle; }
    QToolButton* upButton() const { return m_up; }
    QToolButton* downButton() const { return m_down; }
    using OutlinedBox::fillOpacity;

    void showAction(
        const QuickAction& action, int index, int count, const QString& title, bool enabled, UiLanguage language);

Q_SIGNALS:
    // An arrow moved this row's action to `to`; `up` tells which arrow.
    void moved(int to, bool up);

protected:
    void changeEvent(QEvent* event) override;

private:
    void paintIcons();
    void move(int direction);

    QuickMenuActions& m_model;
    QuickAction m_action;
    int m_index = -1;
    UiLanguage m_language = UiLanguage::en;
    QString m_symbol;
    QCheckBox* m_toggle;
    QLabel* m_icon;
    ActionTitleLabel* m_title;
    QToolButton* m_up;
    QToolButton* m_down;
};

// The Quick Menu page: the quick panel's size, its hotkey, whether the text
// is selected whole before the fix, translation and styles, and which actions
// the panel offers in which order. Every change is stored at once.
class QuickMenuSettingsView : public QWidget {
    Q_OBJECT
public:
    explicit QuickMenuSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    QComboBox* sizePicker() const { return m_size; }
    HotkeyRecorderField* hotkeyField() const { return m_hotkey; }
    QCheckBox* selectAllToggle() const { return m_selectAll; }
    QLabel* actionsHeading() const { return m_heading; }
    QList<QuickMenuActionRow*> actionRows() const { return m_rows; }
    QuickMenuActions& model() { return m_model; }

private:
    void showRows();
    void followMovedAction(int to, bool up);

    MendoAppState& m_state;
    QuickMenuActions m_model;
    QComboBox* m_size;
    HotkeyRecorderField* m_hotkey;
    QCheckBox* m_selectAll;
    QLabel* m_heading;
    QWidget* m_rowsHost;
    QList<QuickMenuActionRow*> m_rows;
};

// The Quick Menu page of the settings window.
QWidget* makeQuickMenuSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
