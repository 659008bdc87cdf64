#pragma once

#include "clipboard/ClipboardNoteItem.h"
#include "ui/GlassSurface.h"
#include "ui/PanelLook.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPointer>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;
class QVariantAnimation;

namespace mendo {

class ClipboardEntryList;
class ClipboardHistoryService;
class ClipboardNoteSidePreview;
class ClipboardSidePreview;
class ClipboardNotesService;
class ClipboardPanelController;
class ClipboardPanelState;
class WindowDragHandle;
class UserDefaults;

// A borderless button of the clipboard window: a symbol or a short text in
// one colour, dimmed while disabled, lightly filled under the pointer.
class ClipboardPlainButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ClipboardPlainButton(QWidget* parent = nullptr);

    // A symbol of `symbolSize` pixels, or (with an empty name) the text.
    void setSymbol(const QString& symbolName, int symbolSize = 15);
    void setColor(const QColor& color);
    void setFixedFrame(QSize size);
    // A rounded ground of the primary colour behind the button.
    void setGround(double opacity, qreal radius);
    const QString& symbolName() const { return m_symbol; }
    const QColor& color() const { return m_color; }

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QString m_symbol;
    int m_symbolSize = 15;
    QColor m_color;
    QSize m_frame;
    double m_groundOpacity = 0;
    qreal m_groundRadius = 0;
    bool m_hovered = false;
};

// A one-line label that ends in an ellipsis where its text does not fit,
// rather than widening its row; text() stays the whole text.
class ElidingLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget* parent = nullptr);
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A tab of the clipboard window's tab strip: its symbol and title, filled
// and outlined while it is the tab shown.
class ClipboardTabButton : public QAbstractButton {
    Q_OBJECT
public:
    ClipboardTabButton(QString id, QString symbolName, QWidget* parent = nullptr);
    const QString& id() const { return m_id; }
    void setSelected(bool selected);
    bool isSelected() const { return m_selected; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;
    QString m_id;
    QString m_symbol;
    bool m_selected = false;
};

// The view that fills the clipboard window, drawn from its state
// (ClipboardPanelState): the header with the drag strip, the text size and
// "clear history", the search field with its two-step "delete all found",
// and below them the shown list. Made once with the window.
class ClipboardHistoryPanel : public MendoFloatingSurface {
    Q_OBJECT
public:
    static constexpr int cornerRadius = 22;
    static constexpr int padding = 16;
    static constexpr int sectionSpacing = 12;

    ClipboardHistoryPanel(ClipboardPanelController& controller, ClipboardHistoryService& history,
        ClipboardNotesService& notes, UserDefaults& defaults, QWidget* parent = nullptr);
    ~ClipboardHistoryPanel() override;

    ClipboardPanelState& state() const { return *m_state; }
    void setLook(const PanelLook& look);
    const PanelLook& look() const { return m_look; }
    // The window came on screen: the selection is repaired.
    void appear();

    // The parts the tests look at.
    QLabel* title() const { return m_title; }
    WindowDragHandle* dragHandle() const { return m_dragHandle; }
    QWidget* fontControls() const { return m_fontControls; }
    ClipboardPlainButton* decreaseButton() const { return m_decrease; }
    QLabel* fontSample() const { return m_sample; }
    ClipboardPlainButton* increaseButton() const { return m_increase; }
    ClipboardPlainButton* clearHistoryButton() const { return m_clearHistory; }
    QLineEdit* searchField() const { return m_search; }
    ClipboardPlainButton* deleteFoundButton() const { return m_deleteFound; }
    ClipboardPlainButton* clearSearchButton() const { return m_clearSearch; }
    QWidget* contentArea() const { return m_contentArea; }
    QList<ClipboardTabButton*> tabButtons() const;
    QScrollArea* tabScroll() const { return m_tabScroll; }
    ClipboardPlainButton* addTabButton() const { return m_addTab; }
    QLabel* tabTitle() const { return m_tabTitle; }
    QLineEdit* tabNameField() const { return m_nameField; }
    ClipboardPlainButton* saveNameButton() const { return m_saveName; }
    ClipboardPlainButton* renameButton() const { return m_rename; }
    ClipboardPlainButton* deleteTabButton() const { return m_deleteTab; }
    ClipboardPlainButton* addNoteButton() const { return m_addNote; }
    ClipboardEntryList* historyList() const { return m_historyList; }
    ClipboardSidePreview* historyPreview() const { return m_historyPreview; }
    QLabel* historyEmptyText() const { return m_historyEmpty; }
    ClipboardEntryList* notesList() const { return m_notesList; }
    ClipboardNoteSidePreview* notePreview() const { return m_notePreview; }
    QLabel* notesEmptyText() const { return m_notesEmpty; }
    QWidget* editorCard() const { return m_editorCard; }
    QLabel* editorHeading() const { return m_editorHeading; }
    QPlainTextEdit* noteEditor() const { return m_noteEditor; }
    QPushButton* cancelNoteButton() const { return m_cancelNote; }
    QPushButton* saveNoteButton() const { return m_saveNote; }
    // Whether the content area is wide enough for the side previews.
    bool showsSidePreview() const;

