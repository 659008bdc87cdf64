#include "settings/ActionsSettingsView.h"

#include "app/MendoAppState.h"
#include "model/MendoPromptLibrary.h"
#include "settings/ActionSymbols.h"
#include "settings/ActionTitleLabel.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>
#include <cmath>

namespace mendo {

namespace {

const BiText sampleHeadingText { QStringLiteral("Test input"), QStringLiteral("Тестовый текст") };
const BiText languageLabelText { QStringLiteral("Translate target"), QStringLiteral("Язык перевода") };
const BiText runText { QStringLiteral("Run"), QStringLiteral("Запустить") };
const BiText outputHeadingText { QStringLiteral("Latest output"), QStringLiteral("Последний результат") };

constexpr int headlinePixels = 13;
constexpr int bodyPixels = 13;
constexpr int rowIconSize = 16;
constexpr int cardRadius = 12;
constexpr int cardPadding = 12;
constexpr int editorPadding = 8;
// Enough of the 100 languages to choose from without the list running off
// a small screen.
constexpr int languagesShown = 16;

QLabel* headline(SettingsTexts& texts, const char* name, const BiText& text)
{
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setFont(theme::sizedFont(label->font(), headlinePixels, QFont::DemiBold));
    texts.text(label, text);
    return label;
}

QWidget* stack(int spacing, std::initializer_list<QWidget*> parts)
{
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* part : parts)
        layout->addWidget(part);
    return holder;
}

}  // namespace

SampleTextEditor::SampleTextEditor(QWidget* parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("sampleEditor"));
    setAcceptRichText(false);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setTabChangesFocus(true);
    setFont(theme::sizedFont(font(), bodyPixels));
    // The rounded card behind it shows through.
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(minimumHeight);
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
        &SampleTextEditor::fitHeight);
    connect(this, &QTextEdit::cursorPositionChanged, this, &SampleTextEditor::keepCaretInView);
}

void SampleTextEditor::showText(const QString& text)
{
    if (toPlainText() == text)
        return;
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

void SampleTextEditor::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    fitHeight();
}

void SampleTextEditor::fitHeight()
{
    const int content = int(std::ceil(document()->size().height())) + 2 * frameWidth();
    const int wanted = std::max(minimumHeight, content);
    if (wanted != height())
        setFixedHeight(wanted);
    // Everything fits: nothing may stay scrolled away inside.
    verticalScrollBar()->setValue(0);
}

void SampleTextEditor::keepCaretInView()
{
    // The page scrolls instead of the editor: bring the caret into its view
    // while the user works in it; a text set from outside (a run's result)
    // leaves the page where the user is.
    if (!hasFocus())
        return;
    for (QWidget* up = parentWidget(); up; up = up->parentWidget()) {
        if (auto* area = qobject_cast<QScrollArea*>(up)) {
            if (!area->widget())
                return;
            const QRect caret = cursorRect();
            const QPoint inPage = viewport()->mapTo(area->widget(), caret.center());
            area->ensureVisible(inPage.x(), inPage.y(), 0, caret.height());
            return;
        }
    }
}

