#include "panels/AssistantPanel.h"

#include "panels/AssistantComposerTextView.h"
#include "panels/AssistantPanelController.h"
#include "model/MendoPromptLibrary.h"
#include "ui/SymbolButtonName.h"
#include "ui/FloatingPanel.h"
#include "ui/MendoTheme.h"
#include "ui/NativeMaterials.h"
#include "ui/SymbolRegistry.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <type_traits>

namespace mendo {

namespace {

using theme::withOpacity;

QColor primaryOf(const QWidget* widget)
{
    return widget->palette().color(QPalette::WindowText);
}

QColor secondaryOf(const QWidget* widget)
{
    QColor color = primaryOf(widget);
    color.setAlphaF(0.6);
    return color;
}

QColor accentOf(const QWidget* widget)
{
    return widget->palette().color(QPalette::Highlight);
}

QString rgba(const QColor& color)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(QString::number(color.alphaF(), 'f', 3));
}

QFont captionFont()
{
    return theme::sizedFont(QFont(), 11, QFont::DemiBold);
}

template <class Widget> void setToolTipIfChanged(Widget* widget, const QString& text)
{
    if (widget->toolTip() != text)
        widget->setToolTip(text);
    if constexpr (std::is_base_of_v<QAbstractButton, Widget>)
        nameSymbolButtonByToolTip(widget);
}

void setTextIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void setTextIfChanged(QToolButton* button, const QString& text)
{
    if (button->text() != text)
        button->setText(text);
}

// The symbol's name stays on the button, for tests and accessibility tools.
void setIcon(QToolButton* button, const QString& symbol, int size, const QColor& color)
{
    button->setProperty("symbol", symbol);
    button->setIcon(SymbolRegistry::icon(symbol, color));
    button->setIconSize(QSize(size, size));
}

void setSymbol(QLabel* label, const QString& symbol, int size, const QColor& color)
{
    label->setProperty("symbol", symbol);
    label->setPixmap(SymbolRegistry::pixmap(symbol, size, color, label->devicePixelRatioF()));
}

QToolButton* iconButton(QWidget* parent, QSize frame)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFixedSize(frame);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// A rounded rectangle (a capsule with a negative radius) filled and outlined
// in colours taken from the palette when painted, so a new appearance needs
// nothing but a repaint.
class AssistantBox : public QWidget {
public:
    AssistantBox(qreal radius, std::function<QColor(const QWidget*)> fill, std::function<QColor(const QWidget*)> stroke,
        QWidget* parent = nullptr, qreal strokeWidth = 1.0)
        : QWidget(parent)
        , m_radius(radius)
        , m_fill(std::move(fill))
        , m_stroke(std::move(stroke))
        , m_strokeWidth(strokeWidth)
    {
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal inset = m_strokeWidth / 2;
        const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
        const qreal radius = m_radius < 0 ? box.height() / 2 : m_radius;
        QPainterPath path;
        path.addRoundedRect(box, radius, radius);
        if (m_fill)
            p.fillPath(path, m_fill(this));
        if (m_stroke) {
            p.setPen(QPen(m_stroke(this), m_strokeWidth));
            p.drawPath(path);
        }
    }

private:
    qreal m_radius;
    std::function<QColor(const QWidget*)> m_fill;
    std::function<QColor(const QWidget*)> m_stroke;
    qreal m_strokeWidth;
};

// Message text: selectable, wrapping at word boundaries and inside words
// too long for the width, exactly as tall as its text at the width it was
// given. The height is fixed after each change of width, so that laying out
// a long transcript only adds heights up: adding a turn measures that turn.
class AssistantMessageText : public QTextEdit {
public:
    explicit AssistantMessageText(const QString& text, QWidget* parent = nullptr)
        : QTextEdit(parent)
    {
        setReadOnly(true);
        setFrameShape(QFrame::NoFrame);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        setLineWrapMode(QTextEdit::WidgetWidth);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        viewport()->setAutoFillBackground(false);
        // A palette role rather than a style sheet: hundreds of rows each
        // with a style sheet of their own would be slow to make.
        QPalette clear = palette();
        clear.setColor(QPalette::Base, Qt::transparent);
        setPalette(clear);
        setFont(theme::sizedFont(QFont(), 13, QFont::Normal));
        document()->setDocumentMargin(0);
        document()->setUndoRedoEnabled(false);
        setPlainText(text);
        QTextBlockFormat spacing;
        spacing.setLineHeight(2, QTextBlockFormat::LineDistanceHeight);
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        cursor.mergeBlockFormat(spacing);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        // The longest line unwrapped: a short request hugs its text.
        const QFontMetrics metrics(font());
        for (const QString& line : text.split(u'\n'))
            m_naturalWidth = qMax(m_naturalWidth, metrics.horizontalAdvance(line) + 2);
        setFixedHeight(metrics.lineSpacing() + 2);
    }

