#include "clipboard/ClipboardHistoryPanel.h"

#include "base/BiText.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "clipboard/ClipboardPanelController.h"
#include "clipboard/ClipboardPanelState.h"
#include "clipboard/ClipboardEntryList.h"
#include "clipboard/ClipboardSidePreview.h"
#include "ui/SymbolButtonName.h"
#include "ui/MendoTheme.h"
#include "ui/NativeMaterials.h"
#include "ui/OutlinedBox.h"
#include "ui/SymbolRegistry.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QWheelEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>
#include <algorithm>
#include <cmath>

namespace mendo {

ElidingLabel::ElidingLabel(QWidget* parent)
    : QLabel(parent)
{
    setMinimumWidth(24);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QSize ElidingLabel::minimumSizeHint() const
{
    return { minimumWidth(), QLabel::minimumSizeHint().height() };
}

void ElidingLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
    p.drawText(contentsRect(), int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
}

namespace {

// The header's drag strip.
constexpr int dragStripHeight = 28;

// The "T" sample follows the text size up to 20 pixels.
int sampleSize(double contentFontSize)
{
    return int(std::lround(std::min(std::max(contentFontSize, 12.0), 20.0)));
}

}  // namespace

ClipboardPlainButton::ClipboardPlainButton(QWidget* parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void ClipboardPlainButton::setSymbol(const QString& symbolName, int symbolSize)
{
    m_symbol = symbolName;
    m_symbolSize = symbolSize;
    updateGeometry();
    update();
}

void ClipboardPlainButton::setGround(double opacity, qreal radius)
{
    m_groundOpacity = opacity;
    m_groundRadius = radius;
    update();
}

void ClipboardPlainButton::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ClipboardPlainButton::setFixedFrame(QSize size)
{
    m_frame = size;
    setFixedSize(size);
}

QSize ClipboardPlainButton::sizeHint() const
{
    if (m_frame.isValid())
        return m_frame;
    const QFontMetrics metrics(font());
    if (!m_symbol.isEmpty() && !text().isEmpty())
        return { 10 + m_symbolSize + 5 + metrics.horizontalAdvance(text()) + 10, std::max(metrics.height(), m_symbolSize) + 14 };
    if (!m_symbol.isEmpty())
        return { m_symbolSize + 8, m_symbolSize + 8 };
    return { metrics.horizontalAdvance(text()) + 12, std::max(metrics.height() + 4, 22) };
}

bool ClipboardPlainButton::event(QEvent* event)
{
    // The texts are set before the tooltips.
    if (event->type() == QEvent::ToolTipChange)
        nameSymbolButtonByToolTip(this);
    return QAbstractButton::event(event);
}

void ClipboardPlainButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = m_color.isValid() ? m_color : palette().color(QPalette::WindowText);
    if (!isEnabled())
        p.setOpacity(0.35);
    if (m_groundOpacity > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(theme::withOpacity(palette().color(QPalette::WindowText), m_groundOpacity));
        p.drawRoundedRect(QRectF(rect()), m_groundRadius, m_groundRadius);
    }
    if (m_hovered && isEnabled()) {
        p.setPen(Qt::NoPen);
        p.setBrush(theme::withOpacity(palette().color(QPalette::WindowText), 0.08));
        const qreal radius = std::min(width(), height()) / 2.0;
        p.drawRoundedRect(QRectF(rect()), radius, radius);
    }
    if (!m_symbol.isEmpty() && !text().isEmpty()) {
        const QPixmap symbol = clipboardSymbol(m_symbol, m_symbolSize, color, devicePixelRatioF());
        p.drawPixmap(QRect(10, (height() - m_symbolSize) / 2, m_symbolSize, m_symbolSize), symbol);
        p.setPen(color);
        p.setFont(font());
        p.drawText(rect().adjusted(10 + m_symbolSize + 5, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
    } else if (!m_symbol.isEmpty()) {
        const QPixmap symbol = clipboardSymbol(m_symbol, m_symbolSize, color, devicePixelRatioF());
        const QRect target((width() - m_symbolSize) / 2, (height() - m_symbolSize) / 2, m_symbolSize, m_symbolSize);
        p.drawPixmap(target, symbol);
    } else {
        p.setPen(color);
        p.setFont(font());
        p.drawText(rect(), Qt::AlignCenter, text());
    }
}

void ClipboardPlainButton::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ClipboardPlainButton::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

ClipboardTabButton::ClipboardTabButton(QString id, QString symbolName, QWidget* parent)
    : QAbstractButton(parent)
    , m_id(std::move(id))
    , m_symbol(std::move(symbolName))
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void ClipboardTabButton::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    updateGeometry();
    update();
}

QFont ClipboardTabButton::titleFont() const
{
    return theme::sizedFont(font(), 12, m_selected ? QFont::DemiBold : QFont::Medium);
}

QSize ClipboardTabButton::sizeHint() const
{
    return { 10 + 11 + 5 + QFontMetrics(titleFont()).horizontalAdvance(text()) + 10, 26 };
}

void ClipboardTabButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor primary = palette().color(QPalette::WindowText);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(m_selected ? QPen(theme::withOpacity(primary, 0.11), 1) : QPen(Qt::NoPen));
    p.setBrush(theme::withOpacity(primary, m_selected ? 0.11 : 0.035));
    p.drawRoundedRect(box, 9, 9);
    const QColor color = m_selected ? primary : theme::withOpacity(primary, 0.5);
    p.drawPixmap(QRect(10, (height() - 11) / 2, 11, 11), clipboardSymbol(m_symbol, 11, color, devicePixelRatioF()));
    p.setPen(color);
    p.setFont(titleFont());
    p.drawText(rect().adjusted(10 + 11 + 5, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
}

ClipboardHistoryPanel::ClipboardHistoryPanel(ClipboardPanelController& controller, ClipboardHistoryService& history,
    ClipboardNotesService& notes, UserDefaults& defaults, QWidget* parent)
    : MendoFloatingSurface(AppearanceMode::system, SurfaceMode::translucent, cornerRadius, parent)
    , m_controller(controller)
    , m_state(new ClipboardPanelState(history, notes, defaults, this))
{
    setMinimumSize(340, 380);
    build();
    connect(m_state, &ClipboardPanelState::changed, this, &ClipboardHistoryPanel::refresh);
    panelCloseButton(this, [this] { m_controller.hide(); });
    refresh();
}

ClipboardHistoryPanel::~ClipboardHistoryPanel() = default;

QString ClipboardHistoryPanel::tr2(const char* en, const char* ru) const
{
    return pick(m_look.language, QString::fromUtf8(en), QString::fromUtf8(ru));
}

QColor ClipboardHistoryPanel::primaryColor() const
{
    return palette().color(QPalette::WindowText);
}

QColor ClipboardHistoryPanel::secondaryColor() const
{
    return theme::withOpacity(primaryColor(), 0.5);
}

QColor ClipboardHistoryPanel::destructiveColor()
{
    return clipboardDestructiveColor();
}

void ClipboardHistoryPanel::build()
{
    auto* column = new QVBoxLayout(content());
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(sectionSpacing);
    column->addWidget(makeHeader());
    column->addWidget(makeTabStrip());
    column->addWidget(makeSearchField());
    m_contentArea = new QWidget;
    m_contentArea->setObjectName(QStringLiteral("contentArea"));
    auto* stack = new QVBoxLayout(m_contentArea);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(makeHistoryContent());
    stack->addWidget(makeNotesContent());
    m_contentArea->installEventFilter(this);
    column->addWidget(m_contentArea, 1);
}

QWidget* ClipboardHistoryPanel::makeTabStrip()
{
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("tabStrip"));
    auto* rows = new QVBoxLayout(strip);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(8);

    // The tabs scroll sideways in their own row; "+" stays outside it, in
    // reach however many tabs there are.
    auto* tabLine = new QHBoxLayout;
    tabLine->setContentsMargins(0, 0, 0, 0);
    tabLine->setSpacing(6);
    m_tabScroll = new QScrollArea;
    m_tabScroll->setObjectName(QStringLiteral("tabScroll"));
    m_tabScroll->setFrameShape(QFrame::NoFrame);
    m_tabScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tabScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tabScroll->setWidgetResizable(true);
    m_tabScroll->setFixedHeight(26);
    m_tabScroll->viewport()->setAutoFillBackground(false);
    m_tabRow = new QWidget;
    auto* tabs = new QHBoxLayout(m_tabRow);
    tabs->setContentsMargins(0, 0, 0, 0);
    tabs->setSpacing(6);
    m_addTab = new ClipboardPlainButton;
    m_addTab->setObjectName(QStringLiteral("addTab"));
    m_addTab->setSymbol(QStringLiteral("plus"), 12);
    m_addTab->setFixedFrame(QSize(26, 24));
    m_addTab->setGround(0.045, 8);
    connect(m_addTab, &QAbstractButton::clicked, this, [this] { m_state->addTabAndStartRename(); });
    tabs->addStretch(1);
    m_tabScroll->setWidget(m_tabRow);
    // The strip shows the window's surface behind its tabs.
    m_tabRow->setAutoFillBackground(false);
    m_tabScroll->setAutoFillBackground(false);
    // Without scroll bars the wheel is the mouse's way along the row.
    m_tabScroll->viewport()->installEventFilter(this);
    // As wide as its tabs while they fit, so that "+" follows the last one.
    m_tabScroll->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_tabScroll->setMinimumWidth(0);
    tabLine->addWidget(m_tabScroll, 1);
    tabLine->addWidget(m_addTab, 0, Qt::AlignVCenter);
    tabLine->addStretch(1);
    rows->addLayout(tabLine);

    auto* toolbar = new QWidget;
    toolbar->setObjectName(QStringLiteral("noteToolbar"));
    auto* row = new QHBoxLayout(toolbar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_tabTitle = new ElidingLabel;
    m_tabTitle->setObjectName(QStringLiteral("tabTitle"));
    m_tabTitle->setFont(theme::sizedFont(font(), 13, QFont::DemiBold));
    m_tabTitle->setTextFormat(Qt::PlainText);
    row->addWidget(m_tabTitle);

    m_nameGround = new OutlinedBox(0.06, 0);
    m_nameGround->setMaximumWidth(180);
    auto* groundBox = new QHBoxLayout(m_nameGround);
    groundBox->setContentsMargins(9, 6, 9, 6);
    m_nameField = new QLineEdit;
    m_nameField->setObjectName(QStringLiteral("tabName"));
    m_nameField->setFrame(false);
    m_nameField->setFont(theme::sizedFont(font(), 13, QFont::DemiBold));
    QPalette namePalette = m_nameField->palette();
    namePalette.setColor(QPalette::Base, Qt::transparent);
    m_nameField->setPalette(namePalette);
    m_nameField->installEventFilter(this);
    connect(m_nameField, &QLineEdit::textEdited, this, [this](const QString& text) { m_state->setTabTitleDraft(text); });
    groundBox->addWidget(m_nameField);
    row->addWidget(m_nameGround);

    m_saveName = new ClipboardPlainButton;
    m_saveName->setObjectName(QStringLiteral("saveName"));
    m_saveName->setSymbol(QStringLiteral("checkmark"), 14);
    m_saveName->setFixedFrame(QSize(22, 22));
    connect(m_saveName, &QAbstractButton::clicked, this, [this] { m_state->finishRenameTab(); });
    row->addWidget(m_saveName);
    m_rename = new ClipboardPlainButton;
    m_rename->setObjectName(QStringLiteral("renameTab"));
    m_rename->setSymbol(QStringLiteral("pencil"), 14);
    m_rename->setFixedFrame(QSize(22, 22));
    connect(m_rename, &QAbstractButton::clicked, this, [this] { m_state->startRename(); });
    row->addWidget(m_rename);
    m_deleteTab = new ClipboardPlainButton;
    m_deleteTab->setObjectName(QStringLiteral("deleteTab"));
    m_deleteTab->setSymbol(QStringLiteral("trash"), 14);
    m_deleteTab->setFixedFrame(QSize(22, 22));
    connect(m_deleteTab, &QAbstractButton::clicked, this, [this] { m_state->deleteCurrentTab(); });
    row->addWidget(m_deleteTab);
    row->addStretch(1);
    m_addNote = new ClipboardPlainButton;
    m_addNote->setObjectName(QStringLiteral("addNote"));
    m_addNote->setSymbol(QStringLiteral("plus"), 12);
    m_addNote->setFont(theme::sizedFont(font(), 12, QFont::DemiBold));
    m_addNote->setGround(0.04, 10);
    connect(m_addNote, &QAbstractButton::clicked, this, [this] { m_state->startNewNote(); });
    row->addWidget(m_addNote);
    rows->addWidget(toolbar);
    return strip;
}

QWidget* ClipboardHistoryPanel::makeHistoryContent()
{
    m_historyContent = new QWidget;
    m_historyContent->setObjectName(QStringLiteral("clipboardContent"));
    auto* row = new QHBoxLayout(m_historyContent);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    m_historyList = new ClipboardEntryList(ClipboardEntryList::Kind::history);
    m_historyList->setObjectName(QStringLiteral("clipboardList"));
    connect(m_historyList, &ClipboardEntryList::selectRequested, this, [this](const QString& id) { m_state->selectItem(id); });
    connect(m_historyList, &ClipboardEntryList::pasteRequested, this, &ClipboardHistoryPanel::pasteEntry);
    connect(m_historyList, &ClipboardEntryList::buttonClicked, this,
        [this](ClipboardRowButton::Action action, const QString& id) {
            if (action == ClipboardRowButton::Action::paste)
                pasteEntry(id);
            else if (action == ClipboardRowButton::Action::remove)
                m_state->history().remove(id);
        });
    row->addWidget(m_historyList, 1);
    m_historyPreview = new ClipboardSidePreview;
    connect(m_historyPreview, &ClipboardSidePreview::pasteRequested, this,
        [this](const QString& text) { m_controller.pasteFromHistory(text); });
    connect(m_historyPreview, &ClipboardSidePreview::saveAsNoteRequested, this,
        [this](const ClipboardHistoryItem& item) { m_state->saveClipboardItemAsNote(item); });
    connect(m_historyPreview, &ClipboardSidePreview::removeRequested, this,
        [this](const QString& id) { m_state->history().remove(id); });
    row->addWidget(m_historyPreview);
    m_historyEmpty = new QLabel;
    m_historyEmpty->setObjectName(QStringLiteral("historyEmpty"));
    m_historyEmpty->setAlignment(Qt::AlignCenter);
    m_historyEmpty->setWordWrap(true);
    row->addWidget(m_historyEmpty, 1);
    return m_historyContent;
}

QWidget* ClipboardHistoryPanel::makeEditorCard()
{
    auto* card = new OutlinedBox(0.035, 0.08, 14);
    card->setObjectName(QStringLiteral("noteEditorCard"));
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(8);
    m_editorHeading = new QLabel;
    m_editorHeading->setFont(theme::sizedFont(font(), 11, QFont::DemiBold));
    column->addWidget(m_editorHeading);
    auto* ground = new OutlinedBox(0.025, 0.08, 12);
    auto* groundBox = new QVBoxLayout(ground);
    groundBox->setContentsMargins(8, 8, 8, 8);
    m_noteEditor = new QPlainTextEdit;
    m_noteEditor->setObjectName(QStringLiteral("noteEditor"));
    m_noteEditor->setFrameShape(QFrame::NoFrame);
    m_noteEditor->setTabChangesFocus(true);
    QPalette editorPalette = m_noteEditor->palette();
    editorPalette.setColor(QPalette::Base, Qt::transparent);
    m_noteEditor->setPalette(editorPalette);
    m_noteEditor->viewport()->setAutoFillBackground(false);
    m_noteEditor->document()->setDocumentMargin(0);
    m_noteEditor->installEventFilter(this);
    connect(m_noteEditor, &QPlainTextEdit::textChanged, this,
        [this] { m_state->setNoteDraft(m_noteEditor->toPlainText()); });
    groundBox->addWidget(m_noteEditor);
    ground->setMinimumHeight(92);
    ground->setMaximumHeight(140);
    column->addWidget(ground);
    auto* row = new QHBoxLayout;
    m_cancelNote = new QPushButton;
    m_cancelNote->setObjectName(QStringLiteral("cancelNote"));
    m_cancelNote->setFocusPolicy(Qt::NoFocus);
    connect(m_cancelNote, &QPushButton::clicked, this, [this] { m_state->cancelNoteEditing(); });
    m_saveNote = new QPushButton;
    m_saveNote->setObjectName(QStringLiteral("saveNote"));
    m_saveNote->setFocusPolicy(Qt::NoFocus);
    connect(m_saveNote, &QPushButton::clicked, this, [this] { m_state->saveNoteDraft(); });
    row->addWidget(m_cancelNote);
    row->addStretch(1);
    row->addWidget(m_saveNote);
    column->addLayout(row);
    m_editorCard = card;
    return card;
}

QWidget* ClipboardHistoryPanel::makeNotesContent()
{
    m_notesContent = new QWidget;
    m_notesContent->setObjectName(QStringLiteral("notesContent"));
    auto* column = new QVBoxLayout(m_notesContent);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);
    column->addWidget(makeEditorCard());
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    m_notesList = new ClipboardEntryList(ClipboardEntryList::Kind::notes);
    m_notesList->setObjectName(QStringLiteral("notesList"));
    connect(m_notesList, &ClipboardEntryList::selectRequested, this, [this](const QString& id) { m_state->selectNote(id); });
    connect(m_notesList, &ClipboardEntryList::pasteRequested, this, &ClipboardHistoryPanel::pasteEntry);
    connect(m_notesList, &ClipboardEntryList::buttonClicked, this,
        [this](ClipboardRowButton::Action action, const QString& id) {
            const std::optional<ClipboardNoteItem> note = listedNote(id);
            if (!note)
                return;
            switch (action) {
            case ClipboardRowButton::Action::paste:
                m_controller.pasteFromHistory(note->text);
                break;
            case ClipboardRowButton::Action::copy:
                m_controller.copyNote(note->text);
                break;
            case ClipboardRowButton::Action::edit:
                m_state->startEditNote(*note);
                break;
            case ClipboardRowButton::Action::remove:
                m_state->deleteNote(*note);
                break;
            }
        });
    row->addWidget(m_notesList, 1);
    m_notePreview = new ClipboardNoteSidePreview;
    connect(m_notePreview, &ClipboardNoteSidePreview::pasteRequested, this,
        [this](const QString& text) { m_controller.pasteFromHistory(text); });
    connect(m_notePreview, &ClipboardNoteSidePreview::copyRequested, this,
        [this](const QString& text) { m_controller.copyNote(text); });
    connect(m_notePreview, &ClipboardNoteSidePreview::editRequested, this,
        [this](const ClipboardNoteItem& note) { m_state->startEditNote(note); });
    connect(m_notePreview, &ClipboardNoteSidePreview::deleteRequested, this,
        [this](const ClipboardNoteItem& note) { m_state->deleteNote(note); });
    row->addWidget(m_notePreview);
    m_notesEmpty = new QLabel;
    m_notesEmpty->setObjectName(QStringLiteral("notesEmpty"));
    m_notesEmpty->setAlignment(Qt::AlignCenter);
    m_notesEmpty->setWordWrap(true);
    row->addWidget(m_notesEmpty, 1);
    column->addLayout(row, 1);
    return m_notesContent;
}

std::optional<ClipboardNoteItem> ClipboardHistoryPanel::listedNote(const QString& id) const
{
    for (const ClipboardNoteItem& note : m_state->filteredNotes()) {
        if (note.id == id)
            return note;
    }
    return std::nullopt;
}

void ClipboardHistoryPanel::pasteEntry(const QString& id)
{
    if (m_state->showsHistory()) {
        for (const ClipboardHistoryItem& item : m_state->history().items()) {
            if (item.id == id)
                return m_controller.pasteFromHistory(item.text);
        }
    } else if (const std::optional<ClipboardNoteItem> note = listedNote(id)) {
        m_controller.pasteFromHistory(note->text);
    }
}

QList<ClipboardTabButton*> ClipboardHistoryPanel::tabButtons() const
{
    return m_tabs;
}

bool ClipboardHistoryPanel::showsSidePreview() const
{
    return ClipboardPanelState::showsSidePreview(m_contentArea->width());
}

bool ClipboardHistoryPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_contentArea && event->type() == QEvent::Resize) {
        refreshContent();
    } else if (watched == m_tabScroll->viewport() && event->type() == QEvent::Wheel) {
        // Either wheel direction moves along the row.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint pixels = wheel->pixelDelta();
        const QPoint angle = wheel->angleDelta();
        const int step = !pixels.isNull() ? (pixels.x() != 0 ? pixels.x() : pixels.y())
                                          : (angle.x() != 0 ? angle.x() : angle.y()) * 40 / 120;
        QScrollBar* bar = m_tabScroll->horizontalScrollBar();
        bar->setValue(bar->value() - step);
        return true;
    } else if (watched == m_nameField) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_state->finishRenameTab();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            m_state->setTabNameFocused(false);
        } else if (event->type() == QEvent::FocusIn) {
            m_state->setTabNameFocused(true);
        }
    } else if (watched == m_noteEditor) {
        if (event->type() == QEvent::FocusOut)
            m_state->setNoteEditorFocused(false);
        else if (event->type() == QEvent::FocusIn)
            m_state->setNoteEditorFocused(true);
    }
    return MendoFloatingSurface::eventFilter(watched, event);
}