ActionRunRow::ActionRunRow(MendoAppState& state, QWidget* parent)
    : OutlinedBox(fillOpacityValue, 0, cardRadius, parent)
    , m_state(state)
    , m_icon(new QLabel)
    , m_title(new ActionTitleLabel)
    , m_run(new QPushButton)
{
    setObjectName(QStringLiteral("actionRow"));
    m_icon->setFixedSize(rowIconSize, rowIconSize);
    m_title->setFont(theme::sizedFont(m_title->font(), bodyPixels));
    m_run->setObjectName(QStringLiteral("runButton"));
    m_run->setFlat(true);
    m_run->setCursor(Qt::PointingHandCursor);
    m_run->setForegroundRole(QPalette::Highlight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(cardPadding, cardPadding, cardPadding, cardPadding);
    layout->addWidget(m_icon);
    layout->addWidget(m_title, 1);
    layout->addWidget(m_run);
    connect(m_run, &QPushButton::clicked, this, [this] { m_state.run(m_action, false, true); });
}

QString ActionRunRow::title() const
{
    return m_title->title();
}

void ActionRunRow::showAction(const QuickAction& action, const QString& title)
{
    m_action = action;
    m_title->setTitle(title);
    const QString symbol = action.symbolName();
    if (symbol != m_symbol) {
        m_symbol = symbol;
        paintIcon();
    }
    nameRunButton();
}

// Rows are made and titled again whenever the quick actions are published,
// which every change of the settings (the language too) does.
void ActionRunRow::nameRunButton()
{
    const UiLanguage language = m_state.settings().uiLanguage;
    const QString title = m_title->title();
    m_run->setText(runText(language));
    // A screen reader hears which action the button runs.
    m_run->setAccessibleName(language == UiLanguage::ru ? QStringLiteral("Запустить «%1»").arg(title)
                                                        : QStringLiteral("Run %1").arg(title));
}

void ActionRunRow::paintIcon()
{
    if (m_symbol.isEmpty())
        return;
    m_icon->setPixmap(actionSymbol(m_symbol, rowIconSize, palette().color(QPalette::WindowText), devicePixelRatioF()));
}

void ActionRunRow::changeEvent(QEvent* event)
{
    OutlinedBox::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        paintIcon();
}

bool ActionsSettingsView::runsOnSample(const QuickAction& action)
{
    return action.id != QLatin1String("ai") && action.id != QLatin1String("clipboard")
        && action.id != QLatin1String("layout");
}

ActionsSettingsView::ActionsSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_state(environment.appState)
    , m_texts(new SettingsTexts(environment.appState, this))
    , m_editor(new SampleTextEditor)
    , m_languages(new QComboBox)
    , m_rowsHost(new QWidget)
    , m_output(new QLabel)
{
    MendoAppState& state = m_state;
    m_sampleHeading = headline(*m_texts, "sampleHeading", sampleHeadingText);
    m_texts->accessibleName(m_editor, sampleHeadingText);
    auto* editorCard = new OutlinedBox(ActionRunRow::fillOpacityValue, 0.08, cardRadius);
    auto* editorLayout = new QVBoxLayout(editorCard);
    editorLayout->setContentsMargins(editorPadding, editorPadding, editorPadding, editorPadding);
    editorLayout->addWidget(m_editor);

    m_languageLabel = new QLabel;
    m_languageLabel->setObjectName(QStringLiteral("languageLabel"));
    m_languageLabel->setFont(theme::sizedFont(m_languageLabel->font(), bodyPixels));
    m_texts->text(m_languageLabel, languageLabelText);
    m_languages->setObjectName(QStringLiteral("languagePicker"));
    m_languages->setMaxVisibleItems(languagesShown);
    // The names are the values stored and sent: never translated.
    m_languages->addItems(MendoPromptLibrary::languages());
    m_languages->setMinimumWidth(200);
    m_languageLabel->setBuddy(m_languages);
    m_texts->accessibleName(m_languages, languageLabelText);
    auto* languageRow = new QWidget;
    auto* languageLayout = new QHBoxLayout(languageRow);
    languageLayout->setContentsMargins(0, 0, 0, 0);
    languageLayout->setSpacing(8);
    languageLayout->addWidget(m_languageLabel);
    languageLayout->addWidget(m_languages);
    languageLayout->addStretch(1);
    const SettingsBinding<QString> target = binding(state, &MendoSettings::targetLanguage);
    connect(m_languages, &QComboBox::activated, this, [this, target](int index) {
        if (index >= 0)
            target.set(m_languages->itemText(index));
    });

    auto* rowsLayout = new QVBoxLayout(m_rowsHost);
    rowsLayout->setContentsMargins(0, 0, 0, 0);
    rowsLayout->setSpacing(8);

    m_outputHeading = headline(*m_texts, "outputHeading", outputHeadingText);
    m_output->setObjectName(QStringLiteral("latestOutput"));
    m_output->setTextFormat(Qt::PlainText);
    m_output->setWordWrap(true);
    m_output->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_output->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_output->setFont(theme::sizedFont(m_output->font(), bodyPixels));
    // Read out as its text, after its heading.
    auto* outputCard = new OutlinedBox(ActionRunRow::fillOpacityValue, 0, cardRadius);
    auto* outputLayout = new QVBoxLayout(outputCard);
    outputLayout->setContentsMargins(cardPadding, cardPadding, cardPadding, cardPadding);
    outputLayout->addWidget(m_output);
    m_outputBlock = stack(8, { m_outputHeading, outputCard });
    m_outputBlock->setObjectName(QStringLiteral("latestOutputBlock"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    layout->setAlignment(Qt::AlignTop);
    layout->addWidget(stack(8, { m_sampleHeading, editorCard }));
    layout->addWidget(languageRow);
    layout->addWidget(m_rowsHost);
    layout->addWidget(m_outputBlock);

    showSample();
    showLanguage();
    showRows();
    showOutput();
    connect(m_editor, &QTextEdit::textChanged, this, [this] {
        const QString text = m_editor->toPlainText();
        if (text != m_state.sampleText())
            m_state.setSampleText(text);
    });
    connect(&state, &MendoAppState::sampleTextChanged, this, &ActionsSettingsView::showSample);
    connect(&state, &MendoAppState::latestOutputChanged, this, &ActionsSettingsView::showOutput);
    // Titles follow the language and the style names, which change with the
    // settings; the quick actions are published again after every change.
    connect(&state, &MendoAppState::quickActionsChanged, this, &ActionsSettingsView::showRows);
    onSettingsChanged(state, this, [this] { showLanguage(); });
}

void ActionsSettingsView::showSample()
{
    m_editor->showText(m_state.sampleText());
}

void ActionsSettingsView::showLanguage()
{
    const QSignalBlocker quiet(m_languages);
    m_languages->setCurrentIndex(m_languages->findText(m_state.settings().targetLanguage, Qt::MatchExactly));
}

void ActionsSettingsView::showRows()
{
    QList<QuickAction> actions;
    for (const QuickAction& action : m_state.quickActions()) {
        if (runsOnSample(action))
            actions.append(action);
    }
    auto* layout = static_cast<QVBoxLayout*>(m_rowsHost->layout());
    while (m_rows.size() > actions.size())
        delete m_rows.takeLast();
    while (m_rows.size() < actions.size()) {
        auto* row = new ActionRunRow(m_state, m_rowsHost);
        layout->addWidget(row);
        m_rows.append(row);
    }
    for (qsizetype i = 0; i < actions.size(); ++i)
        m_rows[i]->showAction(actions[i], m_state.title(actions[i]));
    m_rowsHost->setVisible(!actions.isEmpty());
}

void ActionsSettingsView::showOutput()
{
    const QString& output = m_state.latestOutput();
    if (m_output->text() != output)
        m_output->setText(output);
    m_outputBlock->setVisible(!output.isEmpty());
}

QWidget* makeActionsSettingsView(const MainSettingsEnvironment& environment)
{
    return new ActionsSettingsView(environment);
}

}  // namespace mendo