    QSize sizeHint() const override { return { m_naturalWidth, height() }; }
    QSize minimumSizeHint() const override { return { 24, height() }; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QTextEdit::resizeEvent(event);
        const int fitted = int(std::ceil(document()->size().height()));
        if (fitted != height())
            setFixedHeight(fitted);
    }
    // The transcript scrolls, not the message.
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }

private:
    int m_naturalWidth = 0;
};

}  // namespace

// One turn of the transcript: the request as the user's bubble on the right
// and the answer as a full-width card with its copy button.
class AssistantTurnRow : public QWidget {
public:
    static constexpr int leadingGap = 36;

    AssistantTurnRow(const AssistantConversationTurn& turn, QWidget* parent)
        : QWidget(parent)
    {
        auto* column = new QVBoxLayout(this);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(8);

        auto* bubbleRow = new QHBoxLayout;
        bubbleRow->setSpacing(0);
        // At least 36 pixels on the leading side however long the request: a
        // fixed gap that never shrinks, then the stretch that pushes the
        // bubble to the trailing edge.
        bubbleRow->addSpacing(leadingGap);
        bubbleRow->addStretch(1);
        const auto accentTint = [](const QWidget* w) { return withOpacity(accentOf(w), 0.18); };
        auto* bubble = new AssistantBox(14, accentTint, accentTint, this);
        auto* bubbleColumn = new QVBoxLayout(bubble);
        bubbleColumn->setContentsMargins(11, 9, 11, 9);
        bubbleColumn->setSpacing(5);
        m_you = new QLabel(bubble);
        m_you->setFont(captionFont());
        bubbleColumn->addWidget(m_you);
        bubbleColumn->addWidget(new AssistantMessageText(turn.request, bubble));
        bubbleRow->addWidget(bubble);
        column->addLayout(bubbleRow);

        auto* card = new AssistantBox(14, [](const QWidget* w) { return withOpacity(primaryOf(w), 0.034); }, {}, this);
        auto* cardColumn = new QVBoxLayout(card);
        cardColumn->setContentsMargins(11, 9, 11, 9);
        cardColumn->setSpacing(7);
        auto* cardHeader = new QHBoxLayout;
        cardHeader->setSpacing(8);
        m_ai = new QLabel(QStringLiteral("AI"), card);
        m_ai->setFont(captionFont());
        cardHeader->addWidget(m_ai);
        cardHeader->addStretch(1);
        m_copy = iconButton(card, QSize(24, 22));
        cardHeader->addWidget(m_copy);
        cardColumn->addLayout(cardHeader);
        cardColumn->addWidget(new AssistantMessageText(turn.result, card));
        column->addWidget(card);
    }

    QToolButton* copyButton() const { return m_copy; }

    void showState(const QString& you, bool copied)
    {
        setTextIfChanged(m_you, you);
        if (m_look != lookKey() || m_copied != copied) {
            m_copied = copied;
            m_look = lookKey();
            QPalette secondary = palette();
            secondary.setColor(QPalette::WindowText, secondaryOf(this));
            m_you->setPalette(secondary);
            m_ai->setPalette(secondary);
            setIcon(m_copy, copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"), 12,
                copied ? accentOf(this) : secondaryOf(this));
        }
    }

private:
    QString lookKey() const { return primaryOf(this).name(QColor::HexArgb) + accentOf(this).name(QColor::HexArgb); }

    QLabel* m_you = nullptr;
    QLabel* m_ai = nullptr;
    QToolButton* m_copy = nullptr;
    std::optional<bool> m_copied;
    QString m_look;
};

AssistantPanel::AssistantPanel(AssistantPanelController& controller, QWidget* parent)
    : MendoFloatingSurface(controller.state().appearanceMode, controller.state().surfaceMode, 22, parent)
    , m_controller(controller)
{
    setObjectName(QStringLiteral("AssistantPanel"));
    build();
    connect(&m_controller, &AssistantPanelController::changed, this, &AssistantPanel::refresh);
    refresh();
}

AssistantPanel::~AssistantPanel() = default;

