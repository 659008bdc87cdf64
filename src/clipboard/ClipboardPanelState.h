#pragma once

#include "base/UiLanguage.h"
#include "clipboard/ClipboardHistoryItem.h"
#include "clipboard/ClipboardNoteTab.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

namespace mendo {

class ClipboardHistoryService;
class ClipboardNotesService;
class UserDefaults;

// What the clipboard window shows and does, without widgets: the tab shown,
// the selected entry and note, the search with its two-step "delete all
// found", the text size and the note editor. The window draws it and calls
// its operations; every change is announced by changed(). It lives as long
// as the window and is not stored, except the text size. Main thread.
class ClipboardPanelState : public QObject {
    Q_OBJECT
public:
    // The selected-tab value while the clipboard history is shown.
    static inline const QString historyTabID = QStringLiteral("__clipboard__");
    static inline const QString fontSizeKey = QStringLiteral("mendo.clipboardPanel.fontSize");
    static constexpr double minimumFontSize = 12;
    static constexpr double maximumFontSize = 28;
    static constexpr double defaultFontSize = 13;

    // Reads the stored text size; writes nothing.
    ClipboardPanelState(ClipboardHistoryService& history, ClipboardNotesService& notes, UserDefaults& defaults,
        QObject* parent = nullptr);

    ClipboardHistoryService& history() const { return m_history; }
    ClipboardNotesService& notes() const { return m_notes; }

    // The interface language of texts the state makes itself (tab names).
    void setLanguage(UiLanguage language) { m_language = language; }
    UiLanguage language() const { return m_language; }

    // Below this width of the content area no side preview is shown and no
    // row is drawn as selected.
    static constexpr int sidePreviewMinimumWidth = 560;
    static bool showsSidePreview(int contentWidth) { return contentWidth >= sidePreviewMinimumWidth; }
    static int sidePreviewWidth(int contentWidth);

    const std::optional<QString>& selectedItemID() const { return m_selectedItemID; }
    const QString& selectedTabID() const { return m_selectedTabID; }
    const std::optional<QString>& selectedNoteID() const { return m_selectedNoteID; }
    const QString& searchText() const { return m_searchText; }
    bool confirmDeleteFound() const { return m_confirmDeleteFound; }
    double contentFontSize() const { return m_contentFontSize; }
    bool isEditingNote() const { return m_isEditingNote; }
    const std::optional<QString>& editingNoteID() const { return m_editingNoteID; }
    const QString& noteDraft() const { return m_noteDraft; }
    const std::optional<QString>& renamingTabID() const { return m_renamingTabID; }
    const QString& tabTitleDraft() const { return m_tabTitleDraft; }
    bool noteEditorFocused() const { return m_noteEditorFocused; }
    bool tabNameFocused() const { return m_tabNameFocused; }
    bool showsHistory() const { return m_selectedTabID == historyTabID; }

    // The shown list as the search filters it, in its own order.
    QList<ClipboardHistoryItem> filteredHistoryItems() const;
    QList<ClipboardNoteItem> filteredNotes() const;
    // What "delete all found" would remove from the shown list.
    qsizetype foundCount() const;
    // The chosen entry of the whole history, else its first entry.
    std::optional<ClipboardHistoryItem> selectedItem() const;
    // The chosen note of the shown tab, else its first note.
    std::optional<ClipboardNoteItem> selectedNote() const;

    // The window came on screen: a missing selection takes the first entry,
    // a tab that vanished gives way to the first tab (or the history).
    void appear();

    void setSearchText(const QString& text);
    void clearSearch();
    // The first press of "delete all found"; the second is deleteFiltered().
    void armDeleteFound();
    // Removes what the search found in the shown list in one change, then
    // clears the search.
    void deleteFiltered();

    // Clamped to 12...28 and stored; a value already shown writes nothing.
    void setContentFontSize(double size);

    // Shows the history (historyTabID) or a notes tab, with its first note;
    // an open editor closes and its draft is dropped.
    void selectTab(const QString& id);
    // A new tab named "Notes" ("Notes N" when a tab is named so already),
    // shown with its name field open.
    void addTabAndStartRename();
    // Opens the editor for a new note; on the history a new tab is made for it.
    void startNewNote();
    void startRename();
    void setTabTitleDraft(const QString& text);
    // Stores the name typed; a blank one keeps the old name.
    void finishRenameTab();
    void deleteCurrentTab();
    // Adds the entry's text as the first note of the leftmost tab (a new
    // "Notes" tab when there is none) and shows it there.
    void saveClipboardItemAsNote(const ClipboardHistoryItem& item);
    void startEditNote(const ClipboardNoteItem& note);
    void deleteNote(const ClipboardNoteItem& note);
    void setNoteDraft(const QString& text);
    bool canSaveNoteDraft() const;
    void saveNoteDraft();
    void cancelNoteEditing();
    // Focus goes to a field on a later turn of the event loop, once the
    // field is shown.
    void focusNoteEditorLater();
    void focusTabNameLater();
    // The window's fields report where the keyboard went.
    void setNoteEditorFocused(bool focused);
    void setTabNameFocused(bool focused);

    // The text shown where a list is empty.
    QString emptyHistoryText() const;
    QString emptyNotesText() const;
    void selectItem(const QString& id);
    void selectNote(const QString& id);

Q_SIGNALS:
    void changed();

private:
    void historyChanged();
    void tabsChanged();
    // Every change of the shown tab goes here: an armed "delete all found"
    // must never carry over to a list the user has not seen it count.
    void setSelectedTabID(const QString& id);
    std::optional<ClipboardNoteTab> shownTab() const;
    void selectFirstNote();
    // The first notes tab with its first note, else the history.
    void showFirstTab();
    QString query() const;
    QString defaultTabTitle() const;
    void closeEditor();

    // The folded form of an entry's text, kept while the text stays the same.
    const QString& foldedText(const QString& id, const QString& text) const;

    ClipboardHistoryService& m_history;
    ClipboardNotesService& m_notes;
    UserDefaults& m_defaults;
    UiLanguage m_language = UiLanguage::en;

    std::optional<QString> m_selectedItemID;
    QString m_selectedTabID = historyTabID;
    std::optional<QString> m_selectedNoteID;
    QString m_searchText;
    bool m_confirmDeleteFound = false;
    double m_contentFontSize = defaultFontSize;
    bool m_isEditingNote = false;
    std::optional<QString> m_editingNoteID;
    QString m_noteDraft;
    std::optional<QString> m_renamingTabID;
    QString m_tabTitleDraft;
    bool m_noteEditorFocused = false;
    bool m_tabNameFocused = false;

    struct Folded {
        QString text;
        QString folded;
    };
    mutable QHash<QString, Folded> m_folded;
};

}  // namespace mendo
