#include "panels/SelectablePreviewTextView.h"

#include <QScrollBar>
#include <QTextBlock>

namespace mendo {

SelectablePreviewTextView::SelectablePreviewTextView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setUndoRedoEnabled(false);
    // Read-only text shows its selection, not a blinking caret.
    setCursorWidth(0);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setBackgroundVisible(false);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    document()->setDocumentMargin(textInset);
    // The pane may be narrower than any line: text wraps instead.
    setMinimumSize(0, 0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
}

void SelectablePreviewTextView::updateTextView(const QString& text, const QString& placeholder, double fontSize)
{
    const bool placeholderShown = text.isEmpty();
    const QString& shown = placeholderShown ? placeholder : text;

    if (shown != m_shown) {
        const QTextCursor before = textCursor();
        const int anchor = before.anchor();
        const int position = before.position();
        m_shown = shown;
        setPlainText(shown);
        // A text that became shorter never receives a selection past its end.
        if (std::max(anchor, position) <= shown.size()) {
            QTextCursor restored(document());
            restored.setPosition(anchor);
            restored.setPosition(position, QTextCursor::KeepAnchor);
            setTextCursor(restored);
        }
    }

    if (fontSize != m_fontSize) {
        m_fontSize = fontSize;
        QFont f = font();
        f.setPixelSize(std::max(1, qRound(fontSize)));
        setFont(f);
    }

    if (!m_colourSet || placeholderShown != m_placeholderShown) {
        m_colourSet = true;
        m_placeholderShown = placeholderShown;
        applyTextColour();
    }
}

void SelectablePreviewTextView::applyTextColour()
{
    QPalette p = palette();
    const QColor colour = p.color(m_placeholderShown ? QPalette::PlaceholderText : QPalette::WindowText);
    if (p.color(QPalette::Text) == colour && p.color(QPalette::Base) == QColor(Qt::transparent))
        return;
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::Base, Qt::transparent);
    setPalette(p);
}

void SelectablePreviewTextView::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    // The theme changed the window text colour: the text follows it.
    if (event->type() == QEvent::PaletteChange && m_colourSet)
        applyTextColour();
}

}  // namespace mendo
