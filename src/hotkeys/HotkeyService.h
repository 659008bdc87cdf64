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
// into its action. At every settings change it grabs only the chords that are
// new and lets go only those no longer configured: a chord held throughout
// keeps working (a press during the change is not lost) and merely takes the
// action it now stands for.
//
// Each hotkey registers on its own: an invalid or refused one is left out and
// reported in the status (once, not again at every later change while its
// text stays the same) while all the others work, and a corrected text takes
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

    // Brings the registrations in line with the settings; new chords get
    // the ids after the highest in use (from 1 on the first pass). Returns
    // the failures worth showing, in configuration order (window-command
    // hotkeys fail silently).
    QList<HotkeyServiceError> registerConfiguredHotkeys();

    const QMap<quint32, RegisteredHotkeyAction>& registeredActions() const { return m_registeredActions; }

private:
    bool installHandler();
    void unregisterAll();
    void forget(quint32 id);
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
    // The chord each id holds, as ParsedHotkey's canonical signature.
    QMap<quint32, QString> m_registeredSignatures;
    // Failures told in the status and still failing.
    QSet<QString> m_toldFailures;
    QMetaObject::Connection m_subscription;
};

}  // namespace mendo
