#include "clipboard/ClipboardPanelState.h"

#include "base/BiText.h"
#include "base/Text.h"
#include "clipboard/ClipboardHistoryService.h"
#include "clipboard/ClipboardNotesService.h"
#include "platform/UserDefaults.h"

#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace mendo {

namespace {

// Entries whose folded texts are kept at most; the history holds up to 1000
// and a tab rarely more, so this only bounds texts that left the lists.
constexpr qsizetype maximumFoldedTexts = 4000;

// The form the search compares: NFC in the system locale's lower case.
QString folded(const QString& text)
{
    return QLocale::system().toLower(text::nfc(text));
}

}  // namespace

ClipboardPanelState::ClipboardPanelState(
    ClipboardHistoryService& history, ClipboardNotesService& notes, UserDefaults& defaults, QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_notes(notes)
    , m_defaults(defaults)
{
    // A missing key reads as 0 and NaN fails both comparisons: the default.
    const double stored = defaults.number(fontSizeKey);
    if (stored >= minimumFontSize && stored <= maximumFontSize)
        m_contentFontSize = stored;
    connect(&history, &ClipboardHistoryService::itemsChanged, this, &ClipboardPanelState::historyChanged);
    connect(&notes, &ClipboardNotesService::tabsChanged, this, &ClipboardPanelState::tabsChanged);
}

const QString& ClipboardPanelState::foldedText(const QString& id, const QString& text) const
{
    auto it = m_folded.find(id);
    if (it != m_folded.end() && it->text == text)
        return it->folded;
    if (m_folded.size() >= maximumFoldedTexts)
        m_folded.clear();
    return m_folded.insert(id, Folded { text, folded(text) })->folded;
}

QString ClipboardPanelState::query() const
{
    return folded(text::trimmed(m_searchText));
}

QList<ClipboardHistoryItem> ClipboardPanelState::filteredHistoryItems() const
{
    const QString wanted = query();
    if (wanted.isEmpty())
        return m_history.items();
    QList<ClipboardHistoryItem> found;
    for (const ClipboardHistoryItem& item : m_history.items()) {
        if (foldedText(item.id, item.text).contains(wanted))
            found.append(item);
    }
    return found;
}

std::optional<ClipboardNoteTab> ClipboardPanelState::shownTab() const
{
    if (showsHistory())
        return std::nullopt;
    return m_notes.tab(m_selectedTabID);
}

QList<ClipboardNoteItem> ClipboardPanelState::filteredNotes() const
{
    const std::optional<ClipboardNoteTab> tab = shownTab();
    if (!tab)
        return {};
    const QString wanted = query();
    if (wanted.isEmpty())
        return tab->notes;
    QList<ClipboardNoteItem> found;
    for (const ClipboardNoteItem& note : tab->notes) {
        if (foldedText(note.id, note.text).contains(wanted))
            found.append(note);
    }
    return found;
}

qsizetype ClipboardPanelState::foundCount() const
{
    return showsHistory() ? filteredHistoryItems().size() : filteredNotes().size();
}

std::optional<ClipboardHistoryItem> ClipboardPanelState::selectedItem() const
{
    const QList<ClipboardHistoryItem>& items = m_history.items();
    if (items.isEmpty())
        return std::nullopt;
    if (m_selectedItemID) {
        for (const ClipboardHistoryItem& item : items) {
            if (item.id == *m_selectedItemID)
                return item;
        }
    }
    return items.first();
}

std::optional<ClipboardNoteItem> ClipboardPanelState::selectedNote() const
{
    const std::optional<ClipboardNoteTab> tab = shownTab();
    if (!tab || tab->notes.isEmpty())
        return std::nullopt;
    if (m_selectedNoteID) {
        for (const ClipboardNoteItem& note : tab->notes) {
            if (note.id == *m_selectedNoteID)
                return note;
        }
    }
    return tab->notes.first();
}

void ClipboardPanelState::setSelectedTabID(const QString& id)
{
    if (id != m_selectedTabID)
        m_confirmDeleteFound = false;
    m_selectedTabID = id;
}

void ClipboardPanelState::selectFirstNote()
{
    const std::optional<ClipboardNoteTab> tab = shownTab();
    if (tab && !tab->notes.isEmpty())
        m_selectedNoteID = tab->notes.first().id;
    else
        m_selectedNoteID.reset();
}

void ClipboardPanelState::showFirstTab()
{
    const QList<ClipboardNoteTab>& tabs = m_notes.tabs();
    setSelectedTabID(tabs.isEmpty() ? historyTabID : tabs.first().id);
    selectFirstNote();
}

void ClipboardPanelState::appear()
{
    const QList<ClipboardHistoryItem>& items = m_history.items();
    if (!m_selectedItemID && !items.isEmpty())
        m_selectedItemID = items.first().id;
    if (!showsHistory() && !m_notes.tab(m_selectedTabID)) {
        const QList<ClipboardNoteTab>& tabs = m_notes.tabs();
        setSelectedTabID(tabs.isEmpty() ? historyTabID : tabs.first().id);
    }
    Q_EMIT changed();
}

void ClipboardPanelState::historyChanged()
{
    const QList<ClipboardHistoryItem>& items = m_history.items();
    if (items.isEmpty()) {
        m_selectedItemID.reset();
    } else {
        const bool listed = m_selectedItemID
            && std::any_of(items.cbegin(), items.cend(),
                [this](const ClipboardHistoryItem& item) { return item.id == *m_selectedItemID; });
        if (!listed)
            m_selectedItemID = items.first().id;
    }
    Q_EMIT changed();
}

void ClipboardPanelState::tabsChanged()
{
    if (!showsHistory() && !m_notes.tab(m_selectedTabID)) {
        showFirstTab();
        Q_EMIT changed();
        return;
    }
    if (const std::optional<ClipboardNoteTab> tab = shownTab()) {
        if (tab->notes.isEmpty()) {
            m_selectedNoteID.reset();
        } else {
            const bool listed = m_selectedNoteID
                && std::any_of(tab->notes.cbegin(), tab->notes.cend(),
                    [this](const ClipboardNoteItem& note) { return note.id == *m_selectedNoteID; });
            if (!listed)
                m_selectedNoteID = tab->notes.first().id;
        }
    }
    Q_EMIT changed();
}

void ClipboardPanelState::setSearchText(const QString& text)
{
    if (text == m_searchText)
        return;
    m_searchText = text;
    m_confirmDeleteFound = false;
    Q_EMIT changed();
}

void ClipboardPanelState::clearSearch()
{
    m_searchText.clear();
    m_confirmDeleteFound = false;
    Q_EMIT changed();
}

void ClipboardPanelState::armDeleteFound()
{
    m_confirmDeleteFound = true;
    Q_EMIT changed();
}

void ClipboardPanelState::deleteFiltered()
{
    if (showsHistory()) {
        QStringList ids;
        for (const ClipboardHistoryItem& item : filteredHistoryItems())
            ids.append(item.id);
        if (!ids.isEmpty())
            m_history.remove(ids);
    } else if (shownTab()) {
        QStringList ids;
        for (const ClipboardNoteItem& note : filteredNotes())
            ids.append(note.id);
        if (!ids.isEmpty())
            m_notes.deleteNotes(m_selectedTabID, ids);
    }
    clearSearch();
}

void ClipboardPanelState::setContentFontSize(double size)
{
    if (std::isnan(size))
        return;
    const double value = std::clamp(size, minimumFontSize, maximumFontSize);
    if (value == m_contentFontSize)
        return;
    m_contentFontSize = value;
    m_defaults.set(fontSizeKey, value);
    Q_EMIT changed();
}

void ClipboardPanelState::selectTab(const QString& id)
{
    setSelectedTabID(id);
    closeEditor();
    selectFirstNote();
    Q_EMIT changed();
}

void ClipboardPanelState::selectItem(const QString& id)
{
    if (m_selectedItemID == id)
        return;
    m_selectedItemID = id;
    Q_EMIT changed();
}

void ClipboardPanelState::selectNote(const QString& id)
{
    if (m_selectedNoteID == id)
        return;
    m_selectedNoteID = id;
    Q_EMIT changed();
}

int ClipboardPanelState::sidePreviewWidth(int contentWidth)
{
    return std::max(int(std::lround(0.45 * contentWidth)), 240);
}

QString ClipboardPanelState::defaultTabTitle() const
{
    return pick(m_language, QStringLiteral("Notes"), QStringLiteral("Заметки"));
}

void ClipboardPanelState::closeEditor()
{
    m_isEditingNote = false;
    m_editingNoteID.reset();
    m_noteDraft.clear();
}

void ClipboardPanelState::focusNoteEditorLater()
{
    QTimer::singleShot(0, this, [this] { setNoteEditorFocused(true); });
}

void ClipboardPanelState::focusTabNameLater()
{
    QTimer::singleShot(0, this, [this] { setTabNameFocused(true); });
}

void ClipboardPanelState::setNoteEditorFocused(bool focused)
{
    if (m_noteEditorFocused == focused)
        return;
    m_noteEditorFocused = focused;
    Q_EMIT changed();
}

void ClipboardPanelState::setTabNameFocused(bool focused)
{
    if (m_tabNameFocused == focused)
        return;
    m_tabNameFocused = focused;
    Q_EMIT changed();
}

void ClipboardPanelState::addTabAndStartRename()
{
    const QString base = defaultTabTitle();
    const QList<ClipboardNoteTab>& tabs = m_notes.tabs();
    const bool taken = std::any_of(tabs.cbegin(), tabs.cend(), [&](const ClipboardNoteTab& t) { return t.title == base; });
    const QString title = taken ? base + QLatin1Char(' ') + QString::number(tabs.size() + 1) : base;
    const ClipboardNoteTab tab = m_notes.addTab(title);
    setSelectedTabID(tab.id);
    m_selectedNoteID.reset();
    m_renamingTabID = tab.id;
    m_tabTitleDraft = tab.title;
    closeEditor();
    Q_EMIT changed();
    focusTabNameLater();
}

void ClipboardPanelState::startNewNote()
{
    if (showsHistory()) {
        const QList<ClipboardNoteTab>& tabs = m_notes.tabs();
        const QString base = defaultTabTitle();
        const QString title = tabs.isEmpty() ? base : base + QLatin1Char(' ') + QString::number(tabs.size() + 1);
        const ClipboardNoteTab tab = m_notes.addTab(title);
        setSelectedTabID(tab.id);
    }
    m_editingNoteID.reset();
    m_noteDraft.clear();
    m_isEditingNote = true;
    Q_EMIT changed();
    focusNoteEditorLater();
}

void ClipboardPanelState::startRename()
{
    const std::optional<ClipboardNoteTab> tab = shownTab();
    if (!tab)
        return;
    m_renamingTabID = tab->id;
    m_tabTitleDraft = tab->title;
    Q_EMIT changed();
    focusTabNameLater();
}

void ClipboardPanelState::setTabTitleDraft(const QString& text)
{
    if (m_tabTitleDraft == text)
        return;
    m_tabTitleDraft = text;
    Q_EMIT changed();
}

void ClipboardPanelState::finishRenameTab()
{
    if (!m_renamingTabID)
        return;
    const QString id = *m_renamingTabID;
    const QString title = m_tabTitleDraft;
    m_renamingTabID.reset();
    m_tabTitleDraft.clear();
    m_tabNameFocused = false;
    m_notes.renameTab(id, title);
    Q_EMIT changed();
}

void ClipboardPanelState::deleteCurrentTab()
{
    if (showsHistory())
        return;
    m_notes.deleteTab(m_selectedTabID);
    showFirstTab();
    closeEditor();
    Q_EMIT changed();
}

void ClipboardPanelState::saveClipboardItemAsNote(const ClipboardHistoryItem& item)
{
    const QList<ClipboardNoteTab>& tabs = m_notes.tabs();
    const QString tabID = tabs.isEmpty() ? m_notes.addTab(defaultTabTitle()).id : tabs.first().id;
    const std::optional<ClipboardNoteItem> note = m_notes.addNote(tabID, item.text);
    if (!note)
        return;
    setSelectedTabID(tabID);
    m_selectedNoteID = note->id;
    closeEditor();
    Q_EMIT changed();
}

void ClipboardPanelState::startEditNote(const ClipboardNoteItem& note)
{
    m_selectedNoteID = note.id;
    m_editingNoteID = note.id;
    m_noteDraft = note.text;
    m_isEditingNote = true;
    Q_EMIT changed();
    focusNoteEditorLater();
}

void ClipboardPanelState::deleteNote(const ClipboardNoteItem& note)
{
    if (showsHistory())
        return;
    m_notes.deleteNote(m_selectedTabID, note.id);
    if (m_selectedNoteID == note.id)
        selectFirstNote();
    if (m_editingNoteID == note.id)
        cancelNoteEditing();
    Q_EMIT changed();
}

void ClipboardPanelState::setNoteDraft(const QString& text)
{
    if (m_noteDraft == text)
        return;
    m_noteDraft = text;
    Q_EMIT changed();
}

bool ClipboardPanelState::canSaveNoteDraft() const
{
    return !text::isBlank(m_noteDraft);
}

void ClipboardPanelState::saveNoteDraft()
{
    if (showsHistory())
        return;
    const QString draft = text::trimmed(m_noteDraft);
    if (draft.isEmpty())
        return;
    const std::optional<ClipboardNoteTab> tab = shownTab();
    const bool noteListed = tab && m_editingNoteID
        && std::any_of(tab->notes.cbegin(), tab->notes.cend(),
            [this](const ClipboardNoteItem& note) { return note.id == *m_editingNoteID; });
    if (noteListed) {
        m_notes.updateNote(m_selectedTabID, *m_editingNoteID, draft);
        m_selectedNoteID = m_editingNoteID;
    } else if (const std::optional<ClipboardNoteItem> note = m_notes.addNote(m_selectedTabID, draft)) {
        // Also a draft whose note was deleted meanwhile: the user's text is
        // kept as a new note rather than dropped.
        m_selectedNoteID = note->id;
    }
    cancelNoteEditing();
}

void ClipboardPanelState::cancelNoteEditing()
{
    closeEditor();
    m_noteEditorFocused = false;
    Q_EMIT changed();
}

QString ClipboardPanelState::emptyHistoryText() const
{
    return m_history.items().isEmpty() ? pick(m_language, QStringLiteral("Clipboard history is empty."),
                                             QStringLiteral("История буфера пуста."))
                                       : pick(m_language, QStringLiteral("Nothing found."),
                                             QStringLiteral("Ничего не найдено."));
}

QString ClipboardPanelState::emptyNotesText() const
{
    const std::optional<ClipboardNoteTab> tab = shownTab();
    return tab && !tab->notes.isEmpty()
        ? pick(m_language, QStringLiteral("Nothing found."), QStringLiteral("Ничего не найдено."))
        : pick(m_language, QStringLiteral("No notes yet."), QStringLiteral("Заметок пока нет."));
}

}  // namespace mendo