void ClipboardHistoryPanel::keyPressEvent(QKeyEvent* event)
{
    // Save is the default action and Cancel the cancel action of the editor;
    // inside the editor itself Return starts a new line.
    if (m_state->isEditingNote() && !m_state->showsHistory()) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (m_state->canSaveNoteDraft())
                m_state->saveNoteDraft();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            m_state->cancelNoteEditing();
            event->accept();
            return;
        }
    }
    MendoFloatingSurface::keyPressEvent(event);
}

QWidget* ClipboardHistoryPanel::makeHeader()
{
    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("clipboardHeader"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    // Keeps the title clear of the close button laid over the corner.
    auto* spacer = new QWidget;
    spacer->setFixedSize(18, 18);
    row->addWidget(spacer);

    auto* titleBox = new QWidget;
    auto* titleRow = new QHBoxLayout(titleBox);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->setSpacing(6);
    m_titleIcon = new QLabel;
    m_titleIcon->setFixedSize(16, 16);
    m_title = new QLabel;
    m_title->setObjectName(QStringLiteral("clipboardTitle"));
    m_title->setFont(theme::sizedFont(font(), 14, QFont::DemiBold));
    titleRow->addWidget(m_titleIcon);
    titleRow->addWidget(m_title);
    row->addWidget(titleBox);

    // The one place the window is moved from: the header's free width.
    m_dragHandle = new WindowDragHandle;
    m_dragHandle->setFixedHeight(dragStripHeight);
    m_dragHandle->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_dragHandle->setFocusPolicy(Qt::NoFocus);
    row->addWidget(m_dragHandle, 1);
    row->addWidget(makeFontControls());

    m_clearHistory = new ClipboardPlainButton;
    m_clearHistory->setObjectName(QStringLiteral("clearHistory"));
    m_clearHistory->setSymbol(QStringLiteral("trash"));
    m_clearHistory->setFixedFrame(QSize(24, 24));
    connect(m_clearHistory, &QAbstractButton::clicked, this, [this] { m_state->history().clear(); });
    row->addWidget(m_clearHistory);
    return header;
}

QWidget* ClipboardHistoryPanel::makeFontControls()
{
    auto* group = new OutlinedBox(0.045, 0.07);
    group->setObjectName(QStringLiteral("fontControls"));
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(2);
    const QFont buttonFont = theme::sizedFont(font(), 14, QFont::DemiBold);

    m_decrease = new ClipboardPlainButton;
    m_decrease->setObjectName(QStringLiteral("decreaseText"));
    m_decrease->setText(QStringLiteral("\u2212"));
    m_decrease->setFont(buttonFont);
    m_decrease->setFixedFrame(QSize(23, 22));
    connect(m_decrease, &QAbstractButton::clicked, this,
        [this] { m_state->setContentFontSize(m_state->contentFontSize() - 1); });

    m_sample = new QLabel(QStringLiteral("T"));
    m_sample->setObjectName(QStringLiteral("textSizeSample"));
    m_sample->setAlignment(Qt::AlignCenter);
    m_sample->setFixedSize(25, 22);
    m_sample->setFont(theme::sizedFont(font(), sampleSize(m_state->contentFontSize()), QFont::Bold));
    // A short springy step, as the size changes.
    m_sampleAnimation = new QVariantAnimation(m_sample);
    m_sampleAnimation->setDuration(160);
    m_sampleAnimation->setEasingCurve(QEasingCurve::OutBack);
    connect(m_sampleAnimation, &QVariantAnimation::valueChanged, m_sample, [this](const QVariant& value) {
        m_sample->setFont(theme::sizedFont(font(), int(std::lround(value.toDouble())), QFont::Bold));
    });

    m_increase = new ClipboardPlainButton;
    m_increase->setObjectName(QStringLiteral("increaseText"));
    m_increase->setText(QStringLiteral("+"));
    m_increase->setFont(buttonFont);
    m_increase->setFixedFrame(QSize(23, 22));
    connect(m_increase, &QAbstractButton::clicked, this,
        [this] { m_state->setContentFontSize(m_state->contentFontSize() + 1); });

    row->addWidget(m_decrease);
    row->addWidget(m_sample);
    row->addWidget(m_increase);
    m_fontControls = group;
    return group;
}

QWidget* ClipboardHistoryPanel::makeSearchField()
{
    auto* capsule = new OutlinedBox(0.05, 0);
    capsule->setObjectName(QStringLiteral("searchField"));
    auto* row = new QHBoxLayout(capsule);
    row->setContentsMargins(10, 6, 10, 6);
    row->setSpacing(6);

    m_searchIcon = new QLabel;
    m_searchIcon->setFixedSize(15, 15);
    row->addWidget(m_searchIcon);

    m_search = new QLineEdit;
    m_search->setObjectName(QStringLiteral("searchText"));
    m_search->setFrame(false);
    m_search->setClearButtonEnabled(false);
    m_search->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette fieldPalette = m_search->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    m_search->setPalette(fieldPalette);
    m_search->setAutoFillBackground(false);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& text) { m_state->setSearchText(text); });
    row->addWidget(m_search, 1);

    m_deleteFound = new ClipboardPlainButton;
    m_deleteFound->setObjectName(QStringLiteral("deleteFound"));
    m_deleteFound->setFont(theme::sizedFont(font(), 11, QFont::DemiBold));
    connect(m_deleteFound, &QAbstractButton::clicked, this, [this] {
        if (m_state->confirmDeleteFound())
            m_state->deleteFiltered();
        else
            m_state->armDeleteFound();
    });
    row->addWidget(m_deleteFound);

    m_clearSearch = new ClipboardPlainButton;
    m_clearSearch->setObjectName(QStringLiteral("clearSearch"));
    m_clearSearch->setSymbol(QStringLiteral("xmark.circle.fill"), 14);
    m_clearSearch->setFixedFrame(QSize(20, 20));
    connect(m_clearSearch, &QAbstractButton::clicked, this, [this] { m_state->clearSearch(); });
    row->addWidget(m_clearSearch);
    return capsule;
}

