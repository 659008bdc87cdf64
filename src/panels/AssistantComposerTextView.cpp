#include "panels/AssistantComposerTextView.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace mendo {

AssistantComposerTextView::AssistantComposerTextView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setBackgroundVisible(false);
    viewport()->setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setUndoRedoEnabled(true);
    setTabChangesFocus(true);
    QFont font = this->font();
    font.setPixelSize(14);
    font.setWeight(QFont::Medium);
    setFont(font);
    document()->setDocumentMargin(6);
    connect(this, &QPlainTextEdit::textChanged, this, &AssistantComposerTextView::textEdited);
}

QString AssistantComposerTextView::boundText() const
{
    QString text = toPlainText();
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void AssistantComposerTextView::setBoundText(const QString& text)
{
    if (boundText() == text)
        return;
    m_settingText = true;
    setPlainText(text);
    moveCursor(QTextCursor::End);
    m_settingText = false;
}

void AssistantComposerTextView::textEdited()
{
    if (!m_settingText && onTextChanged)
        onTextChanged(boundText());
    updateGeometry();
}

QSize AssistantComposerTextView::sizeHint() const
{
    // Lines as laid out at the current width: wrapped lines count.
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += qMax(1, block.layout() ? block.layout()->lineCount() : 1);
    const int height = lines * fontMetrics().lineSpacing() + 2 * int(document()->documentMargin()) + 2;
    return { QPlainTextEdit::sizeHint().width(), qMax(minimumEditorHeight, height) };
}

QSize AssistantComposerTextView::minimumSizeHint() const
{
    return { 40, minimumEditorHeight };
}

void AssistantComposerTextView::inputMethodEvent(QInputMethodEvent* event)
{
    QPlainTextEdit::inputMethodEvent(event);
    m_composing = !event->preeditString().isEmpty();
}

void AssistantComposerTextView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // The Return that ends an input method's composition belongs to it.
    if (!enter || m_composing) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    if (event->modifiers() & (Qt::ShiftModifier | Qt::AltModifier)) {
        // A line feed of our own: Qt would put a line separator for
        // Shift+Return and nothing at all for Alt+Return.
        textCursor().insertText(QStringLiteral("\n"));
        ensureCursorVisible();
        event->accept();
        return;
    }
    event->accept();
    if (onTextChanged)
        onTextChanged(boundText());
    if (onSubmit)
        onSubmit();
}

}  // namespace mendo
