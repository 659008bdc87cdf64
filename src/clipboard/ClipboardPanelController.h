#pragma once

#include "app/AppStateFollower.h"
#include "base/Async.h"
#include "base/Clock.h"
#include "ui/SavedPanelSize.h"

#include <QSizeF>
#include <memory>
#include <optional>

namespace mendo {

class ClipboardHistoryPanel;
class ClipboardHistoryService;
class ClipboardNotesService;
class Clock;
class FloatingPanel;
class FloatingPanelDismissMonitor;
class FocusService;
class GlobalInputMonitor;
class PanelDesktop;
class Pasteboard;
class PasteboardService;
class UserDefaults;

// The clipboard window's controller, one per process. The window opens
// beside the pointer without taking the focus from the application the user
// works in, which becomes the paste target; it hides on Escape, a click
// elsewhere or a close request, keeps its size across launches, and pastes
// a chosen text back into the target. Main thread.
class ClipboardPanelController : public AppStateFollower {
    Q_OBJECT
public:
    struct Services {
        Clock& clock;
        UserDefaults& defaults;
        PanelDesktop& desktop;
        GlobalInputMonitor& globalInput;
        FocusService& focus;
        PasteboardService& pasteboard;
        // The general pasteboard, which a note's Copy writes directly.
        Pasteboard& generalPasteboard;
        ClipboardHistoryService& history;
        ClipboardNotesService& notes;
    };

    static inline const QString sizeKeyPrefix = QStringLiteral("mendo.clipboardPanel");
    static constexpr QSizeF minimumSize { 340, 380 };
    static constexpr QSizeF defaultSize { 380, 520 };
    static constexpr QSizeF maximumSavedSize { 760, 860 };
    // Between hiding the window and pasting: the target gets the focus back.
    static constexpr Millis pasteDelay { 120 };

    explicit ClipboardPanelController(Services services, QObject* parent = nullptr);
    ~ClipboardPanelController() override;

    // Shows the window, or hides it when it is showing.
    void toggle();
    // Takes the frontmost application as the paste target and brings the
    // window to the front; a hidden window first moves beside the pointer.
    void show();
    // Puts the window away; its state stays for the next showing.
    void hide();
    // Hides the window and pastes `text` into the target; the outcome shows
    // in the status.
    void pasteFromHistory(const QString& text);
    // Puts a note's text on the clipboard, where it stays; the history does
    // not record it. The window stays open.
    void copyNote(const QString& text);
    static constexpr double noteCopySuppressionSeconds = 1.2;

    bool isPanelVisible() const;
    // None before the first showing.
    FloatingPanel* panel() const { return m_panel.get(); }
    ClipboardHistoryPanel* view() const { return m_view; }
    FloatingPanelDismissMonitor* dismissMonitor() const { return m_dismissMonitor.get(); }
    const std::optional<QString>& pasteTargetBundleIdentifier() const { return m_pasteTargetBundleIdentifier; }

    // The size a new window opens at: the stored one, capped, when both
    // sides reach the minimum; else the default.
    QSizeF savedPanelSize() const;
    void savePanelSize(QSizeF size);

private:
    void makePanel();
    void positionNearMouse();
    void applyLook();
    Task<> pasteLater(QString text, std::optional<QString> target);

    Services m_services;
    SavedPanelSize m_savedSize;
    std::unique_ptr<FloatingPanel> m_panel;
    ClipboardHistoryPanel* m_view = nullptr;
    std::unique_ptr<FloatingPanelDismissMonitor> m_dismissMonitor;
    std::optional<QString> m_pasteTargetBundleIdentifier;
};

}  // namespace mendo