void ClipboardHistoryPanel::setLook(const PanelLook& look)
{
    const bool appearanceChanged = look.appearance != m_look.appearance || look.surfaceMode != m_look.surfaceMode;
    m_look = look;
    m_state->setLanguage(look.language);
    if (appearanceChanged)
        setAppearance(look.appearance, look.surfaceMode);
    refresh();
}

void ClipboardHistoryPanel::appear()
{
    m_state->appear();
}

void ClipboardHistoryPanel::refresh()
{
    const ClipboardPanelState& state = *m_state;
    const QColor primary = primaryColor();
    const QColor secondary = secondaryColor();
    const QColor red = destructiveColor();

    m_titleIcon->setPixmap(clipboardSymbol(QStringLiteral("clipboard"), 16, primary, devicePixelRatioF()));
    m_title->setText(tr2("Clipboard", "Буфер"));

    m_fontControls->setToolTip(tr2("Text size", "Размер текста"));
    m_decrease->setToolTip(tr2("Decrease text", "Уменьшить текст"));
    m_increase->setToolTip(tr2("Increase text", "Увеличить текст"));
    m_decrease->setEnabled(state.contentFontSize() > ClipboardPanelState::minimumFontSize);
    m_increase->setEnabled(state.contentFontSize() < ClipboardPanelState::maximumFontSize);
    const int sample = sampleSize(state.contentFontSize());
    if (m_sample->font().pixelSize() != sample
        && (m_sampleAnimation->state() != QAbstractAnimation::Running || m_sampleAnimation->endValue() != double(sample))) {
        if (isVisible()) {
            m_sampleAnimation->stop();
            m_sampleAnimation->setStartValue(double(m_sample->font().pixelSize()));
            m_sampleAnimation->setEndValue(double(sample));
            m_sampleAnimation->start();
        } else {
            m_sample->setFont(theme::sizedFont(font(), sample, QFont::Bold));
        }
    }

    const bool hasHistory = !state.history().items().isEmpty();
    m_clearHistory->setVisible(state.showsHistory());
    m_clearHistory->setEnabled(hasHistory);
    m_clearHistory->setColor(hasHistory ? red : secondary);
    m_clearHistory->setToolTip(tr2("Clear clipboard history", "Очистить историю буфера"));

    m_searchIcon->setPixmap(
        clipboardSymbol(QStringLiteral("magnifyingglass"), 15, secondary, devicePixelRatioF()));
    m_search->setPlaceholderText(tr2("Search", "Поиск"));
    if (m_search->text() != state.searchText())
        m_search->setText(state.searchText());

    const bool searching = !state.searchText().isEmpty();
    const qsizetype found = searching ? state.foundCount() : 0;
    m_deleteFound->setVisible(searching && found > 0);
    m_deleteFound->setColor(red);
    if (state.confirmDeleteFound()) {
        m_deleteFound->setSymbol({});
        m_deleteFound->setText(tr2("Delete ", "Удалить ") + QString::number(found));
        m_deleteFound->setFixedFrame(
            QSize(QFontMetrics(m_deleteFound->font()).horizontalAdvance(m_deleteFound->text()) + 12, 20));
        m_deleteFound->setToolTip(tr2("Tap again to delete all found", "Нажми ещё раз — удалить всё найденное"));
    } else {
        m_deleteFound->setText({});
        m_deleteFound->setSymbol(QStringLiteral("trash"), 14);
        m_deleteFound->setFixedFrame(QSize(20, 20));
        m_deleteFound->setToolTip(tr2("Delete all found", "Удалить всё найденное"));
    }
    m_clearSearch->setVisible(searching);
    m_clearSearch->setColor(secondary);
    m_clearSearch->setToolTip(tr2("Clear search", "Очистить поиск"));

    refreshTabs();
    refreshContent();
}

