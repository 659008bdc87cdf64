#include "settings/LayoutSettingsModel.h"

#include "engine/KeyboardLayoutService.h"
#include "settings/ApplicationChooser.h"

#include <algorithm>

namespace mendo {

namespace {

QStringList sortedUnique(QStringList names)
{
    names.sort();
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace

LayoutSettingsModel::LayoutSettingsModel(MendoAppState& state, const KeyboardLayoutService& keyboardLayouts,
    ApplicationChooser& chooser, QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_keyboardLayouts(keyboardLayouts)
    , m_chooser(chooser)
    , m_layouts { KeyboardLayoutService::defaultLatinSource, KeyboardLayoutService::defaultNativeSource }
{
}

void LayoutSettingsModel::setLayouts(QStringList layouts)
{
    if (layouts == m_layouts)
        return;
    m_layouts = std::move(layouts);
    Q_EMIT layoutsChanged();
}

void LayoutSettingsModel::appear()
{
    const MendoSettings& settings = m_state.settings();
    QStringList names { settings.layoutLatinSource, settings.layoutNativeSource };
    names += m_keyboardLayouts.suggestion().layouts;
    setLayouts(sortedUnique(names));
}

void LayoutSettingsModel::detect()
{
    const KeyboardLayoutSuggestion suggestion = m_keyboardLayouts.suggestion();
    setLayouts(suggestion.layouts);
    m_state.editSettings([&](MendoSettings& s) { s.layoutLatinSource = suggestion.latinSource; });
    m_state.editSettings([&](MendoSettings& s) { s.layoutNativeSource = suggestion.nativeSource; });
}

bool LayoutSettingsModel::addApplication()
{
    const std::optional<ApplicationChoice> choice = m_chooser.chooseApplication();
    if (!choice || choice->id.isEmpty())
        return false;
    const QString layout = m_keyboardLayouts.currentLayoutName().value_or(m_state.settings().layoutLatinSource);
    m_state.editSettings([&](MendoSettings& s) {
        for (AppLayoutRule& rule : s.appLayoutRules) {
            if (rule.bundleIdentifier == choice->id) {
                rule.appName = choice->name;
                rule.appPath = choice->path;
                rule.isEnabled = true;
                return;
            }
        }
        s.appLayoutRules.append({ QUuid::createUuid(), choice->id, choice->name, choice->path, layout, true });
    });
    m_state.editSettings([](MendoSettings& s) { s.appLayoutSwitchingEnabled = true; });
    setLayouts(sortedUnique(m_layouts + QStringList { layout }));
    return true;
}

void LayoutSettingsModel::removeRule(QUuid id)
{
    // A row of a rule removed meanwhile: nothing to save.
    const QList<AppLayoutRule>& rules = m_state.settings().appLayoutRules;
    if (std::none_of(rules.begin(), rules.end(), [id](const AppLayoutRule& rule) { return rule.id == id; }))
        return;
    m_state.editSettings([id](MendoSettings& s) {
        s.appLayoutRules.removeIf([id](const AppLayoutRule& rule) { return rule.id == id; });
    });
}

}  // namespace mendo
