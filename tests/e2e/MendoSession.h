#pragma once

// One run of the real mendo as a user meets it: a fresh configuration whose
// service address points at the mock service, the keyboard set to US and
// Russian, and mendo started and holding its hotkeys. Everything it starts is
// stopped again when it is destroyed.

#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11Workspace.h"
#include "support/X11TestApps.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <atspi/atspi.h>

#include <memory>
#include <optional>

namespace mendo::e2e {

// The X11 CLIPBOARD as command-line tools see it.
struct ClipboardContents {
    QByteArray targets;
    QList<QPair<QString, QByteArray>> formats;
};

// Counts the changes of the CLIPBOARD's owner (XFixes notices), each a new
// content: a copy, a paste's text, a restore.
class ClipboardOwnerChanges {
public:
    ClipboardOwnerChanges();
    ~ClipboardOwnerChanges();
    ClipboardOwnerChanges(const ClipboardOwnerChanges&) = delete;
    ClipboardOwnerChanges& operator=(const ClipboardOwnerChanges&) = delete;
    int count();

private:
    void* m_display = nullptr;
    int m_eventBase = 0;
    int m_count = 0;
};

class MendoSession {
public:
    struct Options {
        // The mock service's answers, in order, as its --script file takes
        // them ({"status", "json", "delayMs", ...}).
        QJsonArray answers;
        // No service at all: the address names a port nobody listens on.
        bool serviceDown = false;
        // More user-defaults keys, written before mendo starts.
        QJsonObject defaults;
        // mendo marks its start-up's steps (MENDO_STARTUP_TRACE), and the
        // start waits for its marks instead of probing the hotkeys from
        // outside.
        bool traceStartup = false;
        // The mendo to start; the build's own when empty.
        QString program = {};
        // The clipboard history file mendo finds at start, as its store
        // writes it; none when empty.
        QByteArray clipboardHistory {};
    };

    static inline const QString accessToken = QStringLiteral("e2e-token");
    static inline const QString deviceId = QStringLiteral("E2E-DEVICE-0001");

    explicit MendoSession(Options options);
    ~MendoSession();
    MendoSession(const MendoSession&) = delete;
    MendoSession& operator=(const MendoSession&) = delete;

    // Starts the service and mendo and waits until mendo holds its hotkeys.
    // False with failure() telling why.
    bool start();
    QString failure() const { return m_failure; }
    // Ends mendo and starts it again over the same configuration and service,
    // with `moreDefaults` laid over the user defaults it left.
    bool restartMendo(const QJsonObject& moreDefaults = {});

    // Starts another application and waits until it is in front and mendo's
    // focus memory can have learnt of it; null when it never came to front.
    std::unique_ptr<testing::OtherApp> startInFront(const QString& program, const QStringList& arguments);
    // Activates an application started before and waits until it is in front.
    bool bringToFront(const testing::OtherApp& app);
    // The user's own copy, owned by another application.
    std::unique_ptr<testing::OtherApp> userCopies(const QList<QPair<QString, QByteArray>>& formats);

    // Presses keys as the user would ("ctrl+a", "alt+4"), through XTest.
    static void press(const QString& keys);
    // Holds the keys down for `ms` as fingers do (about 150 ms), then lets go.
    static void hold(const QString& keys, int ms = 150);
    // Whether another client grabs this chord on the root window, so that a
    // grab of its own is refused.
    static bool chordIsTaken(unsigned long keysym, unsigned int modifiers);
    static ClipboardContents clipboard(const QStringList& types);

    // What the service was asked so far: each request with its "method",
    // "path", "headers" (names in lower case) and "body" (parsed JSON).
    QList<QJsonObject> requests(const QString& path = QStringLiteral("/macos/ai")) const;

    // The name of the current keyboard layout ("English (US)", "Russian").
    static QString currentLayoutName();