void ClipboardHistoryPanel::scrollSelectedTabIntoView()
{
    for (ClipboardTabButton* button : std::as_const(m_tabs)) {
        if (button->id() == m_state->selectedTabID()) {
            // The scroll area sizes its row on a later turn; a tab just
            // added needs its place now.
            const QSize viewport = m_tabScroll->viewport()->size();
            m_tabRow->resize(std::max(m_tabRow->sizeHint().width(), viewport.width()), viewport.height());
            m_tabRow->layout()->activate();
            m_tabScroll->ensureWidgetVisible(button, 0, 0);
            return;
        }
    }
}

void ClipboardHistoryPanel::refreshTabs()
{
    ClipboardPanelState& state = *m_state;
    const QList<ClipboardNoteTab>& tabs = state.notes().tabs();
    bool same = m_tabs.size() == tabs.size() + 1;
    for (int i = 0; same && i < tabs.size(); ++i)
        same = m_tabs[i + 1]->id() == tabs[i].id;
    if (!same) {
        qDeleteAll(m_tabs);
        m_tabs.clear();
        auto* row = static_cast<QHBoxLayout*>(m_tabRow->layout());
        auto add = [&](const QString& id, const QString& symbol) {
            auto* button = new ClipboardTabButton(id, symbol);
            connect(button, &QAbstractButton::clicked, this, [this, id] { m_state->selectTab(id); });
            row->insertWidget(int(m_tabs.size()), button);
            m_tabs.append(button);
        };
        add(ClipboardPanelState::historyTabID, QStringLiteral("clipboard"));
        for (const ClipboardNoteTab& tab : tabs)
            add(tab.id, QStringLiteral("note.text"));
    }
    for (int i = 0; i < m_tabs.size(); ++i) {
        ClipboardTabButton* button = m_tabs[i];
        const QString title = i == 0 ? tr2("Clipboard", "Буфер") : tabs[i - 1].title;
        if (button->text() != title) {
            button->setText(title);
            button->updateGeometry();
        }
        button->setSelected(button->id() == state.selectedTabID());
    }
    m_addTab->setToolTip(tr2("Add tab", "Добавить вкладку"));
    // The strip is at most as wide as its tabs (a scroll area keeps the
    // size its row first asked for as its own).
    m_tabRow->layout()->invalidate();
    m_tabScroll->setMaximumWidth(m_tabRow->sizeHint().width());
    // The tab shown (a new one too) scrolls into view once the row has its
    // new layout.
    if (state.selectedTabID() != m_tabScrolledTo) {
        m_tabScrolledTo = state.selectedTabID();
        QTimer::singleShot(0, this, [this] { scrollSelectedTabIntoView(); });
    }

    const std::optional<ClipboardNoteTab> shown
        = state.showsHistory() ? std::nullopt : state.notes().tab(state.selectedTabID());
    const bool renaming = shown && state.renamingTabID() == shown->id;
    m_tabTitle->setVisible(shown && !renaming);
    m_rename->setVisible(shown && !renaming);
    m_nameGround->setVisible(renaming);
    m_saveName->setVisible(renaming);
    m_deleteTab->setVisible(shown.has_value());
    if (shown)
        m_tabTitle->setText(shown->title);
    m_nameField->setPlaceholderText(tr2("Tab name", "Название вкладки"));
    if (renaming && m_nameField->text() != state.tabTitleDraft())
        m_nameField->setText(state.tabTitleDraft());
    m_saveName->setToolTip(tr2("Save name", "Сохранить название"));
    m_rename->setToolTip(tr2("Rename tab", "Переименовать вкладку"));
    m_deleteTab->setToolTip(tr2("Delete tab", "Удалить вкладку"));
    m_deleteTab->setColor(destructiveColor());
    m_addNote->setText(tr2("Add note", "Добавить заметку"));
    m_addNote->setFixedSize(m_addNote->sizeHint());

    // A field that comes into view asks for the keyboard on a later turn.
    if (renaming && !m_nameFieldShown)
        state.focusTabNameLater();
    m_nameFieldShown = renaming;
    if (renaming && state.tabNameFocused() && !m_nameField->hasFocus())
        m_nameField->setFocus();
}

