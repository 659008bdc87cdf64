#include "clipboard/ClipboardSidePreview.h"

#include "base/BiText.h"
#include "base/Text.h"
#include "clipboard/ClipboardEntryList.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace mendo {

namespace {

QFont captionFont(const QFont& base, bool semibold)
{
    return theme::sizedFont(base, 11, semibold ? QFont::DemiBold : QFont::Normal);
}

}  // namespace

ClipboardPreviewCard::ClipboardPreviewCard(QWidget* parent)
    : OutlinedBox(0.012, 0.075, 14, parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);

    auto* header = new QHBoxLayout;
    m_heading = new QLabel;
    m_heading->setFont(captionFont(font(), true));
    m_count = new QLabel;
    m_count->setFont(captionFont(font(), false));
    header->addWidget(m_heading);
    header->addStretch(1);
    header->addWidget(m_count);
    column->addLayout(header);

    // The text area's faint rounded ground.
    auto* ground = new OutlinedBox(0.014, 0, 12);
    auto* groundBox = new QVBoxLayout(ground);
    groundBox->setContentsMargins(0, 0, 0, 0);
    m_text = new QPlainTextEdit;
    m_text->setObjectName(QStringLiteral("previewText"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->document()->setDocumentMargin(10);
    QPalette textPalette = m_text->palette();
    textPalette.setColor(QPalette::Base, Qt::transparent);
    m_text->setPalette(textPalette);
    m_text->viewport()->setAutoFillBackground(false);
    groundBox->addWidget(m_text);
    column->addWidget(ground, 1);

    auto* row = new QHBoxLayout;
    row->setObjectName(QStringLiteral("buttonRow"));
    row->setSpacing(4);
    column->addLayout(row);
    auto* wrapped = new QHBoxLayout;
    wrapped->setObjectName(QStringLiteral("buttonRow2"));
    wrapped->setSpacing(4);
    column->addLayout(wrapped);
}

void ClipboardPreviewCard::resizeEvent(QResizeEvent* event)
{
    OutlinedBox::resizeEvent(event);
    arrangeButtons();
}

void ClipboardPreviewCard::arrangeButtons()
{
    auto* first = findChild<QHBoxLayout*>(QStringLiteral("buttonRow"));
    auto* second = findChild<QHBoxLayout*>(QStringLiteral("buttonRow2"));
    const QMargins margins = layout()->contentsMargins();
    const int available = width() - margins.left() - margins.right();
    int used = 0;
    int count = 0;
    for (QPushButton* button : std::as_const(m_buttons)) {
        const int needed = button->sizeHint().width() + (count > 0 ? first->spacing() : 0);
        if (used + needed > available && count > 0)
            break;
        used += needed;
        ++count;
    }
    if (count == m_firstRowCount && first->count() + second->count() >= int(m_buttons.size()))
        return;
    m_firstRowCount = count;
    for (QPushButton* button : std::as_const(m_buttons)) {
        first->removeWidget(button);
        second->removeWidget(button);
    }
    while (QLayoutItem* item = first->takeAt(0))
        delete item;
    while (QLayoutItem* item = second->takeAt(0))
        delete item;
    for (int i = 0; i < int(m_buttons.size()); ++i)
        (i < count ? first : second)->addWidget(m_buttons[i]);
    // A wrapped row keeps its buttons at their size, left.
    second->addStretch(1);
}

QPushButton* ClipboardPreviewCard::addButton(const QString& symbolName, bool destructive)
{
    auto* button = new QPushButton;
    const QColor color = destructive ? clipboardDestructiveColor() : palette().color(QPalette::ButtonText);
    button->setIcon(SymbolRegistry::icon(symbolName, color));
    button->setProperty("symbolName", symbolName);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(12, 12));
    QFont small = button->font();
    small.setPixelSize(11);
    button->setFont(small);
    // Tighter than the style's default minimum width, so that four buttons
    // fit a card of the narrowest width.
    button->setStyleSheet(destructive ? QStringLiteral("QPushButton { padding: 3px 5px; color: %1; }").arg(color.name())
                                      : QStringLiteral("QPushButton { padding: 3px 5px; }"));
    auto* row = findChild<QHBoxLayout*>(QStringLiteral("buttonRow"));
    row->addWidget(button);
    m_buttons.append(button);
    m_firstRowCount = int(m_buttons.size());
    return button;
}

void ClipboardPreviewCard::setFontSize(double size)
{
    QFont f = m_text->font();
    const int pixels = std::max(1, int(std::lround(size)));
    if (f.pixelSize() == pixels)
        return;
    f.setPixelSize(pixels);
    m_text->setFont(f);
}