void AssistantPanel::build()
{
    QWidget* card = content();
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(18, 18, 18, 18);
    column->setSpacing(10);

    m_header = buildHeader();
    column->addWidget(m_header);
    column->addWidget(buildTranscript(), 1);

    m_error = new QLabel(card);
    m_error->setObjectName(QStringLiteral("assistantError"));
    m_error->setFont(theme::sizedFont(QFont(), 12, QFont::DemiBold));
    m_error->setWordWrap(true);
    m_error->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette orange = m_error->palette();
    orange.setColor(QPalette::WindowText, QColor(255, 149, 0));
    m_error->setPalette(orange);
    column->addWidget(m_error);

    m_composer = buildComposer();
    column->addWidget(m_composer);
    m_replyBar = buildReplyBar();
    column->addWidget(m_replyBar);

    panelCloseButton(card, [this] { m_controller.hidePanel(); });
}

QWidget* AssistantPanel::buildHeader()
{
    // Dragging the header moves the panel; its controls keep their clicks.
    auto* header = new WindowDragHandle(content());
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 2);
    row->setSpacing(8);
    row->addSpacing(18);
    m_headerSymbol = new QLabel(header);
    m_headerSymbol->setFixedSize(22, 22);
    m_headerSymbol->setAlignment(Qt::AlignCenter);
    row->addWidget(m_headerSymbol);
    m_title = new QLabel(header);
    m_title->setFont(theme::sizedFont(QFont(), 14, QFont::DemiBold));
    row->addWidget(m_title);
    row->addStretch(1);

    m_styleButton = new QToolButton(header);
    m_styleButton->setObjectName(QStringLiteral("replyStyleButton"));
    m_styleButton->setFont(captionFont());
    m_styleButton->setFocusPolicy(Qt::NoFocus);
    m_styleButton->setCursor(Qt::PointingHandCursor);
    m_styleButton->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_styleMenu = new QMenu(m_styleButton);
    // Opened without a nested event loop, as every panel menu.
    connect(m_styleButton, &QToolButton::clicked, this,
        [this] { m_styleMenu->popup(m_styleButton->mapToGlobal(QPoint(0, m_styleButton->height() + 2))); });
    row->addWidget(m_styleButton);

    m_newChat = iconButton(header, QSize(26, 24));
    m_newChat->setObjectName(QStringLiteral("newChatButton"));
    connect(m_newChat, &QToolButton::clicked, &m_controller, &AssistantPanelController::newChat);
    row->addWidget(m_newChat);
    return header;
}

QWidget* AssistantPanel::buildTranscript()
{
    auto* frame = new AssistantBox(16, {}, [](const QWidget* w) { return withOpacity(primaryOf(w), 0.10); }, content());
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);

    m_transcript = new QScrollArea(frame);
    m_transcript->setObjectName(QStringLiteral("assistantTranscript"));
    m_transcript->setFrameShape(QFrame::NoFrame);
    m_transcript->setWidgetResizable(true);
    m_transcript->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_transcript->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_transcript->viewport()->setAutoFillBackground(false);
    frameLayout->addWidget(m_transcript);

    auto* inside = new QWidget;
    auto* insideLayout = new QVBoxLayout(inside);
    insideLayout->setContentsMargins(0, 0, 0, 0);
    insideLayout->setSpacing(0);

    m_placeholder = new QWidget(inside);
    m_placeholder->setMinimumHeight(260);
    auto* placeholderLayout = new QVBoxLayout(m_placeholder);
    placeholderLayout->setContentsMargins(18, 18, 18, 18);
    placeholderLayout->setSpacing(8);
    placeholderLayout->addStretch(1);
    m_placeholderSymbol = new QLabel(m_placeholder);
    m_placeholderSymbol->setAlignment(Qt::AlignCenter);
    placeholderLayout->addWidget(m_placeholderSymbol);
    m_placeholderText = new QLabel(m_placeholder);
    m_placeholderText->setObjectName(QStringLiteral("assistantPlaceholder"));
    m_placeholderText->setAlignment(Qt::AlignCenter);
    m_placeholderText->setFont(theme::sizedFont(QFont(), 15, QFont::Medium));
    placeholderLayout->addWidget(m_placeholderText);
    placeholderLayout->addStretch(1);
    insideLayout->addWidget(m_placeholder, 1);

    m_turnList = new QWidget(inside);
    m_turnLayout = new QVBoxLayout(m_turnList);
    m_turnLayout->setContentsMargins(10, 10, 10, 10);
    m_turnLayout->setSpacing(12);
    // The bottom anchor the transcript scrolls to.
    m_turnLayout->addSpacing(1);
    insideLayout->addWidget(m_turnList);
    insideLayout->addStretch(0);

    m_transcript->setWidget(inside);
    // The scroll area paints its content's background; the glass shows here.
    inside->setAutoFillBackground(false);
    return frame;
}

