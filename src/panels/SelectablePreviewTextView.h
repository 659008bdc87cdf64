#pragma once

#include <QPlainTextEdit>

namespace mendo {

// One text of the translation preview, read-only but selectable, so that
// part of it can be selected and copied; a placeholder, itself selectable,
// stands in for an empty text. Long text wraps to the pane's width and
// scrolls vertically only. A click into the pane of an inactive panel starts
// a selection at once and never moves the panel.
class SelectablePreviewTextView : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int textInset = 10;

    explicit SelectablePreviewTextView(QWidget* parent = nullptr);

    // Shows `text`, or `placeholder` in the placeholder colour when `text`
    // is empty, in the system font of `fontSize` pixels. A call that changes
    // nothing costs a comparison: the user's selection, the scroll position
    // and the layout stay. When the text changes, the selection is kept as
    // far as it still fits inside the new text.
    void updateTextView(const QString& text, const QString& placeholder, double fontSize);

    const QString& shownText() const { return m_shown; }
    bool showsPlaceholder() const { return m_placeholderShown; }
    double fontSize() const { return m_fontSize; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyTextColour();

    QString m_shown;
    bool m_placeholderShown = false;
    bool m_colourSet = false;
    double m_fontSize = 0;
};

}  // namespace mendo
