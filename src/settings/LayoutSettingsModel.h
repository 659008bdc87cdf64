#pragma once

#include "settings/SettingsControls.h"

#include <QObject>
#include <QStringList>
#include <QUuid>
#include <algorithm>

namespace mendo {

class ApplicationChooser;
class KeyboardLayoutService;
class MendoAppState;

// What the Layout page does, without its widgets: the layout names its
// pickers offer, detecting the system's layouts, adding an application's
// rule, and reading, writing and removing one rule by its id. Every change
// of the settings goes through the application state (saved and published).
class LayoutSettingsModel : public QObject {
    Q_OBJECT
public:
    LayoutSettingsModel(MendoAppState& state, const KeyboardLayoutService& keyboardLayouts,
        ApplicationChooser& chooser, QObject* parent = nullptr);

    // The names every layout picker offers, in order.
    const QStringList& layouts() const { return m_layouts; }

    // Each time the page is shown: the system's layouts and both stored
    // names, without duplicates, sorted. The settings stay as they are.
    void appear();
    // The system's layouts in the system's order; the suggested Latin layout
    // is stored, then the suggested local one (two saves).
    void detect();
    // Lets the user choose an application and adds its rule, or refreshes the
    // rule it has; switches per-application layouts on. False when the user
    // cancelled (nothing changed).
    bool addApplication();

    // The field of the stored rule `id`: `fallback` when there is no such
    // rule, and a write to a rule that is gone changes nothing.
    template <class T>
    SettingsBinding<T> ruleBinding(QUuid id, T AppLayoutRule::*field, T fallback)
    {
        MendoAppState& state = m_state;
        return { [&state, id, field, fallback] {
                    for (const AppLayoutRule& rule : state.settings().appLayoutRules) {
                        if (rule.id == id)
                            return rule.*field;
                    }
                    return fallback;
                },
            [&state, id, field](const T& value) {
                const QList<AppLayoutRule>& rules = state.settings().appLayoutRules;
                const auto found = std::find_if(
                    rules.begin(), rules.end(), [id](const AppLayoutRule& rule) { return rule.id == id; });
                if (found == rules.end())
                    return;
                const qsizetype index = found - rules.begin();
                state.editSettings([&](MendoSettings& s) { s.appLayoutRules[index].*field = value; });
            } };
    }
    // Removes every rule with this id; the others keep their order.
    void removeRule(QUuid id);

Q_SIGNALS:
    void layoutsChanged();

private:
    void setLayouts(QStringList layouts);

    MendoAppState& m_state;
    const KeyboardLayoutService& m_keyboardLayouts;
    ApplicationChooser& m_chooser;
    QStringList m_layouts;
};

}  // namespace mendo