QWidget* AssistantPanel::buildComposer()
{
    auto* box = new AssistantBox(18, [](const QWidget* w) { return withOpacity(primaryOf(w), 0.014); },
        [](const QWidget* w) { return withOpacity(primaryOf(w), 0.075); }, content());
    box->setObjectName(QStringLiteral("assistantComposer"));
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);

    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    m_contextChip = new QToolButton(box);
    m_contextChip->setObjectName(QStringLiteral("contextChip"));
    m_contextChip->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_contextChip->setFont(theme::sizedFont(QFont(), 12, QFont::DemiBold));
    m_contextChip->setFocusPolicy(Qt::NoFocus);
    m_contextChip->setCursor(Qt::PointingHandCursor);
    connect(m_contextChip, &QToolButton::clicked, this,
        [this] { m_controller.setContextEnabled(!m_controller.state().contextEnabled); });
    top->addWidget(m_contextChip);
    m_contextCount = new QLabel(box);
    m_contextCount->setObjectName(QStringLiteral("contextCount"));
    m_contextCount->setFont(captionFont());
    top->addWidget(m_contextCount);
    top->addStretch(1);
    m_pasteResult = iconButton(box, QSize(28, 24));
    m_pasteResult->setObjectName(QStringLiteral("pasteResultButton"));
    connect(m_pasteResult, &QToolButton::clicked, &m_controller, &AssistantPanelController::pasteResult);
    top->addWidget(m_pasteResult);
    column->addLayout(top);

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    m_editorBox = new AssistantBox(13, [](const QWidget* w) { return withOpacity(primaryOf(w), 0.018); },
        [](const QWidget*) { return QColor(255, 255, 255, 18); }, box);
    m_editorBox->setMinimumHeight(44);
    m_editorBox->setMaximumHeight(82);
    auto* editorLayout = new QVBoxLayout(m_editorBox);
    editorLayout->setContentsMargins(6, 5, 6, 5);
    m_editor = new AssistantComposerTextView(m_editorBox);
    m_editor->setObjectName(QStringLiteral("composerEditor"));
    m_editor->onTextChanged = [this](const QString& text) { m_controller.setRequestText(text); };
    m_editor->onSubmit = [this] { m_controller.run(); };
    editorLayout->addWidget(m_editor);
    bottom->addWidget(m_editorBox, 1, Qt::AlignBottom);
    m_send = new QToolButton(box);
    m_send->setObjectName(QStringLiteral("sendButton"));
    m_send->setFixedSize(36, 34);
    m_send->setFocusPolicy(Qt::NoFocus);
    m_send->setCursor(Qt::PointingHandCursor);
    connect(m_send, &QToolButton::clicked, &m_controller, &AssistantPanelController::run);
    bottom->addWidget(m_send, 0, Qt::AlignBottom);
    column->addLayout(bottom);
    return box;
}

