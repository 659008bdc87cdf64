#include "settings/StyleEditorCard.h"

#include "hotkeys/HotkeyRecorderField.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"
#include "ui/SymbolRegistry.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText nameTitle { QStringLiteral("Name"), QStringLiteral("Название") };
const BiText autoTitle { QStringLiteral("Auto"), QStringLiteral("Авто") };
const BiText hotkeyTitle { QStringLiteral("Hotkey"), QStringLiteral("Хоткей") };
const BiText promptTitle { QStringLiteral("Prompt"), QStringLiteral("Промпт") };
const BiText deleteTitle { QStringLiteral("Delete"), QStringLiteral("Удалить") };

constexpr int editorPadding = 6;
constexpr int editorRadius = 9;

// The desktop's red for a button that removes something, light and dark.
QColor destructiveRed(const QPalette& palette)
{
    return theme::colorSchemeOf(palette) == ColorScheme::dark ? QColor(255, 69, 58) : QColor(255, 59, 48);
}

class SymbolTone : public QObject {
public:
    SymbolTone(QAbstractButton* button, QString symbolName, std::function<QColor(const QPalette&)> tone)
        : QObject(button)
        , m_button(button)
        , m_symbolName(std::move(symbolName))
        , m_tone(std::move(tone))
    {
        apply();
        button->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange)
            apply();
        return false;
    }

private:
    void apply() { m_button->setIcon(SymbolRegistry::icon(m_symbolName, m_tone(m_button->palette()))); }

    QAbstractButton* m_button;
    QString m_symbolName;
    std::function<QColor(const QPalette&)> m_tone;
};

}  // namespace

void showSymbol(QAbstractButton* button, const QString& symbolName, std::function<QColor(const QPalette&)> tone)
{
    new SymbolTone(button, symbolName, std::move(tone));
}

StylePromptEditor::StylePromptEditor(QWidget* parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    setFont(theme::sizedFont(font(), 12));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    document()->setDocumentMargin(2);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
        &StylePromptEditor::fitToText);
    connect(this, &QTextEdit::cursorPositionChanged, this, &StylePromptEditor::followCaret);
    setFixedHeight(minimumTextHeight);
}

void StylePromptEditor::followCaret()
{
    // The editor does not scroll, the page does: typing below the page's
    // visible part brings the caret into view there, as any editor would.
    if (!hasFocus())
        return;
    showCaretInPage();
    // Once more when the page has grown with the editor.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus())
            showCaretInPage();
    });
}

void StylePromptEditor::showCaretInPage()
{
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(ancestor);
        if (!area || !area->widget())
            continue;
        const QRect caret = cursorRect();
        const QPoint centre = viewport()->mapTo(area->widget(), caret.center());
        area->ensureVisible(centre.x(), centre.y(), 0, caret.height() + 12);
        return;
    }
}

QSize StylePromptEditor::sizeHint() const
{
    return { QTextEdit::sizeHint().width(), m_textHeight };
}

QSize StylePromptEditor::minimumSizeHint() const
{
    return { 0, m_textHeight };
}

void StylePromptEditor::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    if (event->size().width() != event->oldSize().width())
        fitToText();
}

void StylePromptEditor::fitToText()
{
    // The whole text shows: the editor is as tall as its text, never lower
    // than the minimum, and the page around it scrolls instead.
    const int height = std::max(minimumTextHeight, int(std::ceil(document()->size().height())));
    if (height == m_textHeight)
        return;
    m_textHeight = height;
    setFixedHeight(height);
    // A scroll offset left from before the editor grew would hide the top.
    verticalScrollBar()->setValue(0);
}

