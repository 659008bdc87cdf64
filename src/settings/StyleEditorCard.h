#pragma once

#include "ui/OutlinedBox.h"

#include <QPointer>
#include <QString>
#include <QTextEdit>
#include <functional>
#include <optional>

class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QVBoxLayout;

namespace mendo {

class HotkeyRecorderField;
struct MainSettingsEnvironment;

// Gives `button` the symbol in the colour `tone` picks from its palette, now
// and whenever its palette changes (the window's scheme follows the theme).
void showSymbol(QAbstractButton* button, const QString& symbolName, std::function<QColor(const QPalette&)> tone);

// One style as a card shows it: a rewrite style has the auto-replace switch,
// a reply style has none.
struct EditedStyle {
    QString id;
    QString name;
    QString prompt;
    QString hotkey;
    std::optional<bool> autoReplace;

    bool operator==(const EditedStyle&) const = default;
};

// Where a card's edits go. Each write names one field and is made onto the
// style of that id as the settings hold it at that moment; a style that is no
// longer stored takes no write.
struct StyleEditorStore {
    enum class Field { name, prompt, hotkey, autoReplace };

    std::function<void(const QString& id, Field field, const QString& text)> writeText;
    std::function<void(const QString& id, bool autoReplace)> writeAutoReplace;
    std::function<void(const QString& id)> remove;
};

// The prompt editor: plain text, no scrolling of its own; it grows with its
// text and is never lower than `minimumTextHeight`.
class StylePromptEditor : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int minimumTextHeight = 86;

    explicit StylePromptEditor(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitToText();
    void followCaret();
    void showCaretInPage();
    int m_textHeight = minimumTextHeight;
};

// The editor card of one rewrite or reply style: name, hotkey, the "Auto"
// switch (rewrite styles only), a trash button for the user's own styles,
// and the prompt. Each edit writes its one field at once. A change published
// from elsewhere is shown in place, so the focus, the caret and the undo
// history of a field the user is typing in survive their own saves.
//
// The controls are made the first time they are needed (the list makes them
// as the card comes into view); until then the card only holds its place.
class StyleEditorCard : public OutlinedBox {
    Q_OBJECT
public:
    static constexpr int padding = 12;
    static constexpr int spacing = 10;
    static constexpr double fillOpacityValue = 0.055;
    static constexpr double edgeOpacityValue = 0.08;
    static constexpr int cornerRadius = 14;

    struct Options {
        bool canDelete = false;
        bool hasAutoReplace = true;
        int hotkeyWidth = 120;
    };

    StyleEditorCard(const MainSettingsEnvironment& environment, StyleEditorStore store, EditedStyle style,
        Options options, QWidget* parent = nullptr);

    const QString& styleId() const { return m_style.id; }
    bool canDelete() const { return m_options.canDelete; }
    bool isBuilt() const { return m_built; }
    // Makes the controls now if they are not made yet.
    void build();

    // The stored style changed: shows what differs, writes nothing.
    void showStyle(const EditedStyle& style);

    // One edit, as the card's controls make it.
    void editText(StyleEditorStore::Field field, const QString& text);
    void editAutoReplace(bool autoReplace);

    QLineEdit* nameField();
    HotkeyRecorderField* hotkeyField();
    QCheckBox* autoReplaceToggle();  // null on a reply card
    QAbstractButton* deleteButton();  // null on a built-in style's card
    StylePromptEditor* promptEditor();

private:
    void showBuilt();

    const MainSettingsEnvironment& m_environment;
    StyleEditorStore m_store;
    EditedStyle m_style;
    Options m_options;
    bool m_built = false;
    bool m_showing = false;
    QLineEdit* m_name = nullptr;
    HotkeyRecorderField* m_hotkey = nullptr;
    QCheckBox* m_autoReplace = nullptr;
    QAbstractButton* m_delete = nullptr;
    StylePromptEditor* m_prompt = nullptr;
    // The editor's text as last set or typed: reading a long prompt back out
    // of the editor at every save would cost more than the save.
    QString m_shownPrompt;
    bool m_promptShown = false;
};

}  // namespace mendo
