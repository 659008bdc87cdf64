#pragma once

#include "base/UiLanguage.h"
#include "clipboard/ClipboardHistoryItem.h"
#include "clipboard/ClipboardNoteItem.h"

#include <QAbstractScrollArea>
#include <QHash>
#include <QPixmap>
#include <QList>
#include <optional>

namespace mendo {

// What one row of the clipboard window's lists shows besides its text: the
// caption with the length and the small buttons, in both languages.
struct ClipboardRowButton {
    enum class Action { paste, copy, edit, remove };
    Action action = Action::paste;
    QString symbolName;
    QString toolTip;  // empty: none
    bool destructive = false;
};

// A history row: the stored length, paste and delete without tooltips.
struct ClipboardHistoryRow {
    static QString caption(const ClipboardHistoryItem& item, UiLanguage language);
    static QList<ClipboardRowButton> buttons(UiLanguage language);
};

// A note row: the length counted from the text as it is now; paste, copy,
// edit and delete, each with its tooltip.
struct ClipboardNoteRow {
    static QString caption(const ClipboardNoteItem& note, UiLanguage language);
    static QList<ClipboardRowButton> buttons(UiLanguage language);
};

// A symbol of the window as SymbolRegistry draws it, kept once drawn: the
// lists draw the same few symbols on every row of every redraw.
QPixmap clipboardSymbol(const QString& symbolName, int size, const QColor& color, qreal devicePixelRatio);

// The red of the window's destructive controls.
QColor clipboardDestructiveColor();

// "<n> chars" / "<n> симв.".
QString clipboardCharsCaption(qint64 count, UiLanguage language);

// One of the clipboard window's lists (the history, or a tab's notes), also
// the settings window's list of the history. Only the rows in view are laid
// out and painted, each with at most a few lines of its text (four unless
// told), so a list of 1000 entries, some of a megabyte, stays quick.
// The pointer over a row or a click selects it; a double click selects and
// pastes; the row's buttons act on their entry. Main thread.
class ClipboardEntryList : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Kind { history, notes };
    struct Entry {
        QString id;
        QString text;
        qint64 chars = 0;  // the stored length of a history entry
    };

    static constexpr int rowSpacing = 8;
    static constexpr int rowPadding = 10;
    static constexpr int maximumLines = 4;
    static constexpr int buttonSize = 24;

    explicit ClipboardEntryList(Kind kind, QWidget* parent = nullptr);

    Kind kind() const { return m_kind; }
    void setEntries(QList<Entry> entries);
    const QList<Entry>& entries() const { return m_entries; }
    // The row drawn as selected; none draws none.
    void setHighlightedID(std::optional<QString> id);
    const std::optional<QString>& highlightedID() const { return m_highlighted; }
    void setFontSize(double size);
    void setLanguage(UiLanguage language);
    // The most lines of its text a row shows (at least 1).
    void setLineLimit(int lines);
    int lineLimit() const { return m_lineLimit; }
    // Whether a row shows its length under the text.
    void setShowsLength(bool shows);
    bool showsLength() const { return m_showsLength; }

    // Where each row stands in the list's own coordinates (for tests).
    QRect rowRect(int index) const;
    QRect buttonRect(int index, int button) const;
    // The row under a point of the viewport; -1 when none.
    int rowAt(QPoint viewportPoint) const;
    QList<ClipboardRowButton> buttons() const;

Q_SIGNALS:
    void selectRequested(const QString& id);
    void pasteRequested(const QString& id);
    void buttonClicked(ClipboardRowButton::Action action, const QString& id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct Layout {
        QString shown;  // the part of the text the row can show
        int lines = 1;
    };
    QFont textFont() const;
    int textWidth() const;
    const Layout& layoutOf(const Entry& entry) const;
    int rowHeight(int index) const;
    void relayout();
    // Rows are laid out from the top as far as they are needed.
    void layOutUntil(int y) const;
    void updateScrollRange();
    int buttonAt(int index, QPoint contentPoint) const;
    QString captionOf(const Entry& entry) const;

    Kind m_kind;
    QList<Entry> m_entries;
    std::optional<QString> m_highlighted;
    double m_fontSize = 13;
    UiLanguage m_language = UiLanguage::en;
    int m_lineLimit = maximumLines;
    bool m_showsLength = true;
    // The top of each row laid out so far, then the top of the next one.
    mutable QList<int> m_tops { 0 };
    int m_lineSpacing = 16;
    int m_captionHeight = 13;
    int m_textWidth = 100;
    qsizetype m_prefixLimit = 2000;
    int m_hoveredRow = -1;
    int m_hoveredButton = -1;
    struct CachedLayout {
        QString text;
        int width = 0;
        double fontSize = 0;
        Layout layout;
    };
    mutable QHash<QString, CachedLayout> m_layouts;
    // Rows below those laid out whose layouts a new list keeps: a copy
    // pushes the rows in view down by one.
    static constexpr qsizetype reusedBeyondView = 8;
};

}  // namespace mendo