StyleEditorCard::StyleEditorCard(const MainSettingsEnvironment& environment, StyleEditorStore store, EditedStyle style,
    Options options, QWidget* parent)
    : OutlinedBox(fillOpacityValue, edgeOpacityValue, cornerRadius, parent)
    , m_environment(environment)
    , m_store(std::move(store))
    , m_style(std::move(style))
    , m_options(options)
{
    setObjectName(QStringLiteral("styleCard-") + m_style.id);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void StyleEditorCard::build()
{
    if (m_built)
        return;
    m_built = true;
    // From now on the controls give the card its height.
    setMinimumHeight(0);
    setMaximumHeight(QWIDGETSIZE_MAX);
    // The card's texts go with the card.
    auto* texts = new SettingsTexts(m_environment.appState, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(spacing);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    m_name = new QLineEdit;
    m_name->setObjectName(QStringLiteral("styleName"));
    m_name->setClearButtonEnabled(false);
    texts->follow([name = QPointer<QLineEdit>(m_name)](UiLanguage language) {
        if (!name)
            return;
        name->setPlaceholderText(nameTitle(language));
        name->setAccessibleName(nameTitle(language));
    });
    // Only the user's typing writes: textEdited is not sent for setText.
    connect(m_name, &QLineEdit::textEdited, this,
        [this](const QString& text) { editText(StyleEditorStore::Field::name, text); });
    row->addWidget(m_name, 1);

    m_hotkey = makeHotkeyField(m_environment, m_options.hotkeyWidth);
    m_hotkey->setObjectName(QStringLiteral("styleHotkey"));
    texts->accessibleName(m_hotkey, hotkeyTitle);
    connect(m_hotkey, &HotkeyRecorderField::hotkeyEdited, this,
        [this](const QString& hotkey) { editText(StyleEditorStore::Field::hotkey, hotkey); });
    row->addWidget(m_hotkey);

    if (m_options.hasAutoReplace) {
        m_autoReplace = new QCheckBox;
        m_autoReplace->setObjectName(QStringLiteral("styleAutoReplace"));
        texts->text(m_autoReplace, autoTitle);
        // clicked is the user's flip only, never setChecked.
        connect(m_autoReplace, &QCheckBox::clicked, this, [this](bool checked) { editAutoReplace(checked); });
        row->addWidget(m_autoReplace);
    }

    if (m_options.canDelete) {
        auto* trash = new QToolButton;
        trash->setObjectName(QStringLiteral("styleDelete"));
        trash->setAutoRaise(true);
        trash->setCursor(Qt::PointingHandCursor);
        showSymbol(trash, QStringLiteral("trash"), &destructiveRed);
        trash->setIconSize({ 16, 16 });
        texts->accessibleName(trash, deleteTitle);
        texts->toolTip(trash, deleteTitle);
        // The card goes with its style, later in the event loop: not while its
        // own button is still reporting the click.
        connect(trash, &QToolButton::clicked, this, [this] {
            if (m_store.remove)
                m_store.remove(m_style.id);
        });
        m_delete = trash;
        row->addWidget(trash);
    }
    layout->addLayout(row);

    auto* editorBox = new OutlinedBox(fillOpacityValue, edgeOpacityValue, editorRadius);
    editorBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    auto* editorLayout = new QVBoxLayout(editorBox);
    editorLayout->setContentsMargins(editorPadding, editorPadding, editorPadding, editorPadding);
    m_prompt = new StylePromptEditor;
    m_prompt->setObjectName(QStringLiteral("stylePrompt"));
    texts->accessibleName(m_prompt, promptTitle);
    connect(m_prompt, &QTextEdit::textChanged, this, [this] {
        if (m_showing)
            return;
        m_shownPrompt = m_prompt->toPlainText();
        editText(StyleEditorStore::Field::prompt, m_shownPrompt);
    });
    editorLayout->addWidget(m_prompt);
    layout->addWidget(editorBox);

    showBuilt();
}

void StyleEditorCard::showStyle(const EditedStyle& style)
{
    if (style == m_style)
        return;
    m_style = style;
    if (m_built)
        showBuilt();
}

void StyleEditorCard::showBuilt()
{
    // Only a field whose stored text differs from the shown one is set: a
    // field that shows what the user just typed keeps its caret and undo.
    m_showing = true;
    if (m_name->text() != m_style.name)
        m_name->setText(m_style.name);
    if (m_hotkey->hotkey() != m_style.hotkey)
        m_hotkey->setHotkey(m_style.hotkey);
    if (m_autoReplace && m_autoReplace->isChecked() != m_style.autoReplace.value_or(true))
        m_autoReplace->setChecked(m_style.autoReplace.value_or(true));
    if (!m_promptShown || m_shownPrompt != m_style.prompt) {
        m_promptShown = true;
        m_shownPrompt = m_style.prompt;
        m_prompt->setPlainText(m_style.prompt);
    }
    m_showing = false;
}

void StyleEditorCard::editText(StyleEditorStore::Field field, const QString& text)
{
    if (m_store.writeText)
        m_store.writeText(m_style.id, field, text);
}

void StyleEditorCard::editAutoReplace(bool autoReplace)
{
    if (m_store.writeAutoReplace)
        m_store.writeAutoReplace(m_style.id, autoReplace);
}

QLineEdit* StyleEditorCard::nameField()
{
    build();
    return m_name;
}

HotkeyRecorderField* StyleEditorCard::hotkeyField()
{
    build();
    return m_hotkey;
}

QCheckBox* StyleEditorCard::autoReplaceToggle()
{
    build();
    return m_autoReplace;
}

QAbstractButton* StyleEditorCard::deleteButton()
{
    build();
    return m_delete;
}

StylePromptEditor* StyleEditorCard::promptEditor()
{
    build();
    return m_prompt;
}

}  // namespace mendo
