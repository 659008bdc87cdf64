#pragma once

#include "base/UiLanguage.h"

#include <QWidget>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QToolButton;

namespace mendo {

class ClipboardEntryList;
class ClipboardHistoryService;
class MendoAppState;
class SelectionTransfer;
struct MainSettingsEnvironment;

// The Clipboard page: whether copies are recorded, how many are kept, how
// long (shown only), a button that empties the history, and the history
// itself, each entry with paste and delete. The history belongs to the
// clipboard history service; the page only shows and edits it. A paste goes
// to the application the user worked in last and reports in the status.
class ClipboardSettingsView : public QWidget {
    Q_OBJECT
public:
    static constexpr qint64 minimumLimit = 10;
    static constexpr qint64 maximumLimit = 500;
    static constexpr int rowLineLimit = 3;

    explicit ClipboardSettingsView(const MainSettingsEnvironment& environment, QWidget* parent = nullptr);

    // The keep time as shown: "forever" in the interface language, any other
    // stored value unchanged.
    static QString localizedClipboardDays(const QString& clipboardDays, UiLanguage language);
    // The limit one step (−1 or +1) from `stored`: a stored limit outside the
    // page's range lands on the nearer bound; nothing when the step would
    // leave the range.
    static std::optional<qint64> steppedLimit(qint64 stored, int step);

    QCheckBox* historyToggle() const { return m_historyToggle; }
    QLabel* limitLabel() const { return m_limitLabel; }
    QToolButton* decreaseButton() const { return m_decrease; }
    QToolButton* increaseButton() const { return m_increase; }
    QLabel* daysValue() const { return m_daysValue; }
    QPushButton* clearButton() const { return m_clear; }
    QLabel* recentTitle() const { return m_recentTitle; }
    QLabel* emptyText() const { return m_emptyText; }
    ClipboardEntryList* list() const { return m_list; }

    // What the row buttons do.
    void pasteEntry(const QString& id);
    void deleteEntry(const QString& id);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showSettings();
    void showEntries();
    void step(int direction);
    void showDestructiveTone();

    MendoAppState& m_state;
    ClipboardHistoryService& m_history;
    SelectionTransfer& m_selection;
    QCheckBox* m_historyToggle;
    QLabel* m_limitLabel;
    QToolButton* m_decrease;
    QToolButton* m_increase;
    QLabel* m_daysTitle;
    QLabel* m_daysValue;
    QPushButton* m_clear;
    QLabel* m_recentTitle;
    QLabel* m_emptyText;
    ClipboardEntryList* m_list;
};

// The Clipboard page of the settings window.
QWidget* makeClipboardSettingsView(const MainSettingsEnvironment& environment);

}  // namespace mendo
