#pragma once

// What every settings page is made of: the card a block of rows sits in, the
// labelled row, texts that follow the interface language, and the binding
// through which a control shows and edits one field of the settings.

#include "app/MendoAppState.h"
#include "base/BiText.h"
#include "base/EnumTable.h"
#include "ui/OutlinedBox.h"

#include <QComboBox>
#include <QPointer>
#include <QSignalBlocker>
#include <functional>
#include <vector>

class QAbstractButton;
class QCheckBox;
class QBoxLayout;
class QLabel;

namespace mendo {

class HotkeyRecorderField;
struct MainSettingsEnvironment;

// The texts of one page (or of the window): each is set at once in the
// interface language and again whenever that language changes. Buttons and
// toggles also carry their text as their accessible name.
class SettingsTexts : public QObject {
    Q_OBJECT
public:
    SettingsTexts(MendoAppState& state, QObject* parent);

    UiLanguage language() const { return m_shown; }
    void text(QLabel* label, const BiText& text);
    void text(QAbstractButton* button, const BiText& text);
    void accessibleName(QWidget* widget, const BiText& text);
    void toolTip(QWidget* widget, const BiText& text);
    // Anything else that shows a text: called now and on each change.
    void follow(std::function<void(UiLanguage)> apply);

private:
    MendoAppState& m_state;
    UiLanguage m_shown;
    std::vector<std::function<void(UiLanguage)>> m_appliers;
};

// The card around a block of rows: a rounded box, faintly filled in the text
// colour (a touch more in the dark scheme) with a hairline edge. Its content
// is at most 640 wide, held to the leading edge, 14 in from the card's edge.
class SettingsBlock : public OutlinedBox {
    Q_OBJECT
public:
    static constexpr int contentMaximumWidth = 640;
    static constexpr int inset = 14;
    static constexpr double darkFillOpacity = 0.055;
    static constexpr double lightFillOpacity = 0.045;
    static constexpr double edgeOpacityValue = 0.08;

    // `spacing` between the rows of the block.
    explicit SettingsBlock(int spacing = 0, QWidget* parent = nullptr);

    QBoxLayout* rows() const { return m_rows; }
    void addRow(QWidget* row);
    using OutlinedBox::fillOpacity;

protected:
    void changeEvent(QEvent* event) override;

private:
    void followScheme();
    QBoxLayout* m_rows;
};

// A settings row: the title in a right-aligned column 150 wide, the control
// in a column (220 wide unless told) held to its leading edge, then free
// space. The control takes the title as its accessible name unless it has
// one. `verticalInset` above and below.
QWidget* settingsRow(
    SettingsTexts& texts, const BiText& title, QWidget* content, int verticalInset = 0, int contentWidth = 220);

// A page's vertical stack, leading alignment, for a page factory to return.
QWidget* settingsPage(QWidget* parent = nullptr);

// Reads and writes one value of the settings. A write copies the settings,
// sets the value and assigns the copy back: one save, published to every
// observer. The read takes the settings as they are now.
template <class T>
struct SettingsBinding {
    std::function<T()> get;
    std::function<void(const T&)> set;
};

template <class T>
SettingsBinding<T> binding(MendoAppState& state, T MendoSettings::*field)
{
    return { [&state, field] { return state.settings().*field; },
        [&state, field](const T& value) { state.editSettings([&](MendoSettings& s) { s.*field = value; }); } };
}

// Refreshes `refresh` on every published change of the settings while
// `receiver` lives.
void onSettingsChanged(MendoAppState& state, QObject* receiver, std::function<void()> refresh);

// The toggle shows the value and writes it when the user flips it; showing a
// changed value writes nothing.
void bindToggle(QAbstractButton* toggle, MendoAppState& state, SettingsBinding<bool> value);

// The pop-up offers every case of `E` in order under its title in the
// interface language, shows the current value and writes the one the user
// picks; showing a changed value or language writes nothing.
template <class E>
void bindChoice(QComboBox* box, MendoAppState& state, SettingsBinding<E> value,
    std::function<QString(E, UiLanguage)> title)
{
    const std::vector<E> cases = allCases<E>();
    auto refresh = [box, &state, value, title, cases] {
        const QSignalBlocker quiet(box);
        const UiLanguage language = state.settings().uiLanguage;
        if (box->count() != int(cases.size())) {
            box->clear();
            for (std::size_t i = 0; i < cases.size(); ++i)
                box->addItem(title(cases[i], language));
        } else {
            for (std::size_t i = 0; i < cases.size(); ++i)
                box->setItemText(int(i), title(cases[i], language));
        }
        const E current = value.get();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            if (cases[i] == current)
                box->setCurrentIndex(int(i));
        }
    };
    refresh();
    QObject::connect(box, &QComboBox::activated, box, [value, cases](int index) {
        if (index >= 0 && index < int(cases.size()))
            value.set(cases[std::size_t(index)]);
    });
    onSettingsChanged(state, box, refresh);
}

// A pop-up named `name` (its object name), `width` wide.
QComboBox* makePicker(const char* name, int width);

// A check box named `name` (its object name) with `title` in the interface
// language.
QCheckBox* makeToggle(SettingsTexts& texts, const char* name, const BiText& title);

// A shortcut field for `environment`'s hotkeys (let go while it records),
// `width` wide.
HotkeyRecorderField* makeHotkeyField(const MainSettingsEnvironment& environment, int width);

// The field shows the stored hotkey text (one it cannot read, as stored) and
// writes what the user records; a changed stored text is shown without being
// written back.
void bindHotkeyField(HotkeyRecorderField* field, MendoAppState& state, SettingsBinding<QString> value);

}  // namespace mendo