void ClipboardHistoryPanel::refreshContent()
{
    ClipboardPanelState& state = *m_state;
    const int width = m_contentArea->width();
    const bool wide = ClipboardPanelState::showsSidePreview(width);
    const int previewWidth = ClipboardPanelState::sidePreviewWidth(width);
    const QColor secondary = secondaryColor();
    QPalette emptyPalette = palette();
    emptyPalette.setColor(QPalette::WindowText, secondary);

    m_historyContent->setVisible(state.showsHistory());
    m_notesContent->setVisible(!state.showsHistory());

    // One list with its card beside it, or the list's empty text.
    auto showList = [&](ClipboardEntryList* list, QWidget* card, QLabel* empty, QList<ClipboardEntryList::Entry> entries,
                        const std::optional<QString>& selectedID, const QString& emptyText) {
        const bool listed = !entries.isEmpty();
        list->setLanguage(m_look.language);
        list->setFontSize(state.contentFontSize());
        list->setEntries(std::move(entries));
        list->setHighlightedID(wide ? selectedID : std::nullopt);
        list->setVisible(listed);
        card->setVisible(listed && wide);
        if (listed && wide)
            card->setFixedWidth(previewWidth);
        empty->setVisible(!listed);
        empty->setText(emptyText);
        empty->setPalette(emptyPalette);
        return listed && wide;
    };

    if (state.showsHistory()) {
        QList<ClipboardEntryList::Entry> entries;
        for (const ClipboardHistoryItem& item : state.filteredHistoryItems())
            entries.append({ item.id, item.text, item.chars });
        const std::optional<ClipboardHistoryItem> selected = state.selectedItem();
        if (showList(m_historyList, m_historyPreview, m_historyEmpty, std::move(entries),
                selected ? std::optional<QString>(selected->id) : std::nullopt, state.emptyHistoryText())) {
            m_historyPreview->setFontSize(state.contentFontSize());
            m_historyPreview->setItem(selected, m_look.language);
        }
        m_editorShown = false;
        return;
    }

    QList<ClipboardEntryList::Entry> entries;
    for (const ClipboardNoteItem& note : state.filteredNotes())
        entries.append({ note.id, note.text, 0 });
    const std::optional<ClipboardNoteItem> selected = state.selectedNote();
    if (showList(m_notesList, m_notePreview, m_notesEmpty, std::move(entries),
            selected ? std::optional<QString>(selected->id) : std::nullopt, state.emptyNotesText())) {
        m_notePreview->setFontSize(state.contentFontSize());
        m_notePreview->setNote(selected, m_look.language);
    }

    const bool editing = state.isEditingNote();
    m_editorCard->setVisible(editing);
    m_editorHeading->setText(state.editingNoteID() ? tr2("Edit note", "Правка заметки") : tr2("New note", "Новая заметка"));
    m_editorHeading->setPalette(emptyPalette);
    QFont editorFont = m_noteEditor->font();
    editorFont.setPixelSize(std::max(1, int(std::lround(state.contentFontSize()))));
    if (m_noteEditor->font() != editorFont)
        m_noteEditor->setFont(editorFont);
    if (m_noteEditor->toPlainText() != state.noteDraft()) {
        const QSignalBlocker quiet(m_noteEditor);
        m_noteEditor->setPlainText(state.noteDraft());
        m_noteEditor->moveCursor(QTextCursor::End);
    }
    m_cancelNote->setText(tr2("Cancel", "Отмена"));
    m_saveNote->setText(tr2("Save", "Сохранить"));
    m_saveNote->setIcon(SymbolRegistry::icon(QStringLiteral("checkmark"), palette().color(QPalette::ButtonText)));
    m_saveNote->setEnabled(state.canSaveNoteDraft());
    if (editing && !m_editorShown)
        state.focusNoteEditorLater();
    m_editorShown = editing;
    if (editing && state.noteEditorFocused() && !m_noteEditor->hasFocus())
        m_noteEditor->setFocus();
}

}  // namespace mendo