    // Colours of the window's controls in the current palette.
    QColor primaryColor() const;
    QColor secondaryColor() const;
    static QColor destructiveColor();

private:
    void build();
    QWidget* makeHeader();
    QWidget* makeFontControls();
    QWidget* makeSearchField();
    QWidget* makeTabStrip();
    QWidget* makeHistoryContent();
    QWidget* makeNotesContent();
    QWidget* makeEditorCard();
    void refresh();
    void refreshTabs();
    void scrollSelectedTabIntoView();
    void refreshContent();
    // The note of the shown list with this id.
    std::optional<ClipboardNoteItem> listedNote(const QString& id) const;
    void pasteEntry(const QString& id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString tr2(const char* en, const char* ru) const;

    ClipboardPanelController& m_controller;
    ClipboardPanelState* m_state = nullptr;
    PanelLook m_look;

    QLabel* m_titleIcon = nullptr;
    QLabel* m_title = nullptr;
    WindowDragHandle* m_dragHandle = nullptr;
    QWidget* m_fontControls = nullptr;
    ClipboardPlainButton* m_decrease = nullptr;
    QLabel* m_sample = nullptr;
    QVariantAnimation* m_sampleAnimation = nullptr;
    ClipboardPlainButton* m_increase = nullptr;
    ClipboardPlainButton* m_clearHistory = nullptr;
    QLabel* m_searchIcon = nullptr;
    QLineEdit* m_search = nullptr;
    ClipboardPlainButton* m_deleteFound = nullptr;
    ClipboardPlainButton* m_clearSearch = nullptr;
    QWidget* m_contentArea = nullptr;

    QScrollArea* m_tabScroll = nullptr;
    QWidget* m_tabRow = nullptr;
    QList<ClipboardTabButton*> m_tabs;
    QString m_tabScrolledTo;
    ClipboardPlainButton* m_addTab = nullptr;
    QLabel* m_tabTitle = nullptr;
    QWidget* m_nameGround = nullptr;
    QLineEdit* m_nameField = nullptr;
    ClipboardPlainButton* m_saveName = nullptr;
    ClipboardPlainButton* m_rename = nullptr;
    ClipboardPlainButton* m_deleteTab = nullptr;
    ClipboardPlainButton* m_addNote = nullptr;

    QWidget* m_historyContent = nullptr;
    ClipboardEntryList* m_historyList = nullptr;
    ClipboardSidePreview* m_historyPreview = nullptr;
    QLabel* m_historyEmpty = nullptr;
    QWidget* m_notesContent = nullptr;
    ClipboardEntryList* m_notesList = nullptr;
    ClipboardNoteSidePreview* m_notePreview = nullptr;
    QLabel* m_notesEmpty = nullptr;
    QWidget* m_editorCard = nullptr;
    QLabel* m_editorHeading = nullptr;
    QPlainTextEdit* m_noteEditor = nullptr;
    QPushButton* m_cancelNote = nullptr;
    QPushButton* m_saveNote = nullptr;
    bool m_nameFieldShown = false;
    bool m_editorShown = false;
};

}  // namespace mendo
