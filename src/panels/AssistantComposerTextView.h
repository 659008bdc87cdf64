#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace mendo {

// The request editor of the assistant's composer: plain text only, where
// Return (or keypad Enter) submits and Shift+Return or Alt+Return break the
// line. It keeps a bound text in step with every edit and grows with its
// lines between its minimum and maximum height, then scrolls.
class AssistantComposerTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit AssistantComposerTextView(QWidget* parent = nullptr);

    // Called with the whole text after every edit, and once more, before
    // `onSubmit`, when the user submits.
    std::function<void(const QString&)> onTextChanged;
    std::function<void()> onSubmit;

    // Brings the editor in line with the bound text; an unchanged text keeps
    // its cursor and selection.
    void setBoundText(const QString& text);
    // The text with line feeds only: Qt's own line and paragraph separators
    // never reach the binding.
    QString boundText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr int minimumEditorHeight = 34;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void textEdited();

    bool m_composing = false;
    bool m_settingText = false;
};

}  // namespace mendo