QWidget* AssistantPanel::buildReplyBar()
{
    auto* box = new AssistantBox(16, [](const QWidget* w) { return withOpacity(primaryOf(w), 0.014); }, {}, content());
    box->setObjectName(QStringLiteral("replyActions"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(14, 9, 14, 9);
    row->setSpacing(8);

    m_regenerate = iconButton(box, QSize(34, 30));
    m_regenerate->setObjectName(QStringLiteral("regenerateButton"));
    connect(m_regenerate, &QToolButton::clicked, &m_controller, &AssistantPanelController::regenerateReply);
    row->addWidget(m_regenerate);

    m_addEmojis = iconButton(box, QSize(34, 30));
    m_addEmojis->setObjectName(QStringLiteral("addEmojisButton"));
    connect(m_addEmojis, &QToolButton::clicked, &m_controller, &AssistantPanelController::addEmojisToReply);
    row->addWidget(m_addEmojis);

    row->addSpacing(12 - 8);
    auto* divider = new AssistantBox(0, [](const QWidget* w) { return withOpacity(primaryOf(w), 0.18); }, {}, box, 0);
    divider->setFixedSize(1, 24);
    row->addWidget(divider);
    row->addSpacing(12 - 8);

    m_languageChip = new QToolButton(box);
    m_languageChip->setObjectName(QStringLiteral("languageChip"));
    m_languageChip->setFixedHeight(28);
    m_languageChip->setFocusPolicy(Qt::NoFocus);
    m_languageChip->setCursor(Qt::PointingHandCursor);
    auto* chipRow = new QHBoxLayout(m_languageChip);
    chipRow->setContentsMargins(8, 0, 8, 0);
    chipRow->setSpacing(5);
    m_chipGlobe = new QLabel(m_languageChip);
    m_chipCode = new QLabel(m_languageChip);
    m_chipCode->setFont(captionFont());
    m_chipChevron = new QLabel(m_languageChip);
    for (QLabel* part : { m_chipGlobe, m_chipCode, m_chipChevron }) {
        part->setAttribute(Qt::WA_TransparentForMouseEvents);
        chipRow->addWidget(part);
    }
    connect(m_languageChip, &QToolButton::clicked, this, [this] { setLanguageListVisible(!m_languageListVisible); });
    m_languageChip->installEventFilter(this);
    row->addWidget(m_languageChip);

    m_translate = new QToolButton(box);
    m_translate->setObjectName(QStringLiteral("translateButton"));
    m_translate->setAutoRaise(true);
    m_translate->setFont(theme::sizedFont(QFont(), 13, QFont::DemiBold));
    m_translate->setFixedHeight(30);
    m_translate->setFocusPolicy(Qt::NoFocus);
    m_translate->setCursor(Qt::PointingHandCursor);
    m_translate->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(m_translate, &QToolButton::clicked, &m_controller, &AssistantPanelController::translateReply);
    row->addWidget(m_translate);

    row->addSpacerItem(new QSpacerItem(18, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));

    m_copyReply = iconButton(box, QSize(34, 30));
    m_copyReply->setObjectName(QStringLiteral("copyReplyButton"));
    connect(m_copyReply, &QToolButton::clicked, &m_controller, &AssistantPanelController::copyResult);
    row->addWidget(m_copyReply);

    m_pasteReply = new QToolButton(box);
    m_pasteReply->setObjectName(QStringLiteral("pasteReplyButton"));
    m_pasteReply->setFixedSize(44, 34);
    m_pasteReply->setFocusPolicy(Qt::NoFocus);
    m_pasteReply->setCursor(Qt::PointingHandCursor);
    connect(m_pasteReply, &QToolButton::clicked, &m_controller, &AssistantPanelController::pasteResult);
    row->addWidget(m_pasteReply);
    box->installEventFilter(this);
    return box;
}

void AssistantPanel::buildLanguageList()
{
    // A child laid over the transcript, not a window of its own: it needs
    // no focus, and a click on the chip closes it again.
    auto* list = new AssistantBox(12, [](const QWidget* w) { return w->palette().color(QPalette::Window); },
        [](const QWidget* w) { return withOpacity(primaryOf(w), 0.14); }, content(), 0.7);
    list->setObjectName(QStringLiteral("replyLanguageList"));
    list->setFixedSize(languageListWidth, languageListHeight);
    auto* shadow = new QGraphicsDropShadowEffect(list);
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 7);
    shadow->setColor(QColor(0, 0, 0, 71));
    list->setGraphicsEffect(shadow);
    auto* listLayout = new QVBoxLayout(list);
    listLayout->setContentsMargins(1, 1, 1, 1);
    m_languageScroll = new QScrollArea(list);
    m_languageScroll->setFrameShape(QFrame::NoFrame);
    m_languageScroll->setWidgetResizable(true);
    m_languageScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_languageScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_languageScroll->viewport()->setAutoFillBackground(false);
    listLayout->addWidget(m_languageScroll);

    auto* rows = new QWidget;
    auto* column = new QVBoxLayout(rows);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(2);
    QFont code = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    code.setPixelSize(10);
    code.setWeight(QFont::DemiBold);
    for (const QString& name : MendoPromptLibrary::languages()) {
        auto* row = new QToolButton(rows);
        row->setAutoRaise(true);
        row->setFixedHeight(30);
        row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        row->setFocusPolicy(Qt::NoFocus);
        row->setCursor(Qt::PointingHandCursor);
        row->setAccessibleName(name);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(10, 0, 10, 0);
        line->setSpacing(8);
        auto* mark = new QLabel(row);
        mark->setFixedWidth(14);
        mark->setAlignment(Qt::AlignCenter);
        auto* label = new QLabel(name, row);
        auto* codeLabel = new QLabel(languageCode(name), row);
        codeLabel->setFont(code);
        QPalette secondary = codeLabel->palette();
        secondary.setColor(QPalette::WindowText, secondaryOf(this));
        codeLabel->setPalette(secondary);
        for (QLabel* part : { mark, label, codeLabel })
            part->setAttribute(Qt::WA_TransparentForMouseEvents);
        line->addWidget(mark);
        line->addWidget(label);
        line->addSpacerItem(new QSpacerItem(8, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
        line->addWidget(codeLabel);
        connect(row, &QToolButton::clicked, this, [this, name] {
            setLanguageListVisible(false);
            m_controller.selectReplyTranslationLanguage(name);
        });
        m_languageRows.insert(name, row);
        m_languageMarks.insert(name, mark);
        column->addWidget(row);
    }
    m_languageScroll->setWidget(rows);
    rows->setAutoFillBackground(false);
    m_languageList = list;
    m_markedLanguage.clear();
}

void AssistantPanel::setLanguageListVisible(bool visible)
{
    if (m_languageListVisible == visible)
        return;
    m_languageListVisible = visible;
    if (visible && m_languageScroll)
        m_languageScroll->verticalScrollBar()->setValue(0);
    refresh();
}

void AssistantPanel::panelShown()
{
    if (!m_controller.state().isReplyMode)
        m_editor->setFocus(Qt::OtherFocusReason);
}

QToolButton* AssistantPanel::languageRow(const QString& name) const
{
    return m_languageRows.value(name);
}

QToolButton* AssistantPanel::copyButton(const QUuid& turnId) const
{
    AssistantTurnRow* row = m_rows.value(turnId);
    return row ? row->copyButton() : nullptr;
}

void AssistantPanel::refresh()
{
    const AssistantPanelState& state = m_controller.state();
    const AssistantPanelViewState view = describeAssistantPanel(state);
    setAppearance(state.appearanceMode, state.surfaceMode);
    const bool lookChanged = [&] {
        const QString key = primaryOf(this).name(QColor::HexArgb) + accentOf(this).name(QColor::HexArgb);
        if (key == m_lookKey)
            return false;
        m_lookKey = key;
        return true;
    }();
    if (lookChanged)
        refreshLook();

    // Header.
    setTextIfChanged(m_title, view.title);
    m_styleButton->setVisible(view.showsReplyStyleMenu);
    m_newChat->setVisible(!view.showsReplyStyleMenu);
    setTextIfChanged(m_styleButton, view.replyStyleLabel);
    m_styleButton->setEnabled(view.replyStyleMenuEnabled);
    setToolTipIfChanged(m_styleButton, view.replyStyleTooltip);
    setToolTipIfChanged(m_newChat, view.newChatTooltip);
    if (view.replyStyleItems != m_shown.replyStyleItems || lookChanged) {
        m_styleMenu->clear();
        for (const AssistantStyleItem& item : view.replyStyleItems) {
            QAction* action = m_styleMenu->addAction(item.name);
            action->setData(item.id);
            if (item.checked)
                action->setIcon(SymbolRegistry::icon(QStringLiteral("checkmark"), primaryOf(this)));
            const QString id = item.id;
            connect(action, &QAction::triggered, &m_controller, [this, id] { m_controller.selectReplyStyle(id); });
        }
    }

    // Error line.
    m_error->setVisible(view.errorVisible);
    setTextIfChanged(m_error, view.errorText);

    // Transcript.
    setTextIfChanged(m_placeholderText, view.placeholderText);
    m_placeholder->setVisible(view.showsPlaceholder);
    m_turnList->setVisible(!view.showsPlaceholder);
    const bool rowsRebuilt = refreshTurns();
    if (m_built && (state.turns.size() != m_shownTurnCount || state.isRunning != m_shownRunning))
        scrollToBottom();
    m_shownTurnCount = state.turns.size();
    m_shownRunning = state.isRunning;
    // Every row only when the language or the look changed; otherwise the
    // rows whose copy mark came or went.
    const bool allRows = rowsRebuilt || lookChanged || view.youLabel != m_shown.youLabel || !m_built;
    for (const QUuid& id : std::as_const(m_rowOrder)) {
        if (allRows || id == state.copiedTurnID || id == m_shownCopiedId)
            m_rows.value(id)->showState(view.youLabel, state.copiedTurnID == id);
    }
    m_shownCopiedId = state.copiedTurnID;

    // Composer.
    m_composer->setVisible(view.showsComposer);
    if (view.showsComposer) {
        setTextIfChanged(m_contextChip, view.contextChipTitle);
        const QString chipKey = m_lookKey + view.contextChipSymbol;
        if (chipKey != m_chipKey) {
            m_chipKey = chipKey;
            const QColor accent = accentOf(this);
            setIcon(m_contextChip, view.contextChipSymbol, 14, view.contextOn ? accent : secondaryOf(this));
            m_contextChip->setStyleSheet(
                QStringLiteral("QToolButton { color: %1; background: %2; border: 1px solid %3; border-radius: 12px; "
                               "padding: 5px 10px; }")
                    .arg(rgba(primaryOf(this)),
                        rgba(view.contextOn ? withOpacity(accent, 0.16) : withOpacity(primaryOf(this), 0.03)),
                        rgba(view.contextOn ? withOpacity(accent, 0.25) : QColor(255, 255, 255, 20))));
        }
        m_contextCount->setVisible(view.contextCount.has_value());
        setTextIfChanged(m_contextCount, view.contextCount.value_or(QString()));
        m_pasteResult->setVisible(view.pasteResultVisible);
        setToolTipIfChanged(m_pasteResult, view.pasteResultTooltip);
        if (m_editor->placeholderText() != view.editorPlaceholder)
            m_editor->setPlaceholderText(view.editorPlaceholder);
        m_editor->setBoundText(state.requestText);
        m_send->setEnabled(view.sendEnabled);
        setToolTipIfChanged(m_send, view.sendTooltip);
        const QString sendKey = m_lookKey + view.sendSymbol + QString::number(view.sendLooksBlank);
        if (sendKey != m_sendKey) {
            m_sendKey = sendKey;
            setIcon(m_send, view.sendSymbol, 15, Qt::white);
            const QColor fill = view.sendLooksBlank ? withOpacity(secondaryOf(this), 0.28) : accentOf(this);
            m_send->setStyleSheet(
                QStringLiteral("QToolButton { background: %1; border: none; border-radius: 12px; }").arg(rgba(fill)));
        }
    }

    // Reply bar.
    m_replyBar->setVisible(view.showsReplyBar);
    if (view.showsReplyBar) {
        const auto apply = [](QToolButton* button, const AssistantBarItem& item) {
            button->setEnabled(item.enabled);
            setToolTipIfChanged(button, item.tooltip);
        };
        setTextIfChanged(m_translate, view.translateLabel);
        apply(m_regenerate, view.regenerate);
        apply(m_addEmojis, view.addEmojis);
        apply(m_languageChip, view.languageChip);
        apply(m_translate, view.translate);
        apply(m_copyReply, view.copy);
        apply(m_pasteReply, view.paste);
        setTextIfChanged(m_chipCode, view.languageCode);
        // Never narrower than its globe, code and chevron.
        m_languageChip->setFixedWidth(m_languageChip->layout()->sizeHint().width());
    }
    refreshLanguageList();

    m_shown = view;
    m_built = true;
}

void AssistantPanel::refreshLook()
{
    const QColor primary = primaryOf(this);
    const QColor secondary = secondaryOf(this);
    const QColor accent = accentOf(this);
    setSymbol(m_headerSymbol, QStringLiteral("bubble.left.and.bubble.right"), 18, primary);
    setIcon(m_newChat, QStringLiteral("plus.message"), 17, secondary);
    m_styleButton->setStyleSheet(
        QStringLiteral("QToolButton { color: %1; background: %2; border: none; border-radius: 11px; padding: 5px 9px; }"
                       "QToolButton:disabled { color: %3; }")
            .arg(rgba(secondary), rgba(withOpacity(primary, 0.045)), rgba(withOpacity(secondary, 0.5))));
    setSymbol(m_placeholderSymbol, QStringLiteral("sparkles"), 22, secondary);
    QPalette muted = palette();
    muted.setColor(QPalette::WindowText, secondary);
    m_placeholderText->setPalette(muted);
    m_contextCount->setPalette(muted);
    setIcon(m_pasteResult, QStringLiteral("arrow.turn.down.left"), 13, secondary);
    setIcon(m_regenerate, QStringLiteral("arrow.clockwise"), 22, primary);
    {
        // "plus" and "face.smiling" side by side, as one symbol.
        const qreal ratio = devicePixelRatioF();
        QPixmap both(QSize(36, 24) * ratio);
        both.setDevicePixelRatio(ratio);
        both.fill(Qt::transparent);
        QPainter p(&both);
        p.drawPixmap(QPointF(0, 6.5), SymbolRegistry::pixmap(QStringLiteral("plus"), 11, primary, ratio));
        p.drawPixmap(QPointF(13, 1), SymbolRegistry::pixmap(QStringLiteral("face.smiling"), 22, primary, ratio));
        p.end();
        m_addEmojis->setIcon(QIcon(both));
        m_addEmojis->setIconSize(QSize(36, 24));
    }
    setSymbol(m_chipGlobe, QStringLiteral("globe"), 13, primary);
    setSymbol(m_chipChevron, QStringLiteral("chevron.down"), 9, primary);
    // The code's colour too: under the chip's style sheet the label would
    // not follow the panel's palette.
    m_languageChip->setStyleSheet(
        QStringLiteral("QToolButton { background: %1; border: none; border-radius: 14px; } QLabel { color: %2; }")
            .arg(rgba(withOpacity(primary, 0.045)), rgba(primary)));
    m_translate->setStyleSheet(QStringLiteral("QToolButton { color: %1; background: transparent; border: none; "
                                              "padding: 0 4px; } QToolButton:disabled { color: %2; }")
                                   .arg(rgba(primary), rgba(withOpacity(secondary, 0.6))));
    setIcon(m_copyReply, QStringLiteral("doc.on.doc"), 18, primary);
    setIcon(m_pasteReply, QStringLiteral("arrow.turn.down.left"), 14, Qt::white);
    m_pasteReply->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: none; border-radius: 10px; }"
                                               "QToolButton:disabled { background: %2; }")
                                    .arg(rgba(accent), rgba(withOpacity(accent, 0.4))));
    m_markedLanguage.clear();
}

