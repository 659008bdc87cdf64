#pragma once

#include "base/Async.h"
#include "base/Clock.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace mendo {

class FloatingButtonController;
class FocusService;
class FocusedTextAccess;
class GlobalInputMonitor;
class KeyboardEvents;
class MendoAppState;
class QuickPanelController;
class SelectionTransfer;
class Workspace;

// Offers the quick actions shortly after the user selects text anywhere:
// 230 ms after the last mouse-up or key-up it reads the selection of the
// application in front and, by the settings, opens the quick panel or shows
// the floating button. The same selection in the same process is offered
// once a second at most; nothing is offered while MendoAI is in front or the
// quick panel shows.
//
// The selection is read through accessibility first, else by a transient
// copy; in a terminal emulator through accessibility only, since a terminal
// keeps its last selection while the user types on. Other applications'
// input is watched only while one of the two settings is on. Main thread.
class SelectionTriggerService : public QObject {
    Q_OBJECT
public:
    static constexpr Millis debounce { 230 };
    static constexpr Millis repeatSuppression { 1000 };

    struct Services {
        Clock& clock;
        Workspace& workspace;
        FocusService& focus;
        FocusedTextAccess& focusedText;
        SelectionTransfer& selection;
        // Tells a terminal emulator in front.
        KeyboardEvents& keyboard;
        GlobalInputMonitor& globalInput;
    };

    explicit SelectionTriggerService(Services services, QObject* parent = nullptr);
    ~SelectionTriggerService() override;

    // Once; later calls do nothing.
    virtual void start(
        MendoAppState& appState, QuickPanelController& quickPanel, FloatingButtonController& floatingButton);
    bool isStarted() const { return m_started; }

    // Restarts the wait before the next check; every watched event calls it.
    void scheduleSelectionCheck();
    Task<> checkSelection();
    bool isMendoFrontmost() const;

    const QString& lastSelectionSignature() const { return m_lastSelectionSignature; }
    bool watchesOtherApplications() const { return !m_globalTokens.isEmpty(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool enabled() const;
    void followSettings();
    void hideFloatingButton();

    Services m_services;
    bool m_started = false;
    QPointer<MendoAppState> m_appState;
    QPointer<QuickPanelController> m_quickPanel;
    QPointer<FloatingButtonController> m_floatingButton;
    QList<int> m_globalTokens;
    std::unique_ptr<Timer> m_checkTimer;
    QString m_lastSelectionSignature;
    std::optional<Millis> m_lastShownAt;
};

}  // namespace mendo