void ClipboardPreviewCard::show(const QString& heading, const std::optional<QString>& key, const QString& text,
    const QString& count, const QString& placeholder)
{
    m_heading->setText(heading);
    m_count->setText(count);
    m_count->setVisible(key.has_value());
    m_empty = !key;
    for (QPushButton* button : m_buttons)
        button->setEnabled(key.has_value());
    const QColor primary = palette().color(QPalette::WindowText);
    const QColor secondary = theme::withOpacity(primary, 0.5);
    if (m_heading->palette().color(QPalette::WindowText) != secondary) {
        QPalette headingPalette = m_heading->palette();
        headingPalette.setColor(QPalette::WindowText, secondary);
        m_heading->setPalette(headingPalette);
        m_count->setPalette(headingPalette);
    }
    const QColor textColor = key ? primary : theme::withOpacity(primary, 0.5);
    if (m_text->palette().color(QPalette::Text) != textColor) {
        QPalette textPalette = m_text->palette();
        textPalette.setColor(QPalette::Text, textColor);
        m_text->setPalette(textPalette);
    }
    // The buttons' texts may have changed with the language.
    arrangeButtons();
    if (m_shownKey == key && (key ? m_shownText == text : m_shownPlaceholder == placeholder))
        return;
    m_shownKey = key;
    m_shownText = key ? text : QString();
    m_shownPlaceholder = key ? QString() : placeholder;
    m_text->setPlainText(key ? text : placeholder);
}

ClipboardSidePreview::ClipboardSidePreview(QWidget* parent)
    : ClipboardPreviewCard(parent)
{
    setObjectName(QStringLiteral("clipboardSidePreview"));
    connect(addButton(QStringLiteral("arrow.turn.down.left"), false), &QPushButton::clicked, this, [this] {
        if (m_item)
            Q_EMIT pasteRequested(m_item->text);
    });
    connect(addButton(QStringLiteral("plus.square.on.square"), false), &QPushButton::clicked, this, [this] {
        if (m_item)
            Q_EMIT saveAsNoteRequested(*m_item);
    });
    connect(addButton(QStringLiteral("trash"), true), &QPushButton::clicked, this, [this] {
        if (m_item)
            Q_EMIT removeRequested(m_item->id);
    });
}

void ClipboardSidePreview::setItem(const std::optional<ClipboardHistoryItem>& item, UiLanguage language)
{
    m_item = item;
    buttons()[0]->setText(pick(language, QStringLiteral("Paste"), QStringLiteral("Вставить")));
    buttons()[1]->setText(pick(language, QStringLiteral("To note"), QStringLiteral("В заметку")));
    buttons()[2]->setText(pick(language, QStringLiteral("Delete"), QStringLiteral("Удалить")));
    for (QPushButton* button : buttons())
        button->setToolTip(button->text());
    show(pick(language, QStringLiteral("Preview"), QStringLiteral("Просмотр")),
        item ? std::optional<QString>(item->id) : std::nullopt, item ? item->text : QString(),
        item ? clipboardCharsCaption(item->chars, language) : QString(),
        pick(language, QStringLiteral("Select a clipboard item."), QStringLiteral("Выберите элемент буфера.")));
}

ClipboardNoteSidePreview::ClipboardNoteSidePreview(QWidget* parent)
    : ClipboardPreviewCard(parent)
{
    setObjectName(QStringLiteral("clipboardNoteSidePreview"));
    connect(addButton(QStringLiteral("arrow.turn.down.left"), false), &QPushButton::clicked, this, [this] {
        if (m_note)
            Q_EMIT pasteRequested(m_note->text);
    });
    connect(addButton(QStringLiteral("doc.on.doc"), false), &QPushButton::clicked, this, [this] {
        if (m_note)
            Q_EMIT copyRequested(m_note->text);
    });
    connect(addButton(QStringLiteral("pencil"), false), &QPushButton::clicked, this, [this] {
        if (m_note)
            Q_EMIT editRequested(*m_note);
    });
    connect(addButton(QStringLiteral("trash"), true), &QPushButton::clicked, this, [this] {
        if (m_note)
            Q_EMIT deleteRequested(*m_note);
    });
}

void ClipboardNoteSidePreview::setNote(const std::optional<ClipboardNoteItem>& note, UiLanguage language)
{
    m_note = note;
    buttons()[0]->setText(pick(language, QStringLiteral("Paste"), QStringLiteral("Вставить")));
    buttons()[1]->setText(pick(language, QStringLiteral("Copy"), QStringLiteral("Скопировать")));
    buttons()[2]->setText(pick(language, QStringLiteral("Edit"), QStringLiteral("Править")));
    for (int i = 0; i < 3; ++i)
        buttons()[i]->setToolTip(buttons()[i]->text());
    buttons()[3]->setToolTip(pick(language, QStringLiteral("Delete"), QStringLiteral("Удалить")));
    if (note && note->text != m_countedText) {
        m_countedText = note->text;
        m_count = text::graphemeCount(note->text);
    }
    show(pick(language, QStringLiteral("Note"), QStringLiteral("Заметка")),
        note ? std::optional<QString>(note->id) : std::nullopt, note ? note->text : QString(),
        note ? clipboardCharsCaption(m_count, language) : QString(),
        pick(language, QStringLiteral("Select a note."), QStringLiteral("Выберите заметку.")));
}

}  // namespace mendo