bool AssistantPanel::refreshTurns()
{
    const QList<AssistantConversationTurn>& turns = m_controller.state().turns;
    QList<QUuid> ids;
    ids.reserve(turns.size());
    for (const AssistantConversationTurn& turn : turns)
        ids.append(turn.id);
    if (ids == m_rowOrder)
        return false;

    // Rows are kept by turn: only turns that are new or replaced are built.
    QHash<QUuid, AssistantTurnRow*> kept;
    for (const AssistantConversationTurn& turn : turns) {
        if (AssistantTurnRow* row = m_rows.take(turn.id))
            kept.insert(turn.id, row);
    }
    for (AssistantTurnRow* gone : std::as_const(m_rows))
        delete gone;
    const bool appendOnly = ids.mid(0, m_rowOrder.size()) == m_rowOrder && kept.size() == m_rowOrder.size();
    m_rows = kept;
    for (qsizetype index = 0; index < turns.size(); ++index) {
        const AssistantConversationTurn& turn = turns[index];
        AssistantTurnRow* row = m_rows.value(turn.id);
        if (!row) {
            row = new AssistantTurnRow(turn, m_turnList);
            connect(row->copyButton(), &QToolButton::clicked, this, [this, id = turn.id] {
                for (const AssistantConversationTurn& t : m_controller.state().turns) {
                    if (t.id == id) {
                        m_controller.copyMessage(t);
                        return;
                    }
                }
            });
            m_rows.insert(turn.id, row);
        } else if (appendOnly) {
            continue;
        }
        // Before the bottom anchor, in transcript order.
        m_turnLayout->removeWidget(row);
        m_turnLayout->insertWidget(int(index), row);
    }
    m_rowOrder = ids;
    return true;
}

