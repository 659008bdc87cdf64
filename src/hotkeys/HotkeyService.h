#pragma once

#include "hotkeys/HotkeyServiceError.h"
#include "hotkeys/RegisteredHotkeyAction.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QSet>

namespace mendo {

class FocusService;
class HotkeyAppState;
class HotkeyPanels;
class HotkeyRegistrar;
class QuickActionRunner;
class WindowCommands;

// Makes every configured shortcut a system-wide hotkey and turns each press
// into its action. Registers again, from scratch, on every settings change.
//
// Each hotkey registers on its own: an invalid or refused one is left out and
// reported in the status while all the others work, and a corrected text takes
// effect at the next settings change.
class HotkeyService : public QObject {
    Q_OBJECT
public:
    HotkeyService(HotkeyRegistrar& registrar, FocusService& focus, WindowCommands& windows, QObject* parent = nullptr);

    // Once at launch. The three objects must outlive the service's use of
    // them; the application state is also watched for its destruction.
    // Without panels (none built yet) their hotkeys register but do nothing.
    void start(HotkeyAppState* appState, QuickActionRunner* runner, HotkeyPanels* panels);
    void stop();
    bool isStarted() const { return m_started; }

    void reloadConfiguredHotkeys();

    // While a hotkey field records, the chords held here must reach it instead
    // of running their actions: the first `suspend` lets every hotkey go, and
    // the last matching `resume` registers them again from the stored texts.
    void suspend();
    void resume();
    bool isSuspended() const { return m_suspensions > 0; }

    // One registration pass with ids from 1. Returns the failures worth
    // showing, in registration order (window-command hotkeys fail silently).
    QList<HotkeyServiceError> registerConfiguredHotkeys();

    // Registers one hotkey text under `id`: true when registered, false when
    // skipped ("Not assigned", or a chord an earlier hotkey already has).
    // Throws HotkeyServiceError for a text that does not parse or a chord the
    // desktop refuses.
    bool registerHotkey(quint32 id, const QString& text, const RegisteredHotkeyAction& action,
                        QSet<QString>& signatures);

    const QMap<quint32, RegisteredHotkeyAction>& registeredActions() const { return m_registeredActions; }

private:
    bool installHandler();
    void unregisterAll();
    void registerAndReport();
    void onPressed(quint32 id);
    void onLost(quint32 id, int status);
    void perform(const RegisteredHotkeyAction& action);
    void performWindowCommand(const QString& name);

    HotkeyRegistrar& m_registrar;
    FocusService& m_focus;
    WindowCommands& m_windows;
    QPointer<HotkeyAppState> m_appState;
    QuickActionRunner* m_runner = nullptr;
    HotkeyPanels* m_panels = nullptr;
    bool m_started = false;
    bool m_handlerInstalled = false;
    int m_suspensions = 0;
    QMap<quint32, RegisteredHotkeyAction> m_registeredActions;
    // The text each id was registered from, for the message when it is lost.
    QMap<quint32, QString> m_registeredTexts;
    QMetaObject::Connection m_subscription;
};

}  // namespace mendo
