#pragma once

#include "base/BiText.h"
#include "model/PromptStyle.h"
#include "settings/SettingsControls.h"

#include <QHash>
#include <QStringList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace mendo {

class BuiltInDisplayService;
class HotkeyRecorderField;
struct MainSettingsEnvironment;

// What the Shortcuts page shows and writes, without its widgets.
namespace shortcuts {

// The title and subtitle of a window-tiling hotkey; an unknown id gets the
// texts of the whole-screen one.
BiText windowTilingTitle(const QString& id);
BiText windowTilingSubtitle(const QString& id);

// The stored hotkey of a tiling id, else its default, else "Not assigned".
// A write stores whatever it is given, "Not assigned" too, so a cleared
// hotkey stays cleared instead of falling back to its default.
SettingsBinding<QString> windowTilingBinding(MendoAppState& state, const QString& id);

// The hotkey of the stored style with `style`'s id, else `style`'s own. A
// write changes only that stored style's hotkey: its name, prompt and
// auto-replace flag stay as they are stored now, whatever they were when the
// row was made. Nothing is stored for an id no longer stored.
SettingsBinding<QString> styleHotkeyBinding(MendoAppState& state, const PromptStyle& style);

// The display hotkey is offered only where displays can be switched at all,
// and then while the service holds a display off or a built-in one is active.
bool offersBuiltInDisplay(const BuiltInDisplayService& displays);
// The tiling ids the page lists, in their order.
QStringList windowTilingList(const BuiltInDisplayService& displays);

}  // namespace shortcuts

// The Shortcuts page: every global hotkey of MendoAI in one card. The five
// action hotkeys, the window-tiling hotkeys under their master switch, and
// the hotkey of every rewrite style. A chord recorded here is stored at once,
// and the hotkeys follow the stored settings.
class ShortcutsSettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr int hotkeyWidth = 142;

    explicit ShortcutsSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    QCheckBox* windowTilingToggle() const { return m_tilingToggle; }
    // The tiling ids whose rows are shown now, in order.
    QStringList shownTilingIds() const;
    // The field of an action hotkey ("quickMenuHotkey", ...), of a tiling id
    // or of a style id; null when there is no such row.
    HotkeyRecorderField* actionField(const QString& field) const { return m_actionFields.value(field); }
    HotkeyRecorderField* tilingField(const QString& id) const;
    HotkeyRecorderField* styleField(const QString& id) const;
    // The style ids of the style rows, in order.
    QStringList styleIds() const;

private:
    struct Row {
        QWidget* widget = nullptr;
        QLabel* title = nullptr;
        QLabel* subtitle = nullptr;
        HotkeyRecorderField* field = nullptr;
    };
    struct StyleRow : Row {
        // The style the row was last shown with; its binding reads it.
        std::shared_ptr<PromptStyle> style;
    };

    Row hotkeyRow(SettingsTexts& texts, const BiText& title, const BiText& subtitle, SettingsBinding<QString> hotkey);
    StyleRow styleRow(const PromptStyle& style);
    void showStyle(StyleRow& row, const PromptStyle& style);
    void followTilingRows();
    void followStyles();

    const MainSettingsEnvironment& m_environment;
    MendoAppState& m_state;
    BuiltInDisplayService& m_displays;
    SettingsTexts* m_texts;
    QCheckBox* m_tilingToggle = nullptr;
    QWidget* m_tilingRows = nullptr;
    QHash<QString, HotkeyRecorderField*> m_actionFields;
    QHash<QString, Row> m_tiling;
    QVBoxLayout* m_styleLayout = nullptr;
    QList<StyleRow> m_styles;
};

QWidget* makeShortcutsSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