void AssistantPanel::refreshLanguageList()
{
    const bool open = m_languageListVisible && m_controller.state().isReplyMode;
    if (open && !m_languageList)
        buildLanguageList();
    if (!m_languageList)
        return;
    m_languageList->setVisible(open);
    if (!open)
        return;
    const QString current = m_controller.state().replyTranslationLanguage;
    if (current != m_markedLanguage) {
        for (auto it = m_languageMarks.cbegin(); it != m_languageMarks.cend(); ++it) {
            // Every row keeps the mark's width, so the names line up.
            if (it.key() == current)
                setSymbol(it.value(), QStringLiteral("checkmark"), 11, primaryOf(this));
            else {
                it.value()->clear();
                it.value()->setProperty("symbol", QVariant());
            }
        }
        m_markedLanguage = current;
    }
    placeLanguageList();
    m_languageList->raise();
}

void AssistantPanel::placeLanguageList()
{
    if (!m_languageList || !m_languageList->isVisible())
        return;
    const QPoint chipBottomLeft = m_languageChip->mapTo(content(), QPoint(0, m_languageChip->height()));
    m_languageList->move(chipBottomLeft.x(), chipBottomLeft.y() - languageListLift - languageListHeight);
}

bool AssistantPanel::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_languageChip || watched == m_replyBar)
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeLanguageList();
    return MendoFloatingSurface::eventFilter(watched, event);
}

void AssistantPanel::resizeEvent(QResizeEvent* event)
{
    MendoFloatingSurface::resizeEvent(event);
    placeLanguageList();
}

void AssistantPanel::scrollToBottom()
{
    // Later, once the new content is laid out; without turns there is no
    // anchor to go to.
    QTimer::singleShot(0, this, [this] {
        if (m_controller.state().turns.isEmpty())
            return;
        if (QLayout* layout = m_transcript->widget()->layout())
            layout->activate();
        QScrollBar* bar = m_transcript->verticalScrollBar();
        auto* animation = new QPropertyAnimation(bar, "value", this);
        animation->setDuration(180);
        animation->setEasingCurve(QEasingCurve::OutCubic);
        animation->setStartValue(bar->value());
        animation->setEndValue(bar->maximum());
        // The range may still grow while the rows settle.
        connect(animation, &QPropertyAnimation::finished, bar, [bar] { bar->setValue(bar->maximum()); });
        animation->start(QAbstractAnimation::DeleteWhenStopped);
        Q_EMIT scrolledToBottom();
    });
}

}  // namespace mendo
