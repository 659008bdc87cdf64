#pragma once

#include "base/UiLanguage.h"
#include "clipboard/ClipboardHistoryItem.h"
#include "clipboard/ClipboardNoteItem.h"
#include "ui/OutlinedBox.h"

#include <optional>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace mendo {

// The card beside a list of the clipboard window: the whole text of the
// selected entry, selectable and scrolling, under a heading with its length,
// and buttons that act on it. Without an entry it shows its placeholder, no
// length, and every button is off; an entry with an empty text is an entry.
class ClipboardPreviewCard : public OutlinedBox {
    Q_OBJECT
public:
    QLabel* heading() const { return m_heading; }
    QLabel* count() const { return m_count; }
    QPlainTextEdit* textView() const { return m_text; }
    const QList<QPushButton*>& buttons() const { return m_buttons; }
    bool isEmptyCard() const { return m_empty; }
    void setFontSize(double size);
    // How many buttons stand in the first row; the rest wrap to a second.
    int buttonsInFirstRow() const { return m_firstRowCount; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    explicit ClipboardPreviewCard(QWidget* parent);
    QPushButton* addButton(const QString& symbolName, bool destructive);
    // Shows `text` (once per change: a megabyte is not set again on every
    // redraw) or, with none, the placeholder.
    void show(const QString& heading, const std::optional<QString>& key, const QString& text, const QString& count,
        const QString& placeholder);

private:
    // Puts as many buttons as fit the width into the first row, the others
    // into the second: a button is never squeezed below its text.
    void arrangeButtons();

    QLabel* m_heading = nullptr;
    QLabel* m_count = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QList<QPushButton*> m_buttons;
    int m_firstRowCount = 0;
    bool m_empty = true;
    std::optional<QString> m_shownKey;
    QString m_shownText;
    QString m_shownPlaceholder;
};

// The card of the history tab: Paste, To note and Delete.
class ClipboardSidePreview : public ClipboardPreviewCard {
    Q_OBJECT
public:
    explicit ClipboardSidePreview(QWidget* parent = nullptr);
    void setItem(const std::optional<ClipboardHistoryItem>& item, UiLanguage language);
    const std::optional<ClipboardHistoryItem>& item() const { return m_item; }

Q_SIGNALS:
    void pasteRequested(const QString& text);
    void saveAsNoteRequested(const mendo::ClipboardHistoryItem& item);
    void removeRequested(const QString& id);

private:
    std::optional<ClipboardHistoryItem> m_item;
};

// The card of a notes tab: Paste, Copy, Edit and a bare delete button.
class ClipboardNoteSidePreview : public ClipboardPreviewCard {
    Q_OBJECT
public:
    explicit ClipboardNoteSidePreview(QWidget* parent = nullptr);
    void setNote(const std::optional<ClipboardNoteItem>& note, UiLanguage language);
    const std::optional<ClipboardNoteItem>& note() const { return m_note; }

Q_SIGNALS:
    void pasteRequested(const QString& text);
    void copyRequested(const QString& text);
    void editRequested(const mendo::ClipboardNoteItem& note);
    void deleteRequested(const mendo::ClipboardNoteItem& note);

private:
    std::optional<ClipboardNoteItem> m_note;
    QString m_countedText;
    qint64 m_count = 0;
};

}  // namespace mendo