    // mendo's output so far, for failure messages.
    QByteArray mendoOutput();
    qint64 mendoPid() const { return m_mendo.processId(); }
    // Waits until mendo ends by itself (the tray's Quit, say): its exit code,
    // or nothing when it is still running after `timeoutMs` or crashed.
    std::optional<int> waitForMendoExit(int timeoutMs);
    // From mendo's launch until it held its hotkeys.
    qint64 startupMs() const { return m_startupMs; }
    // With traceStartup: each step of the last start with its time from the
    // launch, in nanoseconds, in order.
    QList<QPair<QString, qint64>> startupSteps() const { return m_startupSteps; }
    // The user defaults as mendo last wrote them to its file.
    QJsonObject storedDefaults() const;
    // That file.
    QString defaultsFile() const { return m_dir.filePath(QStringLiteral("xdg_config_home/MendoAI/defaults.json")); }
    // The texts of the clipboard history in mendo's history file, newest
    // first.
    QStringList storedHistory() const;
    // The XDG_DATA_HOME mendo runs with (its applications folder included).
    QString dataHome() const { return m_dir.filePath(QStringLiteral("xdg_data_home")); }
    // The titles of mendo's visible windows.
    QStringList visibleWindowTitles() const;
    // The X id of mendo's visible window with this title, at least
    // `minimumWidth` wide (the tray icon has the main window's title); 0 when
    // none.
    quint64 visibleWindow(const QString& title, int minimumWidth = 0) const;
    quint64 mainWindow() const { return visibleWindow(QStringLiteral("MendoAI"), 700); }
    // Starts mendo a second time, as the user reopens it: the running one
    // brings its main window forward and the second one leaves.
    bool launchAgain();
    bool mendoRunning() const { return m_mendo.state() != QProcess::NotRunning; }

private:
    bool startMendo();
    bool writeDefaults(const QString& baseURL);
    bool writeDefaultsFile(const QJsonObject& defaults);
    bool writeHistory();
    bool startService(QString* baseURL);
    bool waitForHotkeys();
    bool waitForStartupTrace(qint64 launchNs);
    void stop(QProcess& process);

    Options m_options;
    ApplicationIdResolver m_resolver{QStringList{}};
    x11::X11Connection m_connection;
    X11Workspace m_workspace{m_connection, m_resolver};
    QTemporaryDir m_dir;
    QString m_failure;
    QByteArray m_previousLayout;
    QProcess m_service;
    QProcess m_mendo;
    QByteArray m_mendoOutput;
    qint64 m_startupMs = -1;
    QList<QPair<QString, qint64>> m_startupSteps;
};

// A showing element of another process, as the accessibility bus tells it.
struct AccessibleElement {
    QRect rect;  // on the screen; empty when none shows
    bool enabled = false;
    bool shown() const { return !rect.isEmpty(); }
};

// The showing element of process `pid` with this accessible name and role
// (any role for ATSPI_ROLE_INVALID), found through the accessibility bus.
AccessibleElement accessibleElement(qint64 pid, const QString& name, AtspiRole role);
// Its screen rectangle; empty when there is none.
QRect accessibleRect(qint64 pid, const QString& name, AtspiRole role);
// Clicks that element with the pointer once it shows and is enabled; false
// when it did not within `timeoutMs`.
bool clickAccessible(qint64 pid, const QString& name, AtspiRole role, int timeoutMs = 20000);

// A tray host (trayer) along the top edge, up and owning the tray selection;
// null when it did not come up. Ended when destroyed.
std::unique_ptr<testing::OtherApp> startTrayer(const QString& tint = QStringLiteral("0x26272b"));
// Where process `pid` has its icon docked in the tray host; nothing when it
// has none.
std::optional<QRect> trayIcon(qint64 pid);
bool trayIconShown(qint64 pid);

// The window's place and size on the screen, as xdotool reads them.
QRect windowGeometry(quint64 window);

// What the window manager's close button does: asks the window to close.
void closeWindow(quint64 window);

// The user's clipboard before an action: text and an image.
inline const QList<QPair<QString, QByteArray>> usersClipboard{
    { QStringLiteral("text/plain"), QByteArray("my own copy \xc3\xa9") },
    { QStringLiteral("image/png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\xff", 11) },
};

// Whether the clipboard holds exactly `usersClipboard` again.
bool clipboardIsUsers();

// A scripted answer of the mock service.
// It answers the AI endpoint only, never the update check that mendo makes
// at start.
inline QJsonObject serviceAnswer(int status, const QJsonObject& body)
{
    return { { QStringLiteral("status"), status }, { QStringLiteral("json"), body },
        { QStringLiteral("path"), QStringLiteral("/macos/ai") } };
}

// The service's answer to a text action or an assistant request, given
// after `delayMs`.
inline QJsonObject resultAnswer(const QString& text, int delayMs = 0)
{
    QJsonObject answer = serviceAnswer(200, { { QStringLiteral("result"), text } });
    if (delayMs > 0)
        answer.insert(QStringLiteral("delayMs"), delayMs);
    return answer;
}

// The text a request of MendoSession::requests() sent to the service.
inline QString requestText(const QJsonObject& request)
{
    return request.value(QStringLiteral("body")).toObject().value(QStringLiteral("text")).toString();
}

}  // namespace mendo::e2e
